// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/net_address.h"

// Resolves a host and opens a TCP connection to it on a thread of its own, so that a slow
// name server or a host that never answers holds up nobody: the waiter polls done() and may
// give up at any time. A connector given up on closes what it opened when it finishes.
class NetConnector {
 public:
  enum class Outcome { kPending, kConnected, kUnknownHost, kFailed };

  // timeoutMs bounds each connection attempt; the caller bounds the whole wait.
  NetConnector(const NetAddress& address, int timeoutMs);
  ~NetConnector();
  NetConnector(const NetConnector&) = delete;
  NetConnector& operator=(const NetConnector&) = delete;

  // Shared with the connecting thread, which may outlive the connector.
  struct State;

  Outcome outcome() const;
  // After kConnected: the connected, non-blocking descriptor, which the caller now owns.
  int TakeDescriptor();
  // After kUnknownHost or kFailed: the reason, as the system words it.
  std::string reason() const;

 private:
  std::shared_ptr<State> state_;
};
