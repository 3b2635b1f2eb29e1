// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>

#include "link/link_protocol.h"
#include "link/net_codec.h"

class TcpLine;

// Each connection attempt to a network radio, and the whole wait for a name and a connection.
constexpr int kNetConnectTimeoutMs = 3000;
constexpr int kNetConnectWaitMs = 5000;
// Poll time-outs in a row after which a silent server is worth a word.
constexpr int kNetSilentPolls = 3;

// A radio behind a radio-control server, over TCP and its text protocol. Every command is
// answered; a stream left out of step by a time-out is replaced by a new connection before
// the next command, and every way the server fails is told in a message of its own.
class NetProtocol : public LinkProtocol {
 public:
  NetProtocol(ProtocolLink& link, const LinkSettings& settings, TcpLine& tcp, FrameSender& sender,
              ReplySink& sink, std::atomic<int>& pendingReplies);

  ByteLine& line() override;
  bool OpenLine() override;
  bool RunsOnNetwork() const override { return true; }
  QString ConnectionText() const override;
  QString NotFoundText() const override;

  uint64_t MaxFrequency() const override { return kNetMaxFrequency; }
  bool AnswersEveryCommand() const override { return true; }
  // Told by name, a network radio cannot be sent a code its table does not name.
  bool CanSendMode(int code) const override;
  LinkPoll poll() const override { return LinkPoll::kStatus; }

  ProbeResult Probe() override;
  void Poll() override;

  void SendFrequency(uint64_t hz) override { codec_.SetFrequency(hz); }
  void SendMode(int code) override;
  void SendReadFrequency() override { codec_.ReadFrequency(); }
  void SendReadMode() override { codec_.ReadMode(); }
  void SendReadStatus() override { codec_.ReadStatus(); }
  void Parse(const uint8_t* bytes, int count) override { codec_.Parse(bytes, count); }

  bool ReadyToSend() override;
  void OnReplyMissed() override { codec_.Abandon(); }
  void OnLineLostInWait() override { TellConnectionClosed(); }
  void ShowReplyError() override;
  void OnAnswered() override { NoteAnswer(); }
  // A server that closed the connection is worth a word, unless the reason for dropping it
  // is already on screen.
  void OnLinkDropped() override { TellConnectionClosed(); }

 private:
  // Opens the connection to the configured host; false after a message.
  bool Connect();
  // The link failed with a message already shown: disconnect once idle.
  void DropLink(int indicator);
  // The server closed the connection: said once per connection.
  void TellConnectionClosed();
  // A silent server is told once after kNetSilentPolls polls in a row time out, and again
  // only after it has answered.
  void NoteAnswer();
  void NotePoll(TransactionResult result);
  void ShowBox(const QString& text);
  QString HostShown() const;

  TcpLine& tcp_;
  NetCodec codec_;
  // The reason for losing the link is already on screen.
  std::atomic<bool> lossShown_{false};
  std::chrono::steady_clock::time_point lastAnswer_;
  int silentPolls_ = 0;
  bool silenceShown_ = false;
};
