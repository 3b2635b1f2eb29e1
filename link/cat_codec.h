// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

#include "link/link_interfaces.h"

constexpr int kCatCommandLength = 5;
constexpr int kCatStatusLength = 5;
// A status read counts the bytes of its answer in pendingReplies.
constexpr int kCatStatusReplies = kCatStatusLength;
constexpr uint8_t kCatAck = 0x00;

struct CatOpcodes {
  uint8_t setFrequency;
  uint8_t setMode;
  uint8_t readStatus;
};

// Command set 1 is the one every CAT model of the table uses.
CatOpcodes CatOpcodesFor(int catCommandSet);

// Builds the 5-byte commands of the CAT radios and recognises the acknowledgement and the
// status reply. Builders run on the user-interface thread, the recogniser on the receive
// thread.
class CatCodec {
 public:
  CatCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies);

  void SetCommandSet(int catCommandSet);

  void CatSetFrequency(uint32_t hz);
  void CatSetMode(int code);
  void CatReadStatus();

  void CatReplyParser(const uint8_t* bytes, int count);
  void OnFrequencyReply(const uint8_t* data);

  int statusFill() const { return statusFill_; }

 private:
  void Send(uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4, uint8_t opcode);

  FrameSender& sender_;
  ReplySink& sink_;
  std::atomic<int>& pendingReplies_;
  int commandSet_ = 1;

  // A reply cut short by a time-out stays here and is completed by the next reply's bytes.
  uint8_t status_[kCatStatusLength] = {};
  int statusFill_ = 0;
};
