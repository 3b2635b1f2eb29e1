// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

#include "link/com_ports.h"

// COM port numbers the user pointed at devices of their own choosing, with those devices.
// The settings store keeps them; the link is handed them and never reads the store itself.
using PortMap = std::map<int, std::string>;

// The device behind a COM port: a mapping of this run, else the user's mapping when it names
// one, otherwise the default mapping.
std::string PortDevice(int port, const PortMap& mapped);

// Points a port at a device until the program ends, ahead of the user's mappings.
void MapPortForThisRun(int port, const std::string& device);

// True when the device behind the port exists and is a serial line; nothing is opened.
bool IsPortDetected(int port, const PortMap& mapped, const DeviceFolders& folders = {});

// The entry of the port list in the Settings dialog: "COM<n>" plus the detected mark.
std::string PortLabel(int port, const PortMap& mapped, const DeviceFolders& folders = {});
