// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/edit_window.h"

namespace {

const QByteArray kNarrowList =
    "Freq (kHz);Station;Mode;UTC\r\n"
    "9000.000;Zulu;AM;1000-1100\r\n";
const QByteArray kWideList =
    "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n"
    "5000.000;Wide;AM;0000-2400;en;USA;note\r\n";

class EditCommandsTest : public EditWindowTest {
 protected:
  // The ten lines again, unmodified, with nothing asked yet.
  void Reopen() {
    doc().SetModifiedFlag(false);
    ASSERT_TRUE(frame_->OpenFile(dir_.filePath("ten.CSV")));
    asked_.clear();
  }
  void ExpectAsked(const QString& question) {
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, question);
    EXPECT_EQ(asked_[0].title, "Quilvar");
    EXPECT_EQ(asked_[0].buttons, QMessageBox::Yes | QMessageBox::No);
  }
};

TEST_F(EditCommandsTest, CopiedLineIsPastedIntoEveryColumnButTheRowNumber) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  // Only the current row is copied, whatever else is selected.
  Select(5, 2, 8, 3);
  Press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(editor().m_lineBuffer, QStringList{"5"} + Line(5));
  EXPECT_FALSE(doc().IsModified());

  Select(9, 4, 9, 4);
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cells(9), Line(5));
  EXPECT_EQ(grid().TextMatrix(9, 0), "9");
  EXPECT_TRUE(doc().IsModified());
  ExpectLinesAsOpened(9);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(EditCommandsTest, PastedLineFitsTheWidthOfTheListItLandsIn) {
  const struct {
    const char* name;
    QByteArray source;
    // The list pasted into; empty for a new one.
    QByteArray target;
    QStringList pasted;
  } cases[] = {
      {"a narrower line, kept across New",
       kNarrowList,
       "",
       {"9000.000", "Zulu", "AM", "1000-1100", "", "", ""}},
      {"a wider line, kept across Open",
       kWideList,
       kNarrowList,
       {"5000.000", "Wide", "AM", "0000-2400"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    doc().SetModifiedFlag(false);
    ASSERT_NO_FATAL_FAILURE(WriteList("source.CSV", c.source));
    ASSERT_TRUE(frame_->OpenFile(dir_.filePath("source.CSV")));
    Select(1, 1, 1, 1);
    Trigger(ID_COPY_LINE);
    if (c.target.isEmpty()) {
      Trigger(ID_FILE_NEW);
    } else {
      ASSERT_NO_FATAL_FAILURE(WriteList("target.CSV", c.target));
      ASSERT_TRUE(frame_->OpenFile(dir_.filePath("target.CSV")));
    }
    ASSERT_EQ(grid().Cols(), c.pasted.size() + 1);
    for (int col = 1; col < grid().Cols(); ++col) grid().SetTextMatrix(1, col, "stale");
    doc().SetModifiedFlag(false);
    asked_.clear();

    Trigger(ID_PASTE_LINE);
    EXPECT_EQ(Cells(1), c.pasted);
    EXPECT_EQ(grid().TextMatrix(1, 0), "1");
    EXPECT_TRUE(doc().IsModified());
    EXPECT_TRUE(asked_.empty());
  }
}

TEST_F(EditCommandsTest, DuplicatingTheLastLineAppendsACopyAndKeepsItInTheBuffer) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Select(1, 1, 1, 1);
  Press(Qt::Key_C, Qt::ControlModifier);
  Select(10, 3, 10, 3);
  Press(Qt::Key_F8);
  ASSERT_EQ(grid().Rows(), kLines + 2);
  EXPECT_EQ(Cells(11), Line(10));
  EXPECT_EQ(Column(0), Numbers(11));
  ExpectLinesAsOpened();
  EXPECT_EQ(Selected(), (Selection{11, 1, 11, 4}));
  EXPECT_EQ(editor().m_lineBuffer, QStringList{"10"} + Line(10));
  EXPECT_TRUE(doc().IsModified());
}

TEST_F(EditCommandsTest, InsertedLineIsEmptyAndCurrentBelowTheCurrentOne) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Select(3, 2, 3, 2);
  Press(Qt::Key_I, Qt::ControlModifier);
  ASSERT_EQ(grid().Rows(), kLines + 2);
  EXPECT_EQ(Column(0), Numbers(11));
  EXPECT_EQ(Cells(4), QStringList({"", "", "", ""}));
  for (int line = 1; line <= kLines; ++line) {
    EXPECT_EQ(Cells(line < 4 ? line : line + 1), Line(line)) << "line " << line;
  }
  EXPECT_EQ(Selected(), (Selection{4, 2, 4, 2}));
  EXPECT_TRUE(doc().IsModified());
}

TEST_F(EditCommandsTest, DeleteLinesRemovesTheSelectedLinesAfterAsking) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  const struct {
    const char* name;
    Selection selection;
    const char* question;
    QStringList stations;
    Selection after;
  } cases[] = {
      {"rows 7 to 4, selected upwards",
       {7, 2, 4, 2},
       "Delete 4 line(s)?",
       {"Radio A", "usb net", "Cuba", "Delta", "Kilo", "Lima"},
       {4, 2, 4, 2}},
      {"the last three rows",
       {8, 3, 10, 3},
       "Delete 3 line(s)?",
       {"Radio A", "usb net", "Cuba", "Oscar", "Zulu", "Bravo", "Echo"},
       {7, 3, 7, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Press(Qt::Key_D, Qt::ControlModifier);
    ExpectAsked(c.question);
    EXPECT_EQ(Column(kColStation), c.stations);
    EXPECT_EQ(Column(0), Numbers(c.stations.size()));
    EXPECT_EQ(Selected(), c.after);
    EXPECT_TRUE(doc().IsModified());
  }
}

TEST_F(EditCommandsTest, ClearLinesEmptiesTheSelectedLinesAfterAsking) {
  Select(2, 3, 4, 3);
  Trigger(ID_CLEAR_LINES);
  ExpectAsked("Clear 3 line(s)?");
  ASSERT_EQ(grid().Rows(), kLines + 1);
  EXPECT_EQ(Column(0), Numbers(kLines));
  for (int row = 2; row <= 4; ++row) EXPECT_EQ(Cells(row), QStringList({"", "", "", ""}));
  EXPECT_EQ(Cells(1), Line(1));
  EXPECT_EQ(Cells(5), Line(5));
  EXPECT_TRUE(doc().IsModified());
}

TEST_F(EditCommandsTest, AnsweringNoLeavesTheListUntouched) {
  const struct {
    int id;
    const char* name;
    Selection selection;
    const char* question;
  } cases[] = {
      {ID_CLEAR_LINES, "Clear Lines", {2, 3, 4, 3}, "Clear 3 line(s)?"},
      {ID_DELETE_LINES, "Delete Lines", {7, 2, 4, 2}, "Delete 4 line(s)?"},
      {ID_SORT_LINES, "Sort Lines", {4, 1, 4, 1}, "Sort by: Freq (kHz) ?"},
  };
  answer_ = QMessageBox::No;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    asked_.clear();
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Trigger(c.id);
    ExpectAsked(c.question);
    ASSERT_EQ(grid().Rows(), kLines + 1);
    ExpectLinesAsOpened();
    EXPECT_EQ(Column(0), Numbers(kLines));
    EXPECT_FALSE(doc().IsModified());
  }
}

TEST_F(EditCommandsTest, ClearCellsEmptiesTheSameBlockWhicheverWayItWasSelected) {
  const struct {
    const char* name;
    Selection selection;
  } cases[] = {
      {"downwards and rightwards", {3, 2, 6, 4}},
      {"upwards and leftwards", {6, 4, 3, 2}},
      {"upwards and rightwards", {6, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Trigger(ID_CLEAR_CELLS);
    for (int row = 3; row <= 6; ++row) {
      EXPECT_EQ(Cells(row), QStringList({Line(row)[0], "", "", ""})) << "row " << row;
    }
    EXPECT_EQ(Cells(2), Line(2));
    EXPECT_EQ(Cells(7), Line(7));
    EXPECT_EQ(Selected(), (Selection{3, 2, 6, 4}));
    EXPECT_TRUE(doc().IsModified());
    EXPECT_TRUE(asked_.empty());
  }
}

TEST_F(EditCommandsTest, UniformCellsCopiesTheCurrentLineIntoTheOtherSelectedLines) {
  const struct {
    const char* name;
    Selection selection;
    // Rows first .. last end with the mode and UTC given; none for first 0.
    int first, last;
    QString mode, utc;
  } cases[] = {
      {"rows 3 to 6, current row 6", {6, 3, 3, 4}, 3, 5, "FM", "1100-1200"},
      {"rows 3 to 6, current row 3", {3, 3, 6, 4}, 4, 6, "AM", "0800-0900"},
      {"right to left", {6, 4, 3, 3}, 3, 5, "FM", "1100-1200"},
      {"a single row", {4, 2, 4, 4}, 0, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Trigger(ID_UNIFORM_CELLS);
    for (int row = 1; row <= kLines; ++row) {
      QStringList expected = Line(row);
      if (row >= c.first && row <= c.last) {
        expected[kColMode - 1] = c.mode;
        expected[kColUtc - 1] = c.utc;
      }
      EXPECT_EQ(Cells(row), expected) << "row " << row;
    }
    EXPECT_EQ(doc().IsModified(), c.first != 0);
  }
}

TEST_F(EditCommandsTest, MovedLinesTakeTheirNeighbourAcrossAndStaySelected) {
  const struct {
    int id;
    const char* name;
    Selection selection;
    // The lines as opened, in their new order.
    std::vector<int> order;
    Selection after;
  } cases[] = {
      {ID_MOVE_LINES_DOWN,
       "rows 2 to 3 down",
       {2, 1, 3, 4},
       {1, 4, 2, 3, 5, 6, 7, 8, 9, 10},
       {3, 1, 4, 4}},
      {ID_MOVE_LINES_UP,
       "rows 5 to 4 up",
       {5, 2, 4, 3},
       {1, 2, 4, 5, 3, 6, 7, 8, 9, 10},
       {3, 2, 4, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Trigger(c.id);
    for (int row = 1; row <= kLines; ++row) {
      EXPECT_EQ(Cells(row), Line(c.order[row - 1])) << "row " << row;
    }
    EXPECT_EQ(Column(0), Numbers(kLines));
    EXPECT_EQ(Selected(), c.after);
    EXPECT_TRUE(doc().IsModified());
  }
}

TEST_F(EditCommandsTest, SortLinesOrdersByTheSelectedColumnsWithNumbersAsNumbers) {
  const struct {
    const char* name;
    Selection selection;
    const char* question;
    int col;
    QStringList sorted;
  } cases[] = {
      {"one column, every line",
       {4, 1, 4, 1},
       "Sort by: Freq (kHz) ?",
       kColFrequency,
       {"500.000", "800.000", "2000.000", "3000.000", "6000.000", "7100.000", "7100.000",
        "9000.000", "12000.000", "15000.000"}},
      {"two columns, every line",
       {4, 1, 4, 2},
       "Sort by: Freq (kHz) + Station ?",
       kColStation,
       {"Delta", "Cuba", "Lima", "Echo", "Radio A", "Bravo", "usb net", "Zulu", "Kilo", "Oscar"}},
      {"two columns selected leftwards",
       {4, 2, 4, 1},
       "Sort by: Freq (kHz) + Station ?",
       kColStation,
       {"Delta", "Cuba", "Lima", "Echo", "Radio A", "Bravo", "usb net", "Zulu", "Kilo", "Oscar"}},
      {"rows 5 to 2 only",
       {5, 1, 2, 1},
       "Sort by: Freq (kHz) ?",
       kColStation,
       {"Radio A", "Cuba", "usb net", "Zulu", "Oscar", "Bravo", "Echo", "Delta", "Kilo", "Lima"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(c.selection.row, c.selection.col, c.selection.rowSel, c.selection.colSel);
    Trigger(ID_SORT_LINES);
    ExpectAsked(c.question);
    EXPECT_EQ(Column(c.col), c.sorted);
    // Whole lines move; the numbers stay in order.
    for (int row = 1; row <= kLines; ++row) {
      bool whole = false;
      for (int line = 1; line <= kLines; ++line) whole = whole || Cells(row) == Line(line);
      EXPECT_TRUE(whole) << "row " << row;
    }
    EXPECT_EQ(Column(0), Numbers(kLines));
    EXPECT_EQ(grid().Row(), c.selection.row);
    EXPECT_EQ(grid().Col(), c.selection.col);
    EXPECT_TRUE(doc().IsModified());
  }
}

TEST_F(EditCommandsTest, SelectAllCellsSelectsEveryLineAndDataColumn) {
  Select(5, 3, 5, 3);
  Trigger(ID_SELECT_ALL_CELLS);
  EXPECT_EQ(Selected(), (Selection{1, 1, kLines, 4}));
}

TEST_F(EditCommandsTest, ContextMenuOpensOverADataCellOnlyAndLeavesTheCurrentCell) {
  const QStringList items = {"&Copy Line", "&Paste Line", "Clear Line", "Set Frequency",
                             "Set Offset Column"};
  const struct {
    const char* name;
    int row, col;
    QStringList shown;
  } cases[] = {
      {"a data cell", 3, 2, items},  {"the last data cell", kLines, 4, items},
      {"the caption row", 0, 2, {}}, {"the number column", 3, 0, {}},
      {"the corner", 0, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select(5, 3, 5, 3);
    EXPECT_EQ(RightClick(c.row, c.col), c.shown);
    EXPECT_EQ(Selected(), (Selection{5, 3, 5, 3}));
  }
}

// Clicks the item of a shown menu that reads text.
std::function<void(QMenu*)> Choose(const char* text) {
  return [text](QMenu* menu) {
    for (QAction* item : menu->actions()) {
      if (item->text() == text) {
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(item).center());
        return;
      }
    }
    ADD_FAILURE() << "no item " << text;
  };
}

TEST_F(EditCommandsTest, ContextMenuCommandsActOnTheCurrentRow) {
  // Copy takes the whole current line whatever block was selected, and selects it.
  Select(5, 3, 2, 4);
  RightClick(8, 2, Choose("&Copy Line"));
  EXPECT_EQ(editor().m_lineBuffer, QStringList{"5"} + Line(5));
  EXPECT_EQ(Selected(), (Selection{5, 1, 5, 4}));
  EXPECT_FALSE(doc().IsModified());

  Select(9, 3, 9, 3);
  RightClick(1, 1, Choose("&Paste Line"));
  EXPECT_EQ(Cells(9), Line(5));
  EXPECT_EQ(grid().TextMatrix(9, 0), "9");
  EXPECT_TRUE(doc().IsModified());

  Select(3, 3, 3, 3);
  RightClick(4, 4, Choose("Clear Line"));
  EXPECT_EQ(Cells(3), QStringList({"", "", "", ""}));
  ExpectLinesAsOpened(3, 9);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(EditCommandsTest, ContextSetFrequencyTunesTheCurrentRowOnceConnected) {
  Select(5, 3, 5, 3);
  QStringList enabled;
  RightClick(3, 2, [&](QMenu* menu) {
    for (QAction* item : menu->actions()) {
      if (item->isEnabled()) enabled << item->text();
    }
  });
  EXPECT_FALSE(enabled.contains("Set Frequency")) << "without a radio";
  EXPECT_TRUE(enabled.contains("Set Offset Column"));
  ASSERT_NO_FATAL_FAILURE(Connect());
  RightClick(3, 2, Choose("Set Frequency"));
  // 9000 kHz, the frequency of row 5.
  EXPECT_TRUE(RadioReceived({0xFE, 0xFE, 0x5A, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x09, 0x00, 0xFD}));
}

}  // namespace
