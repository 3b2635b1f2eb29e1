// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_control.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <thread>

#include "common/command_ids.h"
#include "link/link_events.h"
#include "link/receiver_models.h"
#include "tests/link/link_fixture.h"
#include "tests/link/pty.h"
#include "tests/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST_F(LinkControlTest, CivConnectAnsweredWithinTheLimit) {
  StartRadio(Radio("IC-R75"));
  Connect();
  EXPECT_EQ(host_.linkPane, "Get freq done");
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_EQ(host_.connectionPane, " IC-R75  5A  COM7  9600");
  EXPECT_EQ(host_.connectionChanges, 1);
  EXPECT_FALSE(host_.waitCursor);
  EXPECT_TRUE(RadioReceived({0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD}));
  EXPECT_FALSE(link_.isTimerRunning(kTimerPerseusPoll));
}

TEST_F(LinkControlTest, ReportsAreEmittedInTheOrderTheyCameOnTheUserInterfaceThread) {
  StartRadio(Radio("IC-R75"));
  std::vector<std::string> reports;
  bool elsewhere = false;
  QObject::connect(&link_, &LinkControl::frequencyReported, [&](uint64_t hz) {
    elsewhere |= QThread::currentThread() != App().thread();
    reports.push_back("freq " + std::to_string(hz));
  });
  QObject::connect(&link_, &LinkControl::modeReported, [&](int code) {
    elsewhere |= QThread::currentThread() != App().thread();
    reports.push_back("mode " + std::to_string(code));
  });
  Connect();
  link_.ReadMode();
  ASSERT_TRUE(Arrives([&] { return reports.size() >= 2; }));
  // The R75 reports mode and filter: AM with the middle filter.
  EXPECT_EQ(reports, (std::vector<std::string>{"freq 14250000", "mode 514"}));
  EXPECT_FALSE(elsewhere);
  EXPECT_EQ(host_.linkPane, "Get mode done");
}

TEST_F(LinkControlTest, SilentCatRadioIsNotFoundAfterFiveWaits) {
  StartRadio(Radio("FT-817"));
  ASSERT_TRUE(radio_->Command("silent on"));
  auto start = Clock::now();
  link_.ToggleConnect();
  auto took = Clock::now() - start;
  EXPECT_GE(took, 5000ms);
  EXPECT_LT(took, 6500ms);
  EXPECT_FALSE(link_.linkConnected);
  EXPECT_EQ(host_.boxes, std::vector<std::string>{"Quilvar: FT-817  not found!"});
  EXPECT_EQ(host_.messagePane, "Timeout");
  EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll));
  // Five status reads went out, at two stop bits.
  Bytes status{0x00, 0x00, 0x00, 0x00, 0x03};
  Bytes got = radio_->received();
  EXPECT_EQ(got.size(), 5 * status.size());
}

TEST_F(LinkControlTest, CatConnectStartsThePollAndDisconnectStopsIt) {
  StartRadio(Radio("FT-817"));
  Connect();
  EXPECT_TRUE(link_.isTimerRunning(kTimerCatPoll));
  EXPECT_EQ(host_.connectionPane, " FT-817  COM7  9600");
  link_.ToggleConnect();
  EXPECT_FALSE(link_.linkConnected);
  EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll));
  EXPECT_EQ(host_.disconnects, 1);
  EXPECT_EQ(host_.connectionChanges, 2);
  // Disconnecting leaves the connection pane as it was.
  EXPECT_EQ(host_.connectionPane, " FT-817  COM7  9600");
}

TEST_F(LinkControlTest, CatWritesWaitForTheAcknowledgement) {
  StartRadio(Radio("FT-817"));
  Connect();
  EXPECT_EQ(link_.WriteFrequency(7055000), TransactionResult::kAcknowledged);
  EXPECT_EQ(host_.linkPane, "Write freq OK");
  EXPECT_EQ(radio_->frequency(), 7055000u);
  EXPECT_EQ(link_.WriteMode(ModeCodeByName(ModesCat, "CW").code), TransactionResult::kAcknowledged);
  EXPECT_EQ(host_.linkPane, "Write mode OK");
  EXPECT_EQ(radio_->modeCode(), 2);
}

TEST_F(LinkControlTest, AcknowledgementCountsOnlyAsAReadOfItsOwn) {
  Pty line;
  ASSERT_TRUE(line.ready());
  MapComPort(line.path());
  LinkSettings settings;
  settings.modelIndex = ModelIndexByName("FT-817");
  settings.comPort = kComPort;
  link_.SetSettings(settings);
  ASSERT_EQ(link_.OpenLink(), 0);

  struct Case {
    Bytes answer;
    TransactionResult result;
    const char* linkPane;
  } cases[] = {
      {{0x00}, TransactionResult::kAcknowledged, "Write freq OK"},
      {{0x00, 0x00}, TransactionResult::kFailed, "Write freq Failed"},
  };
  for (const Case& c : cases) {
    std::thread radio([&] {
      line.Receive(5);
      line.Send(c.answer);
    });
    EXPECT_EQ(link_.WriteFrequency(14250000), c.result);
    EXPECT_EQ(host_.linkPane, c.linkPane);
    radio.join();
  }
  link_.CloseLink();
}

TEST_F(LinkControlTest, NothingIsSentForFrequencyZeroOrOutOfRange) {
  StartRadio(Radio("IC-R75"));
  Connect();
  radio_->clearReceived();
  EXPECT_EQ(link_.WriteFrequency(0), TransactionResult::kNotSent);
  EXPECT_EQ(link_.WriteFrequency(4294967296ull), TransactionResult::kNotSent);
  EXPECT_EQ(host_.linkPane, "Write freq: out of range");
  link_.ExpectReply();
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kAnswered);
  // Only the read went out.
  EXPECT_EQ(radio_->received(), (Bytes{0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD}));
}

// Eight digits of tens of hertz carry every frequency below 1 GHz, its units digit dropped;
// from 1 GHz on the top digit would be cut and a wrong station tuned.
TEST_F(LinkControlTest, CatSendsEveryFrequencyBelowOneGigahertzAndNothingAbove) {
  using enum TransactionResult;
  StartRadio(Radio("FT-817", 7000000));
  Connect();
  struct Case {
    uint64_t hz;
    TransactionResult result;
    const char* linkPane;
    Bytes sent;
    uint32_t onRadio;
  } cases[] = {
      {999999991, kAcknowledged, "Write freq OK", {0x99, 0x99, 0x99, 0x99, 0x01}, 999999990},
      {14250007, kAcknowledged, "Write freq OK", {0x01, 0x42, 0x50, 0x00, 0x01}, 14250000},
      {999999999, kAcknowledged, "Write freq OK", {0x99, 0x99, 0x99, 0x99, 0x01}, 999999990},
      {1000000000, kNotSent, "Write freq: out of range", {}, 999999990},
      {1296000000, kNotSent, "Write freq: out of range", {}, 999999990},
  };
  for (const Case& c : cases) {
    radio_->clearReceived();
    EXPECT_EQ(link_.WriteFrequency(c.hz), c.result) << c.hz;
    EXPECT_EQ(host_.linkPane.toStdString(), c.linkPane) << c.hz;
    EXPECT_EQ(radio_->received(), c.sent) << c.hz;
    EXPECT_EQ(radio_->frequency(), c.onRadio) << c.hz;
  }
}

TEST_F(LinkControlTest, CivWriteReturnsAfterItsPauseWithoutWaiting) {
  StartRadio(Radio("IC-R75"));
  Connect();
  ASSERT_TRUE(radio_->Command("silent on"));
  auto start = Clock::now();
  EXPECT_EQ(link_.WriteFrequency(14250000), TransactionResult::kSentUnconfirmed);
  auto took = Clock::now() - start;
  EXPECT_GE(took, 50ms);
  EXPECT_LT(took, 900ms);
  EXPECT_EQ(host_.linkPane, "Write freq done");
  EXPECT_TRUE(RadioReceived({0xFE, 0xFE, 0x5A, 0xE0, 0x00, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD}));
  EXPECT_EQ(link_.WriteMode(ModeCodeByName(ModesR75, "USB narrow").code),
            TransactionResult::kSentUnconfirmed);
  EXPECT_EQ(host_.linkPane, "Write mode done");
  EXPECT_TRUE(RadioReceived({0xFE, 0xFE, 0x5A, 0xE0, 0x01, 0x01, 0x03, 0xFD}));
}

TEST_F(LinkControlTest, EscapeEndsACatWait) {
  StartRadio(Radio("FT-817"));
  Connect();
  ASSERT_TRUE(radio_->Command("silent on"));
  std::thread escape = PressEscapeAfter(100ms);
  auto start = Clock::now();
  EXPECT_EQ(link_.WriteFrequency(7000000), TransactionResult::kFailed);
  escape.join();
  EXPECT_LT(Clock::now() - start, 900ms);
  EXPECT_EQ(host_.dialogs, std::vector<std::string>{"Interrupted by user."});
  EXPECT_EQ(host_.linkPane, "Write freq Failed");
}

TEST_F(LinkControlTest, WaitHoldsBackTimerTicksUntilItEnds) {
  StartRadio(Radio("IC-R75"));
  Connect();

  QTimer tick;
  int ticks = 0;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  link_.AddTimerOwner(&tick);
  // Due once inside the wait, which lasts until Esc at 150 ms; the next is not due before
  // 200 ms and is never a posted event.
  tick.start(100);
  link_.ExpectReply();
  ASSERT_TRUE(radio_->Command("silent on"));
  std::thread escape = PressEscapeAfter(150ms);
  link_.ReadFrequency();
  escape.join();
  EXPECT_EQ(ticks, 0);
  // The held tick is handed back as a posted event as the wait ends, once.
  QCoreApplication::sendPostedEvents(&tick, QEvent::Timer);
  EXPECT_EQ(ticks, 1);
  tick.stop();
}

TEST_F(LinkControlTest, NgToPowerOnThenReadWithoutExpectReplyIsAReceiverErrorAtOnce) {
  StartRadio(Radio("IC-R75"));
  Connect();
  ASSERT_TRUE(radio_->Command("ng on"));
  link_.PowerOn();
  ASSERT_TRUE(Arrives([&] { return !host_.indicators.empty(); }));
  EXPECT_EQ(host_.indicators.back(), kIndicatorReceiverError);
  auto start = Clock::now();
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kFailed);
  EXPECT_LT(Clock::now() - start, 400ms);
  EXPECT_EQ(host_.boxes, std::vector<std::string>{"Quilvar: Receiver error."});
  EXPECT_EQ(host_.linkPane, "Read Failed");
}

TEST_F(LinkControlTest, PerseusPollStartsEvenWhenTheProbeIsNotAnswered) {
  StartRadio(Radio("Perseus"));
  ASSERT_TRUE(radio_->Command("silent on"));
  link_.ToggleConnect();
  EXPECT_FALSE(link_.linkConnected);
  EXPECT_EQ(host_.boxes, std::vector<std::string>{"Quilvar: Perseus  not found!"});
  EXPECT_TRUE(link_.isTimerRunning(kTimerPerseusPoll));
  radio_->clearReceived();
  // A tick against a closed link sends nothing and does not wait.
  auto start = Clock::now();
  link_.OnTimer(kTimerPerseusPoll);
  EXPECT_LT(Clock::now() - start, 400ms);
  EXPECT_TRUE(radio_->received().empty());
}

// The poll a failed Perseus probe leaves running belongs to the Perseus: whatever radio is
// chosen next must never see its read requests.
TEST_F(LinkControlTest, PollOfAFailedPerseusProbeNeverReachesTheNextRadio) {
  const Bytes readMode{0xFE, 0xFE, 0x5A, 0xE0, 0x04, 0xFD};
  StartRadio(Radio("Perseus"));
  ASSERT_TRUE(radio_->Command("silent on"));
  link_.ToggleConnect();
  ASSERT_FALSE(link_.linkConnected);
  ASSERT_TRUE(link_.isTimerRunning(kTimerPerseusPoll));

  // Setup chooses an IC-R75 behind the same port.
  StartRadio(Radio("IC-R75"));
  EXPECT_FALSE(link_.isTimerRunning(kTimerPerseusPoll));
  Connect();
  EXPECT_FALSE(link_.isTimerRunning(kTimerPerseusPoll));
  radio_->clearReceived();
  // As many ticks as came in three seconds; a read of the mode marks the end of what was sent.
  for (int tick = 0; tick < 4; ++tick) link_.OnTimer(kTimerPerseusPoll);
  link_.ReadMode();
  ASSERT_TRUE(RadioReceived(readMode));
  EXPECT_EQ(radio_->received(), readMode);
}

TEST_F(LinkControlTest, PortThatCannotOpenShowsBothBoxesAndNoProbeMessage) {
  MapComPort("/dev/quilvar-no-such-port");
  LinkSettings settings;
  settings.modelIndex = ModelIndexByName("IC-R75");
  settings.comPort = kComPort;
  link_.SetSettings(settings);
  link_.ToggleConnect();
  EXPECT_FALSE(link_.linkConnected);
  ASSERT_EQ(host_.boxes.size(), 2u);
  EXPECT_EQ(host_.boxes[0].rfind("ERROR: open failed: Error 2h (2)", 0), 0u) << host_.boxes[0];
  EXPECT_EQ(host_.boxes[1], "Quilvar: Open:  ERROR -2");
}

TEST_F(LinkControlTest, VanishingDeviceShowsCommErrorAndDisconnectsCleanly) {
  StartRadio(Radio("IC-R75"));
  Connect();
  radio_->Stop();
  ASSERT_TRUE(Arrives([&] { return !link_.linkConnected; }));
  ASSERT_FALSE(host_.indicators.empty());
  EXPECT_EQ(host_.indicators.back(), kIndicatorCommError);
  EXPECT_EQ(host_.disconnects, 1);

  // The device comes back: Connect works again.
  StartRadio(Radio("IC-R75", 9500000));
  host_.boxes.clear();
  Connect();
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(LinkControlTest, ConnectingAHundredTimesLeaksNoThreadOrDescriptor) {
  StartRadio(Radio("IC-R75"));
  Connect();
  link_.ToggleConnect();
  const int descriptors = CountEntries("/proc/self/fd");
  const int threads = CountEntries("/proc/self/task");
  for (int i = 0; i < 100; ++i) {
    link_.ToggleConnect();
    ASSERT_TRUE(link_.linkConnected) << "round " << i;
    link_.ToggleConnect();
    ASSERT_FALSE(link_.linkConnected);
  }
  EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
  EXPECT_EQ(CountEntries("/proc/self/task"), threads);
  EXPECT_TRUE(host_.boxes.empty());
}

TEST(LinkIndicatorText, MapsTheLowSixteenBits) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {{0, ""},
               {0x100, "OK"},
               {0x200, "RECEIVER ERROR"},
               {0x300, "COMM ERROR"},
               {0x10300, "COMM ERROR"},
               {0x400, "?"}};
  for (const Case& c : cases) EXPECT_EQ(LinkIndicatorText(c.code), c.text) << c.code;
}

TEST_F(LinkControlTest, ConnectionPaneNamesModelAddressPortAndSpeed) {
  struct Case {
    const char* model;
    int address;
    const char* text;
  } cases[] = {{"IC-746pro", 0x0A, " IC-746pro  0A  COM7  19200"},
               {"FT-857", 0x01, " FT-857  COM7  19200"},
               {"None", 0x01, ""}};
  for (const Case& c : cases) {
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName(c.model);
    settings.address = c.address;
    settings.comPort = kComPort;
    settings.baudRate = 19200;
    link_.SetSettings(settings);
    link_.UpdateLinkStatus();
    EXPECT_EQ(host_.connectionPane, c.text);
  }
}

}  // namespace
