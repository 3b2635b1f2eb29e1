// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

// A text that is an address: underlined, blue, with a hand cursor. A left click opens the
// address with the desktop's default program; when nothing can open it, the address goes
// to the clipboard instead, so the user can still paste it somewhere.
class CHyperLink : public QLabel {
 public:
  explicit CHyperLink(const QString& address, QWidget* parent = nullptr);

  // Opens an address; false when nothing opened it. Replaceable so tests need no desktop.
  std::function<bool(const QUrl&)> openUrl;

  // What a left click does.
  void Follow();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};
