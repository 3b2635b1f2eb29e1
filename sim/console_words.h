// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The small pieces of the simulators' console language, shared by the serial and the
// network radio so both read "ng on" or "noise 40" the same way.

// Bounds what one console line puts on the line.
constexpr int kMaxNoiseBytes = 4096;

inline std::string TrimSpace(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  size_t end = s.find_last_not_of(" \t\r\n");
  return s.substr(begin, end - begin + 1);
}

// Decimal digits only: no sign, no spaces, no base prefix.
inline bool ParseUnsigned(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 19) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

inline bool ParseOnOff(const std::string& text, bool* on) {
  if (text == "on" || text == "off") {
    *on = text == "on";
    return true;
  }
  return false;
}

// Splits "word rest of line" at the first blank; the rest is trimmed.
inline void SplitWord(const std::string& line, std::string* word, std::string* rest) {
  std::string text = TrimSpace(line);
  size_t space = text.find_first_of(" \t");
  *word = text.substr(0, space);
  *rest = space == std::string::npos ? std::string() : TrimSpace(text.substr(space));
}

// The bytes of "noise N": N random bytes, or nothing when N is no count from 1 to
// kMaxNoiseBytes.
inline std::optional<std::vector<uint8_t>> NoiseBytes(const std::string& count, std::mt19937& rng) {
  uint64_t number = 0;
  if (!ParseUnsigned(count, &number) || number < 1 || number > kMaxNoiseBytes) return std::nullopt;
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<uint8_t> bytes(number);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(byte(rng));
  return bytes;
}

inline std::string NoiseCountReason() {
  return "noise takes a count from 1 to " + std::to_string(kMaxNoiseBytes);
}
