// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/serial_devices.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The number after the prefix, or -1 when the rest of the name is not a number.
long DeviceNumber(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return -1;
  }
  return std::stol(std::string(digits));
}

std::vector<std::string> NumberedDevices(const fs::path& root, std::string_view prefix) {
  std::vector<std::pair<long, std::string>> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
    long number = DeviceNumber(entry.path().filename().string(), prefix);
    if (number >= 0) found.emplace_back(number, entry.path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& item : found) paths.push_back(std::move(item.second));
  return paths;
}

}  // namespace

std::vector<std::string> ListSerialDevices(const DeviceFolders& folders) {
  const fs::path root(folders.dev);
  std::vector<std::string> devices;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(root / "serial/by-id", error)) {
    devices.push_back(entry.path().string());
  }
  std::sort(devices.begin(), devices.end());
  for (const char* prefix : {"ttyUSB", "ttyACM"}) {
    for (std::string& path : NumberedDevices(root, prefix)) devices.push_back(std::move(path));
  }
  // Every legacy slot has a node whether a UART is fitted or not; only real lines count.
  for (std::string& path : NumberedDevices(root, "ttyS")) {
    if (IsSerialDevice(path, folders)) devices.push_back(std::move(path));
  }
  return devices;
}
