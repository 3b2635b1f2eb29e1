// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "link/cat_protocol.h"
#include "link/civ_protocol.h"
#include "link/link_protocol.h"
#include "link/net_protocol.h"

class SerialPort;
class TcpLine;

// One protocol of each kind for the whole life of the link, so that a recogniser keeps what
// it has half received across reconnecting and a change of settings.
struct ProtocolSet {
  ProtocolSet(ProtocolLink& link, const LinkSettings& settings, SerialPort& port, TcpLine& tcp,
              FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  // The protocol the receiver at a model index speaks.
  LinkProtocol& For(int modelIndex);

  NoProtocol none;
  CivProtocol civ;
  CatProtocol cat;
  NetProtocol net;
};
