// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr const char* kDefaultNetHost = "localhost:4532";
constexpr uint16_t kDefaultNetPort = 4532;

// Where a network radio listens: a name or address, and a port.
struct NetAddress {
  std::string host;  // without the brackets of an IPv6 address
  uint16_t port = kDefaultNetPort;
};

// "name", "name:port", "192.0.2.1:port", "[2001:db8::1]:port", "[::1]" or a bare IPv6
// address (more than one colon, no brackets: no port). Surrounding blanks are ignored.
// Nothing when the text is empty, the port is not 1 to 65535, or the host holds characters
// no name or address has.
std::optional<NetAddress> ParseNetHost(std::string_view text);

// The address as the user would type it again ("[::1]:4532" for IPv6).
std::string NetHostText(const NetAddress& address);
