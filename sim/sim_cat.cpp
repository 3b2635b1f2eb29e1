// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "link/bcd.h"
#include "link/cat_codec.h"
#include "sim/sim_radio.h"

namespace {

constexpr uint8_t kOpSetFrequency = 0x01;
constexpr uint8_t kOpReadStatus = 0x03;
constexpr uint8_t kOpSetMode = 0x07;
constexpr uint8_t kOpToggleVfo = 0x81;
constexpr uint8_t kOpReadEeprom = 0xBB;
constexpr uint8_t kOpReadRxStatus = 0xE7;
constexpr uint8_t kOpReadTxStatus = 0xF7;

// Receiving, squelch open, no tone, S0.
constexpr uint8_t kRxStatus = 0x00;
// Bit 7 set: not transmitting.
constexpr uint8_t kTxStatus = 0xFF;
// The configuration byte whose bit 0 tells which VFO is in use.
constexpr int kEepromVfoAddress = 0x55;

// Besides the modes the program names, the radio takes CW-R, digital, packet and narrow FM
// from other controllers.
bool IsRadioMode(uint8_t mode) {
  switch (mode) {
    case 0x00:
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x08:
    case 0x0A:
    case 0x0C:
    case 0x88:
      return true;
    default:
      return false;
  }
}

bool IsBcd(const uint8_t* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    if ((bytes[i] & 0x0F) > 9 || (bytes[i] >> 4) > 9) return false;
  }
  return true;
}

}  // namespace

void SimRadio::CatByte(uint8_t b, std::vector<LineOutput>* out) {
  catCommand_[catFill_++] = b;
  if (catFill_ < kCatCommandLength) return;
  catFill_ = 0;
  std::vector<uint8_t> answer = CatCommand(catCommand_);
  if (!answer.empty() && !silent_) out->push_back({std::move(answer), true});
}

// The radio acknowledges each command it carries out that has no other answer. It has no way
// to refuse: under "ng" it ignores those commands and says nothing. Opcodes it does not
// carry out are ignored without a word, as the radio does with unknown ones.
std::vector<uint8_t> SimRadio::CatCommand(const uint8_t* command) {
  const std::vector<uint8_t> ack{kCatAck};
  switch (command[4]) {
    case kOpSetFrequency: {
      if (ng_ || !IsBcd(command, 4)) return {};
      const uint8_t lsbFirst[4] = {command[3], command[2], command[1], command[0]};
      frequency_ = FromBcd(lsbFirst, 4) * 10;
      return ack;
    }
    case kOpSetMode:
      if (ng_) return {};
      if (IsRadioMode(command[0])) modeByte_ = command[0];
      return ack;
    case kOpReadStatus: {
      uint8_t bcd[5];
      ToBcd(frequency_ / 10, 10, bcd);
      return {bcd[3], bcd[2], bcd[1], bcd[0], modeByte_};
    }
    case kOpReadRxStatus:
      return {kRxStatus};
    case kOpReadTxStatus:
      return {kTxStatus};
    case kOpToggleVfo:
      if (ng_) return {};
      std::swap(frequency_, otherFrequency_);
      std::swap(modeByte_, otherMode_);
      vfoB_ = !vfoB_;
      return ack;
    case kOpReadEeprom: {
      // Two bytes from the given address on. Apart from the VFO in use, the memory reads as
      // a radio in its factory state: zeros wherever a controller looks.
      int address = command[0] << 8 | command[1];
      auto byte = [&](int a) { return static_cast<uint8_t>(a == kEepromVfoAddress && vfoB_); };
      return {byte(address), byte(address + 1)};
    }
    default:
      return {};
  }
}
