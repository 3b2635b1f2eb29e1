#pragma once

#include <string>

constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 99;
constexpr const char* kDetectedSuffix = "  (detected)";

// COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31;
// the rest have no device (empty path).
std::string ComPortDevice(int port);

// True when the path is a terminal that answers termios calls. A legacy /dev/ttyS* with
// no UART behind it is not a serial line.
bool IsSerialDevice(const std::string& path);
