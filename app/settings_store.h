// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/link_control.h"

// The settings kept in the "Settings" group of the store, as the program holds them.
struct StoredSettings {
  LinkSettings link;
  int scanSeconds = 2;
  int utcFormat = 0;  // 0 "HHMM", 1 "HHMM dd-mm-yy", 2 "HHMM mm-dd-yy", 3 "none"
};

// Absent values give the defaults, and so does a speed that is no number; an unknown model
// id gives the first model, a UTC format outside 0-3 gives 0 and only the low byte of the
// address counts.
StoredSettings LoadSettings();

// Writes the model's id (not its index), the address, port, speed, network host, scan
// interval and UTC format.
void SaveSettings(const StoredSettings& settings);

// Points COM<port> at a device in the "Ports" group. An empty path or the port's default
// device drops the entry, so the port follows the default mapping again.
void SavePortDevice(int port, const QString& path);

// The link settings as stored ("Settings" group); absent values give the defaults.
LinkSettings LoadLinkSettings();

// The scan interval in seconds ("Scan", default 2), as stored.
int LoadScanInterval();
