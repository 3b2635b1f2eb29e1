// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/sim_radio.h"

struct SimRigctlOptions {
  uint64_t frequency = 7000000;
  int modeCode = -1;  // a code of ModesNetwork; -1: USB
  int passband = 2400;
};

// What goes back to one client because of a read or a console line, in order. Answers are
// marked fromRadio; noise is not, since split delivery touches only answers.
struct RigctlOutput {
  std::vector<LineOutput> pieces;
  bool close = false;  // after the pieces, the connection ends
};

// Cuts one connection's byte stream into lines. A line that grows past kMaxLine without
// its newline is thrown away up to that newline, so garbage cannot grow memory.
class RigctlLines {
 public:
  static constexpr size_t kMaxLine = 1024;

  // Appends bytes; returns the lines they complete, without "\n".
  std::vector<std::string> Feed(const uint8_t* bytes, size_t count);
  size_t buffered() const { return partial_.size(); }
  void Clear();

 private:
  std::string partial_;
  bool discarding_ = false;
};

// The network radio: the control daemon's plain text protocol as text in, text out, with no
// I/O of its own, so it can be tested line by line and served by the TCP host. Not
// thread-safe.
class SimRigctl {
 public:
  static constexpr uint64_t kMinHz = 1;
  static constexpr uint64_t kMaxHz = 999999999999;
  static constexpr int kMaxPassband = 1000000;

  explicit SimRigctl(const SimRigctlOptions& options = {});

  // Bytes from the single client this object cuts lines for; a host with several clients
  // cuts each one's lines itself and hands them to Line().
  RigctlOutput Exchange(const uint8_t* bytes, size_t count);
  RigctlOutput Exchange(const std::string& bytes);
  // One complete line, without "\n". Appends to *out.
  void Line(const std::string& line, RigctlOutput* out);
  // A new client: a half line of the previous one is not its beginning.
  void NewConnection() { lines_.Clear(); }
  size_t buffered() const { return lines_.buffered(); }

  // One console line: "freq HZ", "mode NAME [PASSBAND]", "ng on|off", "silent on|off",
  // "split on|off", "noise N", "answer TEXT", "close". Returns false with a reason for a
  // bad line; otherwise *out receives what goes to the client because of it.
  bool Console(const std::string& line, RigctlOutput* out, std::string* reason);

  uint64_t frequency() const { return frequency_; }
  int modeCode() const { return modeCode_; }
  int passband() const { return passband_; }
  bool split() const { return split_; }

  static bool FrequencyFits(uint64_t hz) { return hz >= kMinHz && hz <= kMaxHz; }
  // "\n", "\r", "\\" and "\xHH"; nothing for any other escape.
  static std::optional<std::string> DecodeEscapes(const std::string& text);

 private:
  // Runs the command at tokens[*next] and moves past its arguments; returns false when
  // the rest of the line is not to be read.
  bool Command(const std::vector<std::string>& tokens, size_t* next, RigctlOutput* out);
  std::string SetFrequency(const std::string& value);
  std::string SetMode(const std::string& name, const std::string& passband);
  void Answer(const std::string& text, RigctlOutput* out);

  uint64_t frequency_;
  int modeCode_;
  int passband_;
  bool ng_ = false;
  bool silent_ = false;
  bool split_ = false;
  std::optional<std::string> nextAnswer_;
  RigctlLines lines_;
  std::mt19937 noise_;
};
