// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

// The program's own small modal notice: an icon, the message and OK.
class CMsgDlg : public QDialog {
 public:
  explicit CMsgDlg(QWidget* parent = nullptr);
  void SetMessage(const QString& text) { message_ = text; }
  int exec() override;

  // Shows the notice modally (through the replaced message boxes while tests run).
  static void Show(QWidget* parent, const QString& text);

 private:
  QString message_;
  class QLabel* label_;
};
