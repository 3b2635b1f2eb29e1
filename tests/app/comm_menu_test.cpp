#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "cicom_view.h"
#include "command_ids.h"
#include "main_frame.h"
#include "message_box.h"
#include "pty_radio.h"
#include "receiver_models.h"
#include "test_support.h"
#include "widget_app.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kComPort = 9;

// A window with a nine-station list and an IC-R75 simulated behind COM9.
class CommMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    ASSERT_TRUE(dir_.isValid());
    SimRadioOptions options;
    options.modelIndex = ModelIndexByName("IC-R75");
    radio_ = std::make_unique<PtyRadio>(options);
    ASSERT_TRUE(radio_->Start()) << radio_->error();
    QSettings("Corvanel", "Quilvar")
        .setValue(QString("Ports/COM%1").arg(kComPort),
                  QString::fromStdString(radio_->slavePath()));

    previous_ = SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
      boxes_.push_back(text);
      return QMessageBox::No;
    });
    frame_ = std::make_unique<CMainFrame>();
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("IC-R75");
    settings.address = 0x5A;
    settings.comPort = kComPort;
    frame_->view().ApplySettings(settings, 1);
    QByteArray list = "Freq (kHz);Station;Mode;UTC\r\n";
    for (int i = 1; i <= 9; ++i) list += QByteArray::number(1000 * i) + ";s;AM;0000-2400\r\n";
    QFile file(dir_.filePath("nine.CSV"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(list);
    file.close();
    ASSERT_TRUE(frame_->OpenFile(dir_.filePath("nine.CSV")));
    frame_->resize(900, 600);
    frame_->show();
  }
  void TearDown() override { SetMessageBoxFunction(previous_); }

  void Trigger(int id) { frame_->action(id)->trigger(); }
  void Connect() {
    Trigger(ID_CONNECT);
    ASSERT_TRUE(frame_->view().link().linkConnected) << boxes_.join("|").toStdString();
  }
  CEditGrid& grid() { return frame_->view().list().grid(); }
  TuningControl& tuning() { return frame_->view().tuning(); }
  bool Enabled(int id) {
    frame_->UpdateCommandStates();
    return frame_->action(id)->isEnabled();
  }
  bool RadioReceived(const Bytes& frame) {
    return WaitUntil([&] {
      Bytes got = radio_->received();
      return std::search(got.begin(), got.end(), frame.begin(), frame.end()) != got.end();
    });
  }

  QTemporaryDir dir_;
  std::unique_ptr<PtyRadio> radio_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList boxes_;
  MessageBoxFunction previous_;
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

TEST_F(CommMenuTest, DuringScanOnlyScanModeAndConnectGetThrough) {
  Connect();
  Trigger(ID_SCAN_MODE);
  ASSERT_TRUE(tuning().scanMode);
  const bool modifiedBefore = frame_->view().doc().IsModified();
  QTest::keyClick(frame_.get(), Qt::Key_S, Qt::ControlModifier);
  Trigger(ID_FILE_SAVE);
  Trigger(ID_TIMING);
  Trigger(ID_SET_FREQUENCY);
  // Enabled in itself, but dropped by the gate.
  grid().SetColWidth(1, 77);
  ASSERT_TRUE(frame_->action(ID_JUSTIFY_COLUMNS)->isEnabled());
  Trigger(ID_JUSTIFY_COLUMNS);
  EXPECT_EQ(grid().ColWidth(1), 77);
  EXPECT_FALSE(tuning().timingMode);
  EXPECT_EQ(frame_->view().doc().IsModified(), modifiedBefore);
  EXPECT_TRUE(boxes_.isEmpty());  // Save As never asked for a name
  Trigger(ID_SCAN_MODE);
  EXPECT_FALSE(tuning().scanMode);
}

TEST_F(CommMenuTest, DisconnectingEndsScanButLeavesTiming) {
  Connect();
  Trigger(ID_SCAN_MODE);
  ASSERT_TRUE(tuning().scanMode);
  Trigger(ID_CONNECT);
  EXPECT_FALSE(frame_->view().link().linkConnected);
  EXPECT_FALSE(tuning().scanMode);
  EXPECT_FALSE(tuning().isTimerRunning(kTimerScan));
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
  tuning().SetClock([] { return std::time_t(86400 + 13 * 3600 + 7 * 60); });
  tuning().UpdateClock();
  EXPECT_EQ(frame_->ClockText(), " 13:07 UTC");
}

}  // namespace
