// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/net_radio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/receiver_models.h"
#include "tests/sim/loopback_client.h"
#include "tests/test_support.h"

namespace {

using namespace std::chrono_literals;

int Code(const char* mode) { return ModeCodeByName(ModesNetwork, mode).code; }

}  // namespace

TEST(NetRadio, AnswersOverLoopbackAndKeepsWhatItReceived) {
  NetRadio radio;
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  ASSERT_NE(radio.port(), 0);
  LoopbackClient client(radio.port());
  ASSERT_TRUE(client.connected());
  const std::string sent = "F 5000000000\nf\nM CW 500\r\nm\n";
  ASSERT_TRUE(client.Send(sent));
  const std::string expected = "RPRT 0\n5000000000\nRPRT 0\nCW\n500\n";
  EXPECT_EQ(client.Read(expected.size()), expected);
  EXPECT_EQ(radio.received(), sent);
  EXPECT_EQ(radio.frequency(), 5000000000u);
  EXPECT_EQ(radio.modeCode(), Code("CW"));
  EXPECT_EQ(radio.passband(), 500);
  radio.clearReceived();
  EXPECT_EQ(radio.received(), "");
  EXPECT_EQ(radio.clients(), 1);
}

TEST(NetRadio, ClientsComeBackAfterCloseOrQuitAndMayOverlap) {
  NetRadio radio;
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  {
    LoopbackClient first(radio.port());
    ASSERT_TRUE(WaitUntil([&] { return radio.connected() == 1; }));
    ASSERT_TRUE(radio.Command("close"));
    EXPECT_TRUE(first.WaitEnded());
    EXPECT_TRUE(WaitUntil([&] { return radio.connected() == 0; }));
  }
  {
    LoopbackClient second(radio.port());
    ASSERT_TRUE(second.Send("f\nq\nf\n"));
    EXPECT_EQ(second.Read(20), "7000000\nRPRT 0\n") << "nothing after the quit";
    EXPECT_TRUE(second.WaitEnded());
  }
  LoopbackClient third(radio.port()), fourth(radio.port());
  ASSERT_TRUE(third.Send("F 7055000\n"));
  EXPECT_EQ(third.Read(7), "RPRT 0\n");
  ASSERT_TRUE(fourth.Send("f\n"));
  EXPECT_EQ(fourth.Read(8), "7055000\n") << "one radio for all clients";
  EXPECT_EQ(radio.clients(), 4);
  EXPECT_EQ(radio.connected(), 2);
}

TEST(NetRadio, StopEndsTheClientAndClosesThePort) {
  NetRadio radio;
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  uint16_t port = radio.port();
  LoopbackClient client(port);
  ASSERT_TRUE(WaitUntil([&] { return radio.connected() == 1; }));
  auto start = std::chrono::steady_clock::now();
  radio.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(client.WaitEnded());
  EXPECT_FALSE(LoopbackClient(port).connected());

  // The port is free again at once, as a restarted simulator needs it.
  NetRadio again;
  EXPECT_TRUE(again.Start(port)) << again.error();
}

TEST(NetRadio, PortInUseIsAnErrorWithTheAddress) {
  NetRadio first, second;
  ASSERT_TRUE(first.Start(0)) << first.error();
  EXPECT_FALSE(second.Start(first.port()));
  EXPECT_NE(second.error().find("127.0.0.1:" + std::to_string(first.port())), std::string::npos)
      << second.error();
}

TEST(NetRadio, SplitAnswerArrivesInTwoReads) {
  NetRadio radio;
  radio.SetSplitGap(200ms);  // so the parts cannot merge on a busy host
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  ASSERT_TRUE(radio.Command("split on"));
  LoopbackClient client(radio.port());
  ASSERT_TRUE(client.Send("m\n"));
  std::vector<std::string> chunks = client.ReadChunks(9);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0] + chunks[1], "USB\n2400\n");
}

TEST(NetRadio, ConsoleNoiseAndAnswersReachTheClient) {
  NetRadio radio;
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  LoopbackClient client(radio.port());
  ASSERT_TRUE(WaitUntil([&] { return radio.connected() == 1; }));
  ASSERT_TRUE(radio.Command("noise 40"));
  EXPECT_EQ(client.Read(40).size(), 40u);
  ASSERT_TRUE(radio.Command("answer 70\\r"));
  ASSERT_TRUE(client.Send("f\n"));
  EXPECT_EQ(client.Read(3), "70\r");
  std::string reason;
  EXPECT_FALSE(radio.Command("answer \\z", &reason));
  EXPECT_FALSE(reason.empty());
}

// Without MSG_NOSIGNAL the write to the vanished client would kill this whole test program.
TEST(NetRadio, ClientThatVanishesMidAnswerLeavesTheRadioServing) {
  NetRadio radio;
  radio.SetSplitGap(200ms);
  ASSERT_TRUE(radio.Start(0)) << radio.error();
  ASSERT_TRUE(radio.Command("split on"));
  {
    LoopbackClient client(radio.port());
    ASSERT_TRUE(client.Send("m\nm\nm\n"));
    ASSERT_EQ(client.ReadChunks(1).size(), 1u);
    // Gone with the rest unsent: the next part is refused, and the one after it would raise
    // the signal.
  }
  EXPECT_TRUE(WaitUntil([&] { return radio.connected() == 0; }));
  ASSERT_TRUE(radio.Command("split off"));
  LoopbackClient next(radio.port());
  ASSERT_TRUE(next.Send("f\n"));
  EXPECT_EQ(next.Read(8), "7000000\n");
}
