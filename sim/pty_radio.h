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

#include "sim/sim_radio.h"

// A simulated radio behind a pseudo-terminal: the program opens slavePath() as its serial
// port. Serves on its own thread from Start() until Stop() or destruction.
class PtyRadio {
 public:
  explicit PtyRadio(const SimRadioOptions& options);
  ~PtyRadio();
  PtyRadio(const PtyRadio&) = delete;
  PtyRadio& operator=(const PtyRadio&) = delete;

  // Opens the pseudo-terminal (and the symbolic link, when linkPath is not empty) and
  // starts serving. Returns false with a reason in error().
  bool Start(const std::string& linkPath = {});
  void Stop();

  // How long a split answer's second part waits behind the first. Set before Start().
  void SetSplitGap(std::chrono::milliseconds gap) { splitGap_ = gap; }

  const std::string& slavePath() const { return slavePath_; }
  const std::string& error() const { return error_; }

  // One line of the console language (see SimRadio::Console). Thread-safe. Returns false
  // with a reason for a bad line.
  bool Command(const std::string& line, std::string* reason = nullptr);

  // Everything received from the controller so far, for tests to check byte for byte.
  std::vector<uint8_t> received() const;
  void clearReceived();
  uint32_t frequency() const;
  // When the last byte of the radio's latest answer went on the line.
  std::chrono::steady_clock::time_point lastAnswerWritten() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(lastAnswerWritten_.load()));
  }
  int modeCode() const;

 private:
  bool Fail(const std::string& what);
  void Serve();
  void Deliver(const std::vector<LineOutput>& pieces, bool split);
  void ReleaseLock();
  void CloseAll();

  mutable std::mutex mutex_;  // guards radio_, received_, pending_
  SimRadio radio_;
  std::vector<uint8_t> received_;
  std::deque<LineOutput> pending_;  // console output, written by the serving thread

  int master_ = -1;
  int slave_ = -1;  // held open so the line never hangs up between controllers
  int wake_ = -1;
  int closes_ = -1;  // inotify: the controller closed the line
  std::atomic<bool> stopping_{false};
  std::atomic<std::chrono::steady_clock::rep> lastAnswerWritten_{0};
  std::atomic<bool> serving_{false};
  // A few milliseconds: long enough for a controller that reads as soon as bytes arrive to
  // see the two parts in two reads.
  std::chrono::milliseconds splitGap_{5};
  std::thread thread_;
  std::string slavePath_;
  std::string linkPath_;
  std::string error_;
};
