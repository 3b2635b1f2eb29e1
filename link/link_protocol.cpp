// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_protocol.h"

#include <limits>

#include "common/texts.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "link/serial_port.h"

void LinkProtocol::ShowReplyError() {
  link_.host().ShowMessageBox(texts::kAppTitle, texts::kReceiverError, BoxIcon::kNone);
}

ByteLine& SerialProtocol::line() { return port_; }

bool SerialProtocol::OpenLine() {
  const int result = port_.Open(settings_.comPort, settings_.baudRate, 8, kParityNone, stopBits_);
  if (result >= 0) return true;
  port_.Close();
  link_.ShowLinkError(texts::kCallOpen, result);
  return false;
}

QString SerialProtocol::NotFoundText() const {
  return QString(texts::kNotFound).arg(ModelAt(settings_.modelIndex).name);
}

ByteLine& NoProtocol::line() { return port_; }

uint64_t NoProtocol::MaxFrequency() const { return std::numeric_limits<uint32_t>::max(); }
