// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "link/link_interfaces.h"

class LinkHost;
class SerialPort;
struct LinkSettings;

// What a transaction came to. Reads and writes say different things with it: a read is
// answered, a write acknowledged or, to a radio that confirms nothing, only sent.
enum class TransactionResult {
  // Nothing went out: not connected, a radio that cannot be asked, or a value the command
  // cannot carry.
  kNotSent,
  // The awaited answers came, or none was awaited.
  kAnswered,
  kAcknowledged,
  // Sent to a radio that confirms nothing; the pause after it is over.
  kSentUnconfirmed,
  kTimedOut,
  // Esc ended the wait.
  kInterrupted,
  // An error answer, a lost line, or a write the radio did not confirm.
  kFailed,
};

enum class WaitOutcome { kAnswered, kTimedOut, kEscaped, kLineLost };

// What the probe on connecting found.
enum class ProbeResult {
  kFound,
  kNotFound,
  // Not found, and a message has already said why.
  kExplained,
};

// What a polled radio is asked while it is connected.
enum class LinkPoll { kNone, kFrequency, kStatus };

// What a protocol may ask of the link that runs it: the user-facing side, the state of the
// line, the reads its probe and poll are made of, and the reply wait.
class ProtocolLink {
 public:
  virtual LinkHost& host() = 0;
  virtual bool connected() const = 0;
  // The receive thread or a failed write found the line gone.
  virtual bool lineLost() const = 0;
  virtual void ShowLinkError(const QString& name, int code) = 0;
  virtual void ExpectReply() = 0;
  virtual TransactionResult ReadFrequency() = 0;
  virtual TransactionResult ReadStatus() = 0;
  // Keeps the window painting and holds the user's input until done() or timeoutMs.
  virtual WaitOutcome AwaitUntil(const std::function<bool()>& done, int timeoutMs) = 0;
  // Either thread: marks the line gone and posts the indicator and the disconnect.
  virtual void LoseLine(int indicator) = 0;
  // Around replacing the line under a running link.
  virtual void StopReceiving() = 0;
  virtual void StartReceiving() = 0;

 protected:
  ~ProtocolLink() = default;
};

// What differs between the radios the link can drive: the line, the commands and their
// framing, the reply recogniser, how the radio is found on connecting and how it is polled.
// The link picks one when its settings change and runs every transaction through it.
// Send* and the hooks run on the user-interface thread, Parse on the receive thread.
class LinkProtocol {
 public:
  virtual ~LinkProtocol() = default;
  LinkProtocol(const LinkProtocol&) = delete;
  LinkProtocol& operator=(const LinkProtocol&) = delete;

  // The settings changed; the receive thread is stopped.
  virtual void Configure() {}

  virtual ByteLine& line() = 0;
  // False after a message said why.
  virtual bool OpenLine() = 0;
  virtual bool RunsOnNetwork() const { return false; }
  // The connection pane while this radio is chosen.
  virtual QString ConnectionText() const = 0;
  virtual QString NotFoundText() const = 0;

  // The highest frequency the command can carry, in hertz.
  virtual uint64_t MaxFrequency() const = 0;
  virtual bool HasPower() const { return false; }
  // The radio answers every command, writes included, and each transaction waits for it.
  virtual bool AnswersEveryCommand() const { return false; }
  // Frequency and mode can be asked for; otherwise the poll brings them.
  virtual bool ReadsOnRequest() const { return true; }
  // A mode the command can name.
  virtual bool CanSendMode(int) const { return true; }
  virtual LinkPoll poll() const { return LinkPoll::kNone; }
  bool HasStatusRead() const { return poll() == LinkPoll::kStatus; }

  virtual ProbeResult Probe() = 0;
  virtual bool PollsAfterProbe(ProbeResult result) const { return result == ProbeResult::kFound; }
  // One tick of the poll.
  virtual void Poll() {}

  virtual void SendFrequency(uint64_t hz) = 0;
  virtual void SendMode(int code) = 0;
  virtual void SendReadFrequency() {}
  virtual void SendReadMode() {}
  virtual void SendReadStatus() {}
  virtual void SendPower(bool) {}
  virtual void Parse(const uint8_t* bytes, int count) = 0;

  // Before a command that waits: false when it cannot go out, with the reason shown.
  virtual bool ReadyToSend() { return true; }
  // The wait ended without the answers (time-out, Esc, a lost line).
  virtual void OnReplyMissed() {}
  // The line went while a transaction waited.
  virtual void OnLineLostInWait() {}
  // The answer was an error.
  virtual void ShowReplyError();
  virtual void OnAnswered() {}
  // The disconnect after a lost line is done.
  virtual void OnLinkDropped() {}

 protected:
  LinkProtocol(ProtocolLink& link, const LinkSettings& settings)
      : link_(link), settings_(settings) {}

  ProtocolLink& link_;
  const LinkSettings& settings_;
};

// A radio on a serial line: opened at the settings' port and speed with the protocol's stop
// bits.
class SerialProtocol : public LinkProtocol {
 public:
  ByteLine& line() override;
  bool OpenLine() override;
  QString NotFoundText() const override;

 protected:
  SerialProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port, int stopBits)
      : LinkProtocol(link, settings), port_(port), stopBits_(stopBits) {}

  SerialPort& port_;

 private:
  int stopBits_;
};

// No radio: nothing opens and nothing is sent.
class NoProtocol : public LinkProtocol {
 public:
  NoProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port)
      : LinkProtocol(link, settings), port_(port) {}

  ByteLine& line() override;
  bool OpenLine() override { return false; }
  QString ConnectionText() const override { return QString(); }
  QString NotFoundText() const override { return QString(); }
  uint64_t MaxFrequency() const override;
  bool ReadsOnRequest() const override { return false; }
  bool CanSendMode(int) const override { return false; }
  ProbeResult Probe() override { return ProbeResult::kExplained; }
  void SendFrequency(uint64_t) override {}
  void SendMode(int) override {}
  void Parse(const uint8_t*, int) override {}

 private:
  SerialPort& port_;
};
