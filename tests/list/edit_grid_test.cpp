// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/edit_grid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <memory>
#include <vector>

#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/edit_wnd.h"
#include "list/grid_owner.h"
#include "list/list_format.h"
#include "tests/test_support.h"
#include "tests/widget_app.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

constexpr int kLines = 60;
constexpr int kLastCol = 7;

class RecordingOwner : public GridOwner {
 public:
  bool CanEdit() override { return canEdit; }
  // Like the view: a frequency cell is brought to normal form.
  void OnCellCommitted(QString& text) override {
    if (grid->Col() == kColFrequency && !text.isEmpty()) NormalizeFrequency(text);
    modified = true;
  }
  void OnRowChanged() override { ++rowChanges; }
  bool OnGridDoubleClick() override { return doubleClickEdits; }
  void OnGridRightButton(const QPoint& point) override { rightClicks.push_back(point); }
  void SetModifiedFlag(bool on) override { modified = on; }

  CEditGrid* grid = nullptr;
  bool canEdit = true;
  bool doubleClickEdits = true;
  bool modified = false;
  int rowChanges = 0;
  std::vector<QPoint> rightClicks;
};

struct Sel {
  int row, col, rowSel, colSel;
  bool operator==(const Sel&) const = default;
};

// Runs posted events until the condition holds.
bool Settle(const std::function<bool()>& condition) {
  return WaitUntil([&] {
    QCoreApplication::processEvents();
    return condition();
  });
}

class EditGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    g_columns = {{"N.", 50, nullptr},    {"Freq (kHz)", 100, nullptr}, {"Station", 280, nullptr},
                 {"Mode", 80, ModesR75}, {"UTC", 80, nullptr},         {"LNG", 0, nullptr},
                 {"ITU", 0, nullptr},    {"Notes", 0, nullptr}};
    grid = std::make_unique<CEditGrid>(owner);
    owner.grid = grid.get();
    grid->SetCols(8);
    grid->SetRows(kLines + 1);
    for (int c = 0; c < 8; ++c) {
      grid->SetTextMatrix(0, c, g_columns[c].caption);
      grid->SetColWidth(c, 70);
    }
    for (int r = 1; r <= kLines; ++r)
      for (int c = 0; c < 8; ++c)
        grid->SetTextMatrix(r, c, c == 0 ? QString::number(r) : QString("%1.%2").arg(r).arg(c));
    grid->show();
    grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    FitRows(20);
    Go(1, 1);
    grid->setFocus();
    ASSERT_TRUE(Settle([&] { return grid->hasFocus(); }));
    owner.modified = false;
  }

  void FitRows(int rows) {
    for (int h = grid->RowHeight(0) + rows * grid->RowHeight(1);
         h < 2000 && grid->VisibleRows() != rows; ++h)
      grid->resize(700, h);
  }
  void Go(int row, int col, int rowSel = -1, int colSel = -1) {
    grid->SetRow(row);
    grid->SetCol(col);
    grid->SetRowSel(rowSel < 0 ? row : rowSel);
    grid->SetColSel(colSel < 0 ? col : colSel);
    if (!grid->IsRowVisible(row)) grid->SetTopRow(row);
    owner.rowChanges = 0;
  }
  Sel Selection() const { return {grid->Row(), grid->Col(), grid->RowSel(), grid->ColSel()}; }
  QString Cell(int row, int col) const { return grid->TextMatrix(row, col); }
  // Keys go where the user's keys would: to the widget with the focus.
  QWidget* Focus() const { return QApplication::focusWidget(); }
  void Type(const QString& text) {
    for (QChar ch : text) {
      ASSERT_NE(Focus(), nullptr);
      QTest::keyClick(Focus(), ch.toLatin1());
    }
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    ASSERT_NE(Focus(), nullptr);
    QTest::keyClick(Focus(), key, mods);
  }
  // The centre of a cell in grid coordinates; makes the cell current.
  QPoint CellCentre(int row, int col) {
    Go(row, col);
    return {grid->CellLeft() + grid->CellWidth() / 2, grid->CellTop() + grid->CellHeight() / 2};
  }
  // Clicks whichever part of the grid lies under the point.
  void Click(QPoint point, Qt::MouseButton button, bool twice = false) {
    QWidget* target = grid->childAt(point);
    ASSERT_NE(target, nullptr);
    const QPoint local = target->mapFrom(grid.get(), point);
    if (twice)
      QTest::mouseDClick(target, button, {}, local);
    else
      QTest::mouseClick(target, button, {}, local);
  }
  bool Closed() {
    return Settle([&] { return grid->editBox()->isHidden() && grid->listBox()->isHidden(); });
  }

  RecordingOwner owner;
  std::unique_ptr<CEditGrid> grid;
};

TEST_F(EditGridTest, KeysStopAtTheEdgesAndShiftExtends) {
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
  struct Case {
    Sel start;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int presses;
    Sel expected;
  } cases[] = {
      {{kLines, 2, kLines, 2}, Qt::Key_Down, none, 1, {kLines, 2, kLines, 2}},
      {{1, 2, 1, 2}, Qt::Key_Up, none, 1, {1, 2, 1, 2}},
      {{3, 1, 3, 1}, Qt::Key_Left, none, 1, {3, 1, 3, 1}},
      {{3, kLastCol, 3, kLastCol}, Qt::Key_Right, none, 1, {3, kLastCol, 3, kLastCol}},
      {{3, 2, 3, 2}, Qt::Key_Down, none, 2, {5, 2, 5, 2}},
      {{kLines - 2, 2, kLines - 2, 2}, Qt::Key_Down, shift, 4, {kLines - 2, 2, kLines, 2}},
      {{3, 4, 3, 4}, Qt::Key_Left, shift, 5, {3, 4, 3, 1}},
      {{3, 4, 3, 4}, Qt::Key_Home, none, 1, {3, 1, 3, 1}},
      {{3, 2, 3, 2}, Qt::Key_End, shift, 1, {3, 2, 3, kLastCol}},
      {{30, 4, 30, 4}, Qt::Key_End, Qt::ControlModifier, 1, {kLines, 4, kLines, 4}},
      {{30, 4, 30, 4}, Qt::Key_Home, Qt::ControlModifier, 1, {1, 4, 1, 4}},
  };
  for (const Case& c : cases) {
    Go(c.start.row, c.start.col, c.start.rowSel, c.start.colSel);
    for (int i = 0; i < c.presses; ++i) QTest::keyClick(grid.get(), c.key, c.mods);
    EXPECT_EQ(Selection(), c.expected) << "key " << c.key << " from " << c.start.row;
    EXPECT_TRUE(grid->IsRowVisible(grid->RowSel()));
    EXPECT_GE(owner.rowChanges, c.presses);
  }
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(EditGridTest, PageKeysStepByTheRowsInView) {
  ASSERT_EQ(grid->VisibleRows(), 20);
  struct Case {
    int start;
    Qt::Key key;
    int expected;
  } cases[] = {{1, Qt::Key_PageDown, 20},
               {40, Qt::Key_PageUp, 20},
               {5, Qt::Key_PageUp, 1},
               {kLines - 3, Qt::Key_PageDown, kLines}};
  for (const Case& c : cases) {
    Go(c.start, 2);
    QTest::keyClick(grid.get(), c.key);
    EXPECT_EQ(grid->Row(), c.expected) << c.start;
    EXPECT_TRUE(grid->Redraw());
    EXPECT_TRUE(grid->IsRowVisible(c.expected));
  }
}

TEST_F(EditGridTest, TabWrapsAtRowEndsAndReportsOnlyRowChanges) {
  struct Case {
    int row, col;
    Qt::KeyboardModifiers mods;
    int row2, col2;
  } cases[] = {{1, 3, Qt::NoModifier, 1, 4},
               {1, kLastCol, Qt::NoModifier, 2, 1},
               {kLines, kLastCol, Qt::NoModifier, kLines, kLastCol},
               {2, 1, Qt::ShiftModifier, 1, kLastCol},
               {1, 1, Qt::ShiftModifier, 1, 1}};
  for (const Case& c : cases) {
    Go(c.row, c.col);
    QTest::keyClick(grid.get(), Qt::Key_Tab, c.mods);
    EXPECT_EQ(Selection(), (Sel{c.row2, c.col2, c.row2, c.col2})) << c.row << "," << c.col;
    EXPECT_EQ(owner.rowChanges > 0, c.row2 != c.row) << c.row << "," << c.col;
  }
}

TEST_F(EditGridTest, CtrlArrowsMoveTheBlockAndStopAtTheEdge) {
  Go(2, 2, 3, 3);
  QTest::keyClick(grid.get(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Selection(), (Sel{2, 3, 3, 4}));
  EXPECT_EQ(Cell(2, 2), "2.4");
  EXPECT_EQ(Cell(3, 3), "3.2");
  EXPECT_EQ(Cell(3, 4), "3.3");
  EXPECT_TRUE(owner.modified);

  // At the last column nothing moves, and drawing is on again.
  Go(3, kLastCol, 2, kLastCol - 1);
  owner.modified = false;
  QTest::keyClick(grid.get(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Selection(), (Sel{2, kLastCol - 1, 3, kLastCol}));
  EXPECT_FALSE(owner.modified);
  EXPECT_TRUE(grid->Redraw());
}

TEST_F(EditGridTest, TypedFrequencyIsNormalisedOnEnter) {
  struct Case {
    QString before, typed, after;
  } cases[] = {{"", "abc", "10.000"},
               {"", "12345678", "9000000.000"},
               {"", "7100", "7100.000"},
               {"7100.000", "1", "17100.000"}};
  for (const Case& c : cases) {
    Go(4, kColFrequency);
    grid->SetText(c.before);
    grid->setFocus();
    Type(c.typed);
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(grid->editBox()->text(), c.typed + c.before);
    Press(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Cell(4, kColFrequency), c.after);
  }
  // Enter opens the box with everything selected; emptied, the cell stays empty.
  Press(Qt::Key_Return);
  ASSERT_TRUE(grid->isEditing());
  EXPECT_EQ(grid->editBox()->selectedText(), "17100.000");
  Press(Qt::Key_Delete);
  Press(Qt::Key_Return);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(4, kColFrequency), "");
}

TEST_F(EditGridTest, EscapeLeavesTheCellAndEnterMarksModified) {
  struct Case {
    int col;
    Qt::Key closer;
    bool modified;
  } cases[] = {{kColStation, Qt::Key_Escape, false},
               {kColMode, Qt::Key_Escape, false},
               {kColStation, Qt::Key_Return, true},
               {kColMode, Qt::Key_Return, true}};
  for (const Case& c : cases) {
    Go(6, c.col);
    grid->SetText("USB");
    owner.modified = false;
    grid->setFocus();
    Press(Qt::Key_Return);
    if (c.closer == Qt::Key_Escape) Type("l");
    Press(c.closer);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(Settle([&] { return grid->hasFocus(); }));
    EXPECT_EQ(Cell(6, c.col), "USB");
    EXPECT_EQ(owner.modified, c.modified) << c.col;
  }
}

TEST_F(EditGridTest, ModeListPicksByLetterThenByCell) {
  struct Case {
    QString cell;
    char typed;
    QString picked;
  } cases[] = {{"usb", 'a', "AM"},
               {"", 'R', "RTTY"},
               {"lsb narrow", '1', "LSB narrow"},
               {"xyz", '1', "AM"},
               {"cw", 'z', "CW"}};
  for (const Case& c : cases) {
    Go(7, kColMode);
    grid->SetText(c.cell);
    grid->setFocus();
    QTest::keyClick(grid.get(), c.typed);
    ASSERT_FALSE(grid->listBox()->isHidden());
    EXPECT_EQ(grid->listBox()->currentItem()->text(), c.picked);
    Press(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Cell(7, kColMode), c.picked);
  }
  // Moving with keys changes nothing until Tab takes the selection and moves on.
  Type("u");
  Press(Qt::Key_Down);
  EXPECT_EQ(grid->listBox()->PendingValue(), "USB");
  Press(Qt::Key_Tab);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(7, kColMode), "USB narrow");
  EXPECT_EQ(Selection(), (Sel{7, kColUtc, 7, kColUtc}));
}

TEST_F(EditGridTest, ModeListTakesClicksAndCancelsWhenLeftForAnotherWindow) {
  Go(7, kColMode);
  grid->SetText("AM");
  QTest::keyClick(grid.get(), Qt::Key_Return);
  CEditListBox* list = grid->listBox();
  auto itemCentre = [&](int i) { return list->visualItemRect(list->item(i)).center(); };
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemCentre(3));
  EXPECT_EQ(list->PendingValue(), "LSB");
  EXPECT_FALSE(list->isHidden());
  // A double click arrives as a click and then the double click itself.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemCentre(6));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, itemCentre(6));
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(7, kColMode), "USB");

  QTest::keyClick(grid.get(), 'c');
  QLineEdit elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(7, kColMode), "USB");
}

TEST_F(EditGridTest, EditBoxPassesTabAndArrowsOnAfterCommitting) {
  Go(8, kColStation);
  Type("x");
  Press(Qt::Key_Tab);
  ASSERT_TRUE(Settle([&] { return grid->Col() == kColMode; }));
  EXPECT_EQ(Cell(8, kColStation), "x8.2");
  Go(8, kColStation);
  Type("y");
  Press(Qt::Key_Down);
  ASSERT_TRUE(Settle([&] { return grid->Row() == 9; }));
  EXPECT_EQ(Cell(8, kColStation), "yx8.2");
  EXPECT_FALSE(grid->isEditing());
}

TEST_F(EditGridTest, CommitGoesToTheEditedCellWhenACommandMovedTheCursor) {
  Go(3, kColFrequency);
  Type("7");
  grid->SetRow(5);  // as Find next does, without the grid's cell events
  grid->SetCol(kColStation);
  grid->setFocus();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(3, kColFrequency), "73.100");
  EXPECT_EQ(Cell(5, kColStation), "5.2");
  EXPECT_EQ(Selection(), (Sel{5, kColStation, 5, kColStation}));
}

TEST(ListBoxRectTest, OpensWhereTheListFits) {
  const QRect cell(10, 200, 80, 20);
  struct Case {
    int below, above, items;
    QRect expected;
  } cases[] = {
      {10, 5, 5, QRect(10, 200, 80 + 16 + 1, 5 * 18 + 2)},           // fits below
      {1, 15, 5, QRect(10, 220 - 92, 97, 92)},                       // fits above
      {2, 15, 27, QRect(10, 220 - (15 * 18 + 2), 97, 15 * 18 + 2)},  // more room above
      {15, 2, 27, QRect(10, 200, 97, 15 * 20)},                      // more room below
  };
  for (const Case& c : cases) {
    const ListBoxPlacement p{cell, c.below, c.above, c.items, 18, 1, 16};
    EXPECT_EQ(ListBoxRect(p), c.expected) << c.below << "/" << c.above;
  }
}

TEST_F(EditGridTest, ModeListOpensUpwardAtTheBottomOfTheView) {
  const int row = grid->TopRow() + grid->VisibleRows() - 1;
  Go(row, kColMode);
  grid->setFocus();
  QTest::keyClick(grid.get(), 'a');
  const CEditListBox* list = grid->listBox();
  ASSERT_FALSE(list->isHidden());
  EXPECT_EQ(list->geometry().bottom() + 1, grid->CellTop() + grid->CellHeight());
  EXPECT_LT(list->geometry().top(), grid->CellTop());
  EXPECT_EQ(list->width(), grid->CellWidth() + list->ScrollBarWidth() + list->BorderThickness());
}

TEST_F(EditGridTest, AltKeysMoveLinesWithinTheListOnly) {
  // At the list's ends, and with any other key, nothing happens at all.
  const Sel unmoved[] = {{kLines - 1, 2, kLines, 3}, {1, 2, 1, 2}, {5, 1, 5, 1}};
  const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_X};
  for (int i = 0; i < 3; ++i) {
    Go(unmoved[i].row, unmoved[i].col, unmoved[i].rowSel, unmoved[i].colSel);
    QTest::keyClick(grid.get(), keys[i], Qt::AltModifier);
    EXPECT_EQ(Selection(), unmoved[i]);
    EXPECT_EQ(owner.rowChanges, 0);
  }
  EXPECT_FALSE(owner.modified);
  EXPECT_FALSE(grid->isEditing());

  Go(3, 2, 2, 4);
  QTest::keyClick(grid.get(), Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(Selection(), (Sel{3, 2, 4, 4}));
  EXPECT_TRUE(owner.modified);
  // The line below took the freed place; column 0 kept the numbers.
  EXPECT_EQ(QStringList({Cell(2, 1), Cell(3, 1), Cell(4, 1), Cell(4, 0)}),
            QStringList({"4.1", "2.1", "3.1", "4"}));
  Go(3, 2, 4, 2);
  QTest::keyClick(grid.get(), Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(Selection(), (Sel{2, 2, 3, 2}));
  EXPECT_EQ(QStringList({Cell(2, 1), Cell(3, 1), Cell(4, 1)}), QStringList({"2.1", "3.1", "4.1"}));
}

TEST_F(EditGridTest, UniformCellsCopiesTheCurrentLineIntoTheSelection) {
  Go(5, 3, 5, 4);
  grid->UniformCells();
  EXPECT_FALSE(owner.modified);
  Go(5, 3, 3, 4);
  grid->UniformCells();
  EXPECT_TRUE(owner.modified);
  for (int r = 3; r <= 5; ++r) {
    EXPECT_EQ(Cell(r, 3), "5.3");
    EXPECT_EQ(Cell(r, 4), "5.4");
    EXPECT_EQ(Cell(r, 2), QString("%1.2").arg(r));
  }
}

TEST_F(EditGridTest, DeleteClearsTheBlockAndLeavesItsCornerCurrent) {
  Go(4, 3, 2, 2);
  QTest::keyClick(grid.get(), Qt::Key_Delete);
  EXPECT_EQ(Selection(), (Sel{2, 2, 4, 3}));
  for (int r = 2; r <= 4; ++r) EXPECT_EQ(Cell(r, 2) + Cell(r, 3), "");
  EXPECT_EQ(Cell(3, 4), "3.4");
  EXPECT_EQ(owner.rowChanges, 0);
  EXPECT_TRUE(owner.modified);
}

TEST_F(EditGridTest, ScrollToRowEndsWhenNoRowFits) {
  grid->resize(700, grid->RowHeight(0));
  ASSERT_EQ(grid->VisibleRows(), 0);
  grid->ScrollToRow(kLines, true);
  grid->ScrollToRow(1, false);
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(EditGridTest, DoubleClickEditsWhenTheOwnerAllowsAndRightClickIsPassedOn) {
  for (bool edits : {false, true}) {
    owner.doubleClickEdits = edits;
    Click(CellCentre(3, 2), Qt::LeftButton, true);
    EXPECT_EQ(grid->isEditing(), edits);
  }
  EXPECT_EQ(grid->editBox()->selectedText(), "3.2");
  Press(Qt::Key_Escape);
  // The caption row is no line: only the second click reaches the owner.
  const QPoint caption(CellCentre(5, 3).x(), grid->RowHeight(0) / 2);
  const QPoint cell = CellCentre(5, 3);
  Click(caption, Qt::RightButton);
  Click(cell, Qt::RightButton);
  ASSERT_TRUE(Settle([&] { return !owner.rightClicks.empty(); }));
  EXPECT_EQ(owner.rightClicks, std::vector<QPoint>{cell});
}

TEST_F(EditGridTest, NoEditorWhileAModeIsOn) {
  owner.canEdit = false;
  for (int col : {kColFrequency, kColMode}) {
    Go(2, col);
    QTest::keyClick(grid.get(), 'a');
    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_TRUE(grid->editBox()->isHidden());
    EXPECT_TRUE(grid->listBox()->isHidden());
  }
}

TEST_F(EditGridTest, EditorOpenedBeforeAModeTakesNothingUnderIt) {
  for (int col : {kColStation, kColMode}) {
    SCOPED_TRACE(col);
    owner.canEdit = true;
    owner.modified = false;
    Go(2, col);
    QTest::keyClick(grid.get(), 'u');
    ASSERT_FALSE(grid->editBox()->isHidden() && grid->listBox()->isHidden());
    owner.canEdit = false;
    Press(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Cell(2, col), QString("2.%1").arg(col));
    EXPECT_FALSE(owner.modified);
  }
}

TEST_F(EditGridTest, ModeListStaysOpenWhileAMenuIsOpen) {
  Go(4, kColMode);
  QTest::keyClick(grid.get(), 'c');
  ASSERT_FALSE(grid->listBox()->isHidden());
  QMenu menu;
  menu.addAction("a command");
  menu.popup(grid->mapToGlobal(QPoint(0, 0)));
  ASSERT_TRUE(Settle([&] { return menu.isVisible(); }));
  EXPECT_FALSE(grid->listBox()->isHidden());
  menu.close();
  ASSERT_TRUE(Settle([&] { return grid->listBox()->hasFocus(); }));
  Press(Qt::Key_Return);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(Cell(4, kColMode), "CW");
}

}  // namespace
