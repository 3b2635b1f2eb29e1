// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_menu.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>

#include "app/about_dlg.h"
#include "app/guide_files.h"
#include "app/guide_window.h"

namespace {

GuideOpener& Opener() {
  static GuideOpener opener;
  return opener;
}

bool OpenWithDesktop(const QUrl& file) {
  if (Opener()) return Opener()(file);
  return QDesktopServices::openUrl(file);
}

}  // namespace

GuideOpener SetGuideOpener(GuideOpener opener) {
  GuideOpener previous = Opener();
  Opener() = std::move(opener);
  return previous;
}

void OpenGuide(const QString& fileName, QWidget* parent) {
  const QString path = FindGuide(fileName);
  if (path.isEmpty()) return;
  // Without a program for text files (no desktop, or none installed) the program shows the
  // guide itself rather than leave the user with nothing.
  if (!OpenWithDesktop(QUrl::fromLocalFile(path))) ShowGuideWindow(path, parent);
}

void ShowAboutBox(QWidget* parent) {
  // The widget may be gone by the time the box closes.
  QPointer<QWidget> focus = QApplication::focusWidget();
  CAboutDlg box(parent);
  RunAboutBox(box);
  if (focus) focus->setFocus();
}
