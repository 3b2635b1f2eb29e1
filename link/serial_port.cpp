// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <utility>

#include "common/texts.h"
#include "link/com_ports.h"

namespace {

using Clock = std::chrono::steady_clock;

bool SpeedFor(int baudRate, speed_t& speed) {
  static constexpr std::pair<int, speed_t> kSpeeds[] = {
      {50, B50},           {75, B75},           {110, B110},         {134, B134},
      {150, B150},         {200, B200},         {300, B300},         {600, B600},
      {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
      {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
      {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000},
  };
  for (const auto& [rate, constant] : kSpeeds) {
    if (rate == baudRate) {
      speed = constant;
      return true;
    }
  }
  return false;
}

// Raw bytes both ways, no flow control of either kind, and reads that return at once.
bool SetFraming(termios& settings, int byteSize, int parity, int stopBits) {
  cfmakeraw(&settings);
  settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_iflag &= ~(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  switch (byteSize) {
    case 5:
      settings.c_cflag |= CS5;
      break;
    case 6:
      settings.c_cflag |= CS6;
      break;
    case 7:
      settings.c_cflag |= CS7;
      break;
    case 8:
      settings.c_cflag |= CS8;
      break;
    default:
      return false;
  }
  switch (parity) {
    case kParityNone:
      break;
    case kParityOdd:
      settings.c_cflag |= PARENB | PARODD;
      break;
    case kParityEven:
      settings.c_cflag |= PARENB;
      break;
    case kParityMark:
      settings.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case kParitySpace:
      settings.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      return false;
  }
  switch (stopBits) {
    case kStopBitsOne:
      break;
    case kStopBitsOneAndHalf:
    case kStopBitsTwo:
      settings.c_cflag |= CSTOPB;
      break;
    default:
      return false;
  }
  return true;
}

// What a driver answers for an ioctl it does not implement.
bool IsUnsupported(int error) { return error == EINVAL || error == ENOTTY || error == ENOTSUP; }

// How a write learns that the other side is gone: a hung-up tty, a pseudo-terminal whose
// master was closed, an adapter that was pulled out.
bool IsHangUp(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

std::string ErrorText(int error) {
  char buffer[256] = {};
  // The GNU variant may hand back a static string instead of filling the buffer.
  auto result = strerror_r(error, buffer, sizeof buffer);
  if constexpr (std::is_same_v<decltype(result), char*>) {
    return result;
  } else {
    return buffer;
  }
}

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

uint32_t LineErrorsBetween(const LineErrorCounts& before, const LineErrorCounts& now) {
  uint32_t mask = 0;
  if (now.frame != before.frame) mask |= kLineErrorFraming;
  if (now.overrun != before.overrun || now.bufferOverrun != before.bufferOverrun) {
    mask |= kLineErrorOverrun;
  }
  if (now.parity != before.parity) mask |= kLineErrorParity;
  if (now.brk != before.brk) mask |= kLineErrorBreak;
  return mask;
}

SerialPort::SerialPort(ErrorBox& errors, PortResolver resolver)
    : errors_(errors), resolver_(std::move(resolver)) {}

SerialPort::~SerialPort() { Close(); }

int SerialPort::Open(int port, int baudRate, int byteSize, int parity, int stopBits) {
  if (open_) return -1;
  std::string path = resolver_ ? resolver_(port) : ComPortDevice(port);
  return OpenDevice(path, baudRate, byteSize, parity, stopBits);
}

int SerialPort::OpenDevice(const std::string& path, int baudRate, int byteSize, int parity,
                           int stopBits) {
  if (open_) return -1;
  Close();  // whatever an earlier failed open left behind
  path_ = path;

  // Close-on-exec, so a program we start never inherits the line or its lock.
  fd_ = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return Fail(-2, "open", path.empty() ? ENOENT : errno);
  if (ioctl(fd_, TIOCEXCL) != 0) return Fail(-3, "ioctl(TIOCEXCL)", errno);

  termios settings{};
  if (tcgetattr(fd_, &settings) != 0) return Fail(-4, "tcgetattr", errno);
  speed_t speed = B0;
  if (!SpeedFor(baudRate, speed)) return Fail(-5, "cfsetspeed", EINVAL);
  if (cfsetspeed(&settings, speed) != 0) return Fail(-5, "cfsetspeed", errno);
  if (!SetFraming(settings, byteSize, parity, stopBits)) return Fail(-6, "tcsetattr", EINVAL);
  if (tcsetattr(fd_, TCSANOW, &settings) != 0) return Fail(-6, "tcsetattr", errno);

  // Pseudo-terminals and some adapters have no modem lines; there is nothing to raise.
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd_, TIOCMBIS, &lines) != 0 && !IsUnsupported(errno)) {
    return Fail(-7, "ioctl(TIOCMBIS)", errno);
  }
  if (tcflush(fd_, TCIOFLUSH) != 0) return Fail(-8, "tcflush", errno);
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) return Fail(-9, "eventfd", errno);

  lineErrors_ = 0;
  countsKnown_ = ReadLineCounts(counts_) == 1;
  open_ = true;
  return 0;
}

int SerialPort::Close() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
  if (fd_ >= 0) {
    // The lock belongs to the tty, not to our descriptor: another open descriptor of the
    // same line would otherwise keep it locked after we are gone.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
  wakeFd_ = -1;
  fd_ = -1;
  open_ = false;
  lineGone_ = false;
  lineErrors_ = 0;
  countsKnown_ = false;
  return 0;
}

int SerialPort::Read(uint8_t* buffer, int maximum) {
  if (!open_) return 0;
  lineErrors_ = 0;
  if (countsKnown_) {
    LineErrorCounts now;
    int counted = ReadLineCounts(now);
    if (counted < 0) return -1;
    if (counted > 0) {
      lineErrors_ = LineErrorsBetween(counts_, now);
      counts_ = now;
      // The bytes stay queued for the next read.
      if (lineErrors_ != 0) return -2;
    }
  }

  // A hung-up line refuses this with EIO, which is how a pulled adapter shows.
  int queued = 0;
  if (ioctl(fd_, FIONREAD, &queued) != 0) return -1;
  if (queued <= 0 || maximum <= 0) return 0;
  ssize_t n = ::read(fd_, buffer, std::min(queued, maximum));
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  // End of file although bytes were queued, or a read error: the peer is gone.
  return -1;
}

int SerialPort::Write(const uint8_t* bytes, int count) {
  lineGone_ = false;
  if (!open_) return -1;
  int written = 0;
  for (; written < count; ++written) {
    ByteWrite result = WriteByte(bytes[written]);
    if (result == ByteWrite::kWritten) continue;
    lineGone_ = result == ByteWrite::kGone;
    break;
  }
  return written;
}

SerialPort::ByteWrite SerialPort::WriteByte(uint8_t byte) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteGiveUpMs);
  for (;;) {
    ssize_t n = ::write(fd_, &byte, 1);
    if (n == 1) return ByteWrite::kWritten;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return IsHangUp(errno) ? ByteWrite::kGone : ByteWrite::kRefused;
    int left = MillisecondsLeft(deadline);
    if (left == 0) return ByteWrite::kRefused;
    pollfd port{fd_, POLLOUT, 0};
    int ready = poll(&port, 1, left);
    if (ready < 0 && errno != EINTR) return ByteWrite::kRefused;
    // The same signs that end the receive thread's wait.
    if (ready > 0 && (port.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return ByteWrite::kGone;
  }
}

int SerialPort::WaitForInput(int timeoutMs) {
  if (!open_) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  int ready;
  while ((ready = poll(fds, 2, timeoutMs < 0 ? -1 : MillisecondsLeft(deadline))) < 0) {
    if (errno != EINTR) return -1;
  }
  if ((fds[1].revents & POLLIN) != 0) {
    uint64_t wakes = 0;
    ssize_t drained = ::read(wakeFd_, &wakes, sizeof wakes);
    (void)drained;  // nothing to do if another wait drained it first
  }
  if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return -1;
  if ((fds[1].revents & POLLIN) != 0) return 0;
  return (fds[0].revents & POLLIN) != 0 ? 1 : 0;
}

void SerialPort::Wake() {
  if (wakeFd_ < 0) return;
  uint64_t one = 1;
  ssize_t written = ::write(wakeFd_, &one, sizeof one);
  (void)written;  // only fails when the counter is saturated, which still wakes
}

void SerialPort::ShowApiError(const char* callName, int error) {
  char text[512];
  std::snprintf(text, sizeof text, texts::kApiError, callName, static_cast<unsigned>(error),
                static_cast<unsigned>(error), ErrorText(error).c_str());
  errors_.ShowErrorBox(texts::kErrorCaption, text);
}

int SerialPort::Fail(int code, const char* callName, int error) {
  ShowApiError(callName, error);
  return code;
}

int SerialPort::ReadLineCounts(LineErrorCounts& counts) const {
  serial_icounter_struct icount{};
  if (ioctl(fd_, TIOCGICOUNT, &icount) != 0) return IsUnsupported(errno) ? 0 : -1;
  counts.frame = icount.frame;
  counts.overrun = icount.overrun;
  counts.parity = icount.parity;
  counts.brk = icount.brk;
  counts.bufferOverrun = icount.buf_overrun;
  return 1;
}
