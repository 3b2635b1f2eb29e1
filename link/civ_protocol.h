// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "link/civ_codec.h"
#include "link/link_protocol.h"

// The CI-V radios, one stop bit on the serial line. They confirm nothing the program sends:
// a write is followed by a pause, and only a read the caller expects a reply to is waited
// for. The Perseus takes the same commands but reports nothing of its own accord, so it is
// polled for its frequency.
class CivProtocol : public SerialProtocol {
 public:
  CivProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port,
              FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  void Configure() override;
  QString ConnectionText() const override;
  uint64_t MaxFrequency() const override;
  bool HasPower() const override { return true; }
  LinkPoll poll() const override { return perseus_ ? LinkPoll::kFrequency : LinkPoll::kNone; }

  ProbeResult Probe() override;
  // The Perseus is polled even unanswered: its software may come up after the program.
  bool PollsAfterProbe(ProbeResult result) const override;
  void Poll() override;

  void SendFrequency(uint64_t hz) override;
  void SendMode(int code) override { codec_.CmdSetMode(code); }
  void SendReadFrequency() override { codec_.CmdReadFrequency(); }
  void SendReadMode() override { codec_.CmdReadMode(); }
  void SendPower(bool on) override { codec_.CmdPower(on); }
  void Parse(const uint8_t* bytes, int count) override { codec_.FrameReplyParser(bytes, count); }

 private:
  CivCodec codec_;
  bool perseus_ = false;
};
