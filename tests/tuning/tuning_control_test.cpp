// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/tuning/tuning_fixture.h"

namespace {

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
      // Held in binary as 64.83499...: still 64835 Hz, not one hertz low.
      {"64.835", "", false, "64.835", 64835},
      {"7055.000", "64.835", true, "7055.000", 7119835},
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

// Scrolled to the last row, the view aligns that row with the bottom edge, so the rows sit
// lower than right under the captions; a double click tunes the row drawn under the pointer.
TEST_F(TuningControlTest, DoubleClickOnANumberTunesTheRowDrawnThere) {
  StartRadio("IC-R75");
  LoadNumbered(60);
  const int h = grid().RowHeight(1);
  struct Case {
    const char* name;
    bool toLastRow;
    int cut;  // pixels of a row that does not fit
  } cases[] = {
      {"top, last row partly visible", false, h / 2},
      {"last row, rows fit whole", true, 0},
      {"last row, top row partly visible", true, h / 2},
      {"last row, a sliver of the top row", true, 3},
  };
  QHeaderView* numbers = grid().verticalHeader();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int height = 10 * h + c.cut;
    for (int i = 0; i < 5 && grid().viewport()->height() != height; ++i) {
      view_.resize(view_.width(), view_.height() + height - grid().viewport()->height());
      QCoreApplication::processEvents();
    }
    ASSERT_EQ(grid().viewport()->height(), height);
    Go(1, 1);
    grid().SetTopRow(1);
    if (c.toLastRow) QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
    const int first = grid().rowAt(0) + 1, last = grid().rowAt(height - 1) + 1;
    for (int row : {first, first + 1, last}) {
      // The middle of the part of the number cell in view.
      const int top = std::max(numbers->sectionViewportPosition(row - 1), 0);
      const int bottom = std::min(numbers->sectionViewportPosition(row - 1) + h, height);
      QTest::mouseDClick(numbers->viewport(), Qt::LeftButton, {},
                         QPoint(numbers->width() / 2, (top + bottom) / 2));
      EXPECT_EQ(TunedRows(), std::vector<int>{row}) << "row " << row;
      EXPECT_EQ(grid().Row(), row);
    }
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

}  // namespace
