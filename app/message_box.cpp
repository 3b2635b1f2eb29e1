// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_box.h"

namespace {

QMessageBox::StandardButton ShowModal(QWidget* parent, const QString& title, const QString& text,
                                      QMessageBox::Icon icon,
                                      QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageBoxFunction& Current() {
  static MessageBoxFunction function;
  return function;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& title,
                                           const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) {
  if (Current()) return Current()(parent, title, text, icon, buttons);
  return ShowModal(parent, title, text, icon, buttons);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = Current();
  Current() = std::move(function);
  return previous;
}

bool MessageBoxesReplaced() { return static_cast<bool>(Current()); }
