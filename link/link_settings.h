// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "link/net_address.h"

// What the link runs with before anything is stored; the settings store falls back to the
// same values.
constexpr int kDefaultModelIndex = 0;
constexpr int kDefaultCivAddress = 0x5A;
constexpr int kDefaultComPort = 1;
constexpr int kDefaultBaudRate = 9600;

// The settings the link reads; changed only while disconnected.
struct LinkSettings {
  int modelIndex = kDefaultModelIndex;
  int address = kDefaultCivAddress;
  int comPort = kDefaultComPort;
  int baudRate = kDefaultBaudRate;
  // A network radio's "host:port"; only the network link reads it.
  std::string netHost = kDefaultNetHost;
};
