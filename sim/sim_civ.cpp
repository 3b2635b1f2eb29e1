// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/bcd.h"
#include "link/civ_codec.h"
#include "sim/sim_radio.h"

namespace {

// Longer than any frame a controller sends; anything beyond is line garbage.
constexpr size_t kMaxCivBody = 64;

bool IsBcd(const std::vector<uint8_t>& bytes) {
  for (uint8_t b : bytes) {
    if ((b & 0x0F) > 9 || (b >> 4) > 9) return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> SimRadio::CivFrameTo(uint8_t to, uint8_t command,
                                          const std::vector<uint8_t>& data) {
  return CivFrame(to, address_, command, data);
}

std::vector<uint8_t> SimRadio::CivFrequencyBytes() const {
  std::vector<uint8_t> bytes(5);
  ToBcd(frequency_, 10, bytes.data());
  return bytes;
}

void SimRadio::CivByte(uint8_t b, std::vector<LineOutput>* out, std::vector<uint8_t>* echo) {
  switch (civState_) {
    case 0:
      if (b == kCivPreamble) civState_ = 1;
      return;
    case 1:
      civState_ = b == kCivPreamble ? 2 : 0;
      return;
    case 2:
      // Controllers may send a longer preamble to wake a sleeping radio.
      if (b == kCivPreamble) return;
      if (b == kCivEnd) {
        civState_ = 0;
        return;
      }
      civBody_.assign(1, b);
      civState_ = 3;
      return;
    default:
      break;
  }
  if (b == kCivPreamble) {
    // Another station started talking over this frame: the frame is lost.
    civState_ = 1;
    return;
  }
  if (b != kCivEnd) {
    civBody_.push_back(b);
    if (civBody_.size() > kMaxCivBody) civState_ = 0;
    return;
  }
  civState_ = 0;
  std::vector<uint8_t> answer = CivAnswer(civBody_);
  if (answer.empty() || silent_) return;
  if (!echo->empty()) out->push_back({std::move(*echo), false});
  echo->clear();
  out->push_back({std::move(answer), true});
}

std::vector<uint8_t> SimRadio::CivAnswer(const std::vector<uint8_t>& body) {
  if (body.size() < 3) return {};
  uint8_t to = body[0];
  uint8_t from = body[1];
  uint8_t command = body[2];
  // Frames for other radios, and this radio's own reports coming back, are not for it.
  if ((to != address_ && to != kCivBroadcastAddress) || from == address_) return {};
  // Switched off, the radio listens only for the command that switches it on.
  if (!powerOn_ && command != kCivCmdPower) return {};
  if (ng_) return CivFrameTo(from, kCivNg, {});
  std::vector<uint8_t> reply = CivCommand(command, {body.begin() + 3, body.end()});
  if (reply.empty()) return {};
  if (reply.size() == 1) return CivFrameTo(from, reply[0], {});
  return CivFrameTo(from, reply[0], {reply.begin() + 1, reply.end()});
}

// Returns the answer's command byte and data; empty for the commands that get no answer.
std::vector<uint8_t> SimRadio::CivCommand(uint8_t command, const std::vector<uint8_t>& data) {
  const std::vector<uint8_t> ng{kCivNg};
  const std::vector<uint8_t> ok{kCivOk};
  switch (command) {
    case kCivCmdReportFrequency:
    case kCivCmdSetFrequencyAck: {
      if (data.size() != 5 || !IsBcd(data)) return ng;
      uint64_t hz = 0;
      for (int i = 4; i >= 0; --i) hz = hz * 100 + (data[i] >> 4) * 10 + (data[i] & 0x0F);
      if (hz > UINT32_MAX) return ng;
      frequency_ = static_cast<uint32_t>(hz);
      return command == kCivCmdSetFrequencyAck ? ok : std::vector<uint8_t>{};
    }
    case kCivCmdReportMode:
    case kCivCmdSetModeAck:
      if (!CivSetMode(data)) return ng;
      return command == kCivCmdSetModeAck ? ok : std::vector<uint8_t>{};
    case kCivCmdReadFrequency: {
      if (!data.empty()) return ng;
      std::vector<uint8_t> reply{kCivCmdReadFrequency};
      std::vector<uint8_t> bcd = CivFrequencyBytes();
      reply.insert(reply.end(), bcd.begin(), bcd.end());
      return reply;
    }
    case kCivCmdReadMode:
      if (!data.empty()) return ng;
      return {kCivCmdReadMode, modeByte_, filterByte_};
    case kCivCmdPower:
      if (data.size() != 1 || data[0] > 1) return ng;
      powerOn_ = data[0] == 1;
      return ok;
    default:
      return ng;
  }
}

// The filter models take a mode byte and a filter byte that together must name an entry
// of their table; given the mode byte alone they pick that mode's first (normal) filter.
// The others know only the mode byte and keep any filter from 1 to 3, as Icom radios do.
bool SimRadio::CivSetMode(const std::vector<uint8_t>& data) {
  if (data.empty() || data.size() > 2) return false;
  const ModeEntry* modes = model_.modes;
  if (hasFilter()) {
    for (int i = 0; modes != nullptr && modes[i].name != nullptr; ++i) {
      int code = modes[i].code & 0xFFFF;
      bool match = data.size() == 2 ? code == (data[0] << 8 | data[1]) : (code >> 8) == data[0];
      if (match) return SetModeCode(code);
    }
    return false;
  }
  if (data.size() == 2 && (data[1] < 1 || data[1] > 3)) return false;
  if (!SetModeCode(data[0])) return false;
  if (data.size() == 2) filterByte_ = data[1];
  return true;
}
