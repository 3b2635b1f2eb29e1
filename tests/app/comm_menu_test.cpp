// SPDX-License-Identifier: GPL-3.0-or-later
#include <QHeaderView>
#include <QTest>

#include "tests/app/radio_window.h"
#include "tuning/colours.h"

namespace {

const std::vector<uint8_t> kPowerOn = {0xFE, 0xFE, 0x5A, 0xE0, 0x18, 0x01, 0xFD};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for a condition that needs the event loop, with a deadline.
bool ProcessUntil(const std::function<bool()>& condition) {
  return WaitUntil([&] {
    QCoreApplication::processEvents();
    return condition();
  });
}

std::time_t At(int hour, int minute) { return std::time_t(86400 + hour * 3600 + minute * 60); }

class CommMenuTest : public RadioWindowTest {
 protected:
  void SetUp() override {
    RadioWindowTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenWindow("IC-R75"));
  }
};

TEST_F(CommMenuTest, CommandStateFollowsConnectionAndModes) {
  EXPECT_FALSE(Enabled(ID_SET_FREQUENCY));
  EXPECT_FALSE(Enabled(ID_SCAN_MODE));
  EXPECT_FALSE(Enabled(ID_NEXT));
  EXPECT_TRUE(Enabled(ID_TIMING));
  EXPECT_TRUE(Enabled(ID_CONNECT));
  Connect();
  EXPECT_TRUE(frame_->action(ID_CONNECT)->isChecked());
  EXPECT_TRUE(Enabled(ID_SET_FREQUENCY));
  EXPECT_TRUE(Enabled(ID_SCAN_MODE));
  EXPECT_TRUE(Enabled(ID_POWER_ON));
  Trigger(ID_TIMING);
  EXPECT_TRUE(frame_->action(ID_TIMING)->isChecked());
  EXPECT_TRUE(Enabled(ID_NEXT));
  EXPECT_FALSE(Enabled(ID_SCAN_MODE));  // Timing excludes the timed modes
  EXPECT_FALSE(Enabled(ID_FILE_OPEN));  // no list is opened while a mode is on
  Trigger(ID_TIMING);
  Trigger(ID_AUTO_MODE);
  EXPECT_FALSE(Enabled(ID_SCHEDULE_MODE));
}

// Every command below is enabled when it is chosen (by its rule or by hand), so nothing
// but the gate keeps it from running.
TEST_F(CommMenuTest, DuringScanOnlyScanModeAndConnectGetThrough) {
  bool askedForAFile = false;
  frame_->askOpenPath = [&](QWidget*) {
    askedForAFile = true;
    return listPath();
  };
  Connect();
  Trigger(ID_SCAN_MODE);
  ASSERT_TRUE(tuning().scanMode);
  ASSERT_TRUE(frame_->view().doc().IsModified());  // the first step tuned row 1
  const QByteArray fileBefore = FileBytes(listPath());

  // Enabled by their rules while Scan Mode runs.
  ASSERT_TRUE(Enabled(ID_POWER_ON));
  Trigger(ID_POWER_ON);
  grid().SetColWidth(1, 77);
  ASSERT_TRUE(Enabled(ID_JUSTIFY_COLUMNS));
  Trigger(ID_JUSTIFY_COLUMNS);
  // Enabled by hand.
  frame_->action(ID_FILE_SAVE)->setEnabled(true);
  QTest::keyClick(frame_.get(), Qt::Key_S, Qt::ControlModifier);
  ForceTrigger(ID_FILE_NEW);
  ForceTrigger(ID_FILE_OPEN);
  ForceTrigger(ID_TIMING);
  ForceTrigger(ID_AUTO_MODE);
  ForceTrigger(ID_SCHEDULE_MODE);
  grid().SetCol(2);
  ForceTrigger(ID_SET_OFFSET_COLUMN);

  EXPECT_EQ(grid().ColWidth(1), 77);
  EXPECT_EQ(FileBytes(listPath()), fileBefore);
  EXPECT_TRUE(frame_->view().doc().IsModified());
  EXPECT_EQ(grid().Rows(), 10);
  EXPECT_FALSE(askedForAFile);
  EXPECT_TRUE(boxes_.isEmpty()) << boxes_.join("|").toStdString();  // no save prompt
  EXPECT_FALSE(tuning().timingMode);
  EXPECT_FALSE(tuning().autoMode);
  EXPECT_FALSE(tuning().scheduleMode);
  EXPECT_EQ(tuning().offsetColumn, 1);

  Trigger(ID_SCAN_MODE);
  EXPECT_FALSE(tuning().scanMode);
  // Power ON now gets through; the radio must see it once only.
  Trigger(ID_POWER_ON);
  ASSERT_TRUE(RadioReceived(kPowerOn));
  EXPECT_EQ(TimesReceived(kPowerOn), 1);
}

TEST_F(CommMenuTest, DuringScheduleOnlyScheduleModeAndConnectGetThrough) {
  Connect();
  Trigger(ID_SCHEDULE_MODE);
  ASSERT_TRUE(tuning().scheduleMode);
  ASSERT_TRUE(Enabled(ID_POWER_ON));
  Trigger(ID_POWER_ON);
  ForceTrigger(ID_SCAN_MODE);
  ForceTrigger(ID_TIMING);
  EXPECT_FALSE(tuning().scanMode);
  EXPECT_FALSE(tuning().timingMode);
  EXPECT_FALSE(tuning().isTimerRunning(kTimerScan));

  Trigger(ID_SCHEDULE_MODE);
  EXPECT_FALSE(tuning().scheduleMode);
  Trigger(ID_POWER_ON);
  ASSERT_TRUE(RadioReceived(kPowerOn));
  EXPECT_EQ(TimesReceived(kPowerOn), 1);
}

TEST_F(CommMenuTest, DisconnectingDuringScanEndsIt) {
  Connect();
  Trigger(ID_SCAN_MODE);  // tunes row 1 at once; row 2 is next
  ASSERT_TRUE(tuning().scanMode);
  Trigger(ID_CONNECT);  // Connect gets through the gate
  EXPECT_FALSE(frame_->view().link().linkConnected);
  EXPECT_FALSE(tuning().scanMode);
  EXPECT_FALSE(tuning().isTimerRunning(kTimerScan));
  EXPECT_EQ(grid().Row(), 2);
  EXPECT_EQ(grid().Col(), 1);
}

// Timing cannot be on together with Scan Mode, so it is switched on with Auto Mode, which
// the disconnect does end.
TEST_F(CommMenuTest, DisconnectingLeavesTimingOnAndColouring) {
  std::time_t now = At(12, 0);
  tuning().SetClock([&now] { return now; });
  grid().SetTextMatrix(2, 4, "1300-1400");
  Connect();
  Trigger(ID_TIMING);
  Trigger(ID_AUTO_MODE);
  ASSERT_TRUE(tuning().timingMode && tuning().autoMode);
  grid().SetRow(2);
  grid().SetCol(0);
  ASSERT_EQ(grid().CellBackColor(), IdleColour);

  Trigger(ID_CONNECT);
  ASSERT_FALSE(frame_->view().link().linkConnected);
  EXPECT_FALSE(tuning().autoMode);
  EXPECT_TRUE(tuning().timingMode);
  frame_->UpdateCommandStates();
  EXPECT_TRUE(frame_->action(ID_TIMING)->isChecked());
  EXPECT_TRUE(tuning().isTimerRunning(kTimerClock));
  now = At(13, 30);
  tuning().OnTimer(kTimerClock);
  EXPECT_TRUE(ProcessUntil([&] {
    grid().SetRow(2);
    grid().SetCol(0);
    return grid().CellBackColor() == ActiveColour;
  }));
}

TEST_F(CommMenuTest, DoubleClickOnANumberCellTunesTheRadio) {
  Connect();
  radio_->clearReceived();
  grid().SetTopRow(1);
  QHeaderView* numbers = grid().verticalHeader();
  const int y = numbers->sectionViewportPosition(4) + numbers->sectionSize(4) / 2;
  QTest::mouseClick(numbers->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, y));
  QTest::mouseDClick(numbers->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, y));
  // Row 5 holds 5000 kHz.
  EXPECT_TRUE(RadioReceived({0xFE, 0xFE, 0x5A, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0xFD}));
  EXPECT_FALSE(grid().isEditing());
}

TEST_F(CommMenuTest, ClockPaneShowsUtc) {
  tuning().SetClock([] { return At(13, 7); });
  tuning().UpdateClock();
  EXPECT_EQ(frame_->ClockText(), " 13:07 UTC");
}

// The clock starts with the first list; a later New or Open restarting its 10 s timer would
// put off the next tick, so neither touches it.
TEST(ViewClock, StartsOnceWithTheFirstList) {
  WidgetApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath("one.CSV"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Freq (kHz);Station;Mode;UTC\r\n1000;s;AM;\r\n");
  file.close();

  CMainFrame frame;
  TuningControl& tuning = frame.view().tuning();
  std::time_t now = At(13, 7);
  tuning.SetClock([&now] { return now; });
  EXPECT_FALSE(tuning.isTimerRunning(kTimerClock));
  ASSERT_TRUE(frame.NewFile());
  EXPECT_TRUE(tuning.isTimerRunning(kTimerClock));
  EXPECT_EQ(frame.ClockText(), " 13:07 UTC");

  now = At(14, 22);
  ASSERT_TRUE(frame.NewFile());
  ASSERT_TRUE(frame.OpenFile(file.fileName()));
  EXPECT_EQ(frame.ClockText(), " 13:07 UTC");
  EXPECT_TRUE(tuning.isTimerRunning(kTimerClock));

  tuning.OnTimer(kTimerClock);
  EXPECT_TRUE(ProcessUntil([&] { return frame.ClockText() == " 14:22 UTC"; }));
}

}  // namespace
