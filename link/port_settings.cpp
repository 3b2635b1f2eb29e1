// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_settings.h"

#include <QFile>
#include <QSettings>
#include <QString>
#include <map>

#include "common/texts.h"

namespace {

// Mappings of this run only, never stored: the demonstration's simulated radio.
std::map<int, std::string>& RunMappings() {
  static std::map<int, std::string> mappings;
  return mappings;
}

}  // namespace

void MapPortForThisRun(int port, const std::string& device) { RunMappings()[port] = device; }

std::string PortDevice(int port) {
  if (auto it = RunMappings().find(port); it != RunMappings().end()) return it->second;
  QSettings settings(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
  settings.beginGroup(QStringLiteral("Ports"));
  QString mapped = settings.value(QStringLiteral("COM%1").arg(port)).toString();
  if (!mapped.isEmpty()) return QFile::encodeName(mapped).toStdString();
  return ComPortDevice(port);
}

bool IsPortDetected(int port, const DeviceFolders& folders) {
  return IsSerialDevice(PortDevice(port), folders);
}

std::string PortLabel(int port, const DeviceFolders& folders) {
  std::string label = "COM" + std::to_string(port);
  if (IsPortDetected(port, folders)) label += texts::kDetectedSuffix;
  return label;
}
