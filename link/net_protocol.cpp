// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/net_protocol.h"

#include "common/texts.h"
#include "link/link_control.h"
#include "link/link_events.h"
#include "link/link_host.h"
#include "link/net_address.h"
#include "link/net_connector.h"
#include "link/receiver_models.h"
#include "link/tcp_line.h"

namespace {

// The server's result codes, worded for the user.
const char* ResultText(int code) {
  const int index = -code;
  if (index < 0 || index >= static_cast<int>(std::size(texts::kNetResults))) {
    return texts::kNetResultUnknown;
  }
  return texts::kNetResults[index];
}

}  // namespace

NetProtocol::NetProtocol(ProtocolLink& link, const LinkSettings& settings, TcpLine& tcp,
                         FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : LinkProtocol(link, settings), tcp_(tcp), codec_(sender, sink, pendingReplies) {}

ByteLine& NetProtocol::line() { return tcp_; }

QString NetProtocol::HostShown() const {
  return QString::fromStdString(settings_.netHost).trimmed();
}

QString NetProtocol::ConnectionText() const {
  return QString(texts::kConnectionNet).arg(ModelAt(settings_.modelIndex).name, HostShown());
}

QString NetProtocol::NotFoundText() const { return QString(texts::kNetNoAnswer).arg(HostShown()); }

bool NetProtocol::CanSendMode(int code) const {
  return ModeCodeByName(ModesNetwork, ModeNameByCode(ModesNetwork, code)).found;
}

void NetProtocol::SendMode(int code) { codec_.SetMode(ModeNameByCode(ModesNetwork, code)); }

void NetProtocol::ShowBox(const QString& text) {
  link_.host().ShowMessageBox(texts::kAppTitle, text, BoxIcon::kExclamation);
}

bool NetProtocol::OpenLine() {
  lossShown_ = false;
  NoteAnswer();
  codec_.Reset();
  return Connect();
}

bool NetProtocol::Connect() {
  const QString shown = HostShown();
  const std::optional<NetAddress> address = ParseNetHost(settings_.netHost);
  if (!address) {
    ShowBox(QString(texts::kNetBadHost).arg(shown));
    return false;
  }
  NetConnector connector(*address, kNetConnectTimeoutMs);
  const WaitOutcome outcome = link_.AwaitUntil(
      [&connector] { return connector.outcome() != NetConnector::Outcome::kPending; },
      kNetConnectWaitMs);
  if (outcome == WaitOutcome::kEscaped) {
    link_.host().ShowMessageDialog(texts::kInterrupted);
    return false;
  }
  QString text;
  if (outcome == WaitOutcome::kTimedOut) {
    text = QString(texts::kNetConnectTimeout).arg(shown).arg(kNetConnectWaitMs / 1000);
  } else if (connector.outcome() == NetConnector::Outcome::kUnknownHost) {
    text = QString(texts::kNetUnknownHost).arg(shown, QString::fromStdString(connector.reason()));
  } else if (connector.outcome() == NetConnector::Outcome::kFailed) {
    text = QString(texts::kNetCannotConnect).arg(shown, QString::fromStdString(connector.reason()));
  } else if (!tcp_.Adopt(connector.TakeDescriptor())) {
    text = QString(texts::kNetCannotConnect).arg(shown, QStringLiteral("out of descriptors"));
  }
  if (text.isEmpty()) return true;
  ShowBox(text);
  return false;
}

ProbeResult NetProtocol::Probe() {
  const TransactionResult result = link_.ReadStatus();
  if (result == TransactionResult::kAnswered) return ProbeResult::kFound;
  // Every failure of a network link comes with its own message.
  if (result == TransactionResult::kFailed) return ProbeResult::kExplained;
  return ProbeResult::kNotFound;
}

void NetProtocol::Poll() { NotePoll(link_.ReadStatus()); }

bool NetProtocol::ReadyToSend() {
  if (!link_.connected()) return false;
  // Closed before the command went out: the disconnect may not have come round yet, and a
  // probe that fails here drops the link before it does.
  if (link_.lineLost()) {
    TellConnectionClosed();
    return false;
  }
  if (!codec_.outOfStep()) return true;
  // Answers still owed after a time-out would pair with the wrong commands: a new connection
  // starts the conversation afresh.
  link_.StopReceiving();
  tcp_.Close();
  codec_.Reset();
  if (!Connect()) {
    DropLink(kIndicatorCommError);
    return false;
  }
  link_.StartReceiving();
  return true;
}

void NetProtocol::ShowReplyError() {
  const NetFault fault = codec_.TakeFault();
  QString text;
  int indicator = kIndicatorCommError;
  if (fault.kind == NetFault::kServerError) {
    text = QString(texts::kNetServerError)
               .arg(HostShown())
               .arg(fault.code)
               .arg(QString::fromLatin1(ResultText(fault.code)));
    indicator = kIndicatorReceiverError;
  } else {
    text = QString(texts::kNetMalformed).arg(HostShown(), QString::fromStdString(fault.line));
  }
  // Marked first: the box runs an event loop, in which the loss may already be handled.
  DropLink(indicator);
  ShowBox(text);
}

void NetProtocol::DropLink(int indicator) {
  lossShown_ = true;
  link_.LoseLine(indicator);
}

void NetProtocol::TellConnectionClosed() {
  if (lossShown_.exchange(true)) return;
  link_.host().SetPaneText(StatusPane::kMessage, QString());
  ShowBox(QString(texts::kNetClosed).arg(HostShown()));
}

void NetProtocol::NoteAnswer() {
  lastAnswer_ = std::chrono::steady_clock::now();
  silentPolls_ = 0;
  silenceShown_ = false;
}

void NetProtocol::NotePoll(TransactionResult result) {
  if (result != TransactionResult::kTimedOut) return;
  if (++silentPolls_ < kNetSilentPolls || silenceShown_) return;
  silenceShown_ = true;
  // Measured rather than counted: ticks held back by a wait come at once after it.
  const auto silent = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - lastAnswer_);
  ShowBox(QString(texts::kNetSilent).arg(HostShown()).arg(silent.count()));
}
