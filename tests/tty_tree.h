// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/com_ports.h"

// A device folder and a sysfs of a test's own. The nodes are FIFOs, so an open of one shows
// (OpenedFiles) and nothing real is ever touched.
class TtyTree {
 public:
  TtyTree() {
    char pattern[] = "/tmp/quilvar-tty-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    root_ = pattern;
    std::filesystem::create_directories(root_ / "dev");
    std::filesystem::create_directories(root_ / "sys/class/tty");
    std::filesystem::create_directories(root_ / "sys/devices/port");
  }
  ~TtyTree() {
    std::error_code error;
    if (!root_.empty()) std::filesystem::remove_all(root_, error);
  }
  TtyTree(const TtyTree&) = delete;
  TtyTree& operator=(const TtyTree&) = delete;

  bool ready() const { return !root_.empty(); }
  DeviceFolders folders() const { return {dev(), (root_ / "sys").string()}; }
  std::string dev() const { return (root_ / "dev").string(); }
  std::string Node(const std::string& name) const { return (root_ / "dev" / name).string(); }

  // A node in the device folder (unless `node` is false) and the kernel's entry for its
  // terminal: with a device behind it when `device` is true, with a UART type when `type` is
  // 0 or more. Returns the node's path.
  std::string Add(const std::string& name, bool device, int type = -1, bool node = true) {
    if (node) mkfifo(Node(name).c_str(), 0600);
    const std::filesystem::path tty = root_ / "sys/class/tty" / name;
    std::filesystem::create_directories(tty);
    if (device) std::filesystem::create_directory_symlink("../../../devices/port", tty / "device");
    if (type >= 0) std::ofstream(tty / "type") << type << '\n';
    return Node(name);
  }

 private:
  std::filesystem::path root_;
};
