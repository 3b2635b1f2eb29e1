// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "app/rec_dlg.h"
#include "app/settings_store.h"
#include "tests/app/radio_window.h"
#include "tuning/edit_freq.h"

namespace {

// CI-V "read frequency" from the program (E0) to an IC-R75 (5A).
const std::vector<uint8_t> kReadFrequency = {0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD};

class DialogCommandsTest : public RadioWindowTest {
 protected:
  void SetUp() override {
    RadioWindowTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenWindow("IC-R75"));
  }

  CEditFreq* Dialog() { return frame_->view().frequencyDialog(); }
  bool Checked(int id) {
    frame_->UpdateCommandStates();
    return frame_->action(id)->isChecked();
  }
  // What the user would pick in one of the Settings dialog's lists.
  static void Pick(CRecDlg& dialog, const char* list, const char* item) {
    auto* combo = dialog.findChild<QComboBox*>(list);
    ASSERT_NE(combo, nullptr) << list;
    // A port found on this machine carries a mark after its name.
    const int index = combo->findText(item, Qt::MatchStartsWith);
    ASSERT_GE(index, 0) << item;
    combo->setCurrentIndex(index);
  }
};

TEST_F(DialogCommandsTest, OperatingFrequencyOpensReadsAndClosesWithItsCheckMark) {
  EXPECT_FALSE(Enabled(ID_OPERATING_FREQUENCY));
  Connect();
  radio_->clearReceived();
  ASSERT_TRUE(Enabled(ID_OPERATING_FREQUENCY));
  Trigger(ID_OPERATING_FREQUENCY);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_TRUE(Dialog()->isVisible());
  EXPECT_EQ(Dialog()->windowTitle(), "Quilvar - Operating Frequency (kHz)");
  EXPECT_TRUE(Checked(ID_OPERATING_FREQUENCY));
  // Opening reads the radio, and its answer shows in the box.
  EXPECT_TRUE(RadioReceived(kReadFrequency));
  auto* box = Dialog()->findChild<QLineEdit*>(edit_freq_names::kFrequency);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !box->text().isEmpty() && box->text() != "."; }));

  // Tuning a row reads the radio again and the dialog follows it.
  grid().SetRow(3);
  grid().SetCol(1);
  Trigger(ID_SET_FREQUENCY);
  EXPECT_TRUE(QTest::qWaitFor([&] { return box->text() == "3000.000"; }))
      << box->text().toStdString();

  Trigger(ID_OPERATING_FREQUENCY);
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_FALSE(Checked(ID_OPERATING_FREQUENCY));

  // Its own Close button takes the check mark away too.
  Trigger(ID_OPERATING_FREQUENCY);
  ASSERT_NE(Dialog(), nullptr);
  auto* close = Dialog()->findChild<QPushButton*>(edit_freq_names::kClose);
  ASSERT_NE(close, nullptr);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Dialog() == nullptr; }));
  EXPECT_FALSE(Checked(ID_OPERATING_FREQUENCY));
}

// The dialog's step lives in the settings store, read at each opening.
TEST_F(DialogCommandsTest, OperatingFrequencyKeepsItsStepInTheStore) {
  SaveStepIndex(7);
  Connect();
  Trigger(ID_OPERATING_FREQUENCY);
  ASSERT_NE(Dialog(), nullptr);
  auto* step = Dialog()->findChild<QComboBox*>(edit_freq_names::kStep);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->currentIndex(), 7);
  step->setCurrentIndex(11);
  QTest::keyClick(step, Qt::Key_Down);
  EXPECT_EQ(LoadStepIndex(), 12);
}

// The view takes the link's frequency report to the dialog first and to Auto Mode's search
// of the list after it.
TEST_F(DialogCommandsTest, AReportedFrequencyShowsInTheDialogBeforeAutoModeFindsItsRow) {
  Connect();
  Trigger(ID_OPERATING_FREQUENCY);
  ASSERT_NE(Dialog(), nullptr);
  auto* box = Dialog()->findChild<QLineEdit*>(edit_freq_names::kFrequency);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !box->text().isEmpty() && box->text() != "."; }));
  grid().SetRow(1);
  Trigger(ID_AUTO_MODE);
  ASSERT_TRUE(tuning().autoMode);
  int rowWhenShown = -1;
  QObject::connect(box, &QLineEdit::textChanged, box, [&](const QString& text) {
    if (text == "5000.000") rowWhenShown = grid().Row();
  });
  ASSERT_TRUE(radio_->Command("freq 5000000"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid().Row() == 5; })) << grid().Row();
  EXPECT_EQ(rowWhenShown, 1);
}

TEST_F(DialogCommandsTest, SetupRunsOnlyDisconnectedAndTheFrequencyDialogWaitsForIt) {
  // As at start-up, the program runs on what is stored, which Cancel goes back to.
  SaveSettings({frame_->view().link().settings(), 1, 0});
  Connect();
  Trigger(ID_OPERATING_FREQUENCY);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_FALSE(Enabled(ID_SETUP));
  Trigger(ID_CONNECT);
  ASSERT_FALSE(frame_->view().link().linkConnected);
  // The dialog stays open across the disconnect.
  ASSERT_NE(Dialog(), nullptr);
  ASSERT_TRUE(Enabled(ID_SETUP));

  const struct {
    const char* protocol;
    const char* receiver;
    bool accept;
    const char* modelAfter;
    bool dialogAfter;
  } cases[] = {
      {"CAT", "FT-817", false, "IC-R75", true},
      {"CAT", "FT-817", true, "FT-817", true},
      {"None", "None", true, "None", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.receiver << (c.accept ? " OK" : " Cancel"));
    bool dialogDuringSetup = true;
    frame_->view().execDialog = [&](QDialog& dialog) {
      dialogDuringSetup = Dialog() != nullptr;
      auto& settings = static_cast<CRecDlg&>(dialog);
      Pick(settings, "protocol", c.protocol);
      Pick(settings, "receiver", c.receiver);
      c.accept ? dialog.accept() : dialog.reject();
      return dialog.result();
    };
    Trigger(ID_SETUP);
    EXPECT_FALSE(dialogDuringSetup);
    const LinkSettings& now = frame_->view().link().settings();
    EXPECT_STREQ(ModelAt(now.modelIndex).name, c.modelAfter);
    EXPECT_EQ(Dialog() != nullptr, c.dialogAfter);
    // The connection pane describes the receiver the program now runs with; None has no
    // connection to describe.
    const QString pane = frame_->PaneText(StatusPane::kConnection);
    EXPECT_TRUE(c.dialogAfter ? pane.contains(c.modelAfter) : pane.isEmpty()) << pane.toStdString();
  }
  // With the receiver None the command cannot open the dialog, even when forced.
  ForceTrigger(ID_OPERATING_FREQUENCY);
  EXPECT_EQ(Dialog(), nullptr);
}

// A demonstration run puts a simulated IC-R75 behind a port although the store says None:
// Setup shows that radio, and Cancel leaves the program on it.
TEST_F(DialogCommandsTest, SetupShowsTheRunningRadioAndCancelKeepsIt) {
  LinkSettings stored;
  stored.modelIndex = ModelIndexByName("None");
  stored.comPort = 2;
  stored.baudRate = 4800;
  SaveSettings({stored, 1, 0});
  const LinkSettings running = frame_->view().link().settings();
  QStringList shown;
  frame_->view().execDialog = [&](QDialog& dialog) {
    for (const char* name : {"protocol", "receiver", "address", "comPort", "speed"}) {
      // Without the mark a port found on this machine carries.
      shown << dialog.findChild<QComboBox*>(name)->currentText().split("  ").first();
    }
    dialog.reject();
    return dialog.result();
  };
  Trigger(ID_SETUP);
  EXPECT_EQ(shown, QStringList({"CI-V", "IC-R75", "5A", "COM9", "9600"}));
  const LinkSettings& now = frame_->view().link().settings();
  EXPECT_EQ(now.modelIndex, running.modelIndex);
  EXPECT_EQ(now.comPort, kComPort);
  EXPECT_EQ(now.address, running.address);
  EXPECT_EQ(now.baudRate, running.baudRate);
  EXPECT_EQ(OpenSettingsStore()->value("Settings/Rx").toInt(), 1);
  EXPECT_TRUE(frame_->PaneText(StatusPane::kConnection).contains("IC-R75"));
  Connect();
}

// The way a user without a config editor points a port at a USB adapter (here the
// simulator's line): Connect then opens what the dialog stored.
TEST_F(DialogCommandsTest, ADeviceTypedInSetupIsWhatConnectOpens) {
  const QString line = QString::fromStdString(radio_->slavePath());
  OpenSettingsStore()->remove("Ports");
  SaveSettings({frame_->view().link().settings(), 1, 0});
  frame_->view().execDialog = [&](QDialog& dialog) {
    auto& settings = static_cast<CRecDlg&>(dialog);
    Pick(settings, "comPort", "COM12");
    auto* device = settings.findChild<QComboBox*>("device");
    device->lineEdit()->selectAll();
    QTest::keyClicks(device->lineEdit(), line);
    dialog.accept();
    return dialog.result();
  };
  Trigger(ID_SETUP);
  EXPECT_EQ(OpenSettingsStore()->value("Ports/COM12").toString(), line);
  EXPECT_EQ(frame_->view().link().settings().comPort, 12);
  Connect();
}

}  // namespace
