// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// A plain TCP client of 127.0.0.1, the way a test talks to the network radio. Every wait
// has a deadline.
class LoopbackClient {
 public:
  explicit LoopbackClient(uint16_t port) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~LoopbackClient() {
    if (fd_ >= 0) close(fd_);
  }
  LoopbackClient(const LoopbackClient&) = delete;
  LoopbackClient& operator=(const LoopbackClient&) = delete;

  bool connected() const { return fd_ >= 0; }

  bool Send(const std::string& text) {
    return send(fd_, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
  }

  // Each read as it came, until `count` bytes in all, the end of the connection, or the
  // deadline.
  std::vector<std::string> ReadChunks(
      size_t count, std::chrono::milliseconds deadline = std::chrono::milliseconds(3000)) {
    std::vector<std::string> chunks;
    auto end = std::chrono::steady_clock::now() + deadline;
    for (size_t total = 0; total < count && !ended_ && std::chrono::steady_clock::now() < end;) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char buffer[8192];
      ssize_t n = recv(fd_, buffer, sizeof(buffer), 0);
      if (n <= 0) {
        ended_ = n == 0 || errno == ECONNRESET;
        continue;
      }
      chunks.emplace_back(buffer, static_cast<size_t>(n));
      total += static_cast<size_t>(n);
    }
    return chunks;
  }

  std::string Read(size_t count) {
    std::string all;
    for (const std::string& chunk : ReadChunks(count)) all += chunk;
    return all;
  }

  // Whether the radio ended the connection before the deadline; what it sent is dropped.
  bool WaitEnded(std::chrono::milliseconds deadline = std::chrono::milliseconds(3000)) {
    ReadChunks(SIZE_MAX, deadline);
    return ended_;
  }

 private:
  int fd_ = -1;
  bool ended_ = false;
};
