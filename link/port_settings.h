// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "link/com_ports.h"

// The device behind a COM port: the "Ports" group of the settings store ("COM<n>") when it
// names one, otherwise the default mapping.
std::string PortDevice(int port);

// Points a port at a device until the program ends, ahead of the settings store.
void MapPortForThisRun(int port, const std::string& device);

// True when the device behind the port exists and is a serial line; nothing is opened.
bool IsPortDetected(int port, const DeviceFolders& folders = {});

// The entry of the port list in the Settings dialog: "COM<n>" plus the detected mark.
std::string PortLabel(int port, const DeviceFolders& folders = {});
