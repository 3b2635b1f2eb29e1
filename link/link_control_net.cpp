// SPDX-License-Identifier: GPL-3.0-or-later
// The network radio's half of the link control: connecting to a radio-control server and
// carrying the transactions over its text protocol.

#include <QCoreApplication>

#include "common/texts.h"
#include "link/link_control.h"
#include "link/net_connector.h"
#include "link/receiver_models.h"

namespace {

// The server's result codes, worded for the user.
const char* ResultText(int code) {
  static const char* const kTexts[] = {
      "done",
      "invalid parameter",
      "invalid configuration",
      "out of memory",
      "not implemented",
      "the radio did not answer in time",
      "input/output error",
      "internal error",
      "protocol error",
      "rejected by the radio",
      "text cut short",
      "not available",
      "VFO cannot be targeted",
      "bus error",
      "bus collision",
      "invalid argument",
      "invalid VFO",
      "argument out of range",
  };
  const int index = -code;
  if (index < 0 || index >= static_cast<int>(std::size(kTexts))) return "unknown error";
  return kTexts[index];
}

}  // namespace

bool LinkControl::IsNetwork() const { return IsNetworkModel(settings_.modelIndex); }

ByteLine& LinkControl::line() {
  if (IsNetwork()) return net_;
  return port_;
}

QString LinkControl::NetHostShown() const {
  return QString::fromStdString(settings_.netHost).trimmed();
}

int LinkControl::OpenNetwork() {
  netLossShown_ = false;
  NoteNetworkAnswer();
  lineLost_ = false;
  netCodec_.Reset();
  if (!ConnectNetwork()) return -1;
  linkConnected = true;
  StartReceiveThread();
  return 0;
}

bool LinkControl::ConnectNetwork() {
  const QString shown = NetHostShown();
  const std::optional<NetAddress> address = ParseNetHost(settings_.netHost);
  if (!address) {
    host_.ShowMessageBox(texts::kAppTitle, QString(texts::kNetBadHost).arg(shown),
                         BoxIcon::kExclamation);
    return false;
  }
  NetConnector connector(*address, kNetConnectTimeoutMs);
  const WaitOutcome outcome =
      AwaitUntil([&connector] { return connector.outcome() != NetConnector::Outcome::kPending; },
                 kNetConnectWaitMs);
  if (outcome == WaitOutcome::kEscaped) {
    host_.ShowMessageDialog(texts::kInterrupted);
    return false;
  }
  QString text;
  if (outcome == WaitOutcome::kTimedOut) {
    text = QString(texts::kNetConnectTimeout).arg(shown).arg(kNetConnectWaitMs / 1000);
  } else if (connector.outcome() == NetConnector::Outcome::kUnknownHost) {
    text = QString(texts::kNetUnknownHost).arg(shown, QString::fromStdString(connector.reason()));
  } else if (connector.outcome() == NetConnector::Outcome::kFailed) {
    text = QString(texts::kNetCannotConnect).arg(shown, QString::fromStdString(connector.reason()));
  } else if (!net_.Adopt(connector.TakeDescriptor())) {
    text = QString(texts::kNetCannotConnect).arg(shown, QStringLiteral("out of descriptors"));
  }
  if (text.isEmpty()) return true;
  host_.ShowMessageBox(texts::kAppTitle, text, BoxIcon::kExclamation);
  return false;
}

bool LinkControl::NetworkReady() {
  if (!netCodec_.outOfStep()) return true;
  // Answers still owed after a time-out would pair with the wrong commands: a new connection
  // starts the conversation afresh.
  StopReceiveThread();
  net_.Close();
  netCodec_.Reset();
  if (!ConnectNetwork()) {
    DropNetworkLink(kIndicatorCommError);
    return false;
  }
  StartReceiveThread();
  return true;
}

int LinkControl::NetworkTransaction(const std::function<void()>& send) {
  if (!linkConnected) return -1;
  // Closed before the command went out: the disconnect may not have come round yet, and a
  // probe that fails here drops the link before it does.
  if (lineLost_) {
    TellConnectionClosed();
    return -1;
  }
  if (!NetworkReady()) return -1;
  send();
  return WaitForReply();
}

void LinkControl::ShowNetworkFault() {
  const NetFault fault = netCodec_.TakeFault();
  QString text;
  int indicator = kIndicatorCommError;
  if (fault.kind == NetFault::kServerError) {
    text = QString(texts::kNetServerError)
               .arg(NetHostShown())
               .arg(fault.code)
               .arg(QString::fromLatin1(ResultText(fault.code)));
    indicator = kIndicatorReceiverError;
  } else {
    text = QString(texts::kNetMalformed).arg(NetHostShown(), QString::fromStdString(fault.line));
  }
  // Marked first: the box runs an event loop, in which the loss may already be handled.
  DropNetworkLink(indicator);
  host_.ShowMessageBox(texts::kAppTitle, text, BoxIcon::kExclamation);
}

void LinkControl::DropNetworkLink(int indicator) {
  netLossShown_ = true;
  LoseLine(indicator);
}

void LinkControl::TellConnectionClosed() {
  if (netLossShown_.exchange(true)) return;
  SetStatusText(QString(), std::nullopt);
  host_.ShowMessageBox(texts::kAppTitle, QString(texts::kNetClosed).arg(NetHostShown()),
                       BoxIcon::kExclamation);
}

void LinkControl::NoteNetworkAnswer() {
  lastNetAnswer_ = std::chrono::steady_clock::now();
  silentNetPolls_ = 0;
  netSilenceShown_ = false;
}

void LinkControl::NoteNetworkPoll(int result) {
  if (result != 1) return;
  if (++silentNetPolls_ < kNetSilentPolls || netSilenceShown_) return;
  netSilenceShown_ = true;
  // Measured rather than counted: ticks held back by a wait come at once after it.
  const auto silent = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - lastNetAnswer_);
  host_.ShowMessageBox(texts::kAppTitle,
                       QString(texts::kNetSilent).arg(NetHostShown()).arg(silent.count()),
                       BoxIcon::kExclamation);
}
