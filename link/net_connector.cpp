// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/net_connector.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

struct NetConnector::State {
  std::mutex mutex;
  Outcome outcome = Outcome::kPending;
  int fd = -1;
  std::string reason;
  bool givenUp = false;
};

namespace {

// One attempt at one address: the connected descriptor, or -1 with errno set.
int ConnectTo(const addrinfo& info, int timeoutMs) {
  int fd =
      ::socket(info.ai_family, info.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, info.ai_protocol);
  if (fd < 0) return -1;
  int result = ::connect(fd, info.ai_addr, info.ai_addrlen);
  if (result != 0 && errno == EINPROGRESS) {
    pollfd wait{fd, POLLOUT, 0};
    int ready;
    while ((ready = ::poll(&wait, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    int error = ETIMEDOUT;
    if (ready > 0) {
      socklen_t size = sizeof error;
      if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    }
    result = error == 0 ? 0 : -1;
    errno = error;
  }
  if (result != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  // Every command is a few bytes that must leave at once.
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

void Connect(const std::shared_ptr<NetConnector::State>& state, const NetAddress& address,
             int timeoutMs) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(address.port);
  int resolved = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found);
  if (resolved == EAI_ADDRFAMILY || resolved == EAI_NONAME) {
    // Without AI_ADDRCONFIG, so that "localhost" works on a machine with loopback alone.
    hints.ai_flags = 0;
    resolved = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found);
  }
  NetConnector::Outcome outcome = NetConnector::Outcome::kFailed;
  int fd = -1;
  std::string reason;
  if (resolved != 0) {
    outcome = NetConnector::Outcome::kUnknownHost;
    reason =
        resolved == EAI_SYSTEM ? std::generic_category().message(errno) : ::gai_strerror(resolved);
  } else {
    int error = 0;
    for (addrinfo* info = found; info != nullptr && fd < 0; info = info->ai_next) {
      fd = ConnectTo(*info, timeoutMs);
      if (fd < 0) error = errno;
    }
    ::freeaddrinfo(found);
    if (fd >= 0) {
      outcome = NetConnector::Outcome::kConnected;
    } else {
      reason = std::generic_category().message(error);
    }
  }
  std::lock_guard lock(state->mutex);
  if (state->givenUp) {
    if (fd >= 0) ::close(fd);
    return;
  }
  state->outcome = outcome;
  state->fd = fd;
  state->reason = reason;
}

}  // namespace

NetConnector::NetConnector(const NetAddress& address, int timeoutMs)
    : state_(std::make_shared<State>()) {
  try {
    // Detached, not joined: getaddrinfo blocks for as long as the name server takes and
    // cannot be cancelled, so a join would hold up whoever gives up on the connection. The
    // thread keeps the state alive and closes what it opened once nobody wants it.
    std::thread(Connect, state_, address, timeoutMs).detach();
  } catch (const std::system_error& error) {
    state_->outcome = Outcome::kFailed;
    state_->reason = error.what();
  }
}

NetConnector::~NetConnector() {
  std::lock_guard lock(state_->mutex);
  state_->givenUp = true;
  if (state_->fd >= 0) ::close(state_->fd);
  state_->fd = -1;
}

NetConnector::Outcome NetConnector::outcome() const {
  std::lock_guard lock(state_->mutex);
  return state_->outcome;
}

int NetConnector::TakeDescriptor() {
  std::lock_guard lock(state_->mutex);
  const int fd = state_->fd;
  state_->fd = -1;
  return fd;
}

std::string NetConnector::reason() const {
  std::lock_guard lock(state_->mutex);
  return state_->reason;
}
