// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "link/com_ports.h"
#include "link/serial_port.h"
#include "tests/test_support.h"
#include "tests/tty_tree.h"

namespace {

// A pseudo-terminal whose slave stands in for a serial line.
struct PtyLine {
  PtyLine() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 &&
        ptsname_r(master, name, sizeof name) == 0) {
      path = name;
    }
  }
  ~PtyLine() {
    if (master >= 0) close(master);
  }
  int master = -1;
  std::string path;
};

// The user's mappings, as the settings store hands them to the link.
class PortSettings : public ::testing::Test {
 protected:
  void MapPort(int port, const std::string& path) { mapped_[port] = path; }

  PortMap mapped_;
};

}  // namespace

TEST_F(PortSettings, DefaultDevicesFollowTheComNumber) {
  const std::pair<int, std::string> cases[] = {
      {1, "/dev/ttyS0"},
      {32, "/dev/ttyS31"},
      {33, "/dev/ttyUSB0"},
      {64, "/dev/ttyUSB31"},
      {65, "/dev/ttyACM0"},
      {96, "/dev/ttyACM31"},
      {97, ""},
      {99, ""},
      {0, ""},
      {100, ""},
      {-1, ""},
  };
  for (const auto& [port, device] : cases) {
    EXPECT_EQ(ComPortDevice(port), device) << "COM" << port;
    EXPECT_EQ(PortDevice(port, mapped_), device) << "COM" << port;
  }
}

TEST_F(PortSettings, MappingOfTheUserWins) {
  MapPort(5, "/dev/serial/by-id/usb-radio-if00");
  MapPort(97, "/dev/pts/42");
  MapPort(6, "");
  EXPECT_EQ(PortDevice(5, mapped_), "/dev/serial/by-id/usb-radio-if00");
  EXPECT_EQ(PortDevice(97, mapped_), "/dev/pts/42");
  EXPECT_EQ(PortDevice(6, mapped_), "/dev/ttyS5");  // an empty mapping falls back
  EXPECT_EQ(PortDevice(7, mapped_), "/dev/ttyS6");
}

// Only a line the kernel knows as serial counts; a pseudo-terminal (the simulator's) is not
// one, and nothing is opened to find out.
TEST_F(PortSettings, LabelMarksOnlyPortsWithASerialLineBehind) {
  TtyTree tree;
  ASSERT_TRUE(tree.ready());
  PtyLine line;
  ASSERT_FALSE(line.path.empty());
  MapPort(7, line.path);
  MapPort(8, tree.Add("ttyUSB0", true));
  MapPort(9, "/dev/null");  // exists, but is no terminal
  MapPort(10, tree.Node("ttyUSB9"));
  OpenedFiles opened(tree.dev());
  ASSERT_TRUE(opened.ready());
  EXPECT_EQ(PortLabel(7, mapped_, tree.folders()), "COM7");
  EXPECT_EQ(PortLabel(8, mapped_, tree.folders()), "COM8  (detected)");
  EXPECT_EQ(PortLabel(9, mapped_, tree.folders()), "COM9");
  EXPECT_EQ(PortLabel(10, mapped_, tree.folders()), "COM10");
  EXPECT_EQ(PortLabel(98, mapped_, tree.folders()), "COM98");
  EXPECT_EQ(PortLabel(7, mapped_), "COM7");
  EXPECT_EQ(opened.Names(), std::vector<std::string>());
}

TEST(SerialDetection, DecidedFromSysfsWithoutOpeningTheNode) {
  TtyTree tree;
  ASSERT_TRUE(tree.ready());
  tree.Add("ttyUSB0", true);
  tree.Add("ttyACM2", true);
  tree.Add("ttyS0", true, 4);                  // a 16550A fitted
  tree.Add("ttyS1", true, 0);                  // a legacy slot without a UART
  tree.Add("ttyS2", true);                     // a legacy slot that does not say
  tree.Add("ttyS7x", true);                    // not a legacy slot: its name has more than a number
  tree.Add("ttyGS0", false);                   // a terminal with no device behind it
  tree.Add("ttyUSB4", true, -1, false);        // unplugged: the kernel entry without its node
  mkfifo(tree.Node("ttyUSB5").c_str(), 0600);  // a node the kernel does not list
  std::filesystem::create_directories(tree.Node("serial/by-id"));
  std::filesystem::create_symlink("../../ttyUSB0", tree.Node("serial/by-id/usb-radio-if00"));
  std::filesystem::create_symlink("ttyS1", tree.Node("radio"));
  std::filesystem::create_directories(tree.Node("pts"));
  mkfifo(tree.Node("pts/3").c_str(), 0600);
  const std::string outside = tree.dev() + "/../ttyUSB0";
  std::ofstream(outside) << "";

  const std::pair<std::string, bool> cases[] = {
      {tree.Node("ttyUSB0"), true},
      {tree.Node("ttyACM2"), true},
      {tree.Node("ttyS0"), true},
      {tree.Node("ttyS1"), false},
      {tree.Node("ttyS2"), false},
      {tree.Node("ttyS7x"), true},
      {tree.Node("ttyGS0"), false},
      {tree.Node("ttyUSB4"), false},
      {tree.Node("ttyUSB5"), false},
      {tree.Node("serial/by-id/usb-radio-if00"), true},
      {tree.Node("radio"), false},
      {tree.Node("pts/3"), false},
      {outside, false},  // the name of a line, but not in the device folder
      {"", false},
  };
  OpenedFiles opened(tree.dev());
  ASSERT_TRUE(opened.ready());
  for (const auto& [path, serial] : cases) {
    EXPECT_EQ(IsSerialDevice(path, tree.folders()), serial) << path;
  }
  EXPECT_EQ(opened.Names(), std::vector<std::string>());
}

TEST_F(PortSettings, PortOpensTheMappedDevice) {
  PtyLine line;
  MapPort(12, line.path);
  CapturedErrorBox errors;
  SerialPort port(errors, [this](int port) { return PortDevice(port, mapped_); });
  ASSERT_EQ(port.Open(12, 9600, 8, kParityNone, kStopBitsOne), 0);
  EXPECT_EQ(port.devicePath(), line.path);
  const uint8_t byte = 0xFD;
  ASSERT_EQ(port.Write(&byte, 1), 1);
  uint8_t received = 0;
  EXPECT_TRUE(WaitUntil([&] { return read(line.master, &received, 1) == 1; }));
  EXPECT_EQ(received, 0xFD);
}

// That it is never stored is the Settings dialog's part (RecDlgTest).
TEST_F(PortSettings, MappingForThisRunWins) {
  MapPort(21, "/dev/stored-device");
  MapPortForThisRun(21, "/dev/this-run-only");
  EXPECT_EQ(PortDevice(21, mapped_), "/dev/this-run-only");
}
