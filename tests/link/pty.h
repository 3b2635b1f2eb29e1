// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support.h"

// A pseudo-terminal: the port opens the slave and the test plays the radio on the master.
// A slave descriptor opened before the port lets the test look at the line from outside.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
      return;
    }
    path_ = name;
    observer_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  }
  ~Pty() {
    CloseMaster();
    if (observer_ >= 0) close(observer_);
  }

  const std::string& path() const { return path_; }
  bool ready() const { return observer_ >= 0; }

  void Send(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What the port sent, once count bytes are there or the deadline has passed.
  std::vector<uint8_t> Receive(size_t count) {
    std::vector<uint8_t> got;
    WaitUntil([&] {
      uint8_t chunk[512];
      ssize_t n = read(master_, chunk, sizeof chunk);
      if (n > 0) got.insert(got.end(), chunk, chunk + n);
      return got.size() >= count;
    });
    return got;
  }
  int Queued() const {
    int n = -1;
    ioctl(observer_, FIONREAD, &n);
    return n;
  }
  termios Settings() const {
    termios settings{};
    tcgetattr(observer_, &settings);
    return settings;
  }
  // Fills the line towards the radio, which does not read it here, until it takes no more
  // bytes: the port's next write has to wait for room that never comes.
  void FillLine() {
    const std::vector<uint8_t> block(4096, 0x55);
    for (;;) {
      // Room may be left that a big write cannot use but a single byte can.
      for (size_t size : {block.size(), size_t{1}}) {
        while (write(observer_, block.data(), size) > 0) {
        }
      }
      // The kernel may still be moving bytes along; full is when no room opens up.
      pollfd line{observer_, POLLOUT, 0};
      if (poll(&line, 1, 100) <= 0) return;
    }
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int observer_ = -1;
  std::string path_;
};
