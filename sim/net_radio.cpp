// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/net_radio.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "sim/serve_waits.h"

namespace {

// More at once than any test or program needs; the rest wait in the listener's queue.
constexpr size_t kMaxClients = 8;

}  // namespace

NetRadio::NetRadio(const SimRigctlOptions& options) : radio_(options) {}

NetRadio::~NetRadio() { Stop(); }

bool NetRadio::Fail(const std::string& what) {
  error_ = what + ": " + std::strerror(errno);
  CloseAll();
  return false;
}

bool NetRadio::Start(uint16_t port) {
  if (serving_) return true;
  error_.clear();
  std::string where = "127.0.0.1:" + std::to_string(port);
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return Fail("socket");
  // A port just left by an earlier run is still in TIME_WAIT; the daemon takes it at once.
  int one = 1;
  if (setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one)) != 0) {
    return Fail("SO_REUSEADDR");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return Fail("bind " + where);
  }
  if (listen(listener_, 16) != 0) return Fail("listen " + where);
  socklen_t length = sizeof(address);
  if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return Fail("getsockname " + where);
  }
  port_ = ntohs(address.sin_port);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_ < 0) return Fail("eventfd");

  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
  }
  accepted_ = 0;
  connected_ = 0;
  stopping_ = false;
  serving_ = true;
  thread_ = std::thread(&NetRadio::Serve, this);
  return true;
}

void NetRadio::Stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    uint64_t one = 1;
    (void)!write(wake_, &one, sizeof(one));
    thread_.join();
  }
  serving_ = false;
  // Console output queued just before the stop still goes out, as far as the clients take
  // it without waiting.
  std::lock_guard<std::mutex> lock(mutex_);
  for (const RigctlOutput& output : pending_) {
    for (const LineOutput& piece : output.pieces) {
      for (const Client& client : clients_) {
        if (client.fd < 0) continue;
        (void)!send(client.fd, piece.bytes.data(), piece.bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      }
    }
  }
  pending_.clear();
  CloseAll();
}

void NetRadio::CloseAll() {
  for (Client& client : clients_) Drop(client);
  clients_.clear();
  connected_ = 0;
  for (int* fd : {&listener_, &wake_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool NetRadio::Command(const std::string& line, std::string* reason) {
  RigctlOutput output;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!radio_.Console(line, &output, reason)) return false;
  if (!serving_ || (output.pieces.empty() && !output.close)) return true;
  pending_.push_back(std::move(output));
  // Under the lock, so Stop cannot close the descriptor in between.
  uint64_t one = 1;
  (void)!write(wake_, &one, sizeof(one));
  return true;
}

std::string NetRadio::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void NetRadio::clearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
}

uint64_t NetRadio::frequency() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radio_.frequency();
}

int NetRadio::modeCode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radio_.modeCode();
}

int NetRadio::passband() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radio_.passband();
}

void NetRadio::Serve() {
  std::vector<pollfd> fds;
  while (!stopping_) {
    bool pendingOutput = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pendingOutput = !pending_.empty();
    }
    // A wake-up may have been consumed while writing, so queued console output is looked
    // at before blocking rather than left to the next wake-up.
    fds.assign({{wake_, POLLIN, 0}, {clients_.size() < kMaxClients ? listener_ : -1, POLLIN, 0}});
    for (const Client& client : clients_) fds.push_back({client.fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), pendingOutput ? 0 : -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents & POLLIN) DrainWake(wake_);
    if (stopping_) return;
    for (size_t i = 0; i < clients_.size() && !stopping_; ++i) {
      if (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) Read(clients_[i]);
    }
    if (fds[1].revents & POLLIN) Accept();
    DeliverConsoleOutput();
    std::erase_if(clients_, [](const Client& client) { return client.fd < 0; });
    connected_ = static_cast<int>(clients_.size());
  }
}

void NetRadio::Accept() {
  while (clients_.size() < kMaxClients) {
    int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    // Each answer is one small write, and a split answer must leave in two segments.
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    Client client;
    client.fd = fd;
    clients_.push_back(std::move(client));
    ++accepted_;
    connected_ = static_cast<int>(clients_.size());
  }
}

void NetRadio::Read(Client& client) {
  uint8_t buffer[4096];
  ssize_t n = recv(client.fd, buffer, sizeof(buffer), 0);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    Drop(client);
    return;
  }
  std::vector<std::string> lines = client.lines.Feed(buffer, static_cast<size_t>(n));
  RigctlOutput output;
  bool split = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
    for (const std::string& line : lines) {
      radio_.Line(line, &output);
      if (output.close) break;
    }
    split = radio_.split();
  }
  if (!Deliver(client, output, split) || output.close) Drop(client);
}

void NetRadio::DeliverConsoleOutput() {
  for (;;) {
    RigctlOutput output;
    bool split = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (pending_.empty()) return;
      output = std::move(pending_.front());
      pending_.pop_front();
      split = radio_.split();
    }
    for (Client& client : clients_) {
      if (client.fd >= 0 && (!Deliver(client, output, split) || output.close)) Drop(client);
    }
  }
}

// Returns false when the client is gone or the host stops.
bool NetRadio::Deliver(Client& client, const RigctlOutput& output, bool split) {
  for (const LineOutput& piece : output.pieces) {
    const uint8_t* bytes = piece.bytes.data();
    size_t count = piece.bytes.size();
    if (split && piece.fromRadio && count >= 2) {
      size_t first = count / 2;
      if (!WriteAllUnlessStopped(client.fd, wake_, stopping_, bytes, first, true) ||
          !PauseUnlessStopped(wake_, stopping_, std::chrono::milliseconds(splitGapMs_.load())))
        return false;
      bytes += first;
      count -= first;
    }
    if (!WriteAllUnlessStopped(client.fd, wake_, stopping_, bytes, count, true)) return false;
  }
  return true;
}

// Waits only while the client leaves its receive window full; a stop ends the wait.
void NetRadio::Drop(Client& client) {
  if (client.fd >= 0) close(client.fd);
  client.fd = -1;
}
