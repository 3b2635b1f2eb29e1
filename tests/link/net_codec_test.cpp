// SPDX-License-Identifier: GPL-3.0-or-later
// The network radio's text protocol: commands as the server reads them, answers recognised
// strictly, and a stream that stays paired with its commands.
#include "link/net_codec.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "link/net_address.h"
#include "link/receiver_models.h"
#include "tests/link/codec_fakes.h"

namespace {

std::string Text(const Bytes& frame) { return std::string(frame.begin(), frame.end()); }

class NetCodecTest : public ::testing::Test {
 protected:
  void Feed(const std::string& text) {
    codec_.Parse(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
  }

  RecordingSender sender_;
  RecordingSink sink_;
  std::atomic<int> pending_{0};
  NetCodec codec_{sender_, sink_, pending_};
};

uint16_t NetworkMode(const char* name) {
  const ModeLookup mode = ModeCodeByName(ModesNetwork, name);
  EXPECT_TRUE(mode.found) << name;
  return mode.code;
}

}  // namespace

TEST_F(NetCodecTest, CommandsAreThePlainProtocolLinesAndCountTheirAnswerLines) {
  struct Case {
    std::function<void(NetCodec&)> send;
    std::string line;
    int answerLines;
  } cases[] = {
      {[](NetCodec& c) { c.SetFrequency(14250000); }, "F 14250000\n", 1},
      // Past 32 bits: the whole number, not a wrapped one.
      {[](NetCodec& c) { c.SetFrequency(5760000000ULL); }, "F 5760000000\n", 1},
      {[](NetCodec& c) { c.SetMode("USB"); }, "M USB 0\n", 1},
      {[](NetCodec& c) { c.ReadFrequency(); }, "f\n", 1},
      {[](NetCodec& c) { c.ReadMode(); }, "m\n", 2},
      {[](NetCodec& c) { c.ReadStatus(); }, "f\nm\n", 3},
  };
  for (const Case& c : cases) {
    codec_.Reset();
    sender_.frames.clear();
    c.send(codec_);
    ASSERT_EQ(sender_.frames.size(), 1u) << c.line;
    EXPECT_EQ(Text(sender_.frames[0]), c.line);
    EXPECT_EQ(pending_, c.answerLines) << c.line;
  }
}

TEST_F(NetCodecTest, AnswersReportFrequencyAndModeAndCountDown) {
  codec_.ReadStatus();
  Feed("5760000000\nWFM\n-1\n");
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(5760000000ULL),
                                                             Mode(NetworkMode("WFM"))}));
  EXPECT_EQ(pending_, 0);
  EXPECT_FALSE(codec_.outOfStep());

  sink_.events.clear();
  codec_.SetFrequency(7000000);
  Feed("RPRT 0\n");
  EXPECT_EQ(pending_, 0);
  EXPECT_TRUE(sink_.events.empty());
  EXPECT_EQ(codec_.TakeFault().kind, NetFault::kNone);
}

TEST_F(NetCodecTest, AnswerSplitAcrossReadsAndCarriageReturnsGiveOneAnswer) {
  codec_.ReadStatus();
  for (char c : std::string("14250000\r\nUS")) Feed(std::string(1, c));
  EXPECT_EQ(pending_, 2);
  Feed("B\r\n2400\r\n");
  EXPECT_EQ(sink_.events,
            (std::vector<RecordingSink::Event>{Frequency(14250000), Mode(NetworkMode("USB"))}));
  EXPECT_EQ(pending_, 0);
}

TEST_F(NetCodecTest, FractionOfAHertzIsDroppedAndAnUnknownModeIsPassedOver) {
  codec_.ReadStatus();
  Feed("14250000.000000\nC4FM\n12500\n");
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(14250000)}));
  EXPECT_EQ(pending_, 0);
}

TEST_F(NetCodecTest, MalformedAnswersFailTheCommandWithWhatArrived) {
  struct Case {
    std::function<void(NetCodec&)> send;
    std::string answer;
    std::string shown;
  } cases[] = {
      {[](NetCodec& c) { c.ReadFrequency(); }, "14.250.000\n", "14.250.000"},
      {[](NetCodec& c) { c.ReadFrequency(); }, "-7000000\n", "-7000000"},
      {[](NetCodec& c) { c.ReadFrequency(); }, " 7000000\n", " 7000000"},
      {[](NetCodec& c) { c.ReadFrequency(); }, "\n", ""},
      {[](NetCodec& c) { c.ReadFrequency(); }, "1000000000000\n", "1000000000000"},
      {[](NetCodec& c) { c.ReadFrequency(); }, "7000000x\n", "7000000x"},
      // A bare "done" is no frequency.
      {[](NetCodec& c) { c.ReadFrequency(); }, "RPRT 0\n", "RPRT 0"},
      {[](NetCodec& c) { c.ReadMode(); }, "usb\n2400\n", "usb"},
      {[](NetCodec& c) { c.ReadMode(); }, "USB\nwide\n", "wide"},
      {[](NetCodec& c) { c.SetFrequency(1); }, "OK\n", "OK"},
      {[](NetCodec& c) { c.SetFrequency(1); }, "RPRT x\n", "RPRT x"},
      {[](NetCodec& c) { c.SetFrequency(1); }, std::string("\x01\xff\n", 3), "??"},
  };
  for (const Case& c : cases) {
    codec_.Reset();
    sink_.events.clear();
    c.send(codec_);
    Feed(c.answer);
    EXPECT_EQ(pending_, -1) << c.shown;
    const NetFault fault = codec_.TakeFault();
    EXPECT_EQ(fault.kind, NetFault::kMalformed) << c.shown;
    EXPECT_EQ(fault.line, c.shown);
    EXPECT_EQ(codec_.TakeFault().kind, NetFault::kNone) << "a fault is taken once";
  }
  // The mode line came after the bad frequency line and is not taken for anything.
  EXPECT_TRUE(sink_.events.empty());
}

TEST_F(NetCodecTest, ServerErrorEndsTheCommandWithItsCode) {
  codec_.ReadStatus();
  Feed("RPRT -11\n");
  EXPECT_EQ(pending_, -1);
  const NetFault fault = codec_.TakeFault();
  EXPECT_EQ(fault.kind, NetFault::kServerError);
  EXPECT_EQ(fault.code, -11);
  // Nothing more is owed for it: the next command pairs with the next answer.
  EXPECT_FALSE(codec_.outOfStep());
  codec_.ReadFrequency();
  Feed("3500000\n");
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(3500000)}));
}

TEST_F(NetCodecTest, AbandonedAnswersAreDroppedNotTakenForTheNextCommand) {
  codec_.ReadStatus();
  Feed("7000000\n");
  codec_.Abandon();
  EXPECT_TRUE(codec_.outOfStep());
  Feed("LSB\n2400\n");  // the rest of the late answer
  EXPECT_FALSE(codec_.outOfStep());
  codec_.SetFrequency(3600000);
  EXPECT_EQ(pending_, 1);
  Feed("RPRT 0\n");
  EXPECT_EQ(pending_, 0);
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(7000000)}));

  // An abandoned command's error is nobody's business any more.
  codec_.SetFrequency(1);
  codec_.Abandon();
  Feed("RPRT -9\n");
  EXPECT_EQ(codec_.TakeFault().kind, NetFault::kNone);
}

TEST_F(NetCodecTest, HalfALineOrAnOwedAnswerPutsTheStreamOutOfStepUntilReset) {
  codec_.ReadFrequency();
  Feed("1425");
  codec_.Abandon();
  EXPECT_TRUE(codec_.outOfStep());
  codec_.Reset();
  EXPECT_FALSE(codec_.outOfStep());
  codec_.ReadFrequency();
  Feed("3500000\n");
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(3500000)}));
}

TEST_F(NetCodecTest, StrayAndOverlongLinesAreBounded) {
  Feed("14250000\nRPRT -1\n");  // nobody asked
  EXPECT_EQ(codec_.TakeFault().kind, NetFault::kNone);
  EXPECT_TRUE(sink_.events.empty());

  codec_.ReadFrequency();
  Feed(std::string(100000, '7'));
  EXPECT_EQ(pending_, -1);
  const NetFault fault = codec_.TakeFault();
  EXPECT_EQ(fault.kind, NetFault::kMalformed);
  EXPECT_LT(fault.line.size(), 50u);
  // The rest of the long line is skipped up to its end; then answers count again.
  Feed("777\n");
  codec_.ReadFrequency();
  Feed("3500000\n");
  EXPECT_EQ(sink_.events, (std::vector<RecordingSink::Event>{Frequency(3500000)}));
}

TEST_F(NetCodecTest, RandomBytesNeverCrashAndNeverReportWhatNobodyAskedFor) {
  std::mt19937 rng(20261210);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string noise;
  for (int i = 0; i < 100000; ++i) {
    // Newlines and digits often, so lines end and numbers appear.
    const int b = byte(rng);
    noise += b < 30 ? '\n' : b < 80 ? static_cast<char>('0' + b % 10) : static_cast<char>(b);
  }
  for (size_t at = 0; at < noise.size(); at += 997) {
    if (at % 3 == 0) codec_.ReadStatus();
    Feed(noise.substr(at, 997));
    EXPECT_LE(pending_, 3);
    EXPECT_GE(pending_, -1);
  }
  for (const RecordingSink::Event& e : sink_.events) {
    if (e.kind == RecordingSink::kFrequency) {
      EXPECT_LE(e.value, kNetMaxFrequency);
    }
  }
  codec_.Reset();
  codec_.ReadFrequency();
  Feed("3500000\n");
  EXPECT_EQ(sink_.events.back(), Frequency(3500000));
}

TEST(NetAddress, HostsWithAndWithoutPorts) {
  struct Case {
    const char* text;
    bool valid;
    const char* host;
    int port;
    const char* shown;
  } cases[] = {
      {"localhost:4532", true, "localhost", 4532, "localhost:4532"},
      {"localhost", true, "localhost", 4532, "localhost:4532"},
      {"  192.168.1.20:4533 ", true, "192.168.1.20", 4533, "192.168.1.20:4533"},
      {"[::1]:4532", true, "::1", 4532, "[::1]:4532"},
      {"[fe80::1%eth0]", true, "fe80::1%eth0", 4532, "[fe80::1%eth0]:4532"},
      {"2001:db8::7", true, "2001:db8::7", 4532, "[2001:db8::7]:4532"},
      {"radio.example:65535", true, "radio.example", 65535, "radio.example:65535"},
      {"", false, "", 0, ""},
      {"host:0", false, "", 0, ""},
      {"host:65536", false, "", 0, ""},
      {"host:", false, "", 0, ""},
      {"host:12x", false, "", 0, ""},
      {"[::1", false, "", 0, ""},
      {"[::1]4532", false, "", 0, ""},
      {"a b", false, "", 0, ""},
      {"host/path", false, "", 0, ""},
      {":4532", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    const std::optional<NetAddress> address = ParseNetHost(c.text);
    ASSERT_EQ(address.has_value(), c.valid) << '"' << c.text << '"';
    if (!c.valid) continue;
    EXPECT_EQ(address->host, c.host) << c.text;
    EXPECT_EQ(address->port, c.port) << c.text;
    EXPECT_EQ(NetHostText(*address), c.shown) << c.text;
  }
}
