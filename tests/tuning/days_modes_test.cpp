// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/tuning/tuning_fixture.h"

namespace {

enum Weekday { Mo, Tu, We, Th, Fr, Sa, Su };

// The timed modes on a list whose "Days" column says when each row is on the air.
class DaysModesTest : public TuningControlTest {
 protected:
  // 5 January 1970 was a Monday.
  void AtDay(Weekday day, int hour, int minute) {
    now_ = (4 + day) * 86400 + hour * 3600 + minute * 60;
  }

  // Rows "UTC;Days", numbered by their frequency as in LoadNumbered.
  void LoadDays(const QStringList& rows, const char* header = "UTC;Days;Notes") {
    QStringList lines;
    for (int r = 1; r <= rows.size(); ++r)
      lines << QString("%1.000;S%2;AM;%3;").arg(1000 + r).arg(r).arg(rows[r - 1]);
    const QString path = dir_.filePath("days.CSV");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        QString("Freq (kHz);Station;Mode;%1\r\n%2\r\n").arg(header, lines.join("\r\n")).toUtf8());
    file.close();
    ASSERT_TRUE(list_.doc().OpenDocument(path));
    Go(1, 1);
  }
};

TEST_F(DaysModesTest, TimingMarksOnlyRowsOnTheAirThatDay) {
  LoadDays(
      {"1200-1300;Mo-Fr", "1200-1300;SaSu", "2330-0450;Mo", "1200-1300;", "1200-1300;irr", ";Mo"});
  AtDay(Tu, 12, 30);
  tuning_.ToggleTiming();
  const QColor plain = Plain();
  const QColor on = ActiveColour, off = IdleColour;
  struct Tick {
    Weekday day;
    int hour, minute;
    std::vector<QColor> marks;
  } ticks[] = {
      {Tu, 12, 30, {on, off, off, on, on, plain}},
      {Sa, 12, 30, {off, on, off, on, on, plain}},
      // The late window opened on Monday evening.
      {Mo, 23, 45, {off, off, on, off, off, plain}},
      {Tu, 1, 0, {off, off, on, off, off, plain}},
      // On Monday morning it is Sunday's window, which does not run.
      {Mo, 1, 0, {off, off, off, off, off, plain}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(testing::Message()
                 << "day " << tick.day << " " << tick.hour << ":" << tick.minute);
    AtDay(tick.day, tick.hour, tick.minute);
    tuning_.OnTimer(kTimerClock);
    EXPECT_EQ(Marks(), tick.marks);
  }
}

TEST_F(DaysModesTest, NextAndPreviousPassOverRowsOffTheAirThatDay) {
  StartRadio("IC-R75");
  LoadDays({"0000-2400;", "0000-2400;Sa", "0000-2400;Mo-Fr", "0000-2400;Su", "0000-2400;1234567"});
  struct Step {
    Weekday day;
    int fromRow;
    bool down;
    int toRow;
  } steps[] = {
      {Sa, 1, true, 2},  {Sa, 2, true, 5},  // over a weekday row and a Sunday row
      {Sa, 5, false, 2}, {Mo, 1, true, 3}, {Mo, 3, true, 5}, {Su, 3, false, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << "day " << step.day << " from " << step.fromRow
                                    << (step.down ? " down" : " up"));
    AtDay(step.day, 12, 0);
    if (tuning_.timingMode)
      tuning_.OnTimer(kTimerClock);
    else
      tuning_.ToggleTiming();
    Go(step.fromRow, 2);
    tuning_.StepToActiveRow(step.down);
    EXPECT_EQ(TunedRows(), std::vector<int>{step.toRow});
    EXPECT_EQ(Current(), (std::vector<int>{step.toRow, 2}));
  }
}

TEST_F(DaysModesTest, ScheduleTunesTheFirstRowOnTheAirThatDay) {
  StartRadio("IC-R75");
  LoadDays({"2300-0100;Fr", "1200-1300;Sa,Su", "0000-2400;"});
  struct Tick {
    Weekday day;
    int hour, minute;
    std::vector<int> tuned;
  } ticks[] = {
      {Fr, 23, 30, {1}},
      // Friday's window runs on into Saturday: not tuned again.
      {Sa, 0, 30, {}},
      {Sa, 1, 30, {3}},
      {Sa, 12, 0, {2}},
      {Su, 12, 0, {}},
      {Mo, 12, 0, {3}},
      // Thursday's late window is not Friday's.
      {Th, 23, 30, {}},
  };
  bool first = true;
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(testing::Message()
                 << "day " << tick.day << " " << tick.hour << ":" << tick.minute);
    AtDay(tick.day, tick.hour, tick.minute);
    if (std::exchange(first, false))
      tuning_.ToggleScheduleMode();
    else
      tuning_.OnTimer(kTimerClock);
    EXPECT_EQ(TunedRows(), tick.tuned);
  }
  tuning_.ToggleScheduleMode();
}

TEST_F(DaysModesTest, WithoutADaysColumnDaysWrittenElsewhereChangeNothing) {
  LoadDays({"1200-1300;Sa", "1200-1300;Mo-Fr"}, "UTC;Day;Notes");
  AtDay(Su, 12, 30);
  tuning_.ToggleTiming();
  EXPECT_EQ(Marks(), (std::vector<QColor>{ActiveColour, ActiveColour}));
}

// With the schedule's persistence and date columns, rows that may be on and rows about to
// open are told apart. January 1970 lies in the winter season.
TEST_F(DaysModesTest, TimingShowsMaybeAndComingUpRows) {
  LoadDays({"1200-1300;;1;;", "1200-1300;irr;1;;", "1240-1400;;1;;", "1200-1300;;8;;",
            "1200-1300;;5;;", "1200-1300;;4;;", "1200-1300;;6;0101;0301"},
           "UTC;Days;P;Start;Stop");
  AtDay(Mo, 12, 30);
  tuning_.ToggleTiming();
  EXPECT_EQ(Marks(), (std::vector<QColor>{ActiveColour, MaybeColour, ComingUpColour, IdleColour,
                                          IdleColour, ActiveColour, IdleColour}));
}

TEST_F(DaysModesTest, NextAndPreviousStopAtMaybeRows) {
  StartRadio("IC-R75");
  LoadDays({"0000-2400;Sa;1;;", "1210-1300;;1;;", "0000-2400;irr;1;;", "0000-2400;;8;;",
            "0000-2400;;1;;"},
           "UTC;Days;P;Start;Stop");
  AtDay(Mo, 12, 0);
  tuning_.ToggleTiming();
  const struct {
    int fromRow;
    bool down;
    int toRow;
  } steps[] = {{1, true, 3}, {3, true, 5}, {5, false, 3}};
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << "from " << step.fromRow << (step.down ? " down" : " up"));
    Go(step.fromRow, 2);
    tuning_.StepToActiveRow(step.down);
    EXPECT_EQ(TunedRows(), std::vector<int>{step.toRow});
  }
}

}  // namespace
