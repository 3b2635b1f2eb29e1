// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/serve_waits.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

void DrainWake(int wake) {
  uint64_t count;
  (void)!read(wake, &count, sizeof(count));
}

bool WriteAllUnlessStopped(int fd, int wake, const std::atomic<bool>& stopping,
                           const uint8_t* bytes, size_t count, bool socket) {
  while (count > 0) {
    ssize_t n = socket ? send(fd, bytes, count, MSG_NOSIGNAL) : write(fd, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wake, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return false;
    if (stopping) return false;
    if (fds[1].revents & POLLIN) DrainWake(wake);
  }
  return true;
}

bool PauseUnlessStopped(int wake, const std::atomic<bool>& stopping,
                        std::chrono::milliseconds pause) {
  auto end = std::chrono::steady_clock::now() + pause;
  while (!stopping) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    pollfd fd{wake, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) > 0) DrainWake(wake);
  }
  return false;
}
