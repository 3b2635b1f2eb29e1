// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "link/link_interfaces.h"

// A connected TCP socket as the byte stream of a link, with the same receive-thread
// contract as the serial line: Read never waits, WaitForInput sleeps in poll() until input,
// a hang-up or Wake().
class TcpLine : public ByteLine {
 public:
  TcpLine() = default;
  ~TcpLine() override;
  TcpLine(const TcpLine&) = delete;
  TcpLine& operator=(const TcpLine&) = delete;

  // Takes a connected descriptor. False (the descriptor closed) when no wake-up descriptor
  // can be made.
  bool Adopt(int fd);
  void Close();
  bool isOpen() const { return fd_ >= 0; }

  int Read(uint8_t* buffer, int maximum) override;
  int Write(const uint8_t* bytes, int count) override;
  bool lineGone() const override { return lineGone_; }
  int WaitForInput(int timeoutMs) override;
  void Wake() override;
  uint32_t LastErrors() const override { return 0; }

 private:
  int fd_ = -1;
  int wakeFd_ = -1;
  bool lineGone_ = false;
};
