#include "tuning_control.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "colours.h"
#include "columns.h"
#include "command_ids.h"
#include "grid_owner.h"
#include "link_control.h"
#include "link_host.h"
#include "list_control.h"
#include "list_host.h"
#include "pty_radio.h"
#include "receiver_models.h"
#include "test_support.h"
#include "widget_app.h"

// Readable failures for texts of the grid and the panes.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

constexpr int kComPort = 7;
constexpr int kOffsetColumn = 5;

// Stands in for the view: passes the grid's, the list's and the link's requests on to the
// tuning control, the way the program's view does, and notes what it is shown.
class FakeView : public ListHost, public GridOwner, public LinkHost, public TuningHost {
 public:
  // ListHost and GridOwner
  void ShowListMessage(const QString& text) override { messages << text; }
  bool AnyModeOn() override { return tuning->AnyModeOn(); }
  void OnRowChanged() override {
    if (tuning != nullptr) tuning->TuneCurrentRow(false);
  }
  bool ReceiverIsNone() override { return false; }
  bool CanEdit() override { return !tuning->AnyModeOn(); }
  void OnCellCommitted(QString&) override {}
  bool OnGridDoubleClick() override {
    doubleClickAnswer = tuning->OnGridDoubleClick();
    return *doubleClickAnswer;
  }
  void OnGridRightButton(const QPoint&) override {}
  void SetModifiedFlag(bool modified) override { list->doc().SetModifiedFlag(modified); }

  // LinkHost
  void SetPaneText(StatusPane pane, const QString& text) override {
    if (pane == StatusPane::kLink) linkPane = text;
  }
  void ShowMessageBox(const QString&, const QString& text, BoxIcon) override { messages << text; }
  void ShowMessageDialog(const QString& text) override { messages << text; }
  void SetWaitCursor(bool) override {}
  QObject* FrequencyDialog() override { return nullptr; }
  void MatchFrequency(uint32_t hz) override {
    matched.push_back(hz);
    tuning->MatchFrequency(hz);
  }
  void ShowLinkIndicator(int) override {}
  void TurnOffTimedModes() override { tuning->TurnOffTimedModes(); }
  void OnConnectionChanged() override {}

  // TuningHost
  void SetClockPane(const QString& text) override { clockPane = text; }
  void RefreshFrequencyDialog() override { ++dialogRefreshes; }
  void OnTuningStateChanged() override {}

  TuningControl* tuning = nullptr;
  ListControl* list = nullptr;
  QStringList messages;
  QString linkPane, clockPane;
  std::vector<uint32_t> matched;
  std::optional<bool> doubleClickAnswer;
  int dialogRefreshes = 0;
};

// One CI-V frame the radio received from the program, read as "freq HZ", "mode CODE" or
// "cmd N".
std::string Describe(const Bytes& frame) {
  const uint8_t command = frame[4];
  if (command == 0x00 && frame.size() == 11) {
    uint64_t hz = 0;
    for (int i = 9; i >= 5; --i) hz = hz * 100 + (frame[i] >> 4) * 10 + (frame[i] & 0x0F);
    return "freq " + std::to_string(hz);
  }
  if (command == 0x01 && frame.size() == 8)
    return "mode " + std::to_string(frame[5] * 256 + frame[6]);
  return "cmd " + std::to_string(command);
}

std::vector<Bytes> SplitFrames(const Bytes& bytes) {
  std::vector<Bytes> frames;
  Bytes frame;
  for (uint8_t b : bytes) {
    frame.push_back(b);
    if (b == 0xFD) {
      frames.push_back(frame);
      frame.clear();
    }
  }
  return frames;
}

class TuningControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBuiltInColumns();
    SetModeChoices(ModesR75);
    host_.tuning = &tuning_;
    host_.list = &list_;
    tuning_.SetClock([this] { return now_; });
    // Scan ticks are given by hand; the real timer must never add one.
    tuning_.SetScanInterval(3600);
    auto* layout = new QVBoxLayout(&view_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&grid());
    view_.resize(900, 500);
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  }

  void TearDown() override {
    if (link_.linkConnected) link_.CloseLink();
  }

  CEditGrid& grid() { return list_.grid(); }

  void At(int hour, int minute) { now_ = hour * 3600 + minute * 60; }

  // Opens a list of the given lines (after the header) and makes (row, 1) current.
  void Load(const QStringList& lines, int row = 1) {
    const QString path = dir_.filePath("list.CSV");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        ("Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n" + lines.join("\r\n") + "\r\n").toUtf8());
    file.close();
    ASSERT_TRUE(list_.doc().OpenDocument(path));
    Go(row, 1);
  }

  // Rows numbered by their frequency: row r tunes (1000 + r) kHz.
  void LoadNumbered(int rows, int row = 1) {
    QStringList lines;
    for (int r = 1; r <= rows; ++r) lines << QString("%1.000;S%2;AM;;;;").arg(1000 + r).arg(r);
    Load(lines, row);
  }

  void Go(int row, int col) {
    grid().SetRow(row);
    grid().SetCol(col);
  }

  void StartRadio(const char* model) {
    SimRadioOptions options;
    options.modelIndex = ModelIndexByName(model);
    radio_ = std::make_unique<PtyRadio>(options);
    ASSERT_TRUE(radio_->Start()) << radio_->error();
    QSettings settings("Corvanel", "Quilvar");
    settings.setValue(QString("Ports/COM%1").arg(kComPort),
                      QString::fromStdString(radio_->slavePath()));
    settings.sync();
    LinkSettings link;
    link.modelIndex = options.modelIndex;
    link.address = ModelAt(options.modelIndex).defaultAddress;
    link.comPort = kComPort;
    link_.SetSettings(link);
    link_.ToggleConnect();
    ASSERT_TRUE(link_.linkConnected) << host_.messages.join("; ").toStdString();
    radio_->clearReceived();
  }

  // What the CI-V radio received since the last call. A read-mode request closes the
  // record, so nothing sent before it can still be on its way.
  Texts Sent() {
    link_.ReadMode();
    std::vector<Bytes> frames;
    const bool closed = WaitUntil([&] {
      frames = SplitFrames(radio_->received());
      return !frames.empty() && frames.back().size() == 6 && frames.back()[4] == 0x04;
    });
    EXPECT_TRUE(closed);
    radio_->clearReceived();
    if (closed) frames.pop_back();
    Texts texts;
    for (const Bytes& frame : frames) texts.push_back(Describe(frame));
    return texts;
  }

  // Only the frequency writes, as list rows of LoadNumbered.
  std::vector<int> TunedRows() {
    std::vector<int> rows;
    for (const std::string& text : Sent()) {
      if (text.rfind("freq ", 0) == 0) rows.push_back(std::stoi(text.substr(5)) / 1000 - 1000);
    }
    return rows;
  }

  // The mark of every data row (index 0 is row 1); the current cell stays where it is.
  std::vector<QColor> Marks() {
    const int row = grid().Row(), col = grid().Col(), rowSel = grid().RowSel(),
              colSel = grid().ColSel();
    std::vector<QColor> marks;
    for (int r = 1; r < grid().Rows(); ++r) {
      Go(r, 0);
      marks.push_back(grid().CellBackColor());
    }
    Go(row, col);
    grid().SetRowSel(rowSel);
    grid().SetColSel(colSel);
    return marks;
  }

  QColor Plain() {
    const int row = grid().Row(), col = grid().Col();
    Go(0, 0);
    const QColor colour = grid().CellBackColor();
    Go(row, col);
    return colour;
  }

  std::vector<int> Current() { return {grid().Row(), grid().Col()}; }

  QApplication& app_ = WidgetApp();  // before any widget
  QTemporaryDir dir_;
  std::unique_ptr<PtyRadio> radio_;  // outlives the link that talks to it
  QWidget view_;
  FakeView host_;
  ListControl list_{host_, host_, &view_};
  LinkControl link_{host_};
  TuningControl tuning_{list_, link_, host_};
  std::time_t now_ = 0;
};

TEST_F(TuningControlTest, RowFrequencyPlusOffsetBecomesWholeHertz) {
  StartRadio("IC-R75");
  struct Case {
    QString frequency, offset;
    bool useOffset;
    QString shownFrequency;
    int hz;
  } cases[] = {
      {"7055.100", "", false, "7055.100", 7055100},
      {"7055.100", "-0.455", true, "7055.100", 7054645},
      {"14070.000", "1.5", true, "14070.000", 14071500},
      {"3500.000", "-455", true, "3500.000", 3045000},
      {"1000.000", "0.001", true, "1000.000", 1000001},
      {"7055.0009", "", false, "7055.001", 7055001},
      {"7055.100", "abc", true, "7055.100", 7055100},
      {"7055.100", "", true, "7055.100", 7055100},
      {"shortwave", "", false, "10.000", 10000},
  };
  QStringList lines;
  for (const Case& c : cases) lines << "1;x;AM;;" + c.offset + ";;";
  Load(lines);
  int row = 1;
  for (const Case& c : cases) {
    // Loading normalised the frequencies; the cell gets the text as it was typed.
    grid().SetTextMatrix(row, kColFrequency, c.frequency);
    Go(row, c.useOffset ? kOffsetColumn : kColFrequency);
    tuning_.SetOffsetColumn();
    EXPECT_EQ(tuning_.offsetColumn, c.useOffset ? kOffsetColumn : kColFrequency);
    const Texts expected{"freq " + std::to_string(c.hz), "mode 514"};
    EXPECT_EQ(Sent(), expected) << c.frequency.toStdString() << " " << c.offset.toStdString();
    EXPECT_EQ(grid().TextMatrix(row, kColFrequency), c.shownFrequency);
    ++row;
  }
  EXPECT_EQ(host_.dialogRefreshes, static_cast<int>(std::size(cases)));
}

TEST_F(TuningControlTest, FrequencyThenModeByteForByte) {
  StartRadio("IC-R75");
  Load({"7055.100;Voice;usb;;;;"});
  tuning_.SetFrequencyCommand();
  const Bytes expected{0xFE, 0xFE, 0x5A, 0xE0, 0x00, 0x00, 0x51, 0x05, 0x07, 0x00,
                       0xFD, 0xFE, 0xFE, 0x5A, 0xE0, 0x01, 0x01, 0x02, 0xFD};
  ASSERT_TRUE(WaitUntil([&] { return radio_->received().size() >= expected.size(); }));
  EXPECT_EQ(radio_->received(), expected);
  EXPECT_EQ(host_.linkPane, "Write mode done");
}

TEST_F(TuningControlTest, RowsThatSendNothingOrAnUnknownMode) {
  StartRadio("IC-R75");
  Load({"7055.100;Voice;AM;;;;", "9500.000;Other;AM;;;;"});
  EXPECT_FALSE(list_.doc().IsModified());

  // A row already in normal form still counts as a change.
  tuning_.SetFrequencyCommand();
  EXPECT_TRUE(list_.doc().IsModified());
  EXPECT_EQ(Sent(), (Texts{"freq 7055100", "mode 514"}));

  // No frequency: the row is emptied and nothing goes out.
  list_.doc().SetModifiedFlag(false);
  grid().SetTextMatrix(1, kColFrequency, "");
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(grid().ReadRowCells(1), (QStringList{"1", "", "", "", "", "", "", ""}));
  EXPECT_TRUE(list_.doc().IsModified());
  EXPECT_EQ(Sent(), Texts{});

  // A Mode column that enforces no table lets a name through that the radio lacks: code 0.
  SetModeChoices(nullptr);
  Go(2, 1);
  grid().SetTextMatrix(2, kColMode, "drm");
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(grid().TextMatrix(2, kColMode), "DRM");
  EXPECT_EQ(Sent(), (Texts{"freq 9500000", "mode 0"}));

  // Beyond 32 bits of hertz: cut to 32 bits it would tune some other station.
  grid().SetTextMatrix(2, kColFrequency, "5000000");
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(host_.linkPane, "Write freq: out of range");
  EXPECT_EQ(Sent(), Texts{});
}

TEST_F(TuningControlTest, ModeOnlyAfterAnAcknowledgedFrequency) {
  StartRadio("FT-817");
  SetModeChoices(ModesCat);
  Load({"7055.100;Voice;USB;;;;"});
  ASSERT_TRUE(radio_->Command("silent on"));
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(host_.linkPane, "Write freq Failed");
  ASSERT_TRUE(radio_->Command("silent off"));
  tuning_.SetFrequencyCommand();
  EXPECT_EQ(host_.linkPane, "Write mode OK");

  // Five-byte commands, the status polls left out.
  std::vector<Bytes> commands;
  const Bytes got = radio_->received();
  for (size_t i = 0; i + 5 <= got.size(); i += 5) {
    if (got[i + 4] != 0x03) commands.emplace_back(got.begin() + i, got.begin() + i + 5);
  }
  const std::vector<Bytes> expected{{0x00, 0x70, 0x55, 0x10, 0x01},
                                    {0x00, 0x70, 0x55, 0x10, 0x01},
                                    {0x01, 0x00, 0x00, 0x00, 0x07}};
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(host_.dialogRefreshes, 1);
}

TEST_F(TuningControlTest, DoubleClickTunesEditsOrDoesNothing) {
  StartRadio("IC-R75");
  LoadNumbered(4);
  enum Mode { kNone, kTiming, kAuto, kScan, kSchedule };
  struct Case {
    const char* name;
    Mode mode;
    int row, col;  // the cell double-clicked; row 0 the captions, column 0 the numbers
    std::optional<bool> answer;
    std::vector<int> tuned;
    bool editing;
  } cases[] = {
      {"number column", kNone, 3, 0, false, {3}, false},
      {"data cell", kNone, 3, 2, true, {}, true},
      {"data cell with Timing", kTiming, 3, 2, false, {3}, false},
      // The click before the double click tuned the row already.
      {"number column with Auto Mode", kAuto, 3, 0, true, {3}, false},
      {"caption row", kNone, 0, 2, false, {}, false},
      {"number column in Scan Mode", kScan, 3, 0, false, {}, false},
      {"number column in Schedule Mode", kSchedule, 3, 0, false, {}, false},
  };
  auto toggle = [&](Mode mode) {
    if (mode == kTiming) tuning_.ToggleTiming();
    if (mode == kAuto) tuning_.ToggleAutoMode();
    if (mode == kScan) tuning_.ToggleScanMode();
    if (mode == kSchedule) tuning_.ToggleScheduleMode();
  };
  for (const Case& c : cases) {
    Go(1, 1);
    toggle(c.mode);
    Sent();  // the first scan step
    host_.doubleClickAnswer.reset();

    // Whichever part of the grid lies under the cell: the cells, the numbers or the captions.
    QWidget* target = grid().viewport();
    QPoint point;
    if (c.col == 0) {
      QHeaderView* numbers = grid().verticalHeader();
      target = numbers->viewport();
      point = {numbers->width() / 2,
               numbers->sectionViewportPosition(c.row - 1) + numbers->sectionSize(c.row - 1) / 2};
    } else if (c.row == 0) {
      QHeaderView* captions = grid().horizontalHeader();
      target = captions->viewport();
      point = {captions->sectionViewportPosition(c.col - 1) + captions->sectionSize(c.col - 1) / 2,
               captions->height() / 2};
    } else {
      point = grid().visualRect(grid().model()->index(c.row - 1, c.col - 1)).center();
    }
    QTest::mouseDClick(target, Qt::LeftButton, {}, point);

    EXPECT_EQ(host_.doubleClickAnswer, c.answer) << c.name;
    EXPECT_EQ(TunedRows(), c.tuned) << c.name;
    EXPECT_EQ(grid().isEditing(), c.editing) << c.name;
    grid().CancelEdit();
    toggle(c.mode);
  }
}

TEST_F(TuningControlTest, AutoModeFollowsTheRadioThroughTheList) {
  StartRadio("IC-R75");
  Load({"7055.100;a;AM;;;;", "9500.000;b;AM;;;;", "11700.000;c;AM;;;;", "9500.000;d;AM;;;;"});
  auto tuneByHand = [&](uint32_t hz) {
    host_.matched.clear();
    ASSERT_TRUE(radio_->Command("freq " + std::to_string(hz)));
    ASSERT_TRUE(WaitUntil([&] {
      QCoreApplication::processEvents();
      return !host_.matched.empty() && host_.matched.back() == hz;
    }));
  };
  tuneByHand(9500000);
  EXPECT_EQ(Current(), (std::vector<int>{1, 1})) << "Auto Mode off";

  tuning_.ToggleAutoMode();
  Go(1, 2);
  struct Step {
    uint32_t hz;
    int row;
  } steps[] = {
      {11700000, 3},
      {9500000, 2},  // the first of two matching rows
      {9400000, 2},  // no row: stays
      {0, 2},
  };
  for (const Step& step : steps) {
    tuneByHand(step.hz);
    EXPECT_EQ(Current(), (std::vector<int>{step.row, 1})) << step.hz;
  }
  // The current row matching already keeps it, though an earlier row matches too.
  Go(4, 1);
  tuneByHand(9500000);
  EXPECT_EQ(Current(), (std::vector<int>{4, 1}));
  // Following the radio does not tune it back.
  EXPECT_EQ(Sent(), Texts{});
}

TEST_F(TuningControlTest, ScanIntervalBelowOneSecondRunsEverySecond) {
  for (int seconds : {0, -5}) {
    tuning_.SetScanInterval(seconds);
    EXPECT_EQ(tuning_.scanIntervalMs(), 1000) << seconds;
  }
  tuning_.SetScanInterval(7);
  EXPECT_EQ(tuning_.scanIntervalMs(), 7000);
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
