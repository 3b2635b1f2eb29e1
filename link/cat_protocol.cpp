// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cat_protocol.h"

#include "common/texts.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "link/serial_port.h"

CatProtocol::CatProtocol(ProtocolLink& link, const LinkSettings& settings, SerialPort& port,
                         FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : SerialProtocol(link, settings, port, kStopBitsTwo),
      codec_(sender, sink, pendingReplies),
      pendingReplies_(pendingReplies) {}

void CatProtocol::Configure() { codec_.SetCommandSet(ModelAt(settings_.modelIndex).catCommandSet); }

QString CatProtocol::ConnectionText() const {
  return QString(texts::kConnectionCat)
      .arg(ModelAt(settings_.modelIndex).name)
      .arg(settings_.comPort)
      .arg(settings_.baudRate);
}

ProbeResult CatProtocol::Probe() {
  for (int attempt = 0; attempt < kCatProbeAttempts; ++attempt) {
    if (link_.ReadStatus() == TransactionResult::kAnswered) return ProbeResult::kFound;
  }
  return ProbeResult::kNotFound;
}

// Set before the command leaves, so that an answer quicker than the return is not missed.
void CatProtocol::SendFrequency(uint64_t hz) {
  pendingReplies_ = kOneReplyPending;
  codec_.CatSetFrequency(static_cast<uint32_t>(hz));
}

void CatProtocol::SendMode(int code) {
  pendingReplies_ = kOneReplyPending;
  codec_.CatSetMode(code);
}

void CatProtocol::SendReadStatus() {
  pendingReplies_ = kCatStatusReplies;
  codec_.CatReadStatus();
}
