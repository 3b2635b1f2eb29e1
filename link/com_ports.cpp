#include "com_ports.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

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

// The kernel makes /dev/ttyS* for every legacy slot whether a UART is fitted or not; only
// the UART type tells them apart. Symbolic links are followed so a mapped alias is judged
// by the device it names.
bool IsEmptyLegacySlot(int fd, const std::string& path) {
  std::error_code error;
  std::string name = std::filesystem::canonical(path, error).filename().string();
  if (error || name.size() <= 4 || name.rfind("ttyS", 0) != 0 ||
      name.find_first_not_of("0123456789", 4) != std::string::npos) {
    return false;
  }
  serial_struct serial{};
  return ioctl(fd, TIOCGSERIAL, &serial) != 0 || serial.type == PORT_UNKNOWN;
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

bool IsSerialDevice(const std::string& path) {
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  // Busy means another program holds the line exclusively: it is there.
  if (fd < 0) return errno == EBUSY;
  termios settings{};
  bool serial = isatty(fd) && tcgetattr(fd, &settings) == 0 && !IsEmptyLegacySlot(fd, path);
  ::close(fd);
  return serial;
}
