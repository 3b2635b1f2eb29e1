// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/com_ports.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct PortRange {
  int first;
  int last;
  const char* prefix;
};

constexpr PortRange kRanges[] = {
    {1, 32, "/dev/ttyS"},
    {33, 64, "/dev/ttyUSB"},
    {65, 96, "/dev/ttyACM"},
};

bool IsLegacySlot(const std::string& name) {
  return name.size() > 4 && name.rfind("ttyS", 0) == 0 &&
         name.find_first_not_of("0123456789", 4) == std::string::npos;
}

// The kernel lists every legacy slot, with a platform device behind it, whether a UART is
// fitted or not; only the UART type (0 for none) tells them apart.
bool HasUart(const fs::path& tty) {
  std::ifstream file(tty / "type");
  int type = 0;
  return file >> type && type != 0;
}

}  // namespace

std::string ComPortDevice(int port) {
  for (const PortRange& range : kRanges) {
    if (port >= range.first && port <= range.last) {
      return range.prefix + std::to_string(port - range.first);
    }
  }
  return {};
}

bool IsSerialDevice(const std::string& path, const DeviceFolders& folders) {
  if (path.empty()) return false;
  // Symbolic links (serial/by-id, a mapped alias) are followed to the node, which names the
  // terminal; resolving a path looks at links only, never at the device.
  std::error_code error;
  const fs::path node = fs::canonical(path, error);
  if (error) return false;
  const fs::path devFolder = fs::canonical(folders.dev, error);
  if (error || node.parent_path() != devFolder) return false;
  // Pseudo-terminals live in a folder of their own and have no device behind them.
  const std::string name = node.filename().string();
  const fs::path tty = fs::path(folders.sys) / "class/tty" / name;
  if (!fs::is_symlink(fs::symlink_status(tty / "device", error))) return false;
  return !IsLegacySlot(name) || HasUart(tty);
}
