#include "port_settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <string>
#include <utility>

#include "com_ports.h"
#include "serial_port.h"
#include "test_support.h"

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

class PortSettings : public ::testing::Test {
 protected:
  void TearDown() override { Store().remove(QStringLiteral("Ports")); }

  static QSettings& Store() {
    static QSettings settings(QStringLiteral("Corvanel"), QStringLiteral("Quilvar"));
    return settings;
  }
  static void MapPort(int port, const std::string& path) {
    Store().setValue(QStringLiteral("Ports/COM%1").arg(port), QString::fromStdString(path));
  }
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
    EXPECT_EQ(PortDevice(port), device) << "COM" << port;
  }
}

TEST_F(PortSettings, MappingInTheSettingsStoreWins) {
  MapPort(5, "/dev/serial/by-id/usb-radio-if00");
  MapPort(97, "/dev/pts/42");
  MapPort(6, "");
  EXPECT_EQ(PortDevice(5), "/dev/serial/by-id/usb-radio-if00");
  EXPECT_EQ(PortDevice(97), "/dev/pts/42");
  EXPECT_EQ(PortDevice(6), "/dev/ttyS5");  // an empty mapping falls back
  EXPECT_EQ(PortDevice(7), "/dev/ttyS6");
}

TEST_F(PortSettings, LabelMarksOnlyPortsWithASerialLineBehind) {
  PtyLine line;
  ASSERT_FALSE(line.path.empty());
  MapPort(7, line.path);
  MapPort(8, "/dev/quilvar-no-such-line");
  MapPort(9, "/dev/null");  // exists, but is no terminal
  EXPECT_EQ(PortLabel(7), "COM7  (detected)");
  EXPECT_EQ(PortLabel(8), "COM8");
  EXPECT_EQ(PortLabel(9), "COM9");
  EXPECT_EQ(PortLabel(98), "COM98");
  EXPECT_FALSE(IsSerialDevice(""));
}

TEST_F(PortSettings, PortOpensTheMappedDevice) {
  PtyLine line;
  MapPort(12, line.path);
  CapturedErrorBox errors;
  SerialPort port(errors, PortDevice);
  ASSERT_EQ(port.Open(12, 9600, 8, kParityNone, kStopBitsOne), 0);
  EXPECT_EQ(port.devicePath(), line.path);
  const uint8_t byte = 0xFD;
  ASSERT_EQ(port.Write(&byte, 1), 1);
  uint8_t received = 0;
  EXPECT_TRUE(WaitUntil([&] { return read(line.master, &received, 1) == 1; }));
  EXPECT_EQ(received, 0xFD);
}

TEST_F(PortSettings, MappingForThisRunWinsAndIsNeverStored) {
  MapPort(21, "/dev/stored-device");
  MapPortForThisRun(21, "/dev/this-run-only");
  EXPECT_EQ(PortDevice(21), "/dev/this-run-only");
  QSettings store("Corvanel", "Quilvar");
  EXPECT_EQ(store.value("Ports/COM21").toString(), "/dev/stored-device");
}
