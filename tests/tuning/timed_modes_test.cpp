// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/tuning/tuning_fixture.h"

namespace {

TEST_F(TuningControlTest, ScanIntervalRunsFromOneSecondToADay) {
  const struct {
    int seconds;
    int ms;
  } cases[] = {{0, 1000},           {-5, 1000},          {1, 1000},
               {7, 7000},           {86400, 86400000},   {86401, 86400000},
               {2147484, 86400000}, {3000000, 86400000}, {INT_MAX, 86400000}};
  for (const auto& c : cases) {
    tuning_.SetScanInterval(c.seconds);
    EXPECT_EQ(tuning_.scanIntervalMs(), c.ms) << c.seconds;
  }
  // The longest interval still makes a running timer.
  StartRadio("IC-R75");
  LoadNumbered(3);
  tuning_.SetScanInterval(3000000);
  tuning_.ToggleScanMode();
  EXPECT_TRUE(tuning_.isTimerRunning(kTimerScan));
  tuning_.ToggleScanMode();
}

TEST_F(TuningControlTest, ScanFromOneRowRunsThroughTheWholeList) {
  StartRadio("IC-R75");
  LoadNumbered(9, 5);
  tuning_.ToggleScanMode();
  EXPECT_TRUE(tuning_.isTimerRunning(kTimerScan));
  for (int tick = 0; tick < 6; ++tick) tuning_.OnTimer(kTimerScan);
  EXPECT_EQ(TunedRows(), (std::vector<int>{5, 6, 7, 8, 9, 1, 2}));
  EXPECT_EQ(Marks(), std::vector<QColor>(9, ScanColour));
  // Timer 111 does not step a scan.
  tuning_.OnTimer(kTimerClock);
  EXPECT_EQ(TunedRows(), std::vector<int>{});
  tuning_.ToggleScanMode();
}

TEST_F(TuningControlTest, ScanOverSelectedRowsMarksOnlyThoseAndStopsOnTheNextRow) {
  StartRadio("IC-R75");
  LoadNumbered(9);
  Go(6, 1);
  grid().SetRowSel(3);
  tuning_.ToggleScanMode();
  for (int tick = 0; tick < 4; ++tick) tuning_.OnTimer(kTimerScan);
  EXPECT_EQ(TunedRows(), (std::vector<int>{3, 4, 5, 6, 3}));
  std::vector<QColor> marks(9, Plain());
  for (int r = 3; r <= 6; ++r) marks[r - 1] = ScanColour;
  EXPECT_EQ(Marks(), marks);

  tuning_.ToggleScanMode();
  EXPECT_FALSE(tuning_.scanMode);
  EXPECT_FALSE(tuning_.isTimerRunning(kTimerScan));
  EXPECT_EQ(Current(), (std::vector<int>{4, 1}));
  EXPECT_EQ(Marks(), std::vector<QColor>(9, Plain()));
  EXPECT_EQ(tuning_.stepRow, -1);
}

TEST_F(TuningControlTest, StoppingOrDisconnectingRightAfterRowSevenLeavesRowEight) {
  for (bool disconnect : {false, true}) {
    StartRadio("IC-R75");
    LoadNumbered(9, 6);
    tuning_.ToggleScanMode();
    tuning_.OnTimer(kTimerScan);
    EXPECT_EQ(TunedRows(), (std::vector<int>{6, 7}));
    if (disconnect) {
      link_.ToggleConnect();
      ASSERT_FALSE(link_.linkConnected);
    } else {
      tuning_.ToggleScanMode();
    }
    EXPECT_FALSE(tuning_.scanMode) << disconnect;
    EXPECT_FALSE(tuning_.isTimerRunning(kTimerScan)) << disconnect;
    EXPECT_EQ(Current(), (std::vector<int>{8, 1})) << disconnect;
    EXPECT_EQ(Marks(), std::vector<QColor>(9, Plain())) << disconnect;
    if (link_.linkConnected) link_.ToggleConnect();
  }
}

TEST_F(TuningControlTest, ATickDuringAStepFollowsItInsteadOfRunningInside) {
  StartRadio("IC-R75");
  LoadNumbered(6);
  tuning_.ToggleScanMode();
  host_.insideStep = [this] {
    EXPECT_TRUE(link_.IsBusy());
    tuning_.OnTimer(kTimerScan);
    tuning_.OnTimer(kTimerScan);
    tuning_.OnTimer(kTimerClock);
  };
  tuning_.OnTimer(kTimerScan);
  EXPECT_EQ(TunedRows(), (std::vector<int>{1, 2}));
  // The ticks that came inside the step run once it has returned, one per timer.
  ASSERT_TRUE(WaitUntil([&] {
    QCoreApplication::processEvents();
    return link_.idle().empty();
  }));
  tuning_.OnTimer(kTimerScan);
  EXPECT_EQ(TunedRows(), (std::vector<int>{3, 4}));
  tuning_.ToggleScanMode();
}

TEST_F(TuningControlTest, ALineLostDuringAStepDisconnectsWhenTheStepHasReturned) {
  StartRadio("IC-R75");
  LoadNumbered(6);
  tuning_.ToggleScanMode();
  bool heldDuringStep = false;
  host_.insideStep = [&] {
    radio_->Stop();
    // The receive thread reports the line gone; the disconnect must wait for the step.
    WaitUntil([&] {
      QCoreApplication::processEvents();
      return !link_.linkConnected || !link_.idle().empty();
    });
    heldDuringStep = link_.linkConnected && tuning_.scanMode;
  };
  tuning_.OnTimer(kTimerScan);
  EXPECT_TRUE(heldDuringStep);
  ASSERT_TRUE(WaitUntil([&] {
    QCoreApplication::processEvents();
    return !link_.linkConnected;
  }));
  EXPECT_FALSE(tuning_.scanMode);
  EXPECT_FALSE(tuning_.isTimerRunning(kTimerScan));
  EXPECT_EQ(tuning_.stepRow, -1);
  // Row 2 was tuned when the line went: the scan would have gone on with row 3.
  EXPECT_EQ(Current(), (std::vector<int>{3, 1}));
  EXPECT_EQ(Marks(), std::vector<QColor>(6, Plain()));
}

TEST_F(TuningControlTest, DisconnectingEndsAutoModeButNotTiming) {
  StartRadio("IC-R75");
  Load({"7055.100;a;AM;2200-0200;;;"});
  At(23, 0);
  tuning_.ToggleTiming();
  tuning_.ToggleAutoMode();
  link_.ToggleConnect();
  EXPECT_FALSE(tuning_.autoMode);
  EXPECT_TRUE(tuning_.timingMode);
  // The colouring goes on.
  At(3, 0);
  tuning_.OnTimer(kTimerClock);
  EXPECT_EQ(Marks(), std::vector<QColor>{IdleColour});
  EXPECT_EQ(host_.clockPane, " 03:00 UTC");
}

TEST_F(TuningControlTest, TimingColoursRowsWhoseWindowIsOpen) {
  Load({"1;a;AM;2200-0200;;;", "2;b;AM;0600;;;", "3;c;AM;0000-2400;;;", "4;d;AM;1200-1300;;;",
        "5;e;AM;;;;", "6;f;AM;2300-2401;;;"});
  Go(4, 3);
  At(23, 59);
  tuning_.ToggleTiming();
  EXPECT_EQ(host_.clockPane, " 23:59 UTC");
  const QColor plain = Plain();
  EXPECT_EQ(Marks(),
            (std::vector<QColor>{ActiveColour, plain, ActiveColour, IdleColour, plain, plain}));
  At(2, 1);
  tuning_.OnTimer(kTimerClock);
  EXPECT_EQ(host_.clockPane, " 02:01 UTC");
  EXPECT_EQ(Marks(),
            (std::vector<QColor>{IdleColour, plain, ActiveColour, IdleColour, plain, plain}));
  At(12, 30);
  tuning_.OnTimer(kTimerClock);
  EXPECT_EQ(Marks(),
            (std::vector<QColor>{IdleColour, plain, ActiveColour, ActiveColour, plain, plain}));
  EXPECT_EQ(Current(), (std::vector<int>{4, 3}));

  tuning_.ToggleTiming();
  EXPECT_EQ(Marks(), std::vector<QColor>(6, plain));
  EXPECT_EQ(Current(), (std::vector<int>{4, 3}));
  EXPECT_FALSE(list_.doc().IsModified());
}

TEST_F(TuningControlTest, NextAndPreviousTuneOnlyGreenRows) {
  StartRadio("IC-R75");
  LoadNumbered(5);
  grid().SetTextMatrix(1, kColUtc, "0000-2400");
  grid().SetTextMatrix(3, kColUtc, "0000-2400");
  grid().SetTextMatrix(4, kColUtc, "1200-1300");
  At(2, 0);
  tuning_.ToggleTiming();
  struct Step {
    int fromRow;
    bool down;
    std::vector<int> tuned;
    int toRow;
  } steps[] = {
      {3, true, {}, 3},    // row 4 is idle, row 5 has no window
      {5, false, {3}, 3},  // the nearest green row above
      {3, false, {1}, 1},
      {1, false, {}, 1},
  };
  for (const Step& step : steps) {
    Go(step.fromRow, 2);
    tuning_.StepToActiveRow(step.down);
    EXPECT_EQ(TunedRows(), step.tuned) << step.fromRow << (step.down ? " down" : " up");
    EXPECT_EQ(Current(), (std::vector<int>{step.toRow, 2})) << step.fromRow;
  }
}

TEST_F(TuningControlTest, ScheduleTunesTheFirstOpenWindowOnce) {
  StartRadio("IC-R75");
  LoadNumbered(5);
  grid().SetTextMatrix(1, kColUtc, "1200-1300");
  grid().SetTextMatrix(2, kColUtc, "1000-1130");
  grid().SetTextMatrix(3, kColUtc, "bad");
  grid().SetTextMatrix(4, kColUtc, "1100-1400");
  Go(3, 2);
  const QColor plain = Plain();
  struct Tick {
    int hour, minute;
    std::vector<int> tuned;
    std::vector<QColor> marks;
  } ticks[] = {
      // Two windows open: only the first in list order.
      {11, 0, {2}, {IdleColour, ActiveColour, plain, IdleColour, plain}},
      // Still scheduled: not tuned again.
      {11, 10, {}, {IdleColour, ActiveColour, plain, IdleColour, plain}},
      {11, 31, {4}, {IdleColour, IdleColour, plain, ActiveColour, plain}},
      // An earlier row opens and takes the place.
      {12, 0, {1}, {ActiveColour, IdleColour, plain, IdleColour, plain}},
      {13, 30, {4}, {IdleColour, IdleColour, plain, ActiveColour, plain}},
  };
  bool first = true;
  for (const Tick& tick : ticks) {
    At(tick.hour, tick.minute);
    if (first) {
      tuning_.ToggleScheduleMode();
      first = false;
    } else {
      tuning_.OnTimer(kTimerClock);
    }
    EXPECT_EQ(TunedRows(), tick.tuned) << tick.hour << ":" << tick.minute;
    EXPECT_EQ(Marks(), tick.marks) << tick.hour << ":" << tick.minute;
  }
  // The last tuned row is the current one while the schedule runs.
  EXPECT_EQ(grid().Row(), 4);
  tuning_.ToggleScheduleMode();
  EXPECT_FALSE(tuning_.scheduleMode);
  EXPECT_EQ(Current(), (std::vector<int>{3, 1}));
  EXPECT_EQ(Marks(), std::vector<QColor>(5, plain));
}

}  // namespace
