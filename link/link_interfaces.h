// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// The link's pendingReplies, shared by the command side and the recognisers: while a
// transaction waits, the answers it still owes; 0 once none is owed; below 0 when the
// radio's answer reported an error.
constexpr int kNoReplyPending = 0;
constexpr int kOneReplyPending = 1;
constexpr int kReplyError = -1;
// A reply frame shorter than its command's answer; the link takes it as an error as well.
constexpr int kReplyIncomplete = -2;
inline bool ReplyReportedError(int pendingReplies) { return pendingReplies < 0; }

// Where the command builders put their bytes. The link control implements it: it writes
// only while connected and reports a short write.
class FrameSender {
 public:
  virtual ~FrameSender() = default;
  virtual int SendFrame(const uint8_t* bytes, int count) = 0;
};

// What the reply recognisers find, called on the receive thread. The link control turns
// each call into a posted event, so the dialog and the list are only touched on the
// user-interface thread.
class ReplySink {
 public:
  virtual ~ReplySink() = default;
  virtual void OnFrequencyFound(uint64_t hz) = 0;
  virtual void OnModeFound(uint16_t code) = 0;
  // The radio answered NG.
  virtual void OnReceiverError() = 0;
};

// A modal error box (caption, text). Kept behind an interface so that code without
// widgets can report, and tests can capture what the user would see.
class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  virtual void ShowErrorBox(const std::string& caption, const std::string& text) = 0;
};

// The byte stream under a link: a serial line or a network connection. Read, WaitForInput
// and LastErrors run on the receive thread, Write and Wake on the user-interface thread.
class ByteLine {
 public:
  virtual ~ByteLine() = default;
  // What is queued now, at most maximum bytes; never waits. -1 when the line is gone,
  // -2 when line errors were counted since the last read.
  virtual int Read(uint8_t* buffer, int maximum) = 0;
  // The count written; fewer than count when the line refused or went away.
  virtual int Write(const uint8_t* bytes, int count) = 0;
  // Whether the last Write stopped because the other side is gone rather than slow.
  virtual bool lineGone() const = 0;
  // 1 input, 0 woken or timed out, -1 the line is gone (or not open).
  virtual int WaitForInput(int timeoutMs) = 0;
  virtual void Wake() = 0;
  // Line-error bits of the last Read; a network connection has none.
  virtual uint32_t LastErrors() const = 0;
};
