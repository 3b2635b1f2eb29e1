// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modeless Find dialog: a text, a Match case box, Find Next and Cancel. It searches
// nothing itself; it asks whoever listens to find the next cell.
class CFindDialog : public QDialog {
  Q_OBJECT

 public:
  CFindDialog(const QString& text, bool matchCase, QWidget* parent);

  QString text() const;
  bool matchCase() const;
  QLineEdit* textEdit() const { return text_; }
  QCheckBox* matchCaseBox() const { return matchCase_; }
  QPushButton* findNextButton() const { return findNext_; }

 signals:
  void findNext(const QString& text, bool matchCase);
  // Sent once, however the dialog is closed.
  void closing();

 protected:
  void done(int result) override;

 private:
  QLineEdit* text_;
  QCheckBox* matchCase_;
  QPushButton* findNext_;
  bool closed_ = false;
};
