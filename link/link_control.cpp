// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_control.h"

#include <QCoreApplication>
#include <chrono>

#include "common/command_ids.h"
#include "common/texts.h"
#include "link/link_events.h"
#include "link/port_settings.h"
#include "link/receiver_models.h"
#include "link/reply_wait.h"

namespace {

class WaitCursorScope {
 public:
  explicit WaitCursorScope(LinkHost& host) : host_(host) { host_.SetWaitCursor(true); }
  ~WaitCursorScope() { host_.SetWaitCursor(false); }

 private:
  LinkHost& host_;
};

}  // namespace

LinkControl::LinkControl(LinkHost& host, QObject* parent)
    : QObject(parent),
      host_(host),
      port_(*this, [this](int port) { return PortDevice(port, host_.MappedPorts()); }),
      protocols_(*this, settings_, port_, tcp_, *this, *this, pendingReplies),
      receiveBuffer(new uint8_t[kReceiveBufferSize]) {
  poll_.setInterval(kPollIntervalMs);
  connect(&poll_, &QTimer::timeout, this, [this] { OnTimer(pollId_); });
  timerOwners_ = {&poll_};
  SetSettings(settings_);
}

LinkControl::~LinkControl() { CloseLink(); }

void LinkControl::SetSettings(const LinkSettings& settings) {
  // A poll left by a failed Perseus probe would go on asking whatever radio comes next.
  StopPolls();
  settings_ = settings;
  protocol_ = &protocols_.For(settings_.modelIndex);
  protocol_->Configure();
  line_ = &protocol_->line();
}

void LinkControl::AddTimerOwner(QObject* owner) { timerOwners_.emplace_back(owner); }

bool LinkControl::IsNone() const { return protocol_ == &protocols_.none; }

const ModeEntry* LinkControl::modes() const { return ModelAt(settings_.modelIndex).modes; }

const char* LinkControl::modelName() const { return ModelAt(settings_.modelIndex).name; }

int LinkControl::OpenLink() {
  linkConnected = false;
  lineLost_ = false;
  if (!protocol_->OpenLine()) return -1;
  linkConnected = true;
  StartReceiveThread();
  return 0;
}

void LinkControl::StartReceiveThread() {
  stopRequested_ = false;
  try {
    receiveThread_ = std::thread(&LinkControl::ReceiveThread, this);
  } catch (const std::system_error&) {
    host_.ShowMessageBox(texts::kAppTitle, texts::kCreateThreadFailed, BoxIcon::kNone);
  }
}

void LinkControl::StopReceiveThread() {
  if (!receiveThread_.joinable()) return;
  stopRequested_ = true;
  line().Wake();
  receiveThread_.join();
}

void LinkControl::CloseLink() {
  StopReceiveThread();
  port_.Close();
  tcp_.Close();
  linkConnected = false;
}

void LinkControl::ToggleConnect() {
  if (linkConnected) {
    Disconnect();
    return;
  }
  // A poll left by an earlier probe must not outlive this one.
  StopPolls();
  {
    IdleQueue::BusyScope busy(idle_);
    WaitCursorScope cursor(host_);
    OpenLink();
    UpdateLinkStatus();
    const ProbeResult probe = protocol_->Probe();
    if (protocol_->PollsAfterProbe(probe)) StartPoll();
    if (probe != ProbeResult::kFound) {
      CloseLink();
      if (probe == ProbeResult::kNotFound) {
        host_.ShowMessageBox(texts::kAppTitle, protocol_->NotFoundText(), BoxIcon::kExclamation);
      }
    }
  }
  emit connectionChanged();
}

void LinkControl::StartPoll() {
  switch (protocol_->poll()) {
    case LinkPoll::kNone:
      return;
    case LinkPoll::kFrequency:
      pollId_ = kTimerPerseusPoll;
      break;
    case LinkPoll::kStatus:
      pollId_ = kTimerCatPoll;
      break;
  }
  poll_.start();
}

void LinkControl::StopPolls() { poll_.stop(); }

void LinkControl::Disconnect() {
  StopPolls();
  CloseLink();
  emit disconnected();
  emit connectionChanged();
}

void LinkControl::UpdateLinkStatus() {
  host_.SetPaneText(StatusPane::kConnection, protocol_->ConnectionText());
}

TransactionResult LinkControl::WriteFrequency(uint64_t hz) {
  IdleQueue::BusyScope busy(idle_);
  if (hz == 0 || !linkConnected) return TransactionResult::kNotSent;
  // A frequency the command cannot carry would reach the radio wrapped or with its top
  // digit cut: a wrong station, silently.
  if (hz > MaxFrequency()) {
    SetStatusText(QString(), QString(texts::kWriteFreqOutOfRange));
    return TransactionResult::kNotSent;
  }
  SetStatusText(QString(), QString(texts::kWriteFreqBusy));
  return Write([this, hz] { protocol_->SendFrequency(hz); }, texts::kWriteFreqOk,
               texts::kWriteFreqFailed, texts::kWriteFreqDone);
}

TransactionResult LinkControl::WriteMode(int code) {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || !protocol_->CanSendMode(code)) return TransactionResult::kNotSent;
  SetStatusText(QString(), QString(texts::kWriteModeBusy));
  return Write([this, code] { protocol_->SendMode(code); }, texts::kWriteModeOk,
               texts::kWriteModeFailed, texts::kWriteModeDone);
}

template <class Send>
TransactionResult LinkControl::Write(Send send, const char* ok, const char* failed,
                                     const char* done) {
  if (!protocol_->AnswersEveryCommand()) {
    send();
    SetStatusText(QString(), QString(done));
    std::this_thread::sleep_for(std::chrono::milliseconds(kCivWritePauseMs));
    return TransactionResult::kSentUnconfirmed;
  }
  const bool acknowledged = Transact(send) == TransactionResult::kAnswered;
  SetStatusText(QString(), QString(acknowledged ? ok : failed));
  return acknowledged ? TransactionResult::kAcknowledged : TransactionResult::kFailed;
}

template <class Send>
TransactionResult LinkControl::Transact(Send send) {
  if (!protocol_->ReadyToSend()) return TransactionResult::kFailed;
  send();
  return WaitForReply();
}

TransactionResult LinkControl::ReadFrequency() {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || !protocol_->ReadsOnRequest()) return TransactionResult::kNotSent;
  SetStatusText(QString(), QString(texts::kGetFreqBusy));
  const TransactionResult result = Transact([this] { protocol_->SendReadFrequency(); });
  const bool answered = result == TransactionResult::kAnswered;
  SetStatusText(QString(), QString(answered ? texts::kGetFreqDone : texts::kReadFailed));
  return result;
}

TransactionResult LinkControl::ReadMode() {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || !protocol_->ReadsOnRequest()) return TransactionResult::kNotSent;
  SetStatusText(QString(), QString(texts::kGetModeBusy));
  if (!protocol_->AnswersEveryCommand()) {
    // The reply comes when it comes; a frequency read before it is what the caller awaits.
    protocol_->SendReadMode();
    SetStatusText(QString(), QString(texts::kGetModeDone));
    return TransactionResult::kSentUnconfirmed;
  }
  const TransactionResult result = Transact([this] { protocol_->SendReadMode(); });
  const bool answered = result == TransactionResult::kAnswered;
  SetStatusText(QString(), QString(answered ? texts::kGetModeDone : texts::kReadFailed));
  return result;
}

TransactionResult LinkControl::ReadStatus() {
  IdleQueue::BusyScope busy(idle_);
  if (!protocol_->HasStatusRead()) return TransactionResult::kNotSent;
  return Transact([this] { protocol_->SendReadStatus(); });
}

void LinkControl::ExpectReply() { pendingReplies = kOneReplyPending; }

// A write error's box runs an event loop, so even an unanswered command keeps the link busy.
void LinkControl::PowerOn() {
  IdleQueue::BusyScope busy(idle_);
  protocol_->SendPower(true);
}

void LinkControl::PowerOff() {
  IdleQueue::BusyScope busy(idle_);
  protocol_->SendPower(false);
}

WaitOutcome LinkControl::AwaitReply() {
  // A line that is gone will not answer: no point waiting out the second.
  const WaitOutcome outcome = AwaitUntil(
      [this] { return pendingReplies <= kNoReplyPending || lineLost_; }, kReplyTimeoutMs);
  if (outcome == WaitOutcome::kAnswered && pendingReplies > kNoReplyPending) {
    return WaitOutcome::kLineLost;
  }
  return outcome;
}

WaitOutcome LinkControl::AwaitUntil(const std::function<bool()>& done, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  ReplyWaitFilter filter(this, timerOwners_, idle_);
  while (!done()) {
    if (Clock::now() > deadline) return WaitOutcome::kTimedOut;
    if (filter.escapePressed()) return WaitOutcome::kEscaped;
    {
      std::unique_lock lock(replyMutex_);
      replyArrived_.wait_for(lock, std::chrono::milliseconds(2), done);
    }
    if (!done()) filter.ProcessPending();
  }
  return WaitOutcome::kAnswered;
}

TransactionResult LinkControl::WaitForReply() {
  // The filter is gone once AwaitReply returns, so the dialogs below get the keyboard.
  const WaitOutcome outcome = AwaitReply();
  if (outcome != WaitOutcome::kAnswered) protocol_->OnReplyMissed();
  switch (outcome) {
    case WaitOutcome::kTimedOut:
      SetStatusText(QString(texts::kTimeout), std::nullopt);
      return TransactionResult::kTimedOut;
    case WaitOutcome::kEscaped:
      SetStatusText(QString(), std::nullopt);
      host_.ShowMessageDialog(texts::kInterrupted);
      return TransactionResult::kInterrupted;
    case WaitOutcome::kLineLost:
      // A serial line's loss shows in the link pane once the disconnect follows.
      protocol_->OnLineLostInWait();
      return TransactionResult::kFailed;
    case WaitOutcome::kAnswered:
      break;
  }
  if (ReplyReportedError(pendingReplies)) {
    SetStatusText(QString(), std::nullopt);
    protocol_->ShowReplyError();
    return TransactionResult::kFailed;
  }
  protocol_->OnAnswered();
  return TransactionResult::kAnswered;
}

void LinkControl::SetStatusText(std::optional<QString> message, std::optional<QString> link) {
  if (message) host_.SetPaneText(StatusPane::kMessage, *message);
  if (link) host_.SetPaneText(StatusPane::kLink, *link);
}

void LinkControl::ShowLinkError(const QString& name, int code) {
  host_.ShowMessageBox(texts::kAppTitle, QString(texts::kLinkError).arg(name).arg(code),
                       BoxIcon::kExclamation);
}

int LinkControl::SendFrame(const uint8_t* bytes, int count) {
  // A line that is already gone is not written to: the error box would only repeat what
  // the link pane already says.
  if (!linkConnected || lineLost_) return 0;
  int written = line().Write(bytes, count);
  if (written == count) return written;
  // The other side went away under the write, perhaps before the receive thread saw it
  // hang up: that is the line lost, which ends the link, not a write error to confirm.
  if (line().lineGone() || lineLost_) {
    LoseLine();
    return written;
  }
  ShowLinkError(texts::kCallWrite, written);
  return written;
}

void LinkControl::OnTimer(int id) {
  // A poll due while a step or another transaction runs follows it.
  idle_.RunWhenIdle(id, [this, id] {
    if (id != pollId_ || !poll_.isActive()) return;
    // Busy until a word about the silence is read, so that no poll runs under it.
    IdleQueue::BusyScope busy(idle_);
    protocol_->Poll();
  });
}

bool LinkControl::isTimerRunning(int id) const { return id == pollId_ && poll_.isActive(); }

void LinkControl::ReceiveThread() {
  while (!stopRequested_) {
    int ready = line().WaitForInput(-1);
    if (stopRequested_) break;
    if (ready < 0 || PollReceiver() < 0) {
      LoseLine();
      break;
    }
    CheckLineErrors();
  }
}

void LinkControl::LoseLine(int indicator) {
  // Both threads may notice the same hang-up; the link is reported lost once.
  if (lineLost_.exchange(true)) return;
  Post(kLinkIndicatorEvent, static_cast<quint64>(indicator));
  Post(kLinkLostEvent, 0);
}

int LinkControl::PollReceiver() {
  if (!linkConnected) return 0;
  int n = line().Read(receiveBuffer.get(), kReceiveBufferSize);
  if (n == -1) return -1;
  if (n <= 0) return 0;
  protocol_->Parse(receiveBuffer.get(), n);
  // The waiting transaction checks the indicator under this lock, so no wake-up is lost.
  { std::lock_guard lock(replyMutex_); }
  replyArrived_.notify_all();
  return n;
}

void LinkControl::CheckLineErrors() {
  if (linkConnected && line().LastErrors() != 0) Post(kLinkIndicatorEvent, kIndicatorCommError);
}

void LinkControl::Post(QEvent::Type type, quint64 value) {
  QCoreApplication::postEvent(this, new LinkEvent(type, value));
}

void LinkControl::OnFrequencyFound(uint64_t hz) { Post(kFrequencyEvent, hz); }

void LinkControl::OnModeFound(uint16_t code) { Post(kModeEvent, code); }

void LinkControl::OnReceiverError() { Post(kLinkIndicatorEvent, kIndicatorReceiverError); }

bool LinkControl::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != kFrequencyEvent && type != kModeEvent && type != kLinkIndicatorEvent &&
      type != kLinkLostEvent) {
    return QObject::event(event);
  }
  const quint64 value = static_cast<LinkEvent*>(event)->value();
  if (type == kFrequencyEvent) {
    emit frequencyReported(value);
  } else if (type == kModeEvent) {
    emit modeReported(static_cast<int>(value));
  } else if (type == kLinkIndicatorEvent) {
    emit indicatorChanged(static_cast<int>(value));
  } else {
    OnLinkLost();
  }
  return true;
}

void LinkControl::OnLinkLost() {
  // Not under a running step or transaction: they would go on with a link torn down under
  // them. The disconnect follows when they return.
  idle_.RunWhenIdle(kLinkLostEvent, [this] {
    if (!linkConnected || !lineLost_) return;
    // A serial line's loss shows in the link pane; the protocol may have more to say.
    LinkProtocol& protocol = *protocol_;
    Disconnect();
    protocol.OnLinkDropped();
  });
}

void LinkControl::ShowErrorBox(const std::string& caption, const std::string& text) {
  host_.ShowMessageBox(QString::fromStdString(caption), QString::fromStdString(text),
                       BoxIcon::kExclamation);
}
