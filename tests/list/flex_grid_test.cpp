// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/flex_grid.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "tests/test_support.h"
#include "tests/widget_app.h"

namespace {

// A grid that records its events, with the state it sees when each arrives.
class RecordingGrid : public FlexGrid {
 public:
  std::vector<std::string> events;
  std::vector<int> keysDown;
  std::vector<int> typed;
  int scrolls = 0;

 protected:
  void KeyDown(QKeyEvent* event) override {
    // Shift, Ctrl and Alt come as keys of their own too.
    if (event->key() < Qt::Key_Shift || event->key() > Qt::Key_Alt)
      keysDown.push_back(event->key());
  }
  void KeyPress(int ch) override { typed.push_back(ch); }
  void DblClick() override { Log("dbl"); }
  void EnterCell() override { Log("enter"); }
  void LeaveCell() override { Log("leave"); }
  void Scroll() override { ++scrolls; }
  void RightButtonDown(const QPoint&) override {
    events.push_back("right " + std::to_string(MouseRow()) + "," + std::to_string(MouseCol()));
  }

 private:
  void Log(const std::string& what) {
    events.push_back(what + " " + std::to_string(Row()) + "," + std::to_string(Col()));
  }
};

// Rows of tab-separated cells from column 0; row 0 holds the captions.
void Fill(FlexGrid& grid, const QStringList& rows, int cols) {
  grid.SetCols(cols);
  grid.SetRows(int(rows.size()));
  for (int row = 0; row < rows.size(); ++row) grid.SetRowTexts(row, rows[row].split('\t'));
}

QStringList Column(const FlexGrid& grid, int col) {
  QStringList texts;
  for (int row = 1; row < grid.Rows(); ++row) texts << grid.TextMatrix(row, col);
  return texts;
}

void Select(FlexGrid& grid, int row, int col, int rowSel, int colSel) {
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetRowSel(rowSel);
  grid.SetColSel(colSel);
}

std::vector<int> Selection(const FlexGrid& grid) {
  return {grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()};
}

// A shown grid of rows × cols with numbered rows and cells "r.c".
class ShownGrid : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.resize(400, 300);
    grid.SetCols(6);
    grid.SetRows(60);
    for (int row = 0; row < grid.Rows(); ++row) {
      for (int col = 0; col < grid.Cols(); ++col)
        grid.SetTextMatrix(row, col, QString("%1.%2").arg(row).arg(col));
    }
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    Select(grid, 1, 1, 1, 1);
  }

  // Centre of a data cell, in viewport coordinates, as Qt lays it out.
  QPoint CellPoint(int row, int col) {
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
  }
  QPoint CaptionPoint(int col) {
    QHeaderView* header = grid.horizontalHeader();
    return {header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2,
            header->height() / 2};
  }
  QPoint NumberPoint(int row) {
    QHeaderView* header = grid.verticalHeader();
    return {header->width() / 2,
            header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2};
  }

  QApplication& app = WidgetApp();  // before the grid
  RecordingGrid grid;
};

TEST(FlexGrid, SettingRowOrColCollapsesTheSelection) {
  WidgetApp();
  FlexGrid grid;
  grid.SetCols(6);
  grid.SetRows(10);
  Select(grid, 5, 3, 2, 1);  // the corner above and left of the current cell
  EXPECT_EQ(Selection(grid), (std::vector<int>{5, 3, 2, 1}));
  grid.SetRow(7);
  EXPECT_EQ(Selection(grid), (std::vector<int>{7, 3, 7, 3}));
  grid.SetRowSel(9);
  grid.SetColSel(5);
  grid.SetCol(4);
  EXPECT_EQ(Selection(grid), (std::vector<int>{7, 4, 7, 4}));
  grid.SetRow(10);  // beyond the grid: ignored
  EXPECT_EQ(Selection(grid), (std::vector<int>{7, 4, 7, 4}));
}

TEST(FlexGrid, SortOrdersRowsByTheSelectedColumns) {
  WidgetApp();
  struct Case {
    const char* name;
    QStringList rows;  // column 0 names the row
    std::vector<int> selection;
    QStringList order;
  };
  const Case cases[] = {
      {"numbers as numbers, every row when one is selected",
       {"N.\tF", "a\t10", "b\t9.5", "c\t-2", "d\t1e3", "e\t100", "f\t 7 "},
       {3, 1, 3, 1},
       {"c", "f", "b", "a", "e", "d"}},
      {"empty first, then numbers, then text without case",
       {"N.\tF", "a\tb", "b\t10", "c\t", "d\tB", "e\ta", "f\t9.5", "g\tAbc", "h\t+5x"},
       {1, 1, 1, 1},
       {"c", "f", "b", "h", "e", "g", "d", "a"}},
      {"only the selected rows, corner above",
       {"N.\tF", "a\t5", "b\t4", "c\t3", "d\t2", "e\t1"},
       {4, 1, 2, 1},
       {"a", "d", "c", "b", "e"}},
      {"second key column breaks ties, equal rows keep their order",
       {"N.\tF\tS", "a\t2\tx", "b\t1\tz", "c\t2\tb", "d\t1\tz", "e\t1\ty"},
       {1, 2, 1, 1},
       {"e", "b", "d", "c", "a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlexGrid grid;
    Fill(grid, c.rows, int(c.rows[0].split('\t').size()));
    Select(grid, c.selection[0], c.selection[1], c.selection[2], c.selection[3]);
    grid.Sort();
    EXPECT_EQ(Column(grid, 0), c.order);
    EXPECT_EQ(grid.TextMatrix(0, 0), "N.");
    EXPECT_EQ(grid.TextMatrix(0, 1), "F");
    EXPECT_EQ(Selection(grid), c.selection);
  }
}

TEST(FlexGrid, SortMovesColoursAndAlignmentsWithTheirRows) {
  WidgetApp();
  FlexGrid grid;
  Fill(grid, {"N.\tF", "a\t3", "b\t1", "c\t2"}, 2);
  Select(grid, 1, 0, 1, 0);
  grid.SetCellBackColor(Qt::red);
  grid.SetCol(1);
  grid.SetCellAlignment(kAlignCentre);
  grid.Sort();
  ASSERT_EQ(Column(grid, 0), (QStringList{"b", "c", "a"}));
  grid.SetRow(3);
  EXPECT_EQ(grid.CellAlignment(), kAlignCentre);
  grid.SetCol(0);
  EXPECT_EQ(grid.CellBackColor(), QColor(Qt::red));
  grid.SetRow(1);
  EXPECT_NE(grid.CellBackColor(), QColor(Qt::red));
}

TEST(FlexGrid, AddItemAndRemoveItemShiftRows) {
  WidgetApp();
  FlexGrid grid;
  Fill(grid, {"N.\tA\tB", "1\ta", "2\tb", "3\tc"}, 3);
  grid.AddItem("x\ty\tz\tdropped", 2);
  EXPECT_EQ(Column(grid, 0), (QStringList{"1", "x", "2", "3"}));
  EXPECT_EQ(grid.TextMatrix(2, 2), "z");
  grid.AddItem("end", grid.Rows());
  grid.AddItem("never", 0);
  grid.AddItem("never", grid.Rows() + 1);
  EXPECT_EQ(Column(grid, 0), (QStringList{"1", "x", "2", "3", "end"}));
  grid.RemoveItem(1);
  grid.RemoveItem(0);
  EXPECT_EQ(Column(grid, 0), (QStringList{"x", "2", "3", "end"}));
  EXPECT_EQ(grid.TextMatrix(0, 1), "A");
}

TEST(FlexGrid, RemovingRunsOfRowsKeepsTheRestInOrder) {
  WidgetApp();
  FlexGrid grid;
  QStringList rows{"N."};
  for (int i = 1; i <= 10; ++i) rows << QString::number(i);
  Fill(grid, rows, 2);
  Select(grid, 9, 0, 9, 0);
  grid.SetCellBackColor(Qt::blue);
  grid.SetRedraw(false);
  for (int i = 0; i < 3; ++i) grid.RemoveItem(3);  // 3, 4, 5
  grid.RemoveItem(2);                              // just above the removed run
  grid.RemoveItem(4);                              // elsewhere: 8
  grid.SetRedraw(true);
  EXPECT_EQ(Column(grid, 0), (QStringList{"1", "6", "7", "9", "10"}));
  Select(grid, 4, 0, 4, 0);
  EXPECT_EQ(grid.CellBackColor(), QColor(Qt::blue));
  EXPECT_EQ(grid.model()->rowCount(), 5);
}

TEST(FlexGrid, ShapeChangesKeepCellsThatStillFit) {
  WidgetApp();
  FlexGrid grid;
  Fill(grid, {"N.\tA\tB", "1\ta\tp", "2\tb\tq", "3\tc\tr"}, 3);
  Select(grid, 3, 2, 3, 2);
  grid.SetRows(3);
  EXPECT_EQ(Selection(grid), (std::vector<int>{2, 2, 2, 2}));
  grid.SetRows(5);
  grid.SetCols(2);
  grid.SetCols(4);
  EXPECT_EQ(Column(grid, 0), (QStringList{"1", "2", "", ""}));
  EXPECT_EQ(Column(grid, 1), (QStringList{"a", "b", "", ""}));
  EXPECT_EQ(Column(grid, 2), (QStringList{"", "", "", ""}));
  grid.Clear();
  EXPECT_EQ(grid.TextMatrix(0, 0), "");
  EXPECT_EQ(Column(grid, 1), (QStringList{"", "", "", ""}));
  EXPECT_EQ(grid.Rows(), 5);
  grid.SetRows(0);
  grid.SetCols(-1);
  EXPECT_EQ(grid.Rows(), 1);
  EXPECT_EQ(grid.Cols(), 1);
}

TEST_F(ShownGrid, TopRowStopsWhereTheLastRowIsInView) {
  grid.SetTopRow(1000);
  const int top = grid.TopRow();
  EXPECT_GT(top, 1);
  // The last row fits whole, and one row further down would not.
  const int bottom = grid.RowHeight(0) + grid.viewport()->height();
  EXPECT_LE(grid.RowHeight(0) + (grid.Rows() - top) * grid.RowHeight(1), bottom);
  EXPECT_GT(grid.RowHeight(0) + (grid.Rows() - top + 1) * grid.RowHeight(1), bottom);
  grid.SetTopRow(top + 1);
  EXPECT_EQ(grid.TopRow(), top);
  grid.SetTopRow(-3);
  EXPECT_EQ(grid.TopRow(), 1);

  // Rows added while drawing is off can be scrolled to before the view knows them.
  grid.SetRedraw(false);
  for (int i = 0; i < 20; ++i) grid.AddItem("new", grid.Rows());
  grid.SetTopRow(top + 10);
  EXPECT_EQ(grid.TopRow(), top + 10);
  grid.SetRedraw(true);
  EXPECT_EQ(grid.TopRow(), top + 10);
}

TEST_F(ShownGrid, RedrawFalseHoldsBackSignalsAndRepaintsOnce) {
  QAbstractItemModel* model = grid.model();
  QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
  QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
  QSignalSpy reset(model, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
  int paints = 0;
  struct PaintCounter : QObject {
    int& count;
    explicit PaintCounter(int& c) : count(c) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++count;
      return false;
    }
  } counter(paints);
  grid.viewport()->installEventFilter(&counter);
  auto settle = [] {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  };
  settle();
  paints = 0;

  grid.SetRedraw(false);
  for (int row = 1; row < grid.Rows(); ++row) {
    grid.SetRow(row);
    grid.SetCol(0);
    grid.SetCellBackColor(Qt::yellow);
    grid.SetTextMatrix(row, 2, "x");
  }
  grid.Sort();
  settle();
  EXPECT_EQ(changed.count() + headers.count() + reset.count(), 0);
  EXPECT_EQ(paints, 0);
  grid.SetRedraw(true);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(reset.count(), 0);
  ASSERT_TRUE(WaitUntil([&] {
    QCoreApplication::processEvents();
    return paints > 0;
  }));
  settle();
  EXPECT_EQ(paints, 1);

  grid.SetRedraw(false);
  grid.AddItem("a", 1);
  grid.RemoveItem(5);
  grid.SetRows(80);
  grid.SetRedraw(true);
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(inserted.count(), 0);
  EXPECT_EQ(model->rowCount(), 79);

  // Drawing on: one change, one signal for that cell.
  changed.clear();
  grid.SetTextMatrix(2, 3, "y");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>(), model->index(1, 2));
  EXPECT_EQ(changed[0][1].value<QModelIndex>(), model->index(1, 2));
}

TEST(FlexGrid, ColoursAreSparseAndShowInTheHeaders) {
  WidgetApp();
  FlexGrid grid;
  grid.SetCols(3);
  grid.SetRows(5);
  Select(grid, 0, 0, 0, 0);
  const QColor corner = grid.CellBackColor();
  Select(grid, 3, 0, 3, 0);
  EXPECT_EQ(grid.CellBackColor(), corner);
  grid.SetCellBackColor(Qt::red);
  EXPECT_EQ(grid.CellBackColor(), QColor(Qt::red));
  QAbstractItemModel* model = grid.model();
  EXPECT_EQ(model->headerData(2, Qt::Vertical, Qt::BackgroundRole).value<QBrush>().color(),
            QColor(Qt::red));
  EXPECT_FALSE(model->headerData(1, Qt::Vertical, Qt::BackgroundRole).isValid());
  grid.SetCellBackColor(corner);
  EXPECT_FALSE(model->headerData(2, Qt::Vertical, Qt::BackgroundRole).isValid());

  Select(grid, 2, 2, 2, 2);
  grid.SetCellBackColor(Qt::green);
  EXPECT_EQ(model->data(model->index(1, 1), Qt::BackgroundRole).value<QBrush>().color(),
            QColor(Qt::green));
}

TEST_F(ShownGrid, LeftPressMakesTheCellCurrent) {
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(3, 2));
  EXPECT_EQ(Selection(grid), (std::vector<int>{3, 2, 3, 2}));
  EXPECT_EQ(grid.events, (std::vector<std::string>{"leave 1,1", "enter 3,2"}));
  EXPECT_EQ(grid.MouseRow(), 3);
  EXPECT_EQ(grid.MouseCol(), 2);

  grid.events.clear();
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(3, 2));
  EXPECT_TRUE(grid.events.empty());

  QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, CellPoint(2, 1));
  QTest::mouseMove(grid.viewport(), CellPoint(5, 4));
  QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellPoint(5, 4));
  EXPECT_EQ(Selection(grid), (std::vector<int>{2, 1, 5, 4}));

  grid.events.clear();
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellPoint(4, 3));
  ASSERT_FALSE(grid.events.empty());
  EXPECT_EQ(grid.events.back(), "dbl 4,3");

  grid.events.clear();
  QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, CellPoint(2, 5));
  EXPECT_EQ(grid.events, (std::vector<std::string>{"right 2,5"}));
  EXPECT_EQ(grid.Row(), 4);
}

TEST_F(ShownGrid, PressOnTheFixedCellsSelectsAColumnOrARow) {
  const int lastRow = grid.Rows() - 1, lastCol = grid.Cols() - 1;
  QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, CaptionPoint(3));
  EXPECT_EQ(Selection(grid), (std::vector<int>{1, 3, lastRow, 3}));
  EXPECT_EQ(grid.MouseRow(), 0);
  EXPECT_EQ(grid.MouseCol(), 3);

  grid.events.clear();
  QTest::mouseClick(grid.verticalHeader()->viewport(), Qt::LeftButton, {}, NumberPoint(4));
  EXPECT_EQ(Selection(grid), (std::vector<int>{4, 1, 4, lastCol}));
  EXPECT_EQ(grid.MouseRow(), 4);
  EXPECT_EQ(grid.MouseCol(), 0);
  EXPECT_EQ(grid.events, (std::vector<std::string>{"leave 1,3", "enter 4,1"}));

  // Beyond the last column, below the captions.
  const QPoint outside(grid.viewport()->width() - 2, CellPoint(2, 1).y());
  grid.SetColWidth(1, 10);
  QTest::mouseMove(grid.viewport(), outside);
  EXPECT_EQ(grid.MouseRow(), 2);
  EXPECT_EQ(grid.MouseCol(), -1);
}

TEST_F(ShownGrid, DraggingACaptionBorderResizesTheColumn) {
  QWidget* captions = grid.horizontalHeader()->viewport();
  const QPoint border(grid.horizontalHeader()->sectionViewportPosition(1) - 1, CaptionPoint(1).y());
  QTest::mousePress(captions, Qt::LeftButton, {}, border);
  QTest::mouseMove(captions, border + QPoint(30, 0));
  QTest::mouseRelease(captions, Qt::LeftButton, {}, border + QPoint(30, 0));
  EXPECT_EQ(grid.ColWidth(1), 64 + 30);
  EXPECT_EQ(Selection(grid), (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(ShownGrid, KeysGoToTheHooksAndNeverMoveTheCell) {
  grid.SetTopRow(10);
  Select(grid, 12, 2, 12, 2);
  const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
      {Qt::Key_Down, {}},     {Qt::Key_Right, {}},
      {Qt::Key_PageDown, {}}, {Qt::Key_End, Qt::ControlModifier},
      {Qt::Key_Tab, {}},      {Qt::Key_Backtab, Qt::ShiftModifier},
      {Qt::Key_A, {}},        {Qt::Key_A, Qt::ControlModifier},
      {Qt::Key_Return, {}},   {Qt::Key_Escape, {}}};
  for (const auto& [key, modifiers] : keys) QTest::keyClick(&grid, key, modifiers);
  EXPECT_EQ(Selection(grid), (std::vector<int>{12, 2, 12, 2}));
  EXPECT_EQ(grid.TopRow(), 10);
  std::vector<int> expected;
  for (const auto& entry : keys) expected.push_back(entry.first);
  EXPECT_EQ(grid.keysDown, expected);
  EXPECT_EQ(grid.typed, (std::vector<int>{'a', 13}));
}

TEST(FlexGrid, TabStaysInTheGrid) {
  WidgetApp();
  QWidget window;
  auto* grid = new RecordingGrid;
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(grid);
  layout->addWidget(new QLineEdit);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Tab);
  QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), grid);
  EXPECT_EQ(grid->keysDown, (std::vector<int>{Qt::Key_Tab, Qt::Key_Backtab}));
}

TEST_F(ShownGrid, CellRectangleMatchesWhatIsDrawn) {
  Select(grid, 0, 0, 0, 0);
  EXPECT_EQ(grid.CellLeft(), 0);
  EXPECT_EQ(grid.CellTop(), 0);
  EXPECT_EQ(grid.CellWidth(), grid.verticalHeader()->width());
  EXPECT_EQ(grid.CellHeight(), grid.horizontalHeader()->height());
  grid.SetColWidth(2, 90);
  grid.SetTopRow(5);
  Select(grid, 7, 2, 7, 2);
  // Qt's rectangle leaves out the grid line on the right and at the bottom.
  const QRect drawn = grid.visualRect(grid.model()->index(6, 1))
                          .translated(grid.viewport()->pos())
                          .adjusted(0, 0, 1, 1);
  EXPECT_EQ(QRect(grid.CellLeft(), grid.CellTop(), grid.CellWidth(), grid.CellHeight()), drawn);
  EXPECT_TRUE(grid.ColIsVisible(2));
  EXPECT_FALSE(grid.ColIsVisible(grid.Cols() - 1));  // 50 + 64 + 90 + 3 × 64 > 400
  grid.SetLeftCol(2);
  EXPECT_FALSE(grid.ColIsVisible(1));
}

TEST_F(ShownGrid, WheelScrollsThreeRowsAndReportsTheScroll) {
  QWheelEvent wheel(QPointF(CellPoint(2, 2)), grid.viewport()->mapToGlobal(CellPoint(2, 2)),
                    QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QCoreApplication::sendEvent(grid.viewport(), &wheel);
  EXPECT_EQ(grid.TopRow(), 4);
  EXPECT_GT(grid.scrolls, 0);
  EXPECT_EQ(grid.Row(), 1);
}

}  // namespace
