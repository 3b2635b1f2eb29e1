// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <QFile>
#include <QSettings>

#include "common/command_ids.h"
#include "link/com_ports.h"
#include "link/receiver_models.h"
#include "tuning/edit_freq.h"

namespace {

constexpr const char* kSettingsGroup = "Settings";
constexpr const char* kPortsGroup = "Ports";
constexpr const char* kRecentGroup = "Recent File List";

constexpr const char* kModelKey = "Rx";
constexpr const char* kAddressKey = "Address";
constexpr const char* kComKey = "Com";
constexpr const char* kBaudKey = "Baud";
constexpr const char* kNetHostKey = "NetHost";
constexpr const char* kScanKey = "Scan";
constexpr const char* kUtcKey = "utc";
constexpr const char* kStepKey = "Step";
constexpr const char* kLeftKey = "X";
constexpr const char* kTopKey = "Y";
constexpr const char* kWidthKey = "CX";
constexpr const char* kHeightKey = "CY";
constexpr const char* kBarBigKey = "BarBig";
constexpr const char* kBarLabKey = "BarLab";
constexpr const char* kPortKey = "COM%1";
constexpr const char* kRecentKey = "File%1";

constexpr int kLastUtcFormat = 3;

// The store opened on one of its groups.
class Group {
 public:
  explicit Group(const char* name) : store_(kStoreOrganization, kStoreApplication) {
    store_.beginGroup(QString::fromLatin1(name));
  }
  QSettings* operator->() { return &store_; }
  const QSettings& operator*() const { return store_; }

 private:
  QSettings store_;
};

// A value edited by hand into something that is no number counts as absent.
int NumberOr(const QSettings& store, const char* key, int fallback) {
  bool ok = false;
  const int value = store.value(key, fallback).toInt(&ok);
  return ok ? value : fallback;
}

QString PortKey(int port) { return QString::fromLatin1(kPortKey).arg(port); }

}  // namespace

StoredSettings LoadSettings() {
  Group store(kSettingsGroup);
  StoredSettings settings;
  const QVariant model = store->value(kModelKey);
  settings.link.modelIndex =
      model.isValid() ? ModelIndexById(ModelId{model.toInt()}) : kDefaultModelIndex;
  settings.link.address = store->value(kAddressKey, kDefaultCivAddress).toInt() & 0xFF;
  settings.link.comPort = store->value(kComKey, kDefaultComPort).toInt();
  settings.link.baudRate = NumberOr(*store, kBaudKey, kDefaultBaudRate);
  settings.link.netHost =
      store->value(kNetHostKey, QString::fromLatin1(kDefaultNetHost)).toString().toStdString();
  settings.scanSeconds = store->value(kScanKey, kDefaultScanSeconds).toInt();
  settings.utcFormat = store->value(kUtcKey, kDefaultUtcFormat).toInt();
  if (settings.utcFormat < 0 || settings.utcFormat > kLastUtcFormat) {
    settings.utcFormat = kDefaultUtcFormat;
  }
  return settings;
}

void SaveSettings(const StoredSettings& settings) {
  Group store(kSettingsGroup);
  store->setValue(kModelKey, static_cast<int>(ModelAt(settings.link.modelIndex).id));
  store->setValue(kAddressKey, settings.link.address);
  store->setValue(kComKey, settings.link.comPort);
  store->setValue(kBaudKey, settings.link.baudRate);
  store->setValue(kNetHostKey, QString::fromStdString(settings.link.netHost));
  store->setValue(kScanKey, settings.scanSeconds);
  store->setValue(kUtcKey, settings.utcFormat);
}

LinkSettings LoadLinkSettings() { return LoadSettings().link; }

int LoadScanInterval() { return LoadSettings().scanSeconds; }

PortMap LoadPortMap() {
  Group store(kPortsGroup);
  PortMap mapped;
  for (const QString& key : store->childKeys()) {
    // Only the keys the program writes: "COM5", not "COM05" or "com5".
    bool ok = false;
    const int port = key.mid(3).toInt(&ok);
    if (!ok || key != PortKey(port)) continue;
    mapped[port] = QFile::encodeName(store->value(key).toString()).toStdString();
  }
  return mapped;
}

void SavePortDevice(int port, const QString& path) {
  Group store(kPortsGroup);
  if (path.isEmpty() || QFile::encodeName(path).toStdString() == ComPortDevice(port)) {
    store->remove(PortKey(port));
  } else {
    store->setValue(PortKey(port), path);
  }
}

int LoadStepIndex() {
  // A list without a step would give stepping and snapping nothing to work with.
  Group store(kSettingsGroup);
  bool ok = false;
  const int index = store->value(kStepKey, CEditFreq::kDefaultStepIndex).toInt(&ok);
  return ok && index >= 0 && index < CEditFreq::kStepCount ? index : CEditFreq::kDefaultStepIndex;
}

void SaveStepIndex(int index) { Group(kSettingsGroup)->setValue(kStepKey, index); }

StoredPlacement LoadPlacement() {
  Group store(kSettingsGroup);
  StoredPlacement placement;
  placement.outer = QRect(store->value(kLeftKey, 0).toInt(), store->value(kTopKey, 0).toInt(),
                          store->value(kWidthKey, 0).toInt(), store->value(kHeightKey, 0).toInt());
  placement.barBig = store->value(kBarBigKey, 0).toInt() != 0;
  placement.barLab = store->value(kBarLabKey, 0).toInt() != 0;
  return placement;
}

void SavePlacement(const std::optional<QRect>& outer, bool barBig, bool barLab) {
  Group store(kSettingsGroup);
  if (outer) {
    store->setValue(kLeftKey, outer->x());
    store->setValue(kTopKey, outer->y());
    store->setValue(kWidthKey, outer->width());
    store->setValue(kHeightKey, outer->height());
  }
  store->setValue(kBarBigKey, barBig ? 1 : 0);
  store->setValue(kBarLabKey, barLab ? 1 : 0);
}

QStringList LoadRecentFileList() {
  Group store(kRecentGroup);
  QStringList paths;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString path = store->value(QString::fromLatin1(kRecentKey).arg(i)).toString();
    if (!path.isEmpty() && !paths.contains(path)) paths.push_back(path);
  }
  return paths;
}

void SaveRecentFileList(const QStringList& paths) {
  Group store(kRecentGroup);
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString key = QString::fromLatin1(kRecentKey).arg(i);
    if (i <= paths.size()) {
      store->setValue(key, paths[i - 1]);
    } else {
      store->remove(key);
    }
  }
}

std::unique_ptr<QSettings> OpenSettingsStore() {
  return std::make_unique<QSettings>(kStoreOrganization, kStoreApplication);
}
