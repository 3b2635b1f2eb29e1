// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/civ_protocol.h"

#include <limits>

#include "common/texts.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "link/serial_port.h"

CivProtocol::CivProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port,
                         FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : SerialProtocol(link, settings, port, kStopBitsOne), codec_(sender, sink, pendingReplies) {}

void CivProtocol::Configure() {
  const ReceiverModel& model = ModelAt(settings_.modelIndex);
  codec_.SetRadio(static_cast<uint8_t>(settings_.address), model.id);
  perseus_ = model.id == ModelId::kPerseus;
}

QString CivProtocol::ConnectionText() const {
  const QString address = QString("%1").arg(settings_.address & 0xFF, 2, 16, QChar('0')).toUpper();
  return QString(texts::kConnectionCiv)
      .arg(ModelAt(settings_.modelIndex).name, address)
      .arg(settings_.comPort)
      .arg(settings_.baudRate);
}

uint64_t CivProtocol::MaxFrequency() const { return std::numeric_limits<uint32_t>::max(); }

ProbeResult CivProtocol::Probe() {
  link_.ExpectReply();
  const TransactionResult result = link_.ReadFrequency();
  if (result == TransactionResult::kAnswered) return ProbeResult::kFound;
  // Nothing went out because the line did not open, which has been reported already.
  if (result == TransactionResult::kNotSent) return ProbeResult::kExplained;
  return ProbeResult::kNotFound;
}

bool CivProtocol::PollsAfterProbe(ProbeResult result) const {
  return perseus_ || SerialProtocol::PollsAfterProbe(result);
}

void CivProtocol::Poll() { link_.ReadFrequency(); }

void CivProtocol::SendFrequency(uint64_t hz) { codec_.CmdSetFrequency(static_cast<uint32_t>(hz)); }
