// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "link/link_settings.h"
#include "link/port_settings.h"

class QSettings;

// What the program keeps between runs, in ~/.config/<organization>/<application>.conf. This
// is the one place that knows the file's names, groups, keys and defaults.
constexpr const char* kStoreOrganization = "Corvanel";
constexpr const char* kStoreApplication = "Quilvar";

constexpr int kDefaultScanSeconds = 2;
// "HHMM", the first of the Add key's formats.
constexpr int kDefaultUtcFormat = 0;

// The settings kept in the "Settings" group of the store, as the program holds them.
struct StoredSettings {
  LinkSettings link;
  int scanSeconds = kDefaultScanSeconds;
  int utcFormat = kDefaultUtcFormat;  // 0 "HHMM", 1 "HHMM dd-mm-yy", 2 "HHMM mm-dd-yy", 3 "none"
};

// Absent values give the defaults, and so does a speed that is no number; an unknown model
// id gives the first model, a UTC format outside 0-3 gives 0 and only the low byte of the
// address counts.
StoredSettings LoadSettings();

// Writes the model's id (not its index), the address, port, speed, network host, scan
// interval and UTC format.
void SaveSettings(const StoredSettings& settings);

// The link settings as stored ("Settings" group); absent values give the defaults.
LinkSettings LoadLinkSettings();

// The scan interval in seconds ("Scan"), as stored.
int LoadScanInterval();

// The "Ports" group: COM<n> and the device the user pointed it at.
PortMap LoadPortMap();

// Points COM<port> at a device in the "Ports" group. An empty path or the port's default
// device drops the entry, so the port follows the default mapping again.
void SavePortDevice(int port, const QString& path);

// The Operating Frequency dialog's step, an index into its list. Only the dialog writes it,
// but a value edited by hand into no number, or one off the list, gives the default.
int LoadStepIndex();
void SaveStepIndex(int index);

// The main window's place and its toolbar's look.
struct StoredPlacement {
  // The window's outer rectangle; all zero when none is stored.
  QRect outer;
  bool barBig = false;
  bool barLab = false;
};

StoredPlacement LoadPlacement();

// Without a rectangle (a maximized window) the one stored stays, to go back to next time.
void SavePlacement(const std::optional<QRect>& outer, bool barBig, bool barLab);

// The most recent first, without empty or repeated entries, at most kRecentFileCount.
QStringList LoadRecentFileList();

// Entries beyond the list's end are removed from the store.
void SaveRecentFileList(const QStringList& paths);

// The store itself, for what must look at the stored form of a value.
std::unique_ptr<QSettings> OpenSettingsStore();
