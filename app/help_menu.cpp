#include "help_menu.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QUrl>

#include "about_dlg.h"
#include "guide_files.h"

void OpenGuide(const QString& fileName) {
  const QString path = FindGuide(fileName);
  if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowAboutBox(QWidget* parent) {
  // The widget may be gone by the time the box closes.
  QPointer<QWidget> focus = QApplication::focusWidget();
  CAboutDlg box(parent);
  RunAboutBox(box);
  if (focus) focus->setFocus();
}
