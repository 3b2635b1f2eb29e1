// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/civ_codec.h"

#include <algorithm>
#include <cstring>

#include "link/bcd.h"
#include "link/receiver_models.h"

namespace {

constexpr int kFrequencyBytes = 5;
constexpr int kModeBytes = 2;
// A data byte is a BCD pair; 0xFF stands for "no value" and ends the data at once.
constexpr uint8_t kCivNoData = 0xFF;
constexpr uint8_t kMaxBcdByte = 0x99;
// The one extended frame read through to its end, so that its data is not taken for a frame.
constexpr uint8_t kCivSubCmdSkipped = 0x00;

bool IsFrequencyCommand(int command) {
  return command == kCivCmdReportFrequency || command == kCivCmdReadFrequency;
}

bool IsModeCommand(int command) {
  return command == kCivCmdReportMode || command == kCivCmdReadMode;
}

}  // namespace

std::vector<uint8_t> CivFrame(uint8_t to, uint8_t from, uint8_t command,
                              const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame(data.size() + 6);
  frame[0] = kCivPreamble;
  frame[1] = kCivPreamble;
  frame[2] = to;
  frame[3] = from;
  frame[4] = command;
  std::copy(data.begin(), data.end(), frame.begin() + 5);
  frame.back() = kCivEnd;
  return frame;
}

CivCodec::CivCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : sender_(sender), sink_(sink), pendingReplies_(pendingReplies) {}

void CivCodec::SetRadio(uint8_t address, ModelId model) {
  address_ = address;
  model_ = model;
}

void CivCodec::Send(uint8_t command, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame = CivFrame(address_, kCivControllerAddress, command, data);
  sender_.SendFrame(frame.data(), static_cast<int>(frame.size()));
}

void CivCodec::CmdSetFrequency(uint32_t hz) {
  std::vector<uint8_t> bcd(kFrequencyBytes);
  ToBcd(hz, 2 * kFrequencyBytes, bcd.data());
  Send(kCivCmdReportFrequency, bcd);
}

void CivCodec::CmdSetMode(int code) {
  uint8_t mode = code & 0xFF;
  if (HasFilterByte(model_)) {
    Send(kCivCmdReportMode, {static_cast<uint8_t>(code >> 8 & 0xFF), mode});
  } else {
    Send(kCivCmdReportMode, {mode});
  }
}

void CivCodec::CmdReadFrequency() { Send(kCivCmdReadFrequency); }

void CivCodec::CmdReadMode() { Send(kCivCmdReadMode); }

void CivCodec::CmdPower(bool on) { Send(kCivCmdPower, {static_cast<uint8_t>(on ? 1 : 0)}); }

void CivCodec::FrameReplyParser(const uint8_t* bytes, int count) {
  for (int i = 0; i < count; ++i) Feed(bytes[i]);
}

void CivCodec::Reset() {
  command_ = kCivNoCommand;
  subCommand_ = kCivNoCommand;
  std::memset(data_, 0, sizeof data_);
  count_ = 0;
}

// Every byte is consumed by the state it arrives in; a byte that breaks a frame is not looked
// at again as the start of the next one.
void CivCodec::Feed(uint8_t b) {
  using enum CivState;
  switch (state_) {
    case kPreamble:
      Reset();
      state_ = b == kCivPreamble ? kSecondPreamble : kPreamble;
      break;
    case kSecondPreamble:
      state_ = b == kCivPreamble ? kToAddress : kPreamble;
      break;
    case kToAddress:
      // Our own frames, echoed on a shared bus, are addressed to the radio and stop here.
      state_ = b == kCivControllerAddress || b == kCivBroadcastAddress ? kFromAddress : kPreamble;
      break;
    case kFromAddress:
      // Other stations on the bus are not ours to listen to.
      state_ = b == address_ ? kCommand : kPreamble;
      break;
    case kCommand:
      command_ = b;
      if (IsFrequencyCommand(b) || IsModeCommand(b)) {
        state_ = kData;
      } else if (b == kCivCmdExtended) {
        state_ = kSubCommand;
      } else if (b == kCivNg || b == kCivOk) {
        state_ = kEnd;
      } else {
        state_ = kPreamble;
      }
      break;
    case kSubCommand:
      subCommand_ = b;
      state_ = b == kCivSubCmdSkipped ? kData : kPreamble;
      break;
    case kData:
      StoreData(b);
      break;
    case kEnd:
      if (b == kCivEnd) ActOnFrame();
      state_ = kPreamble;
      break;
  }
}

// The per-command limits below keep count_ within kCivMaxDataCount, so data_ cannot overflow.
void CivCodec::StoreData(uint8_t b) {
  data_[count_] = b;
  if (b == kCivNoData) {
    ++count_;
    state_ = CivState::kEnd;
    return;
  }
  if (b > kMaxBcdByte) {
    state_ = CivState::kPreamble;
    return;
  }
  ++count_;
  if ((IsFrequencyCommand(command_) && count_ >= kFrequencyBytes) ||
      (IsModeCommand(command_) && count_ >= kModeBytes) ||
      (command_ == kCivCmdExtended && count_ >= kCivMaxDataCount)) {
    state_ = CivState::kEnd;
  }
}

// The indicator is written once with its final value: the waiting transaction polls it and
// must never see a passing kNoReplyPending before a kReplyIncomplete.
void CivCodec::ActOnFrame() {
  if (IsFrequencyCommand(command_)) {
    bool complete = count_ == kFrequencyBytes || count_ == 1;
    pendingReplies_ = complete ? kNoReplyPending : kReplyIncomplete;
    if (complete) OnFrequencyReply(data_);
  } else if (IsModeCommand(command_)) {
    bool complete = count_ == kModeBytes;
    pendingReplies_ = complete ? kNoReplyPending : kReplyIncomplete;
    if (complete) OnModeReply(data_);
  } else if (command_ == kCivNg) {
    pendingReplies_ = kReplyError;
    sink_.OnReceiverError();
  } else if (command_ == kCivOk) {
    pendingReplies_ = kNoReplyPending;
  }
}

void CivCodec::OnFrequencyReply(const uint8_t* data) {
  uint32_t hz = data[0] == kCivNoData ? 0 : FromBcd(data, kFrequencyBytes);
  sink_.OnFrequencyFound(hz);
}

void CivCodec::OnModeReply(const uint8_t* data) {
  int code = HasFilterByte(model_) ? data[0] * 256 + data[1] : data[0];
  sink_.OnModeFound(static_cast<uint16_t>(code));
}
