#include "port_settings.h"

#include <QFile>
#include <QSettings>
#include <QString>

#include "com_ports.h"

std::string PortDevice(int port) {
  QSettings settings(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
  settings.beginGroup(QStringLiteral("Ports"));
  QString mapped = settings.value(QStringLiteral("COM%1").arg(port)).toString();
  if (!mapped.isEmpty()) return QFile::encodeName(mapped).toStdString();
  return ComPortDevice(port);
}

bool IsPortDetected(int port) {
  std::string path = PortDevice(port);
  return !path.empty() && IsSerialDevice(path);
}

std::string PortLabel(int port) {
  std::string label = "COM" + std::to_string(port);
  if (IsPortDetected(port)) label += kDetectedSuffix;
  return label;
}
