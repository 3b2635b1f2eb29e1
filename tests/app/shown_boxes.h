// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <vector>

#include "app/message_box.h"

// Keeps every box the program would show, answering OK, and whether a given window was still
// open at that moment.
class ShownBoxes {
 public:
  struct Box {
    QString title, text;
    QMessageBox::Icon icon;
    bool windowOpen;
  };
  explicit ShownBoxes(const QWidget* window = nullptr) {
    previous_ =
        SetMessageBoxFunction([this, window](QWidget*, const QString& title, const QString& text,
                                             QMessageBox::Icon icon, QMessageBox::StandardButtons) {
          boxes.push_back({title, text, icon, window != nullptr && window->isVisible()});
          return QMessageBox::Ok;
        });
  }
  ~ShownBoxes() { SetMessageBoxFunction(previous_); }
  std::vector<Box> boxes;

 private:
  MessageBoxFunction previous_;
};
