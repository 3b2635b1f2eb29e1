// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/link_interfaces.h"

// Twelve digits of hertz: far above any receiver, far below what would overflow.
constexpr uint64_t kNetMaxFrequency = 999999999999ULL;
// A longer answer line is no answer of this protocol; it is not kept.
constexpr size_t kNetMaxLineLength = 256;

// Why the last awaited answer failed.
struct NetFault {
  enum Kind { kNone, kServerError, kMalformed };
  Kind kind = kNone;
  int code = 0;      // the server's RPRT code for kServerError
  std::string line;  // what arrived, for kMalformed (cut to a readable length)
};

// The text protocol of the radio-control daemons: builds the plain commands and recognises
// their answers line by line. Builders run on the user-interface thread, the recogniser on
// the receive thread; the answers awaited are queued between them.
class NetCodec {
 public:
  NetCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  // Each sends one command and sets pendingReplies to the answer lines it awaits.
  void SetFrequency(uint64_t hz);
  void SetMode(const char* name);
  void ReadFrequency();
  void ReadMode();
  // Frequency and mode in one exchange: the poll.
  void ReadStatus();

  // The wait for the outstanding answers ended without them (time-out, Esc): when they come,
  // they are dropped rather than taken for the answers of the next command.
  void Abandon();
  // Answers of abandoned commands are still owed, or a line is half received: the stream
  // cannot be trusted to pair the next answer with the next command.
  bool outOfStep() const;
  // A new connection: nothing is owed, nothing half received.
  void Reset();
  // The reason for the last failed answer, cleared by reading it.
  NetFault TakeFault();

  void Parse(const uint8_t* bytes, int count);

 private:
  enum class Line : uint8_t { kResult, kFrequency, kMode, kPassband };
  struct Command {
    std::vector<Line> lines;  // still awaited, front first
    bool abandoned = false;
  };

  void Send(const std::string& text, std::vector<Line> lines);
  void OnLine(const std::string& line);
  // The front command's next answer line, or false when it failed.
  bool TakeLine(Command& command, const std::string& line);
  void Fail(NetFault fault);

  FrameSender& sender_;
  ReplySink& sink_;
  std::atomic<int>& pendingReplies_;

  mutable std::mutex mutex_;  // guards commands_, fault_, partial_
  std::deque<Command> commands_;
  NetFault fault_;
  std::string partial_;
  bool skipping_ = false;  // inside an overlong line, up to its end
};
