// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cat_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/link/codec_fakes.h"

namespace {

constexpr int kAwaitAck = 1;
constexpr int kAwaitStatus = 5;

struct Cat {
  explicit Cat(int commandSet = 1) { codec.SetCommandSet(commandSet); }
  void Feed(const Bytes& bytes) {
    codec.CatReplyParser(bytes.data(), static_cast<int>(bytes.size()));
  }
  RecordingSender sender;
  RecordingSink sink;
  std::atomic<int> pending{0};
  CatCodec codec{sender, sink, pending};
};

const Bytes kStatus14250Usb = {0x01, 0x42, 0x50, 0x00, 0x01};

// The one command an operation sends.
Bytes Sent(int commandSet, const std::function<void(CatCodec&)>& command) {
  Cat cat(commandSet);
  command(cat.codec);
  return cat.sender.frames.size() == 1 ? cat.sender.frames[0] : Bytes{};
}

}  // namespace

TEST(CatCodec, BuildsCommandsByteForByte) {
  using C = CatCodec;
  EXPECT_EQ(Sent(1, [](C& c) { c.CatSetFrequency(14250000); }),
            (Bytes{0x01, 0x42, 0x50, 0x00, 0x01}));
  // Units of 10 Hz: the last 5 Hz are cut; from 1 GHz up the top digit is lost.
  EXPECT_EQ(Sent(1, [](C& c) { c.CatSetFrequency(7000005); }),
            (Bytes{0x00, 0x70, 0x00, 0x00, 0x01}));
  EXPECT_EQ(Sent(1, [](C& c) { c.CatSetFrequency(1296000000); }),
            (Bytes{0x29, 0x60, 0x00, 0x00, 0x01}));
  EXPECT_EQ(Sent(1, [](C& c) { c.CatSetMode(8); }), (Bytes{0x08, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_EQ(Sent(1, [](C& c) { c.CatSetMode(0x0104); }), (Bytes{0x04, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_EQ(Sent(1, [](C& c) { c.CatReadStatus(); }), (Bytes{0x00, 0x00, 0x00, 0x00, 0x03}));
  EXPECT_EQ(Sent(2, [](C& c) { c.CatSetFrequency(14250000); }),
            (Bytes{0x01, 0x42, 0x50, 0x00, 0x0A}));
  EXPECT_EQ(Sent(2, [](C& c) { c.CatSetMode(1); }), (Bytes{0x01, 0x00, 0x00, 0x00, 0x0C}));
  EXPECT_EQ(Sent(0, [](C& c) { c.CatReadStatus(); }), (Bytes{0x00, 0x00, 0x00, 0x00, 0xFA}));
}

TEST(CatCodec, AcknowledgementIsASingleZeroByteReadAlone) {
  struct Case {
    std::string what;
    int pending;
    std::vector<Bytes> reads;
    int pendingAfter;
  };
  const Case cases[] = {
      {"ack", kAwaitAck, {{0x00}}, 0},
      {"two zeros in one read", kAwaitAck, {{0x00, 0x00}}, kAwaitAck},
      {"other byte", kAwaitAck, {{0x01}}, kAwaitAck},
      {"noise, then ack", kAwaitAck, {{0x55, 0x00}, {0x00}}, 0},
      {"nothing awaited", 0, {{0x00}}, 0},
      {"failed transaction", -1, {{0x00}}, -1},
      {"ack while a status is awaited is a status byte", kAwaitStatus, {{0x00}}, kAwaitStatus},
  };
  for (const Case& c : cases) {
    Cat cat;
    cat.pending = c.pending;
    for (const Bytes& read : c.reads) cat.Feed(read);
    EXPECT_EQ(cat.pending, c.pendingAfter) << c.what;
    EXPECT_TRUE(cat.sink.events.empty()) << c.what;
  }
}

TEST(CatCodec, StatusReplyGivesModeThenFrequency) {
  struct Case {
    std::string what;
    std::vector<Bytes> reads;
  };
  const Case cases[] = {
      {"one read", {kStatus14250Usb}},
      {"split 3 + 2", {{0x01, 0x42, 0x50}, {0x00, 0x01}}},
      {"byte by byte", {{0x01}, {0x42}, {0x50}, {0x00}, {0x01}}},
      {"trailing bytes ignored", {{0x01, 0x42, 0x50, 0x00, 0x01, 0x99, 0x99}}},
  };
  for (const Case& c : cases) {
    Cat cat;
    cat.pending = kAwaitStatus;
    for (const Bytes& read : c.reads) cat.Feed(read);
    EXPECT_EQ(cat.sink.events, (std::vector{Mode(1), Frequency(14250000)})) << c.what;
    EXPECT_EQ(cat.pending, 0) << c.what;
    EXPECT_EQ(cat.codec.statusFill(), 0) << c.what;
  }
}

TEST(CatCodec, ReplyCutShortIsCompletedByTheNextOne) {
  Cat cat;
  cat.pending = kAwaitStatus;
  cat.Feed({0x01, 0x42, 0x50});
  cat.pending = 0;  // the transaction timed out
  cat.Feed({0x77});
  EXPECT_EQ(cat.codec.statusFill(), 3);

  cat.pending = kAwaitStatus;
  cat.Feed({0x00, 0x70, 0x00, 0x00, 0x04});
  EXPECT_EQ(cat.sink.events, (std::vector{Mode(0x70), Frequency(14250000)}));
  EXPECT_EQ(cat.pending, 0);
  EXPECT_EQ(cat.codec.statusFill(), 0);
}
