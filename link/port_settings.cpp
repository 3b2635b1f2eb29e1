// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_settings.h"

#include "common/texts.h"

namespace {

// Mappings of this run only, never stored: the demonstration's simulated radio.
PortMap& RunMappings() {
  static PortMap mappings;
  return mappings;
}

}  // namespace

void MapPortForThisRun(int port, const std::string& device) { RunMappings()[port] = device; }

std::string PortDevice(int port, const PortMap& mapped) {
  if (auto it = RunMappings().find(port); it != RunMappings().end()) return it->second;
  // An entry left empty counts as none.
  if (auto it = mapped.find(port); it != mapped.end() && !it->second.empty()) return it->second;
  return ComPortDevice(port);
}

bool IsPortDetected(int port, const PortMap& mapped, const DeviceFolders& folders) {
  return IsSerialDevice(PortDevice(port, mapped), folders);
}

std::string PortLabel(int port, const PortMap& mapped, const DeviceFolders& folders) {
  std::string label = "COM" + std::to_string(port);
  if (IsPortDetected(port, mapped, folders)) label += texts::kDetectedSuffix;
  return label;
}
