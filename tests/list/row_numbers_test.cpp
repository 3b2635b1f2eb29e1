// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>

#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"

namespace {

constexpr int kLines = 12;
const QColor kMark(0, 160, 0);

// Line i holds a frequency of its own, in no particular order, so a line that lands on the
// wrong row shows.
QString Frequency(int line) { return QString::number(1000 + (line * 7) % kLines) + ".000"; }

class RowNumbersTest : public ListFixture {
 protected:
  // Opens the list afresh and returns its frequencies by row (index 0 unused).
  QStringList OpenList() {
    QByteArray bytes = "Freq (kHz);Station;Mode;UTC\r\n";
    QStringList frequencies{QString()};
    for (int line = 1; line <= kLines; ++line) {
      frequencies << Frequency(line);
      bytes += Frequency(line).toLatin1() + ";s" + QByteArray::number(line) + ";AM;\r\n";
    }
    EXPECT_TRUE(OpenBytes("list.CSV", bytes));
    return frequencies;
  }

  QColor CellColour(int row, int col) {
    grid().SetRow(row);
    grid().SetCol(col);
    return grid().CellBackColor();
  }

  void SetCellColour(int row, int col, const QColor& colour) {
    grid().SetRow(row);
    grid().SetCol(col);
    grid().SetCellBackColor(colour);
  }

  void Select(int row, int rowSel) {
    grid().SetRow(row);
    grid().SetCol(1);
    grid().SetRowSel(rowSel);
  }

  // Every number cell reads its row and has the corner's colour, as the user sees it.
  void ExpectNumberedLikeTheCorner() {
    const QColor corner = CellColour(0, 0);
    for (int row = 1; row < grid().Rows(); ++row) {
      EXPECT_EQ(grid().TextMatrix(row, 0), QString::number(row)) << "row " << row;
      EXPECT_EQ(CellColour(row, 0), corner) << "row " << row;
    }
  }
};

// Marks left on number cells above, inside and below the change must all go, and the
// numbers must follow the lines wherever the change was made.
TEST_F(RowNumbersTest, InsertDeleteAndSortLeaveEveryRowNumberedInTheCornersColour) {
  enum Command { kInsert, kDelete, kSort };
  const struct {
    const char* name;
    Command command;
    int row, rowSel;
  } cases[] = {
      {"insert below the first line", kInsert, 1, 1},
      {"insert in the middle", kInsert, 6, 6},
      {"insert below the last line", kInsert, kLines, kLines},
      {"delete the first lines", kDelete, 1, 3},
      {"delete lines in the middle, selected upwards", kDelete, 9, 5},
      {"delete the last line", kDelete, kLines, kLines},
      {"sort every line", kSort, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QStringList expected = OpenList();
    for (int row : {1, 6, 8, kLines}) SetCellColour(row, 0, kMark);
    Select(c.row, c.rowSel);
    const int lo = std::min(c.row, c.rowSel), hi = std::max(c.row, c.rowSel);
    switch (c.command) {
      case kInsert:
        EXPECT_EQ(editor_->InsertLine(), c.row + 1);
        expected.insert(c.row + 1, QString());
        break;
      case kDelete:
        editor_->DeleteLines();
        expected.remove(lo, hi - lo + 1);
        break;
      case kSort:
        editor_->SortLines();
        std::sort(expected.begin() + 1, expected.end());
        break;
    }
    ASSERT_EQ(grid().Rows(), expected.size());
    for (int row = 1; row < grid().Rows(); ++row)
      EXPECT_EQ(grid().TextMatrix(row, kColFrequency), expected[row]) << "row " << row;
    ExpectNumberedLikeTheCorner();
  }
}

TEST_F(RowNumbersTest, NumbersTakeTheCornersOwnColourAndLoseItWithTheCorner) {
  OpenList();
  SetCellColour(4, 0, kMark);
  SetCellColour(0, 0, Qt::yellow);
  list_->RenumberRows();
  ExpectNumberedLikeTheCorner();
  EXPECT_EQ(CellColour(kLines, 0), QColor(Qt::yellow));

  SetCellColour(0, 0, QColor());
  list_->RenumberRows();
  ExpectNumberedLikeTheCorner();
  // No colour of their own left behind: the numbers follow the style's colour.
  for (int row = 1; row < grid().Rows(); ++row)
    EXPECT_FALSE(grid().model()->headerData(row - 1, Qt::Vertical, Qt::BackgroundRole).isValid())
        << "row " << row;
}

// The line buffer shares its texts with the grid; renumbering must not write through it.
TEST_F(RowNumbersTest, CopiedLineKeepsTheNumberItWasCopiedUnder) {
  OpenList();
  Select(5, 5);
  editor_->CopyLine();
  Select(2, 2);
  editor_->InsertLine();
  EXPECT_EQ(grid().TextMatrix(6, 0), "6");
  EXPECT_EQ(editor_->m_lineBuffer.value(0), "5");
  EXPECT_EQ(editor_->m_lineBuffer.value(kColFrequency), Frequency(5));
}

}  // namespace
