// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

int SaveCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

ssize_t SaveCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

int SaveCalls::Sync(int fd) { return ::fsync(fd); }

namespace {

SaveCalls g_systemCalls;
SaveCalls* g_calls = &g_systemCalls;

// errno after a call that failed; never 0, so a failure cannot turn into success.
int LastError() { return errno != 0 ? errno : EIO; }

// The file a save really replaces: a symbolic link stays and its target gets the content.
QString FollowLinks(const QString& path) {
  QFileInfo info(path);
  for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) info.setFile(info.symLinkTarget());
  return info.isSymLink() ? path : info.filePath();
}

int WriteAll(int fd, QByteArrayView bytes) {
  const char* data = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    errno = 0;
    const ssize_t n = g_calls->Write(fd, data, size_t(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return LastError();
    data += n;
    left -= n;
  }
  return 0;
}

// Writes, syncs and closes fd, which is closed whatever happens. A full disk may show at
// any of the three steps (delayed allocation, network file systems), so each is checked.
int WriteSyncClose(int fd, QByteArrayView bytes) {
  int err = WriteAll(fd, bytes);
  errno = 0;
  if (err == 0 && g_calls->Sync(fd) != 0) err = LastError();
  // After EINTR the descriptor is closed all the same on Linux.
  if (::close(fd) != 0 && err == 0 && errno != EINTR) err = LastError();
  return err;
}

// A new file beside target, named after it so that a leftover is recognisable, with the
// permissions a new file gets.
int CreateFileBeside(const QByteArray& target, QByteArray* tempPath, int* fd) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    QByteArray candidate = target + '.';
    for (int i = 0; i < 6; ++i) {
      candidate += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    }
    errno = 0;
    *fd = g_calls->Open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (*fd >= 0) {
      *tempPath = candidate;
      return 0;
    }
    if (errno != EEXIST) return LastError();
  }
  return EEXIST;
}

int RewriteInPlace(const QByteArray& target, QByteArrayView bytes) {
  errno = 0;
  const int fd = g_calls->Open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
  if (fd < 0) return LastError();
  return WriteSyncClose(fd, bytes);
}

}  // namespace

ScopedSaveCalls::ScopedSaveCalls(SaveCalls& calls) : previous_(g_calls) { g_calls = &calls; }

ScopedSaveCalls::~ScopedSaveCalls() { g_calls = previous_; }

int SaveFileBytes(const QString& path, QByteArrayView bytes) {
  FileReplacement file(path);
  file.Write(bytes);
  return file.Commit();
}

FileReplacement::FileReplacement(const QString& path)
    : target_(QFile::encodeName(FollowLinks(path))) {
  struct stat old {};
  const bool exists = ::stat(target_.constData(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    error_ = EISDIR;
    return;
  }
  // The rename would replace a file the user may not change.
  if (exists && ::access(target_.constData(), W_OK) != 0) {
    error_ = LastError();
    return;
  }
  const int err = CreateFileBeside(target_, &temp_, &fd_);
  if ((err == EACCES || err == EPERM) && exists && S_ISREG(old.st_mode)) {
    inPlace_ = true;
    return;
  }
  error_ = err;
  // Best effort, as a copy would do: the content matters more than its mode.
  if (err == 0 && exists) (void)::fchmod(fd_, old.st_mode & 07777);
}

FileReplacement::~FileReplacement() {
  if (!finished_) Discard();
}

void FileReplacement::Write(QByteArrayView bytes) {
  if (error_ != 0 || finished_) return;
  if (inPlace_) {
    held_.append(bytes);
    return;
  }
  error_ = WriteAll(fd_, bytes);
}

int FileReplacement::Commit() {
  if (finished_) return error_;
  if (error_ != 0) {
    Discard();
    return error_;
  }
  finished_ = true;
  if (inPlace_) return error_ = RewriteInPlace(target_, held_);
  error_ = WriteSyncClose(fd_, QByteArrayView());
  fd_ = -1;
  if (error_ == 0 && ::rename(temp_.constData(), target_.constData()) != 0) error_ = LastError();
  if (error_ != 0) ::unlink(temp_.constData());
  return error_;
}

void FileReplacement::Discard() {
  finished_ = true;
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.constData());
}
