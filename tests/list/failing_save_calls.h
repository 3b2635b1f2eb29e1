// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "list/save_file.h"

// Save calls that fail one kind of call with an errno once `after` of them got through, the
// way a full disk, a failing device or a locked folder would; the rest are real.
class FailingSaveCalls : public SaveCalls {
 public:
  enum Call { kCreate, kOpenExisting, kWrite, kSync, kNone };

  FailingSaveCalls(Call call, int err, int after = 0) : call_(call), err_(err), after_(after) {}

  int Open(const char* path, int flags, mode_t mode) override {
    if (Fails((flags & O_CREAT) != 0 ? kCreate : kOpenExisting)) return -1;
    return SaveCalls::Open(path, flags, mode);
  }
  // A few bytes at a time, so a failure can fall in the middle of a file.
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (Fails(kWrite)) return -1;
    return SaveCalls::Write(fd, data, std::min<size_t>(size, 16));
  }
  int Sync(int fd) override {
    if (Fails(kSync)) return -1;
    return SaveCalls::Sync(fd);
  }

 private:
  bool Fails(Call call) {
    if (call != call_ || passed_++ < after_) return false;
    errno = err_;
    return true;
  }

  Call call_;
  int err_;
  int after_;
  int passed_ = 0;
};
