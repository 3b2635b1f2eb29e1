// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/guide_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/help_menu.h"

QStringList GuideFolders() {
  const QString exeDir = QCoreApplication::applicationDirPath();
  return {
      QDir::currentPath(),
      QStringLiteral(QUILVAR_DOCDIR),
      exeDir,
      QDir::cleanPath(exeDir + "/" + QUILVAR_DOCDIR_FROM_BINDIR),
      // build/<kind>/app/quilvar
      QDir::cleanPath(exeDir + "/../../.."),
  };
}

QString FindGuide(const QString& fileName, const QStringList& folders) {
  for (const QString& folder : folders) {
    const QFileInfo file(QDir(folder), fileName);
    if (file.isFile()) return file.absoluteFilePath();
  }
  return {};
}

QString ReadmeAddress() {
  QString path = FindGuide(kReadmeFile);
  if (path.isEmpty()) path = QDir(QStringLiteral(QUILVAR_DOCDIR)).filePath(kReadmeFile);
  return QUrl::fromLocalFile(path).toString();
}
