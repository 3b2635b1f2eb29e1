// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/sim_rigctl.h"

// The simulated network radio on a TCP port of 127.0.0.1, speaking the control daemon's
// text protocol. Serves on its own thread from Start() until Stop() or destruction; takes
// clients one after another, and a few at once, as the daemon does. All clients share one
// radio.
class NetRadio {
 public:
  explicit NetRadio(const SimRigctlOptions& options = {});
  ~NetRadio();
  NetRadio(const NetRadio&) = delete;
  NetRadio& operator=(const NetRadio&) = delete;

  // Listens on 127.0.0.1:port (0: a free port, see port()) and starts serving. Returns false
  // with a reason in error().
  bool Start(uint16_t port = 0);
  // Closes the listener and every client, so a client sees its connection end.
  void Stop();

  // How long a split answer's second part waits behind the first. May change while serving.
  void SetSplitGap(std::chrono::milliseconds gap) { splitGapMs_ = gap.count(); }

  uint16_t port() const { return port_; }
  const std::string& error() const { return error_; }

  // One line of the console language (see SimRigctl::Console). Thread-safe. Returns false
  // with a reason for a bad line. Noise goes to the clients connected when it is served;
  // "close" drops every connected client.
  bool Command(const std::string& line, std::string* reason = nullptr);

  // Everything received from the clients so far, for tests to check byte for byte.
  std::string received() const;
  void clearReceived();
  uint64_t frequency() const;
  int modeCode() const;
  int passband() const;
  // Connections accepted since Start(), and those open now.
  int clients() const { return accepted_; }
  int connected() const { return connected_; }

 private:
  struct Client {
    int fd = -1;
    RigctlLines lines;
  };

  bool Fail(const std::string& what);
  void Serve();
  void Accept();
  void Read(Client& client);
  bool Deliver(Client& client, const RigctlOutput& output, bool split);
  void DeliverConsoleOutput();
  void Drop(Client& client);
  void CloseAll();

  mutable std::mutex mutex_;  // guards radio_, received_, pending_
  SimRigctl radio_;
  std::string received_;
  std::deque<RigctlOutput> pending_;  // console output, delivered by the serving thread

  std::vector<Client> clients_;  // the serving thread's alone while it runs
  int listener_ = -1;
  int wake_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> serving_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> connected_{0};
  // A few milliseconds: long enough for a client that reads as soon as bytes arrive to see
  // the two parts in two reads.
  std::atomic<std::chrono::milliseconds::rep> splitGapMs_{5};
  std::thread thread_;
  std::string error_;
};
