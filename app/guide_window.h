// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// A guide shown by the program itself, for a desktop that has no program to open text files
// with: the text read-only in a fixed-width font, titled with the guide's file name.
class GuideWindow : public QDialog {
 public:
  GuideWindow(const QString& path, QWidget* parent);

  const QString& path() const { return path_; }
  // Reads the guide again, so an edited guide shows as it is now; false when it cannot be
  // read.
  bool Reload();

 private:
  QString path_;
  QPlainTextEdit* text_;
};

// Shows the guide at path over parent, in the one window that guide has there (raised when
// it is open already); false when the file cannot be read.
bool ShowGuideWindow(const QString& path, QWidget* parent);
