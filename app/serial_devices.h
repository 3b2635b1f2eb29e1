// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/com_ports.h"

// The serial devices present in the device folder, as full paths: the stable names in
// serial/by-id first, then ttyUSB*, ttyACM* and the ttyS* that have a UART behind them,
// each group in numeric order. Nothing is opened.
std::vector<std::string> ListSerialDevices(const DeviceFolders& folders = {});
