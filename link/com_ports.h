// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31;
// the rest have no device (empty path).
std::string ComPortDevice(int port);

// Where the terminals' nodes are and where the kernel describes them; tests bring folders of
// their own.
struct DeviceFolders {
  std::string dev = "/dev";
  std::string sys = "/sys";
};

// True when the path leads to a node in the device folder whose terminal the kernel lists
// with a device behind it; a legacy ttyS* counts only with a UART fitted. Decided from sysfs
// alone: opening a line raises DTR and RTS, which can key a transmitter or reset an adapter.
bool IsSerialDevice(const std::string& path, const DeviceFolders& folders = {});
