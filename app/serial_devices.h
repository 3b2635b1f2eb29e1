#pragma once

#include <string>
#include <vector>

// The serial devices present under a device folder, as full paths: the stable names in
// serial/by-id first, then ttyUSB*, ttyACM* and the ttyS* that have a UART behind them,
// each group in numeric order.
std::vector<std::string> ListSerialDevices(const std::string& devRoot = "/dev");
