// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/protocol_set.h"

#include "link/receiver_models.h"

ProtocolSet::ProtocolSet(ProtocolLink& link, const LinkSettings& settings, SerialPort& port,
                         TcpLine& tcp, FrameSender& sender, ReplySink& sink,
                         std::atomic<int>& pendingReplies)
    : none(link, settings, port),
      civ(link, settings, port, sender, sink, pendingReplies),
      cat(link, settings, port, sender, sink, pendingReplies),
      net(link, settings, tcp, sender, sink, pendingReplies) {}

// A model index outside the table reads the closing row, which is driven as a CI-V radio.
LinkProtocol& ProtocolSet::For(int modelIndex) {
  if (IsNetworkModel(modelIndex)) return net;
  if (IsCatModel(modelIndex)) return cat;
  if (IsNoneModel(modelIndex)) return none;
  return civ;
}
