// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_control.h"

#include <QCoreApplication>
#include <chrono>
#include <limits>

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
      civ_(*this, *this, pendingReplies),
      cat_(*this, *this, pendingReplies),
      netCodec_(*this, *this, pendingReplies),
      receiveBuffer(new uint8_t[kReceiveBufferSize]) {
  catPoll_.setInterval(kPollIntervalMs);
  perseusPoll_.setInterval(kPollIntervalMs);
  connect(&catPoll_, &QTimer::timeout, this, [this] { OnTimer(kTimerCatPoll); });
  connect(&perseusPoll_, &QTimer::timeout, this, [this] { OnTimer(kTimerPerseusPoll); });
  timerOwners_ = {&catPoll_, &perseusPoll_};
  SetSettings(settings_);
}

LinkControl::~LinkControl() { CloseLink(); }

void LinkControl::SetSettings(const LinkSettings& settings) {
  // A poll left by a failed Perseus probe would go on asking whatever radio comes next.
  StopPolls();
  settings_ = settings;
  const ReceiverModel& model = ModelAt(settings_.modelIndex);
  civ_.SetRadio(static_cast<uint8_t>(settings_.address), model.id);
  cat_.SetCommandSet(model.catCommandSet);
}

void LinkControl::AddTimerOwner(QObject* owner) { timerOwners_.emplace_back(owner); }

bool LinkControl::IsCat() const { return IsCatModel(settings_.modelIndex); }

uint64_t LinkControl::MaxFrequency() const {
  if (IsNetwork()) return kNetMaxFrequency;
  return IsCat() ? kCatMaxFrequency : std::numeric_limits<uint32_t>::max();
}

bool LinkControl::CanConnect() const { return !IsNoneModel(settings_.modelIndex); }

bool LinkControl::CanPower() const { return linkConnected && !IsCat() && !IsNetwork(); }

// ---- Connecting -------------------------------------------------------------------------

int LinkControl::OpenLink() {
  linkConnected = false;
  if (IsNetwork()) return OpenNetwork();
  int stopBits = IsCat() ? kStopBitsTwo : kStopBitsOne;
  int result = port_.Open(settings_.comPort, settings_.baudRate, 8, kParityNone, stopBits);
  if (result < 0) {
    port_.Close();
    ShowLinkError("Open", result);
    return -1;
  }
  linkConnected = true;
  lineLost_ = false;
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
  net_.Close();
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
    bool found = false;
    // Set when a message has already said why the radio cannot be reached.
    bool explained = false;
    if (IsNetwork()) {
      const int result = linkConnected ? ReadStatus() : -1;
      found = result == 0;
      explained = result < 0;
      if (found) catPoll_.start();
    } else if (IsCat()) {
      for (int attempt = 0; attempt < kCatProbeAttempts && !found; ++attempt) {
        found = ReadStatus() == 0;
      }
      if (found) catPoll_.start();
    } else {
      ExpectReply();
      found = ReadFrequency() == 0;
      if (IsPerseusModel(settings_.modelIndex)) perseusPoll_.start();
    }
    if (!found) {
      CloseLink();
      if (IsNetwork() && !explained) {
        host_.ShowMessageBox(texts::kAppTitle, QString(texts::kNetNoAnswer).arg(NetHostShown()),
                             BoxIcon::kExclamation);
      } else if (!explained) {
        host_.ShowMessageBox(texts::kAppTitle,
                             QString(texts::kNotFound).arg(ModelAt(settings_.modelIndex).name),
                             BoxIcon::kExclamation);
      }
    }
  }
  host_.OnConnectionChanged();
}

void LinkControl::StopPolls() {
  catPoll_.stop();
  perseusPoll_.stop();
}

void LinkControl::Disconnect() {
  StopPolls();
  CloseLink();
  host_.TurnOffTimedModes();
  host_.OnConnectionChanged();
}

void LinkControl::UpdateLinkStatus() {
  const ReceiverModel& model = ModelAt(settings_.modelIndex);
  QString text;
  if (IsNetwork()) {
    text = QString(texts::kConnectionNet).arg(model.name, NetHostShown());
  } else if (IsCat()) {
    text = QString(texts::kConnectionCat)
               .arg(model.name)
               .arg(settings_.comPort)
               .arg(settings_.baudRate);
  } else if (!IsNoneModel(settings_.modelIndex)) {
    QString address = QString("%1").arg(settings_.address & 0xFF, 2, 16, QChar('0')).toUpper();
    text = QString(texts::kConnectionCiv)
               .arg(model.name, address)
               .arg(settings_.comPort)
               .arg(settings_.baudRate);
  }
  host_.SetPaneText(StatusPane::kConnection, text);
}

// ---- Transactions -----------------------------------------------------------------------

int LinkControl::WriteFrequency(uint64_t hz) {
  IdleQueue::BusyScope busy(idle_);
  if (hz == 0 || !linkConnected) return 0;
  // A frequency the command cannot carry would reach the radio wrapped or with its top
  // digit cut: a wrong station, silently.
  if (hz > MaxFrequency()) {
    SetStatusText(QString(), QString(texts::kWriteFreqOutOfRange));
    return 0;
  }
  SetStatusText(QString(), QString(texts::kWriteFreqBusy));
  if (IsCat() || IsNetwork()) {
    return AcknowledgedWrite([this, hz] { netCodec_.SetFrequency(hz); },
                             [this, hz] { cat_.CatSetFrequency(static_cast<uint32_t>(hz)); },
                             texts::kWriteFreqOk, texts::kWriteFreqFailed);
  }
  civ_.CmdSetFrequency(static_cast<uint32_t>(hz));
  SetStatusText(QString(), QString(texts::kWriteFreqDone));
  std::this_thread::sleep_for(std::chrono::milliseconds(kCivWritePauseMs));
  return 2;
}

int LinkControl::WriteMode(int code) {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || IsNoneModel(settings_.modelIndex)) return 0;
  // Told by name, a network radio cannot be sent a code its table does not name.
  const char* name = ModeNameByCode(ModesNetwork, code);
  if (IsNetwork() && !ModeCodeByName(ModesNetwork, name).found) return 0;
  SetStatusText(QString(), QString(texts::kWriteModeBusy));
  if (IsCat() || IsNetwork()) {
    return AcknowledgedWrite([this, name] { netCodec_.SetMode(name); },
                             [this, code] { cat_.CatSetMode(code); }, texts::kWriteModeOk,
                             texts::kWriteModeFailed);
  }
  civ_.CmdSetMode(code);
  SetStatusText(QString(), QString(texts::kWriteModeDone));
  std::this_thread::sleep_for(std::chrono::milliseconds(kCivWritePauseMs));
  return 2;
}

int LinkControl::AcknowledgedWrite(const std::function<void()>& sendNetwork,
                                   const std::function<void()>& sendCat, const char* ok,
                                   const char* failed) {
  int result;
  if (IsNetwork()) {
    result = NetworkTransaction(sendNetwork);
  } else {
    pendingReplies = 1;
    sendCat();
    result = WaitForReply();
  }
  SetStatusText(QString(), QString(result == 0 ? ok : failed));
  return result == 0 ? 1 : -1;
}

int LinkControl::ReadFrequency() {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || IsNoneModel(settings_.modelIndex) || IsCat()) return 0;
  SetStatusText(QString(), QString(texts::kGetFreqBusy));
  int result;
  if (IsNetwork()) {
    result = NetworkTransaction([this] { netCodec_.ReadFrequency(); });
  } else {
    civ_.CmdReadFrequency();
    result = WaitForReply();
  }
  SetStatusText(QString(), QString(result == 0 ? texts::kGetFreqDone : texts::kReadFailed));
  return result;
}

int LinkControl::ReadMode() {
  IdleQueue::BusyScope busy(idle_);
  if (!linkConnected || IsNoneModel(settings_.modelIndex)) return 0;
  SetStatusText(QString(), QString(texts::kGetModeBusy));
  if (IsNetwork()) {
    const int result = NetworkTransaction([this] { netCodec_.ReadMode(); });
    SetStatusText(QString(), QString(result == 0 ? texts::kGetModeDone : texts::kReadFailed));
    return result;
  }
  civ_.CmdReadMode();
  SetStatusText(QString(), QString(texts::kGetModeDone));
  return 0;
}

int LinkControl::ReadStatus() {
  IdleQueue::BusyScope busy(idle_);
  if (IsNetwork()) return NetworkTransaction([this] { netCodec_.ReadStatus(); });
  pendingReplies = 5;
  cat_.CatReadStatus();
  return WaitForReply();
}

void LinkControl::ExpectReply() { pendingReplies = 1; }

// A write error's box runs an event loop, so even an unanswered command keeps the link busy.
void LinkControl::PowerOn() {
  IdleQueue::BusyScope busy(idle_);
  if (!IsNetwork()) civ_.CmdPower(true);
}

void LinkControl::PowerOff() {
  IdleQueue::BusyScope busy(idle_);
  if (!IsNetwork()) civ_.CmdPower(false);
}

LinkControl::WaitOutcome LinkControl::AwaitReply() {
  // A line that is gone will not answer: no point waiting out the second.
  const WaitOutcome outcome =
      AwaitUntil([this] { return pendingReplies <= 0 || lineLost_; }, kReplyTimeoutMs);
  if (outcome == WaitOutcome::kAnswered && pendingReplies > 0) return WaitOutcome::kLineLost;
  return outcome;
}

LinkControl::WaitOutcome LinkControl::AwaitUntil(const std::function<bool()>& done, int timeoutMs) {
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

int LinkControl::WaitForReply() {
  // The filter is gone once AwaitReply returns, so the dialogs below get the keyboard.
  const WaitOutcome outcome = AwaitReply();
  if (outcome != WaitOutcome::kAnswered && IsNetwork()) netCodec_.Abandon();
  switch (outcome) {
    case WaitOutcome::kTimedOut:
      SetStatusText(QString(texts::kTimeout), std::nullopt);
      return 1;
    case WaitOutcome::kEscaped:
      SetStatusText(QString(), std::nullopt);
      host_.ShowMessageDialog(texts::kInterrupted);
      return 2;
    case WaitOutcome::kLineLost:
      // A serial line's loss shows in the link pane once the disconnect follows.
      if (IsNetwork()) TellConnectionClosed();
      return -1;
    case WaitOutcome::kAnswered:
      break;
  }
  if (pendingReplies < 0 && IsNetwork()) {
    SetStatusText(QString(), std::nullopt);
    ShowNetworkFault();
    return -1;
  }
  if (IsNetwork()) NoteNetworkAnswer();
  if (pendingReplies < 0) {
    SetStatusText(QString(), std::nullopt);
    host_.ShowMessageBox(texts::kAppTitle, texts::kReceiverError, BoxIcon::kNone);
    return -1;
  }
  return 0;
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
  ShowLinkError("WRITE", written);
  return written;
}

// ---- Timers -----------------------------------------------------------------------------

void LinkControl::OnTimer(int id) {
  // A poll due while a step or another transaction runs follows it.
  idle_.RunWhenIdle(id, [this, id] {
    if (id == kTimerCatPoll && catPoll_.isActive()) {
      // Busy until a word about the silence is read, so that no poll runs under it.
      IdleQueue::BusyScope busy(idle_);
      const int result = ReadStatus();
      if (IsNetwork()) NoteNetworkPoll(result);
    } else if (id == kTimerPerseusPoll && perseusPoll_.isActive()) {
      ReadFrequency();
    }
  });
}

bool LinkControl::isTimerRunning(int id) const {
  if (id == kTimerCatPoll) return catPoll_.isActive();
  if (id == kTimerPerseusPoll) return perseusPoll_.isActive();
  return false;
}

// ---- Receive side (receive thread) -------------------------------------------------------

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
  if (IsNetwork()) {
    netCodec_.Parse(receiveBuffer.get(), n);
  } else if (IsCat()) {
    cat_.CatReplyParser(receiveBuffer.get(), n);
  } else {
    civ_.FrameReplyParser(receiveBuffer.get(), n);
  }
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

// ---- User-interface thread ---------------------------------------------------------------

bool LinkControl::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != kFrequencyEvent && type != kModeEvent && type != kLinkIndicatorEvent &&
      type != kLinkLostEvent) {
    return QObject::event(event);
  }
  const quint64 value = static_cast<LinkEvent*>(event)->value();
  if (type == kFrequencyEvent || type == kModeEvent) {
    if (QObject* dialog = host_.FrequencyDialog()) {
      LinkEvent forward(type, value);
      QCoreApplication::sendEvent(dialog, &forward);
    }
    if (type == kFrequencyEvent) host_.MatchFrequency(value);
  } else if (type == kLinkIndicatorEvent) {
    host_.ShowLinkIndicator(static_cast<int>(value));
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
    // A serial line's loss shows in the link pane; a server that closed the connection is
    // worth a word, unless the reason for dropping it is already on screen.
    const bool network = IsNetwork();
    Disconnect();
    if (network) TellConnectionClosed();
  });
}

void LinkControl::ShowErrorBox(const std::string& caption, const std::string& text) {
  host_.ShowMessageBox(QString::fromStdString(caption), QString::fromStdString(text),
                       BoxIcon::kExclamation);
}
