// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QIcon>
#include <functional>

class CHyperLink;
class QPushButton;

// The program's version, as --version and the About box show it.
QString ProgramVersion();
// The program's own icon, for every window and the About box.
QIcon ProgramIcon();

// The About box: maker, name, version and year, the terms of use and a link to the guide.
class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  QPushButton* okButton() const { return ok_; }
  CHyperLink* link() const { return link_; }

  // OK; with Shift held, the version dates of the list controls come first.
  void accept() override;

 private:
  QPushButton* ok_;
  CHyperLink* link_;
};

// Runs the box modally (exec) unless a test has put its own way in; an empty function
// restores exec. Returns the previous way.
using AboutBoxRunner = std::function<void(CAboutDlg& box)>;
AboutBoxRunner SetAboutBoxRunner(AboutBoxRunner runner);
void RunAboutBox(CAboutDlg& box);
