// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <QFile>
#include <QSettings>

#include "link/com_ports.h"
#include "link/receiver_models.h"

namespace {

constexpr int kLastUtcFormat = 3;
constexpr int kDefaultBaud = 9600;

// A value edited by hand into something that is no number counts as absent.
int NumberOr(const QSettings& store, const QString& key, int fallback) {
  bool ok = false;
  const int value = store.value(key, fallback).toInt(&ok);
  return ok ? value : fallback;
}

}  // namespace

StoredSettings LoadSettings() {
  QSettings store(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
  store.beginGroup(QStringLiteral("Settings"));
  StoredSettings settings;
  settings.link.modelIndex = ModelIndexById(ModelId{store.value(QStringLiteral("Rx"), -1).toInt()});
  settings.link.address = store.value(QStringLiteral("Address"), 90).toInt() & 0xFF;
  settings.link.comPort = store.value(QStringLiteral("Com"), 1).toInt();
  settings.link.baudRate = NumberOr(store, QStringLiteral("Baud"), kDefaultBaud);
  settings.link.netHost =
      store.value(QStringLiteral("NetHost"), QString::fromLatin1(kDefaultNetHost))
          .toString()
          .toStdString();
  settings.scanSeconds = store.value(QStringLiteral("Scan"), 2).toInt();
  settings.utcFormat = store.value(QStringLiteral("utc"), 0).toInt();
  if (settings.utcFormat < 0 || settings.utcFormat > kLastUtcFormat) settings.utcFormat = 0;
  return settings;
}

void SaveSettings(const StoredSettings& settings) {
  QSettings store(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
  store.beginGroup(QStringLiteral("Settings"));
  store.setValue(QStringLiteral("Rx"), static_cast<int>(ModelAt(settings.link.modelIndex).id));
  store.setValue(QStringLiteral("Address"), settings.link.address);
  store.setValue(QStringLiteral("Com"), settings.link.comPort);
  store.setValue(QStringLiteral("Baud"), settings.link.baudRate);
  store.setValue(QStringLiteral("NetHost"), QString::fromStdString(settings.link.netHost));
  store.setValue(QStringLiteral("Scan"), settings.scanSeconds);
  store.setValue(QStringLiteral("utc"), settings.utcFormat);
}

void SavePortDevice(int port, const QString& path) {
  QSettings store(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
  store.beginGroup(QStringLiteral("Ports"));
  const QString key = QStringLiteral("COM%1").arg(port);
  if (path.isEmpty() || QFile::encodeName(path).toStdString() == ComPortDevice(port)) {
    store.remove(key);
  } else {
    store.setValue(key, path);
  }
}

LinkSettings LoadLinkSettings() { return LoadSettings().link; }

int LoadScanInterval() { return LoadSettings().scanSeconds; }
