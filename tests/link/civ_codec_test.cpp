// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/civ_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/link/codec_fakes.h"

namespace {

constexpr uint8_t kR75 = 0x5A;  // IC-R75, id 2, mode and filter byte
constexpr ModelId kIdR75 = ModelId::kR75;
constexpr ModelId kIdR8500 = ModelId::kR8500;
constexpr ModelId kIdIC7200 = ModelId{69};
constexpr int kNothingAnswered = 1;

struct Civ {
  explicit Civ(ModelId modelId = kIdR75, uint8_t address = kR75) {
    codec.SetRadio(address, modelId);
  }
  void Feed(const Bytes& bytes) {
    codec.FrameReplyParser(bytes.data(), static_cast<int>(bytes.size()));
  }
  RecordingSender sender;
  RecordingSink sink;
  std::atomic<int> pending{kNothingAnswered};
  CivCodec codec{sender, sink, pending};
};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A frame from the radio to us.
Bytes Reply(uint8_t command, const Bytes& data = {}) { return CivFrame(0xE0, kR75, command, data); }

const Bytes kFrequencyReply = {0xFE, 0xFE, 0xE0, kR75, 0x03, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD};

// The one frame a command sends.
Bytes Sent(ModelId modelId, uint8_t address, const std::function<void(CivCodec&)>& command) {
  Civ civ(modelId, address);
  command(civ.codec);
  return civ.sender.frames.size() == 1 ? civ.sender.frames[0] : Bytes{};
}

}  // namespace

TEST(CivCodec, BuildsCommandFramesByteForByte) {
  using C = CivCodec;
  EXPECT_EQ(Sent(kIdR75, kR75, [](C& c) { c.CmdSetFrequency(14250000); }),
            (Bytes{0xFE, 0xFE, 0x5A, 0xE0, 0x00, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD}));
  EXPECT_EQ(Sent(ModelId{40}, 0x62, [](C& c) { c.CmdSetFrequency(4294967295u); }),
            (Bytes{0xFE, 0xFE, 0x62, 0xE0, 0x00, 0x95, 0x72, 0x96, 0x94, 0x42, 0xFD}));
  EXPECT_EQ(Sent(kIdR75, kR75, [](C& c) { c.CmdSetMode(0x0103); }),
            (Bytes{0xFE, 0xFE, 0x5A, 0xE0, 0x01, 0x01, 0x03, 0xFD}));
  EXPECT_EQ(Sent(kIdR8500, 0x4A, [](C& c) { c.CmdSetMode(0x0601); }),
            (Bytes{0xFE, 0xFE, 0x4A, 0xE0, 0x01, 0x06, 0x01, 0xFD}));
  // One-byte models send the low byte only, whatever the code holds above it.
  EXPECT_EQ(Sent(kIdIC7200, 0x76, [](C& c) { c.CmdSetMode(0x0207); }),
            (Bytes{0xFE, 0xFE, 0x76, 0xE0, 0x01, 0x07, 0xFD}));
  EXPECT_EQ(Sent(kIdR75, kR75, [](C& c) { c.CmdReadFrequency(); }),
            (Bytes{0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD}));
  EXPECT_EQ(Sent(kIdR75, kR75, [](C& c) { c.CmdReadMode(); }),
            (Bytes{0xFE, 0xFE, 0x5A, 0xE0, 0x04, 0xFD}));
  EXPECT_EQ(Sent(ModelId{40}, 0x62, [](C& c) { c.CmdPower(true); }),
            (Bytes{0xFE, 0xFE, 0x62, 0xE0, 0x18, 0x01, 0xFD}));
  EXPECT_EQ(Sent(ModelId{40}, 0x62, [](C& c) { c.CmdPower(false); }),
            (Bytes{0xFE, 0xFE, 0x62, 0xE0, 0x18, 0x00, 0xFD}));
}

TEST(CivCodec, RecognisesRepliesAndIgnoresEverythingElse) {
  const uint8_t a = kR75;
  const Bytes echo = CivFrame(a, 0xE0, 0x03);
  struct Case {
    std::string what;
    Bytes bytes;
    std::vector<RecordingSink::Event> events;
    int pending;
  };
  const Case cases[] = {
      {"own frame echoed, then the reply",
       Concat({echo, kFrequencyReply}),
       {Frequency(14250000)},
       0},
      {"echo alone", echo, {}, kNothingAnswered},
      {"unsolicited report",
       CivFrame(0x00, a, 0x00, {0x00, 0x50, 0x99, 0x07, 0x00}),
       {Frequency(7995000)},
       0},
      {"three preambles lose the frame", Concat({{0xFE}, kFrequencyReply}), {}, kNothingAnswered},
      {"other station", CivFrame(0xE0, 0x5B, 0x03, {0, 0, 0x25, 0x14, 0}), {}, kNothingAnswered},
      {"four frequency bytes", Reply(0x03, {0x00, 0x00, 0x25, 0x14}), {}, kNothingAnswered},
      {"no frequency", Reply(0x03, {0xFF}), {Frequency(0)}, 0},
      {"0xFF cuts a frequency short", Reply(0x03, {0x00, 0xFF}), {}, -2},
      {"non-BCD data byte", Reply(0x03, {0x00, 0xA0, 0x25, 0x14, 0x00}), {}, kNothingAnswered},
      {"mode and filter", Reply(0x04, {0x01, 0x03}), {Mode(0x0103)}, 0},
      {"single mode byte", Reply(0x04, {0x02}), {}, kNothingAnswered},
      {"mode 0xFF alone", Reply(0x01, {0xFF}), {}, -2},
      {"NG", Reply(0xFA), {ReceiverError()}, -1},
      {"OK", Reply(0xFB), {}, 0},
      {"OK needs its end byte", Reply(0xFB, {0x00}), {}, kNothingAnswered},
      {"command 0x05", Reply(0x05, {0x00, 0x00, 0x25, 0x14, 0x00}), {}, kNothingAnswered},
      {"command 0x06", Reply(0x06, {0x02, 0x02}), {}, kNothingAnswered},
      {"extended frame other than 1A 00", Reply(0x1A, {0x05, 0x00}), {}, kNothingAnswered},
      {"new frame inside another is lost too",
       Concat({{0xFE, 0xFE, 0xE0, a, 0x03, 0x00}, kFrequencyReply}),
       {},
       kNothingAnswered},
  };
  for (const Case& c : cases) {
    Civ civ;
    civ.Feed(c.bytes);
    EXPECT_EQ(civ.sink.events, c.events) << c.what;
    EXPECT_EQ(civ.pending, c.pending) << c.what;
    EXPECT_EQ(civ.codec.state(), CivState::kPreamble) << c.what;
  }
}

TEST(CivCodec, ModeReplyCarriesAFilterByteOnlyForTheTwoFilterModels) {
  struct Case {
    ModelId modelId;
    uint8_t address;
    uint32_t code;
  };
  for (Case c : {Case{kIdR75, kR75, 0x0201}, {kIdR8500, 0x4A, 0x0201}, {kIdIC7200, 0x76, 0x02}}) {
    Civ civ(c.modelId, c.address);
    civ.Feed(CivFrame(0xE0, c.address, 0x01, {0x02, 0x01}));
    EXPECT_EQ(civ.sink.events, std::vector{Mode(c.code)}) << static_cast<int>(c.modelId);
  }
}

TEST(CivCodec, SkipsTheLongestExtendedFrameAndTakesTheNext) {
  Civ civ;
  Bytes extended = {0xFE, 0xFE, 0xE0, kR75, 0x1A, 0x00};
  extended.insert(extended.end(), 21, 0x42);
  extended.push_back(0xFD);
  civ.Feed(Concat({extended, kFrequencyReply}));
  EXPECT_EQ(civ.sink.events, std::vector{Frequency(14250000)});

  // More data than the longest is no longer a frame, and is never stored.
  Civ longer;
  extended.insert(extended.end() - 1, 20, 0x42);
  longer.Feed(extended);
  EXPECT_EQ(longer.codec.state(), CivState::kPreamble);
  EXPECT_EQ(longer.pending, kNothingAnswered);
}

TEST(CivCodec, ReplySplitAtAnyByteYieldsOneFrequency) {
  const Bytes stream = Concat({{0xFE, 0xFE, kR75, 0xE0, 0x03, 0xFD}, kFrequencyReply});
  for (size_t cut = 0; cut <= stream.size(); ++cut) {
    Civ civ;
    civ.Feed(Bytes(stream.begin(), stream.begin() + cut));
    civ.Feed(Bytes(stream.begin() + cut, stream.end()));
    EXPECT_EQ(civ.sink.events, std::vector{Frequency(14250000)}) << "cut at " << cut;
  }
  Civ bytewise;
  for (uint8_t b : stream) bytewise.Feed({b});
  EXPECT_EQ(bytewise.sink.events, std::vector{Frequency(14250000)});
}
