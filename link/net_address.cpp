// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/net_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  if (text.empty() || text.size() > 5) return std::nullopt;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 1 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

// Letters, digits, '-', '.', '_' for names and IPv4; IPv6 adds ':' and a '%' zone.
bool IsHostText(std::string_view host, bool ipv6) {
  if (host.empty() || host.size() > 253) return false;
  return std::all_of(host.begin(), host.end(), [ipv6](char c) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '-' || c == '.' || c == '_') return true;
    return ipv6 && (c == ':' || c == '%');
  });
}

}  // namespace

std::optional<NetAddress> ParseNetHost(std::string_view text) {
  text = Trimmed(text);
  NetAddress address;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!IsHostText(host, true)) return std::nullopt;
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      auto port = ParsePort(rest.substr(1));
      if (!port) return std::nullopt;
      address.port = *port;
    }
    address.host = std::string(host);
    return address;
  }
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos && text.find(':', colon + 1) != std::string_view::npos) {
    if (!IsHostText(text, true)) return std::nullopt;
    address.host = std::string(text);
    return address;
  }
  const std::string_view host = text.substr(0, colon);
  if (!IsHostText(host, false)) return std::nullopt;
  if (colon != std::string_view::npos) {
    auto port = ParsePort(text.substr(colon + 1));
    if (!port) return std::nullopt;
    address.port = *port;
  }
  address.host = std::string(host);
  return address;
}

std::string NetHostText(const NetAddress& address) {
  const bool ipv6 = address.host.find(':') != std::string::npos;
  std::string text = ipv6 ? "[" + address.host + "]" : address.host;
  return text + ":" + std::to_string(address.port);
}
