// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "link/link_interfaces.h"
#include "link/receiver_models.h"

constexpr uint8_t kCivPreamble = 0xFE;
constexpr uint8_t kCivEnd = 0xFD;
constexpr uint8_t kCivControllerAddress = 0xE0;
constexpr uint8_t kCivBroadcastAddress = 0x00;
constexpr uint8_t kCivCmdReportFrequency = 0x00;  // also "set frequency, no reply"
constexpr uint8_t kCivCmdReportMode = 0x01;       // also "set mode, no reply"
constexpr uint8_t kCivCmdReadFrequency = 0x03;
constexpr uint8_t kCivCmdReadMode = 0x04;
constexpr uint8_t kCivCmdSetFrequencyAck = 0x05;
constexpr uint8_t kCivCmdSetModeAck = 0x06;
constexpr uint8_t kCivCmdPower = 0x18;
constexpr uint8_t kCivCmdExtended = 0x1A;
constexpr uint8_t kCivNg = 0xFA;
constexpr uint8_t kCivOk = 0xFB;
// No command of the radio's: what the recogniser holds before a frame's command byte.
constexpr int kCivNoCommand = 0xAA;

// The longest data the recogniser stores: the 0x1A frames it skips.
constexpr int kCivMaxDataCount = 21;
constexpr int kCivDataCapacity = 32;
static_assert(kCivMaxDataCount <= kCivDataCapacity);

// What the recogniser expects next of a frame: FE FE to from command [sub-command] data FD.
// A frame broken anywhere goes back to the first preamble byte.
enum class CivState : uint8_t {
  kPreamble,
  kSecondPreamble,
  kToAddress,
  kFromAddress,
  kCommand,
  kSubCommand,  // of an 0x1A frame
  kData,
  kEnd,
};

// FE FE to from command data... FD
std::vector<uint8_t> CivFrame(uint8_t to, uint8_t from, uint8_t command,
                              const std::vector<uint8_t>& data = {});

// Builds the commands the program sends to a CI-V radio and recognises the radio's frames
// in the received byte stream. Builders run on the user-interface thread, the recogniser
// on the receive thread; the radio is set only while the receive thread is stopped.
class CivCodec {
 public:
  CivCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  void SetRadio(uint8_t address, ModelId model);

  void CmdSetFrequency(uint32_t hz);
  void CmdSetMode(int code);
  void CmdReadFrequency();
  void CmdReadMode();
  void CmdPower(bool on);

  void FrameReplyParser(const uint8_t* bytes, int count);
  void OnFrequencyReply(const uint8_t* data);
  void OnModeReply(const uint8_t* data);

  CivState state() const { return state_; }

 private:
  void Feed(uint8_t b);
  void Reset();
  void StoreData(uint8_t b);
  void ActOnFrame();
  void Send(uint8_t command, const std::vector<uint8_t>& data = {});

  FrameSender& sender_;
  ReplySink& sink_;
  std::atomic<int>& pendingReplies_;
  uint8_t address_ = 0;
  ModelId model_ = ModelId{0};

  // Kept across reads, so a frame split between two reads is still recognised.
  CivState state_ = CivState::kPreamble;
  int command_ = kCivNoCommand;
  int subCommand_ = kCivNoCommand;
  uint8_t data_[kCivDataCapacity] = {};
  int count_ = 0;
};
