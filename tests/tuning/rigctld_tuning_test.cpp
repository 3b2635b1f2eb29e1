// SPDX-License-Identifier: GPL-3.0-or-later
// The list driving the radio-control daemon's own test radio over the network: what the
// daemon holds is asked with its own client, not taken from our side of the link.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "link/link_events.h"
#include "tests/rigctld.h"
#include "tests/tuning/tuning_fixture.h"

namespace {

class RigctldTuningTest : public TuningControlTest {
 protected:
  void SetUp() override {
    TuningControlTest::SetUp();
    SetModeChoices(ModesNetwork);
    ASSERT_TRUE(daemon_.Start()) << "rigctld did not start on port " << daemon_.port();
  }

  void Connect() {
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("rigctl");
    settings.netHost = daemon_.host();
    link_.SetSettings(settings);
    link_.ToggleConnect();
    ASSERT_TRUE(link_.linkConnected) << host_.messages.join("; ").toStdString();
  }

  bool Within(const std::function<bool()>& condition, int ms = 5000) {
    return WaitUntil(
        [&] {
          QCoreApplication::processEvents();
          return condition();
        },
        std::chrono::milliseconds(ms));
  }

  Rigctld daemon_;
};

TEST_F(RigctldTuningTest, SetFrequencyFromARowReachesTheDaemonWithItsMode) {
  Connect();
  // The second row lies beyond what 32 bits of hertz can hold.
  // The last row's mode is none of the protocol's: the row takes the first of its names.
  Load({"7055.100;a;USB;;;;", "5760000.000;b;WFM;;;;", "1000.000;c;FM;;;;", "7100.000;d;J3E;;;;"});
  struct Case {
    int row;
    const char* hz;
    const char* mode;
  } cases[] = {
      {1, "7055100", "USB"}, {2, "5760000000", "WFM"}, {3, "1000000", "FM"}, {4, "7100000", "AM"}};
  for (const Case& c : cases) {
    Go(c.row, 1);
    tuning_.SetFrequencyCommand();
    EXPECT_EQ(daemon_.Ask("f"), c.hz) << "row " << c.row;
    EXPECT_EQ(daemon_.Ask("m").substr(0, daemon_.Ask("m").find('\n')), c.mode) << "row " << c.row;
  }
  EXPECT_EQ(grid().TextMatrix(4, kColMode), "AM");
  EXPECT_EQ(host_.linkPane, texts::kWriteModeOk);
  EXPECT_TRUE(host_.messages.isEmpty()) << host_.messages.join("; ").toStdString();
}

TEST_F(RigctldTuningTest, AutoModeFollowsAFrequencySetOnTheDaemon) {
  Connect();
  Load({"7055.100;a;AM;;;;", "9500.000;b;AM;;;;", "11700.000;c;AM;;;;"});
  tuning_.ToggleAutoMode();
  ASSERT_TRUE(tuning_.autoMode);
  for (auto [hz, row] : {std::pair{"11700000", 3}, std::pair{"9500000", 2}}) {
    daemon_.Ask(std::string("F ") + hz);
    EXPECT_TRUE(Within([&, row = row] { return grid().Row() == row; })) << hz;
  }
  EXPECT_TRUE(host_.messages.isEmpty()) << host_.messages.join("; ").toStdString();
}

TEST_F(RigctldTuningTest, DaemonGoneGivesACleanDisconnectAndReconnectWorksOnceItIsBack) {
  Connect();
  Load({"7055.100;a;USB;;;;"});
  tuning_.ToggleAutoMode();
  daemon_.Kill();
  ASSERT_TRUE(Within([&] { return !link_.linkConnected; }));
  EXPECT_FALSE(tuning_.autoMode) << "disconnecting ends Auto Mode";
  EXPECT_EQ(host_.messages,
            QStringList{QString(texts::kNetClosed).arg(QString::fromStdString(daemon_.host()))});
  EXPECT_EQ(host_.indicators.back(), kIndicatorCommError);

  host_.messages.clear();
  link_.ToggleConnect();
  EXPECT_FALSE(link_.linkConnected);
  ASSERT_EQ(host_.messages.size(), 1);
  EXPECT_TRUE(host_.messages[0].startsWith(
      QString("Cannot connect to %1: ").arg(QString::fromStdString(daemon_.host()))))
      << host_.messages[0].toStdString();

  ASSERT_TRUE(daemon_.Start());
  host_.messages.clear();
  Connect();
  Go(1, 1);
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(daemon_.Ask("f"), "7055100");
  EXPECT_TRUE(host_.messages.isEmpty()) << host_.messages.join("; ").toStdString();
}

}  // namespace
