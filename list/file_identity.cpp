// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/file_identity.h"

#include <sys/stat.h>

#include <QFile>

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtimeSec = st.st_mtim.tv_sec;
  id.mtimeNsec = st.st_mtim.tv_nsec;
  id.ctimeSec = st.st_ctim.tv_sec;
  id.ctimeNsec = st.st_ctim.tv_nsec;
  return id;
}

std::optional<FileIdentity> IdentifyFile(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
  return IdentityOf(st);
}
