// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/link_interfaces.h"

// Line-error bits, with the values the settings and status code have always used.
constexpr uint32_t kLineErrorOverrun = 0x0002;
constexpr uint32_t kLineErrorParity = 0x0004;
constexpr uint32_t kLineErrorFraming = 0x0008;
constexpr uint32_t kLineErrorBreak = 0x0010;

constexpr int kParityNone = 0;
constexpr int kParityOdd = 1;
constexpr int kParityEven = 2;
constexpr int kParityMark = 3;
constexpr int kParitySpace = 4;
constexpr int kStopBitsOne = 0;
constexpr int kStopBitsOneAndHalf = 1;  // the line knows only one or two: sent as two
constexpr int kStopBitsTwo = 2;

constexpr int kWriteGiveUpMs = 1000;

// Turns a COM port number into a device path.
using PortResolver = std::function<std::string(int port)>;

// Running totals of line errors as the driver counts them.
struct LineErrorCounts {
  int frame = 0;
  int overrun = 0;
  int parity = 0;
  int brk = 0;
  int bufferOverrun = 0;
};

// The kLineError* bits of every counter that moved from one snapshot to the next.
uint32_t LineErrorsBetween(const LineErrorCounts& before, const LineErrorCounts& now);

// One serial line, opened raw and non-blocking. Write runs on the user-interface thread,
// Read, WaitForInput and LastErrors on the receive thread; Open and Close only while the
// receive thread is stopped.
class SerialPort : public ByteLine {
 public:
  // Without a resolver, ports map to their default devices (ComPortDevice).
  SerialPort(ErrorBox& errors, PortResolver resolver);
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // 0 on success, -1 when already open, -2 ... -9 for the step that failed (each failure
  // is shown in an error box first). A failed open may still hold descriptors: Close
  // releases them, and so does the next Open.
  int Open(int port, int baudRate, int byteSize, int parity, int stopBits);
  int OpenDevice(const std::string& path, int baudRate, int byteSize, int parity, int stopBits);
  int Close();

  // What is queued now, at most maximum bytes; never waits. -1 when the line is gone
  // (hang-up or a read error), -2 when line errors were counted since the last read.
  int Read(uint8_t* buffer, int maximum) override;
  // Byte by byte; stops at the first byte the line does not take within kWriteGiveUpMs,
  // or at once when the line hangs up. Returns the count written, -1 when not open.
  int Write(const uint8_t* bytes, int count) override;
  // Whether the last Write stopped because the other side is gone rather than slow.
  bool lineGone() const override { return lineGone_; }
  uint32_t LastErrors() const override { return lineErrors_; }

  // Sleeps until input is queued, Wake() is called or timeoutMs pass (-1: no limit).
  // 1 input, 0 woken or timed out, -1 hang-up or error on the line (or not open).
  // A Wake() that comes before the wait ends the next wait at once, so none is lost.
  int WaitForInput(int timeoutMs) override;
  void Wake() override;

  bool isOpen() const { return open_; }
  // The device of the last open, successful or not.
  const std::string& devicePath() const { return path_; }

  // "<call> failed: Error <errno hex>h (<errno>)\n\n<strerror>" titled "ERROR".
  void ShowApiError(const char* callName, int error);

 private:
  int Fail(int code, const char* callName, int error);
  enum class ByteWrite { kWritten, kRefused, kGone };
  ByteWrite WriteByte(uint8_t byte);
  // 1 counted, 0 the driver keeps no counts, -1 the line cannot be asked.
  int ReadLineCounts(LineErrorCounts& counts) const;

  ErrorBox& errors_;
  PortResolver resolver_;
  std::string path_;
  int fd_ = -1;
  int wakeFd_ = -1;
  bool open_ = false;
  bool lineGone_ = false;
  uint32_t lineErrors_ = 0;
  bool countsKnown_ = false;
  LineErrorCounts counts_;
};
