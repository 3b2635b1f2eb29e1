#include "settings_store.h"

#include <QSettings>

#include "receiver_models.h"

LinkSettings LoadLinkSettings() {
  QSettings store("Corvanel", "Quilvar");
  store.beginGroup("Settings");
  LinkSettings settings;
  settings.modelIndex = ModelIndexById(store.value("Rx", -1).toInt());
  settings.address = store.value("Address", 90).toInt() & 0xFF;
  settings.comPort = store.value("Com", 1).toInt();
  settings.baudRate = store.value("Baud", 9600).toInt();
  return settings;
}

int LoadScanInterval() {
  return QSettings("Corvanel", "Quilvar").value("Settings/Scan", 2).toInt();
}
