// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tcp_line.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

TcpLine::~TcpLine() { Close(); }

bool TcpLine::Adopt(int fd) {
  Close();
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void TcpLine::Close() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
  if (fd_ >= 0) ::close(fd_);
  wakeFd_ = -1;
  fd_ = -1;
  lineGone_ = false;
}

int TcpLine::Read(uint8_t* buffer, int maximum) {
  if (fd_ < 0 || maximum <= 0) return 0;
  ssize_t n = ::recv(fd_, buffer, static_cast<size_t>(maximum), MSG_DONTWAIT);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  // The server closed the connection, or it was reset.
  return -1;
}

int TcpLine::Write(const uint8_t* bytes, int count) {
  lineGone_ = false;
  if (fd_ < 0) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteGiveUpMs);
  int written = 0;
  while (written < count) {
    ssize_t n = ::send(fd_, bytes + written, static_cast<size_t>(count - written),
                       MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      lineGone_ = true;
      break;
    }
    // A server that reads nothing fills the socket's buffer; give up as on a stuck line.
    const int left = MillisecondsLeft(deadline);
    if (left == 0) break;
    pollfd socket{fd_, POLLOUT, 0};
    if (::poll(&socket, 1, left) > 0 && (socket.revents & (POLLERR | POLLHUP)) != 0) {
      lineGone_ = true;
      break;
    }
  }
  return written;
}

int TcpLine::WaitForInput(int timeoutMs) {
  if (fd_ < 0) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  int ready;
  while ((ready = ::poll(fds, 2, timeoutMs < 0 ? -1 : MillisecondsLeft(deadline))) < 0) {
    if (errno != EINTR) return -1;
  }
  if ((fds[1].revents & POLLIN) != 0) {
    uint64_t wakes = 0;
    ssize_t drained = ::read(wakeFd_, &wakes, sizeof wakes);
    (void)drained;  // another wait may have drained it first
    return 0;
  }
  // Bytes that came with the close are read first; the read after them sees the end.
  if ((fds[0].revents & POLLIN) != 0) return 1;
  if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return -1;
  return 0;
}

void TcpLine::Wake() {
  if (wakeFd_ < 0) return;
  uint64_t one = 1;
  ssize_t written = ::write(wakeFd_, &one, sizeof one);
  (void)written;  // only fails when the counter is saturated, which still wakes
}
