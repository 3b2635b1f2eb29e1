// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <algorithm>

#include "list/edit_grid.h"
#include "list/edit_wnd.h"
#include "list/typed_chars.h"
#include "tests/list/list_fixture.h"

namespace {

constexpr int kLines = 60;
constexpr int kLastCol = 7;
constexpr int kWidth = 70;

struct Sel {
  int row, col, rowSel, colSel;
  bool operator==(const Sel&) const = default;
};

// A shown list of 60 lines in seven columns of one width, the grid free to be sized.
class GridGeometryTest : public ListFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ListFixture::SetUp());
    QByteArray list = "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n";
    for (int line = 1; line <= kLines; ++line)
      list += QByteArray::number(1000 + line) + ";s" + QByteArray::number(line) + ";AM;;;;\r\n";
    ASSERT_TRUE(OpenBytes("sixty.CSV", list));
    ASSERT_EQ(grid().Rows(), kLines + 1);
    ASSERT_EQ(grid().Cols(), kLastCol + 1);
    for (int col = 0; col <= kLastCol; ++col) grid().SetColWidth(col, kWidth);
    widget_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget_));
  }

  void Go(int row, int col) {
    grid().SetRow(row);
    grid().SetCol(col);
  }
  Sel Selection() { return {grid().Row(), grid().Col(), grid().RowSel(), grid().ColSel()}; }
  // Clicks whichever part of the grid lies under a point in grid coordinates.
  void Click(QPoint point) {
    QWidget* target = grid().childAt(point);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&grid(), point));
  }
};

// Scrolled to its end, the view aligns the last row with the bottom edge and the last column
// with the right edge; the grid must find its cells where the view really draws them.
TEST_F(GridGeometryTest, ClicksAndEditorsMeetTheCellsAsTheyAreDrawn) {
  const int h = grid().RowHeight(1), w = kWidth;
  enum Scroll { kAtTop, kInMiddle, kAtLastRow, kAtLastCol, kAtBothEnds };
  struct Case {
    const char* name;
    Scroll scroll;
    QSize cells;  // the viewport's size
  } cases[] = {
      {"top, rows and columns fit whole", kAtTop, {3 * w, 12 * h}},
      {"last row, rows fit whole", kAtLastRow, {3 * w, 12 * h}},
      {"last column, columns fit whole", kAtLastCol, {3 * w, 12 * h}},
      {"top, last row and column cut", kAtTop, {3 * w + w / 2, 12 * h + h / 2}},
      {"middle, last row and column cut", kInMiddle, {3 * w + w / 2, 12 * h + h / 2}},
      {"last row, partly visible rows", kAtLastRow, {3 * w + w / 2, 12 * h + h / 2}},
      {"last column, partly visible columns", kAtLastCol, {3 * w + w / 3, 12 * h + h / 3}},
      {"both ends", kAtBothEnds, {3 * w + w / 2, 12 * h + h / 2}},
      {"both ends, small remainders", kAtBothEnds, {4 * w + 3, 7 * h + 2}},
  };
  QHeaderView* numbers = grid().verticalHeader();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid().CancelEdit();
    for (int i = 0; i < 5 && grid().viewport()->size() != c.cells; ++i) {
      grid().resize(grid().size() + c.cells - grid().viewport()->size());
      QCoreApplication::processEvents();
    }
    ASSERT_EQ(grid().viewport()->size(), c.cells);
    Go(1, 1);
    grid().SetTopRow(1);
    grid().SetLeftCol(1);
    if (c.scroll == kInMiddle) {
      grid().SetTopRow(25);
      grid().SetLeftCol(3);
    }
    if (c.scroll == kAtLastRow || c.scroll == kAtBothEnds)
      QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
    if (c.scroll == kAtLastCol || c.scroll == kAtBothEnds) QTest::keyClick(&grid(), Qt::Key_End);

    // The first row and column in view are the first ones drawn whole.
    const QRect view = grid().viewport()->geometry();
    auto drawn = [&](int row, int col) {
      return grid().visualRect(grid().model()->index(row - 1, col - 1)).translated(view.topLeft());
    };
    const int top = grid().TopRow(), left = grid().LeftCol();
    EXPECT_GE(drawn(top, left).top(), view.top());
    EXPECT_GE(drawn(top, left).left(), view.left());
    if (top > 1) {
      EXPECT_LT(drawn(top - 1, left).top(), view.top());
    }
    if (left > 1) {
      EXPECT_LT(drawn(top, left - 1).left(), view.left());
    }
    for (int r = top; r < top + grid().VisibleRows(); ++r)
      EXPECT_LE(drawn(r, left).bottom(), view.bottom()) << "row " << r;

    const int firstRow = grid().rowAt(0) + 1, lastRow = grid().rowAt(view.height() - 1) + 1;
    const int firstCol = grid().columnAt(0) + 1, lastCol = grid().columnAt(view.width() - 1) + 1;
    ASSERT_GT(firstRow, 0);
    ASSERT_GT(firstCol, 0);
    for (int row = firstRow; row <= lastRow; ++row) {
      for (int col = firstCol; col <= lastCol; ++col) {
        // The part of the cell in view, grid line included: its centre and its last line.
        const QRect cell = drawn(row, col).adjusted(0, 0, 1, 1);
        const QRect shown = cell & view;
        for (QPoint point : {shown.center(), QPoint(shown.center().x(), shown.bottom())}) {
          ASSERT_EQ(grid().indexAt(point - view.topLeft()),
                    grid().model()->index(row - 1, col - 1));
          Click(point);
          EXPECT_EQ(Selection(), (Sel{row, col, row, col})) << row << "," << col;
          EXPECT_EQ(grid().MouseRow(), row);
          EXPECT_EQ(grid().MouseCol(), col);
        }
        EXPECT_EQ(
            QRect(grid().CellLeft(), grid().CellTop(), grid().CellWidth(), grid().CellHeight()),
            cell)
            << row << "," << col;
        grid().BeginEdit(kCharEnter);
        const QRect box =
            col == kColMode ? grid().listBox()->geometry() : grid().editBox()->geometry();
        EXPECT_EQ(box.left(), cell.left()) << row << "," << col;
        if (col == kColMode) {
          EXPECT_TRUE(box.top() == cell.top() || box.bottom() == cell.bottom()) << row;
        } else {
          EXPECT_EQ(box, cell) << row << "," << col;
        }
        grid().CancelEdit();
      }
      // The number cell beside the row selects the whole line.
      const int y = numbers->sectionViewportPosition(row - 1) + numbers->sectionSize(row - 1) - 1;
      const QPoint number(numbers->width() / 2, std::min(y, view.height() - 1) + view.top());
      Click(number);
      EXPECT_EQ(Selection(), (Sel{row, 1, row, kLastCol})) << "number " << row;
      EXPECT_EQ(grid().MouseRow(), row);
      EXPECT_EQ(grid().MouseCol(), 0);
    }
  }
}

// A step or a line move past an edge of the view brings the view along: down by one row, up
// so that the row is on top.
TEST_F(GridGeometryTest, TheViewFollowsStepsAndMovedLinesPastItsEdges) {
  grid().SetTopRow(1);
  const int bottom = grid().VisibleRows();
  ASSERT_GT(bottom, 2);
  ASSERT_LT(bottom, kLines - 30);
  struct Case {
    const char* name;
    int top, row;
    Qt::KeyboardModifiers mods;
    Qt::Key key;
    int rowAfter, topAfter;
  } cases[] = {
      {"step down", 1, bottom, Qt::NoModifier, Qt::Key_Down, bottom + 1, 2},
      {"step up", 30, 30, Qt::NoModifier, Qt::Key_Up, 29, 29},
      {"line moved down", 1, bottom, Qt::AltModifier, Qt::Key_Down, bottom + 1, 2},
      {"line moved up", 30, 30, Qt::AltModifier, Qt::Key_Up, 29, 29},
  };
  for (const Case& c : cases) {
    grid().SetTopRow(c.top);
    Go(c.row, 2);
    QTest::keyClick(&grid(), c.key, c.mods);
    EXPECT_EQ(Selection(), (Sel{c.rowAfter, 2, c.rowAfter, 2})) << c.name;
    EXPECT_EQ(grid().TopRow(), c.topAfter) << c.name;
  }
}

}  // namespace
