// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hyper_link.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>

namespace {

const QColor kLinkColour(0, 0, 255);

}  // namespace

CHyperLink::CHyperLink(const QString& address, QWidget* parent) : QLabel(address, parent) {
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, kLinkColour);
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
  openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void CHyperLink::Follow() {
  if (openUrl && openUrl(QUrl(text()))) return;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text());
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

// On release, like a button, so that moving off the link before letting go still cancels.
void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) Follow();
}
