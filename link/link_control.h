#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cat_codec.h"
#include "civ_codec.h"
#include "idle_queue.h"
#include "link_host.h"
#include "link_interfaces.h"
#include "serial_port.h"

// The settings the link reads; changed only while disconnected.
struct LinkSettings {
  int modelIndex = 0;
  int address = 0x5A;
  int comPort = 1;
  int baudRate = 9600;
};

constexpr int kReceiveBufferSize = 100000;
constexpr int kReplyTimeoutMs = 1000;
constexpr int kCivWritePauseMs = 50;
constexpr int kCatProbeAttempts = 5;
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

  bool CanConnect() const;
  bool CanPower() const;

  std::atomic<bool> linkConnected{false};
  std::atomic<int> pendingReplies{0};

 protected:
  bool event(QEvent* event) override;

 private:
  enum class WaitOutcome { kAnswered, kTimedOut, kEscaped };
  WaitOutcome AwaitReply();

  void ReceiveThread();
  // -1 when the line is gone.
  int PollReceiver();
  void CheckLineErrors();
  // Either thread: marks the line gone and posts COMM ERROR and the disconnect.
  void LoseLine();
  void StopReceiveThread();
  void Post(QEvent::Type type, quint32 value);
  void OnLinkLost();
  void Disconnect();
  bool IsCat() const;
  uint64_t MaxFrequency() const;

  void OnFrequencyFound(uint32_t hz) override;
  void OnModeFound(uint16_t code) override;
  void OnReceiverError() override;
  void ShowErrorBox(const std::string& caption, const std::string& text) override;

  LinkHost& host_;
  LinkSettings settings_;
  SerialPort port_;
  CivCodec civ_;
  CatCodec cat_;
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
