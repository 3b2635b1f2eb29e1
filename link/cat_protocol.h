// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "link/cat_codec.h"
#include "link/link_protocol.h"

// CAT carries eight digits of tens of hertz; the units digit is dropped, so every
// frequency below 1 GHz fits.
constexpr uint64_t kCatMaxFrequency = 999999999;
constexpr int kCatProbeAttempts = 5;

// The CAT radios, two stop bits on the serial line. Every command is answered; frequency
// and mode come only with the status read, which the poll sends.
class CatProtocol : public SerialProtocol {
 public:
  CatProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port,
              FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  void Configure() override;
  QString ConnectionText() const override;
  uint64_t MaxFrequency() const override { return kCatMaxFrequency; }
  bool AnswersEveryCommand() const override { return true; }
  bool ReadsOnRequest() const override { return false; }
  LinkPoll poll() const override { return LinkPoll::kStatus; }

  ProbeResult Probe() override;
  void Poll() override { link_.ReadStatus(); }

  void SendFrequency(uint64_t hz) override;
  void SendMode(int code) override;
  void SendReadStatus() override;
  void Parse(const uint8_t* bytes, int count) override { codec_.CatReplyParser(bytes, count); }

 private:
  CatCodec codec_;
  std::atomic<int>& pendingReplies_;
};
