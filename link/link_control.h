// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/cat_codec.h"
#include "link/civ_codec.h"
#include "link/idle_queue.h"
#include "link/link_events.h"
#include "link/link_host.h"
#include "link/link_interfaces.h"
#include "link/link_settings.h"
#include "link/net_address.h"
#include "link/net_codec.h"
#include "link/serial_port.h"
#include "link/tcp_line.h"

constexpr int kReceiveBufferSize = 100000;
constexpr int kReplyTimeoutMs = 1000;
constexpr int kCivWritePauseMs = 50;
constexpr int kCatProbeAttempts = 5;
// Each connection attempt to a network radio, and the whole wait for a name and a connection.
constexpr int kNetConnectTimeoutMs = 3000;
constexpr int kNetConnectWaitMs = 5000;
// Poll time-outs in a row after which a silent server is worth a word.
constexpr int kNetSilentPolls = 3;
// CAT carries eight digits of tens of hertz; the units digit is dropped, so every
// frequency below 1 GHz fits.
constexpr uint64_t kCatMaxFrequency = 999999999;

// The radio-facing half of the view: connects, runs the receive thread and carries out one
// transaction at a time on the user-interface thread.
class LinkControl : public QObject, private FrameSender, private ReplySink, private ErrorBox {
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

  // Transactions: 0 not sent / nothing outstanding, 1 acknowledged or timed out (see each),
  // 2 sent without waiting or interrupted, -1 failed.
  int WriteFrequency(uint64_t hz);
  int WriteMode(int code);
  int ReadFrequency();
  int ReadMode();
  int ReadStatus();
  void ExpectReply();
  void PowerOn();
  void PowerOff();

  int OpenLink();
  void CloseLink();
  void ToggleConnect();
  void UpdateLinkStatus();
  int WaitForReply();
  void ShowLinkError(const QString& name, int code);
  void SetStatusText(std::optional<QString> message, std::optional<QString> link);
  int SendFrame(const uint8_t* bytes, int count) override;

  // Timer ticks of 333 and 444; the view's timer dispatch lands here too.
  void OnTimer(int id);
  bool isTimerRunning(int id) const;

  // The highest frequency the current protocol's command can carry, in hertz.
  uint64_t MaxFrequency() const;
  bool CanConnect() const;
  bool CanPower() const;

  std::atomic<bool> linkConnected{false};
  std::atomic<int> pendingReplies{0};

 protected:
  bool event(QEvent* event) override;

 private:
  // A write the radio acknowledges (CAT and network): 1 acknowledged, -1 not, with the
  // status text for either.
  int AcknowledgedWrite(const std::function<void()>& sendNetwork,
                        const std::function<void()>& sendCat, const char* ok, const char* failed);

  enum class WaitOutcome { kAnswered, kTimedOut, kEscaped, kLineLost };
  WaitOutcome AwaitReply();
  // Keeps the window painting and holds the user's input until done() or timeoutMs.
  WaitOutcome AwaitUntil(const std::function<bool()>& done, int timeoutMs);

  // The network radio (link_control_net.cpp).
  bool IsNetwork() const;
  ByteLine& line();
  int OpenNetwork();
  // Opens the connection to the configured host; false after a message.
  bool ConnectNetwork();
  // Before a command: a stream left out of step by a time-out is replaced by a new one.
  bool NetworkReady();
  int NetworkTransaction(const std::function<void()>& send);
  void ShowNetworkFault();
  // The network link failed with a message already shown: disconnect once idle.
  void DropNetworkLink(int indicator);
  // The server closed the connection: said once per connection.
  void TellConnectionClosed();
  // A silent server is told once after kNetSilentPolls polls in a row time out, and again
  // only after it has answered.
  void NoteNetworkAnswer();
  void NoteNetworkPoll(int result);
  QString NetHostShown() const;

  void ReceiveThread();
  // -1 when the line is gone.
  int PollReceiver();
  void CheckLineErrors();
  // Either thread: marks the line gone and posts COMM ERROR and the disconnect.
  void LoseLine(int indicator = kIndicatorCommError);
  void StartReceiveThread();
  void StopReceiveThread();
  void Post(QEvent::Type type, quint64 value);
  void OnLinkLost();
  void StopPolls();
  void Disconnect();
  bool IsCat() const;

  void OnFrequencyFound(uint64_t hz) override;
  void OnModeFound(uint16_t code) override;
  void OnReceiverError() override;
  void ShowErrorBox(const std::string& caption, const std::string& text) override;

  LinkHost& host_;
  LinkSettings settings_;
  SerialPort port_;
  CivCodec civ_;
  CatCodec cat_;
  TcpLine net_;
  NetCodec netCodec_;
  // The reason for losing the network link is already on screen.
  std::atomic<bool> netLossShown_{false};
  std::chrono::steady_clock::time_point lastNetAnswer_;
  int silentNetPolls_ = 0;
  bool netSilenceShown_ = false;
  std::unique_ptr<uint8_t[]> receiveBuffer;
  std::thread receiveThread_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> lineLost_{false};
  std::mutex replyMutex_;
  std::condition_variable replyArrived_;
  QTimer catPoll_;
  QTimer perseusPoll_;
  std::vector<QPointer<QObject>> timerOwners_;
  IdleQueue idle_;
};
