// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/edit_freq.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdlib>
#include <ctime>

#include "common/texts.h"
#include "list/line_editor.h"
#include "sim/net_radio.h"
#include "tests/tuning/tuning_fixture.h"

namespace {

namespace names = edit_freq_names;

// The local time zone for one test, put back afterwards.
struct TimeZone {
  explicit TimeZone(const char* zone) : old(std::getenv("TZ") ? std::getenv("TZ") : "") {
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    old.empty() ? unsetenv("TZ") : setenv("TZ", old.c_str(), 1);
    tzset();
  }
  const std::string old;
};

class EditFreqTest : public TuningControlTest {
 protected:
  void SetUp() override {
    TuningControlTest::SetUp();
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("IC-R75");
    link_.SetSettings(settings);
  }

  void TearDown() override {
    delete dialog_.data();
    TuningControlTest::TearDown();
  }

  void Open() {
    dialog_ = new CEditFreq(
        link_, editor_, [this] { return now_; }, [this] { return utcFormat_; },
        {storedStep_, [this](int index) { storedStep_ = index; }}, &view_);
    host_.frequencyDialog = dialog_;
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
  }

  // Opens on a connected CI-V radio, which is read three times, and lets the answers arrive.
  void OpenOnRadio() {
    Open();
    const Texts reads{"cmd 3", "cmd 4", "cmd 3", "cmd 4", "cmd 3", "cmd 4"};
    Texts frames;
    ASSERT_TRUE(Arrives([&] {
      frames.clear();
      for (const Bytes& frame : SplitFrames(radio_->received())) frames.push_back(Describe(frame));
      return frames.size() >= reads.size() && Box()->text() == "7000.000";
    }));
    EXPECT_EQ(frames, reads);
    radio_->clearReceived();
  }

  template <class Widget>
  Widget* Find(const char* name) {
    auto* widget = dialog_->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* Box() { return Find<QLineEdit>(names::kFrequency); }
  QComboBox* List(const char* name) { return Find<QComboBox>(name); }
  QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

  void Type(const QString& text) {
    Box()->clear();
    QTest::keyClicks(Box(), text);
  }

  // Picks an item with the keyboard, as the user ends a selection.
  void Choose(const char* list, int index) {
    QComboBox* box = List(list);
    box->setCurrentIndex(index > 0 ? index - 1 : 1);
    QTest::keyClick(box, index > 0 ? Qt::Key_Down : Qt::Key_Up);
  }

  void Wheel(QWidget* over, int delta) {
    const QPointF at(over->width() / 2, over->height() / 2);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
  }

  // Lets the link's events reach the dialog until the condition holds.
  bool Arrives(const std::function<bool()>& condition) {
    return WaitUntil([&] {
      QCoreApplication::processEvents();
      return condition();
    });
  }

  LineEditor editor_{list_, host_, &view_};
  QPointer<CEditFreq> dialog_;
  int utcFormat_ = 0;
  // What the dialog's owner keeps of the step between openings.
  int storedStep_ = CEditFreq::kDefaultStepIndex;
};

TEST_F(EditFreqTest, CivReportsFillTheBoxEvenWhileTheUserTypes) {
  StartRadio("IC-R75");
  OpenOnRadio();
  EXPECT_EQ(List(names::kMode)->currentText(), "AM");
  QTest::mouseClick(Box(), Qt::LeftButton);
  ASSERT_TRUE(Box()->hasFocus());
  Type("123");
  ASSERT_TRUE(radio_->Command("freq 0"));
  EXPECT_TRUE(Arrives([&] { return Box()->text() == "."; })) << Box()->text().toStdString();
  ASSERT_TRUE(radio_->Command("freq 14250300"));
  EXPECT_TRUE(Arrives([&] { return Box()->text() == "14250.300"; }));
  ASSERT_TRUE(radio_->Command("mode USB"));
  EXPECT_TRUE(Arrives([&] { return List(names::kMode)->currentText() == "USB"; }));
  // A code the model does not know leaves the choice alone.
  dialog_->ShowMode(0x7777);
  EXPECT_EQ(List(names::kMode)->currentText(), "USB");
}

TEST_F(EditFreqTest, CatPollSparesTheBoxWhileTheUserTypes) {
  StartRadio("FT-817");
  Open();
  ASSERT_EQ(link_.ReadStatus(), TransactionResult::kAnswered);
  ASSERT_TRUE(Arrives([&] { return Box()->text() == "7000.000"; }));
  QTest::mouseClick(Box(), Qt::LeftButton);
  Type("1234.5");
  ASSERT_TRUE(radio_->Command("freq 14250000"));
  ASSERT_TRUE(radio_->Command("mode USB"));
  ASSERT_EQ(link_.ReadStatus(), TransactionResult::kAnswered);
  // The mode of the same report arrives; the frequency is held back.
  ASSERT_TRUE(Arrives([&] { return List(names::kMode)->currentText() == "USB"; }));
  EXPECT_EQ(Box()->text(), "1234.5");
  List(names::kMode)->setFocus();
  ASSERT_EQ(link_.ReadStatus(), TransactionResult::kAnswered);
  EXPECT_TRUE(Arrives([&] { return Box()->text() == "14250.000"; }));
}

TEST_F(EditFreqTest, NetworkRadioShowsPastFourGigahertzReadsOnDemandAndSparesTyping) {
  SimRigctlOptions options;
  options.frequency = 5760000000ULL;
  options.modeCode = ModeCodeByName(ModesNetwork, "WFM").code;
  NetRadio server(options);
  ASSERT_TRUE(server.Start()) << server.error();
  LinkSettings settings;
  settings.modelIndex = ModelIndexByName("rigctl");
  settings.netHost = "127.0.0.1:" + std::to_string(server.port());
  link_.SetSettings(settings);
  link_.ToggleConnect();
  ASSERT_TRUE(link_.linkConnected) << host_.messages.join("; ").toStdString();
  Open();
  ASSERT_TRUE(Arrives([&] { return Box()->text() == "5760000.000"; }));
  EXPECT_EQ(List(names::kMode)->currentText(), "WFM");
  EXPECT_EQ(List(names::kMode)->count(), ModeCount(ModesNetwork));

  // Read asks at once (the poll says nothing in the link pane).
  host_.linkPane.clear();
  ASSERT_TRUE(server.Command("freq 7100000"));
  QTest::mouseClick(Button(names::kRead), Qt::LeftButton);
  EXPECT_EQ(host_.linkPane, texts::kGetModeDone);
  EXPECT_TRUE(Arrives([&] { return Box()->text() == "7100.000"; }));

  // What the poll brings does not overwrite what the user is typing.
  QTest::mouseClick(Box(), Qt::LeftButton);
  Type("1234.5");
  ASSERT_TRUE(server.Command("freq 14250000"));
  ASSERT_EQ(link_.ReadStatus(), TransactionResult::kAnswered);
  QCoreApplication::processEvents();
  EXPECT_EQ(Box()->text(), "1234.5");
  link_.CloseLink();
}

// Every polled radio reports every 750 ms: what the user is typing must outlast the reports,
// and the box follows them again once the user has moved on.
TEST_F(EditFreqTest, PolledReportsSpareTheBoxOnlyWhileItHasTheFocus) {
  struct Case {
    const char* model;
    int poll;
  } cases[] = {
      {"FT-817", kTimerCatPoll},
      {"Perseus", kTimerPerseusPoll},
      {"rigctl", kTimerCatPoll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    NetRadio server;
    std::function<bool(const std::string&)> console;
    if (IsNetworkModel(ModelIndexByName(c.model))) {
      ASSERT_TRUE(server.Start()) << server.error();
      LinkSettings settings;
      settings.modelIndex = ModelIndexByName(c.model);
      settings.netHost = "127.0.0.1:" + std::to_string(server.port());
      link_.SetSettings(settings);
      link_.ToggleConnect();
      ASSERT_TRUE(link_.linkConnected) << host_.messages.join("; ").toStdString();
      console = [&](const std::string& line) { return server.Command(line); };
    } else {
      StartRadio(c.model);
      console = [&](const std::string& line) { return radio_->Command(line); };
    }
    ASSERT_TRUE(link_.isTimerRunning(c.poll));
    Open();
    // One poll, and its report handled by the dialog (the list follows the dialog).
    auto poll = [&](uint64_t hz) {
      host_.matched.clear();
      link_.OnTimer(c.poll);
      return Arrives([&] { return !host_.matched.empty() && host_.matched.back() == hz; });
    };

    ASSERT_TRUE(console("freq 7055000"));
    ASSERT_TRUE(poll(7055000));
    EXPECT_EQ(Box()->text(), "7055.000");

    QTest::mouseClick(Box(), Qt::LeftButton);
    ASSERT_TRUE(Box()->hasFocus());
    Type("1234");
    ASSERT_TRUE(console("freq 14250000"));
    ASSERT_TRUE(poll(14250000));
    EXPECT_EQ(Box()->text(), "1234");
    QTest::keyClicks(Box(), ".5");
    ASSERT_TRUE(poll(14250000));
    EXPECT_EQ(Box()->text(), "1234.5");

    List(names::kMode)->setFocus();
    ASSERT_TRUE(poll(14250000));
    EXPECT_EQ(Box()->text(), "14250.000");

    delete dialog_.data();
    link_.ToggleConnect();
    ASSERT_FALSE(link_.linkConnected);
  }
}

TEST_F(EditFreqTest, SpinAndWheelStepThenWrite) {
  StartRadio("IC-R75");
  OpenOnRadio();
  enum How { kUp, kDown, kWheelOverMode, kWheelOverBox };
  struct Case {
    const char* start;
    How how;
    const char* shown;
    Texts sent;
  } cases[] = {
      {"7055.000", kUp, "7055.100", {"freq 7055100"}},
      {"10.000", kDown, "10.000", {"freq 10000"}},
      {"7055.000", kWheelOverMode, "7055.100", {"freq 7055100"}},
      {"7055.000", kWheelOverBox, "7054.900", {"freq 7054900"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start + std::to_string(c.how));
    Type(c.start);
    if (c.how == kUp) QTest::mouseClick(Find<QToolButton>(names::kSpinUp), Qt::LeftButton);
    if (c.how == kDown) QTest::mouseClick(Find<QToolButton>(names::kSpinDown), Qt::LeftButton);
    if (c.how == kWheelOverMode) Wheel(List(names::kMode), 120);
    if (c.how == kWheelOverBox) Wheel(Box(), -120);
    EXPECT_EQ(Box()->text(), c.shown);
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(List(names::kMode)->currentText(), "AM");
    if (c.how == kUp || c.how == kDown) {
      EXPECT_TRUE(Box()->hasFocus());
    }
  }
}

TEST_F(EditFreqTest, SnapFallsToAMultipleOfTheStepBeforeStepping) {
  Open();
  enum Action { kChooseStep, kUp };
  struct Case {
    bool snap;
    int step;
    const char* start;
    Action action;
    const char* shown;
  } cases[] = {
      {true, 7, "7000.010", kChooseStep, "7000.000"},  // 6.25
      {true, 10, "7012.300", kUp, "7012.500"},         // 12.5
      {false, 10, "7012.300", kUp, "7024.800"},
      {true, 3, "5000000.050", kChooseStep, "5000000.000"},  // beyond 32 bits of hertz
      {false, 13, "8999950", kUp, "9000000.000"},
      {true, 0, "fm", kChooseStep, "10.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    if (Button(names::kSnap)->isChecked() != c.snap) Button(names::kSnap)->click();
    Choose(names::kStep, c.step);
    Type(c.start);
    if (c.action == kChooseStep) Choose(names::kStep, c.step);
    if (c.action == kUp) QTest::mouseClick(Find<QToolButton>(names::kSpinUp), Qt::LeftButton);
    EXPECT_EQ(Box()->text(), c.shown);
  }
}

TEST_F(EditFreqTest, EnterWritesTheFrequencyAloneWithinLimits) {
  StartRadio("IC-R75");
  OpenOnRadio();
  struct Case {
    const char* typed;
    const char* shown;
    Texts sent;
    const char* linkPane;
  } cases[] = {
      {"7055.1", "7055.1", {"freq 7055100"}, "Write freq done"},
      {"5", "10.000", {"freq 10000"}, "Write freq done"},
      {"4294967.296", "4294967.296", {}, "Write freq: out of range"},
      {"12345678", "9000000.000", {}, "Write freq: out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    QTest::mouseClick(Box(), Qt::LeftButton);
    Type(c.typed);
    QTest::keyClick(Box(), Qt::Key_Return);
    EXPECT_EQ(Box()->text(), c.shown);
    EXPECT_EQ(host_.linkPane, c.linkPane);
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_TRUE(Button(names::kWrite)->hasFocus());
  }
  Type("7055.1");
  Button(names::kWrite)->click();
  EXPECT_EQ(Sent(), (Texts{"freq 7055100", "mode 514"}));
}

TEST_F(EditFreqTest, AddInsertsARowStampedInUtcWithTheLocalDate) {
  TimeZone zone("QVT-10");
  now_ = 1710027000;  // 2024-03-09 23:30 UTC, already the 10th at home
  Load({"1000.000;A;AM;;;;"});
  Open();
  Type("");
  Button(names::kAdd)->click();
  EXPECT_EQ(grid().Rows(), 2);
  EXPECT_FALSE(list_.doc().IsModified());

  Type("7055.1");
  Choose(names::kMode, 6);
  const char* stamps[] = {"2330", "2330  10-03-24", "2330  03-10-24", ""};
  for (int format = 0; format < 4; ++format) {
    utcFormat_ = format;
    Button(names::kAdd)->click();
    const int row = grid().Row();
    EXPECT_EQ(row, format + 2);
    EXPECT_EQ(grid().ReadRowCells(row).mid(1),
              (QStringList{"7055.100", "", "USB", stamps[format], "", "", ""}));
  }
  EXPECT_TRUE(list_.doc().IsModified());
}

// The owner keeps the step (the program in its settings store, which also checks what it
// reads); each opening shows the one kept then.
TEST_F(EditFreqTest, StepChoiceIsStoredAndReadAtEachOpening) {
  for (const int stored : {3, 7, 0, 13}) {
    storedStep_ = stored;
    Open();
    EXPECT_EQ(List(names::kStep)->currentIndex(), stored);
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog_.isNull());
  }
  Open();
  Choose(names::kStep, 12);
  EXPECT_EQ(storedStep_, 12);
}

TEST_F(EditFreqTest, ReadAndWriteOnlyWhileConnected) {
  StartRadio("IC-R75");
  link_.ToggleConnect();
  Open();
  EXPECT_FALSE(Button(names::kRead)->isEnabled());
  EXPECT_FALSE(Button(names::kWrite)->isEnabled());
  EXPECT_EQ(Box()->text(), "");
  link_.ToggleConnect();
  dialog_->OnConnectionChanged();
  EXPECT_TRUE(Button(names::kRead)->isEnabled());
  EXPECT_TRUE(Button(names::kWrite)->isEnabled());
  EXPECT_TRUE(Arrives([&] { return Box()->text() == "7000.000"; }));
}

}  // namespace
