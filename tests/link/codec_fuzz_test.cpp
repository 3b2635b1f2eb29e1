// SPDX-License-Identifier: GPL-3.0-or-later
// Noise and damaged frames through both recognisers. Neither may crash, leave its state
// range, or stay confused: after an end byte (CI-V) or at most five bytes (CAT) a clean
// reply is recognised again.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "link/bcd.h"
#include "link/cat_codec.h"
#include "link/civ_codec.h"
#include "tests/link/codec_fakes.h"

namespace {

constexpr int kBytesPerRun = 1'200'000;

class Noise {
 public:
  explicit Noise(uint32_t seed) : rng_(seed) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }
  uint8_t Byte() { return static_cast<uint8_t>(Int(0, 255)); }
  uint32_t Hz() { return std::uniform_int_distribution<uint32_t>()(rng_); }

  int Pick(std::initializer_list<int> values) {
    return *(values.begin() + Int(0, static_cast<int>(values.size()) - 1));
  }

  // Half of the noise is made of the bytes the recognisers branch on.
  uint8_t TellingByte(std::initializer_list<int> telling) {
    return Chance(50) ? Byte() : static_cast<uint8_t>(Pick(telling));
  }

  void Mutate(Bytes& b) {
    for (int n = Int(0, 3); n > 0 && !b.empty(); --n) {
      size_t at = Int(0, static_cast<int>(b.size()) - 1);
      switch (Int(0, 3)) {
        case 0:
          b[at] = Byte();
          break;
        case 1:
          b.erase(b.begin() + at);
          break;
        case 2:
          b.insert(b.begin() + at, Byte());
          break;
        case 3:
          b.resize(at);
          break;
      }
    }
  }

 private:
  std::mt19937 rng_;
};

Bytes BcdFrequency(uint32_t hz) {
  Bytes bcd(5);
  ToBcd(hz, 10, bcd.data());
  return bcd;
}

struct CivSetting {
  ModelId modelId;
  uint8_t address;
};

Bytes CivCandidate(Noise& n, uint8_t address) {
  uint8_t to = n.Chance(80) ? kCivControllerAddress : kCivBroadcastAddress;
  switch (n.Int(0, 6)) {
    case 0:
      return CivFrame(to, address, n.Chance(50) ? 0x03 : 0x00, BcdFrequency(n.Hz()));
    case 1: {
      Bytes mode{static_cast<uint8_t>(n.Int(0, 0x99))};
      if (n.Chance(70)) mode.push_back(static_cast<uint8_t>(n.Int(0, 0x99)));
      return CivFrame(to, address, n.Chance(50) ? 0x04 : 0x01, mode);
    }
    case 2:
      return CivFrame(to, address, n.Chance(50) ? kCivNg : kCivOk);
    case 3: {
      Bytes data(n.Int(0, 25), 0x12);
      data.insert(data.begin(), 0x00);
      return CivFrame(to, address, kCivCmdExtended, data);
    }
    case 4:  // our own command, echoed
      return CivFrame(address, kCivControllerAddress, 0x03);
    case 5:
      return CivFrame(to, address, n.Chance(50) ? 0x03 : 0x04, {0xFF});
    default: {
      Bytes noise(n.Int(1, 40));
      for (uint8_t& b : noise) {
        b = n.TellingByte({0xFE, 0xFD, 0xFF, 0xE0, 0x00, address, 0x03, 0x04, 0x1A, 0xFA});
      }
      return noise;
    }
  }
}

void FuzzCiv(CivSetting setting, uint32_t seed) {
  SCOPED_TRACE(testing::Message() << "model " << static_cast<int>(setting.modelId) << " seed "
                                  << seed);
  Noise n(seed);
  RecordingSender sender;
  RecordingSink sink;
  std::atomic<int> pending{1};
  CivCodec codec(sender, sink, pending);
  codec.SetRadio(setting.address, setting.modelId);
  bool filter = setting.modelId == ModelId{2} || setting.modelId == ModelId{3};

  Bytes stream;
  for (int fed = 0; fed < kBytesPerRun;) {
    Bytes candidate = CivCandidate(n, setting.address);
    if (n.Chance(60)) n.Mutate(candidate);
    stream.insert(stream.end(), candidate.begin(), candidate.end());
    if (stream.size() < 64) continue;

    // Reads of any length, cutting frames anywhere.
    for (size_t at = 0; at < stream.size();) {
      int len = std::min<int>(n.Int(1, 48), stream.size() - at);
      int before = n.Pick({1, 0, 5, -1, -2});
      pending = before;
      sink.events.clear();
      codec.FrameReplyParser(stream.data() + at, len);
      at += len;
      fed += len;

      ASSERT_GE(codec.state(), CivState::kPreamble);
      ASSERT_LE(codec.state(), CivState::kEnd);
      // An end byte finishes or breaks whatever was being read.
      if (stream[at - 1] == kCivEnd) {
        ASSERT_EQ(codec.state(), CivState::kPreamble);
      }
      int after = pending;
      ASSERT_TRUE(after == before || after == 0 || after == -1 || after == -2) << after;
      for (const RecordingSink::Event& e : sink.events) {
        // The mode byte is a BCD pair: 0xFF would have ended the data after one byte.
        if (e.kind == RecordingSink::kMode) {
          ASSERT_LE(filter ? e.value >> 8 : e.value, 0x99u);
        }
      }
    }
    stream.clear();

    // Recovery: one end byte, then a clean reply is taken exactly once.
    codec.FrameReplyParser(&kCivEnd, 1);
    ASSERT_EQ(codec.state(), CivState::kPreamble);
    uint32_t hz = n.Hz();
    Bytes reply = CivFrame(kCivControllerAddress, setting.address, 0x03, BcdFrequency(hz));
    pending = 1;
    sink.events.clear();
    codec.FrameReplyParser(reply.data(), static_cast<int>(reply.size()));
    ASSERT_EQ(sink.events, std::vector{Frequency(hz)});
    ASSERT_EQ(pending, 0);
  }
}

Bytes CatRead(Noise& n) {
  if (n.Chance(20)) return {n.TellingByte({0x00})};
  Bytes read;
  if (n.Chance(50)) {
    Bytes bcd = BcdFrequency(n.Hz() % 1'000'000'000);
    read = {bcd[3], bcd[2], bcd[1], bcd[0], n.Byte()};
    n.Mutate(read);
  } else {
    read.resize(n.Int(1, 12));
    for (uint8_t& b : read) b = n.TellingByte({0x00});
  }
  if (read.empty()) read.push_back(n.Byte());
  return read;
}

}  // namespace

TEST(CodecFuzz, CivRecogniserSurvivesNoiseAndRecovers) {
  const CivSetting settings[] = {{ModelId{2}, 0x5A},
                                 {ModelId{3}, 0x4A},
                                 {ModelId{40}, 0x62},
                                 {ModelId{4}, 0x01},
                                 {ModelId{69}, 0x7F}};
  uint32_t seed = 20240601;
  for (CivSetting s : settings) {
    FuzzCiv(s, seed++);
    if (HasFatalFailure()) return;
  }
}

TEST(CodecFuzz, CatRecogniserSurvivesNoiseAndRecovers) {
  Noise n(424242);
  RecordingSender sender;
  RecordingSink sink;
  std::atomic<int> pending{0};
  CatCodec codec(sender, sink, pending);

  for (int fed = 0; fed < kBytesPerRun;) {
    Bytes read = CatRead(n);
    int before = n.Pick({0, 1, 5, -1, 2});
    int fillBefore = codec.statusFill();
    pending = before;
    sink.events.clear();
    codec.CatReplyParser(read.data(), static_cast<int>(read.size()));
    fed += read.size();

    int after = pending;
    ASSERT_GE(codec.statusFill(), 0);
    ASSERT_LE(codec.statusFill(), 4);
    bool acknowledged = before == 1 && read == Bytes{0x00};
    bool completed = before == 5 && fillBefore + static_cast<int>(read.size()) >= 5;
    ASSERT_EQ(after, acknowledged || completed ? 0 : before);
    ASSERT_EQ(sink.events.size(), completed ? 2u : 0u);
    if (completed) {
      ASSERT_EQ(sink.events[0].kind, RecordingSink::kMode);
    } else if (before == 5) {
      ASSERT_EQ(codec.statusFill(), fillBefore + static_cast<int>(read.size()));
    }

    if (n.Chance(2)) {
      // Recovery: flush a leftover with at most five bytes, then a clean reply.
      pending = 5;
      for (int i = 0; i < 5 && pending != 0; ++i) codec.CatReplyParser(&kCatAck, 1);
      ASSERT_EQ(pending, 0);
      ASSERT_EQ(codec.statusFill(), 0);
      uint32_t tens = n.Hz() % 100'000'000;
      Bytes bcd = BcdFrequency(tens);
      Bytes reply = {bcd[3], bcd[2], bcd[1], bcd[0], 0x04};
      pending = 5;
      sink.events.clear();
      codec.CatReplyParser(reply.data(), static_cast<int>(reply.size()));
      ASSERT_EQ(sink.events, (std::vector{Mode(4), Frequency(tens * 10)}));
    }
  }
}
