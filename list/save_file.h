// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Replacing a file's content so that a failure never passes for success: every write, the
// sync and the close are checked before the new content takes the old one's place.

// The calls a save makes on the files it writes. Tests install their own to make one of
// them fail the way a full disk or a locked folder does.
class SaveCalls {
 public:
  virtual ~SaveCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual int Sync(int fd);
};

// Installs calls for the life of the object.
class ScopedSaveCalls {
 public:
  explicit ScopedSaveCalls(SaveCalls& calls);
  ~ScopedSaveCalls();
  ScopedSaveCalls(const ScopedSaveCalls&) = delete;
  ScopedSaveCalls& operator=(const ScopedSaveCalls&) = delete;

 private:
  SaveCalls* previous_;
};

// Makes bytes the whole content of path (of the file a symbolic link at path leads to).
// The bytes go to a new file beside it, which is renamed over path only once all of them
// are on disk; the old file's permissions carry over. Returns 0, or the errno of the step
// that failed, the old file untouched and no new file left behind. EISDIR: path is a
// folder; EACCES: path may not be written.
//
// When the folder refuses the new file for lack of permission but path itself may be
// written, path is rewritten in place instead; a failure then is still reported, though
// the old content is lost.
int SaveFileBytes(const QString& path, QByteArrayView bytes);

// The same replacement with the content written as it is produced, so a large file never
// has to be in memory whole. The new file is made at once; Write may come any number of
// times and Commit puts the file in place (or removes it when anything failed). Without
// Commit the new file is removed and the old one stays.
class FileReplacement {
 public:
  explicit FileReplacement(const QString& path);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The first failure is kept; later writes do nothing.
  void Write(QByteArrayView bytes);
  // 0, or the errno of the first step that failed.
  int Commit();

 private:
  void Discard();

  QByteArray target_, temp_;
  int fd_ = -1;
  int error_ = 0;
  // Rewriting path itself destroys the old content, so that waits until everything is
  // there, as SaveFileBytes does.
  bool inPlace_ = false;
  QByteArray held_;
  bool finished_ = false;
};
