// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cat_codec.h"

#include "link/bcd.h"

CatOpcodes CatOpcodesFor(int catCommandSet) {
  if (catCommandSet == 1) return {0x01, 0x07, 0x03};
  return {0x0A, 0x0C, 0xFA};
}

CatCodec::CatCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : sender_(sender), sink_(sink), pendingReplies_(pendingReplies) {}

void CatCodec::SetCommandSet(int catCommandSet) { commandSet_ = catCommandSet; }

void CatCodec::Send(uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4, uint8_t opcode) {
  const uint8_t command[kCatCommandLength] = {p1, p2, p3, p4, opcode};
  sender_.SendFrame(command, kCatCommandLength);
}

// The radio takes tens of hertz as 8 digits, most significant pair first; anything from
// 1 GHz up does not fit and is cut.
void CatCodec::CatSetFrequency(uint32_t hz) {
  uint8_t bcd[5];
  ToBcd(hz / 10, 10, bcd);
  Send(bcd[3], bcd[2], bcd[1], bcd[0], CatOpcodesFor(commandSet_).setFrequency);
}

void CatCodec::CatSetMode(int code) {
  Send(static_cast<uint8_t>(code & 0xFF), 0, 0, 0, CatOpcodesFor(commandSet_).setMode);
}

void CatCodec::CatReadStatus() { Send(0, 0, 0, 0, CatOpcodesFor(commandSet_).readStatus); }

// The acknowledgement is a read of its own: a 0x00 among other bytes is not one. A status
// reply may arrive in pieces, so the buffer is kept across reads.
void CatCodec::CatReplyParser(const uint8_t* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    int pending = pendingReplies_;
    if (pending == kOneReplyPending && count == 1 && bytes[i] == kCatAck) {
      pendingReplies_ = kNoReplyPending;
      return;
    }
    if (pending != kCatStatusReplies) continue;
    status_[statusFill_++] = bytes[i];
    if (statusFill_ == kCatStatusLength) {
      statusFill_ = 0;
      OnFrequencyReply(status_);
      pendingReplies_ = kNoReplyPending;
      return;
    }
  }
}

void CatCodec::OnFrequencyReply(const uint8_t* data) {
  const uint8_t tens[4] = {data[3], data[2], data[1], data[0]};
  uint32_t hz = FromBcd(tens, 4) * 10;
  sink_.OnModeFound(data[4]);
  sink_.OnFrequencyFound(hz);
}
