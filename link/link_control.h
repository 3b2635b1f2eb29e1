// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/idle_queue.h"
#include "link/link_events.h"
#include "link/link_host.h"
#include "link/link_interfaces.h"
#include "link/link_protocol.h"
#include "link/link_settings.h"
#include "link/net_address.h"
#include "link/protocol_set.h"
#include "link/serial_port.h"
#include "link/tcp_line.h"

struct ModeEntry;

constexpr int kReceiveBufferSize = 100000;
constexpr int kReplyTimeoutMs = 1000;
// After a write to a radio that confirms nothing.
constexpr int kCivWritePauseMs = 50;

// The radio-facing half of the view: connects, runs the receive thread and carries out one
// transaction at a time on the user-interface thread, in the protocol its settings choose.
// What the radio reports, it emits on the user-interface thread.
class LinkControl final : public QObject,
                          private FrameSender,
                          private ReplySink,
                          private ErrorBox,
                          private ProtocolLink {
  Q_OBJECT

 public:
  explicit LinkControl(LinkHost& host, QObject* parent = nullptr);
  ~LinkControl() override;

  void SetSettings(const LinkSettings& settings);
  const LinkSettings& settings() const { return settings_; }
  // Objects whose timer ticks must wait while a transaction waits (the view's timers).
  void AddTimerOwner(QObject* owner);
  // Transactions and tuning steps hold it busy; what must not start inside them waits in it.
  IdleQueue& idle() { return idle_; }
  bool IsBusy() const { return idle_.busy(); }

  // What kind of radio the settings choose.
  bool IsNone() const;
  bool RunsOnNetwork() const { return protocol_->RunsOnNetwork(); }
  // A poll brings the frequency while connected; the status poll brings the mode with it.
  bool IsPolled() const { return protocol_->poll() != LinkPoll::kNone; }
  bool PollsMode() const { return protocol_->poll() == LinkPoll::kStatus; }
  // Frequency and mode can be asked for; a CAT radio tells them only through its poll.
  bool CanReadFrequency() const { return protocol_->ReadsOnRequest(); }
  // The receiver's modes, nullptr for none.
  const ModeEntry* modes() const;
  const char* modelName() const;
  // The highest frequency the current protocol's command can carry, in hertz.
  uint64_t MaxFrequency() const { return protocol_->MaxFrequency(); }
  bool CanConnect() const { return !IsNone(); }
  bool CanPower() const { return linkConnected && protocol_->HasPower(); }

  TransactionResult WriteFrequency(uint64_t hz);
  TransactionResult WriteMode(int code);
  TransactionResult ReadFrequency() override;
  TransactionResult ReadMode();
  // The status read of a polled radio: frequency and mode in one answer.
  TransactionResult ReadStatus() override;
  // The next CI-V read waits for its reply.
  void ExpectReply() override;
  void PowerOn();
  void PowerOff();

  int OpenLink();
  void CloseLink();
  void ToggleConnect();
  void UpdateLinkStatus();
  TransactionResult WaitForReply();
  void ShowLinkError(const QString& name, int code) override;
  void SetStatusText(std::optional<QString> message, std::optional<QString> link);
  int SendFrame(const uint8_t* bytes, int count) override;

  // Timer ticks of 333 and 444; the view's timer dispatch lands here too.
  void OnTimer(int id);
  bool isTimerRunning(int id) const;

  std::atomic<bool> linkConnected{false};
  std::atomic<int> pendingReplies{kNoReplyPending};

 signals:
  void frequencyReported(uint64_t hz);
  void modeReported(int code);
  // The link pane's indicator (kIndicator*).
  void indicatorChanged(int code);
  // A connected link was closed, by the user or because the line went; connectionChanged
  // follows.
  void disconnected();
  // After every connect and disconnect, whether or not the radio was found.
  void connectionChanged();

 protected:
  bool event(QEvent* event) override;

 private:
  // A write and the status texts around it: acknowledged, or sent and followed by a pause.
  template <class Send>
  TransactionResult Write(Send send, const char* ok, const char* failed, const char* done);
  // A command whose answer is awaited.
  template <class Send>
  TransactionResult Transact(Send send);

  WaitOutcome AwaitReply();
  WaitOutcome AwaitUntil(const std::function<bool()>& done, int timeoutMs) override;

  ByteLine& line() { return *line_; }
  void ReceiveThread();
  // -1 when the line is gone.
  int PollReceiver();
  void CheckLineErrors();
  void LoseLine(int indicator = kIndicatorCommError) override;
  void StartReceiveThread();
  void StopReceiveThread();
  void Post(QEvent::Type type, quint64 value);
  void OnLinkLost();
  void StartPoll();
  void StopPolls();
  void Disconnect();

  LinkHost& host() override { return host_; }
  bool connected() const override { return linkConnected; }
  bool lineLost() const override { return lineLost_; }
  void StopReceiving() override { StopReceiveThread(); }
  void StartReceiving() override { StartReceiveThread(); }

  void OnFrequencyFound(uint64_t hz) override;
  void OnModeFound(uint16_t code) override;
  void OnReceiverError() override;
  void ShowErrorBox(const std::string& caption, const std::string& text) override;

  LinkHost& host_;
  LinkSettings settings_;
  SerialPort port_;
  TcpLine tcp_;
  ProtocolSet protocols_;
  // Chosen by SetSettings, while the receive thread is stopped.
  LinkProtocol* protocol_ = nullptr;
  ByteLine* line_ = nullptr;
  std::unique_ptr<uint8_t[]> receiveBuffer;
  std::thread receiveThread_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> lineLost_{false};
  std::mutex replyMutex_;
  std::condition_variable replyArrived_;
  // One poll at a time, with the timer id of its kind.
  QTimer poll_;
  int pollId_ = 0;
  std::vector<QPointer<QObject>> timerOwners_;
  IdleQueue idle_;
};
