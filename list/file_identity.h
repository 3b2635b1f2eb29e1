// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

struct stat;

// What tells one state of a file from another without reading it.
struct FileIdentity {
  quint64 device = 0;
  quint64 inode = 0;
  qint64 size = 0;
  qint64 mtimeSec = 0;
  qint64 mtimeNsec = 0;
  qint64 ctimeSec = 0;
  qint64 ctimeNsec = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st);
// Empty when the file is not there (or cannot be looked at).
std::optional<FileIdentity> IdentifyFile(const QString& path);
