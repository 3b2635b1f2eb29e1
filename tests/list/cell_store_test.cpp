// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/cell_store.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <tuple>
#include <type_traits>
#include <vector>

#include "list/grid_model.h"
#include "list/memory_block.h"
#include "tests/list/print_qt.h"

namespace {

using Cell = TextStore::Cell;

// Characters that change from one position to the next, so a text read from the wrong
// place in its block shows.
QString Varied(int length, char16_t base, int span) {
  QString text(length, Qt::Uninitialized);
  for (int i = 0; i < length; ++i) text[i] = QChar(char16_t(base + (i * 7) % span));
  return text;
}

bool IsLatin1(QAnyStringView text) {
  return text.visit([](auto view) { return std::is_same_v<decltype(view), QLatin1StringView>; });
}

// Long texts are compared with EXPECT_TRUE: a failure should not print 200,000 characters.
TEST(TextStoreTest, EveryTextReadsBackFromTheBlockItsCharactersFit) {
  const struct {
    const char* name;
    QString text;
    bool wide;
  } cases[] = {
      {"empty", QString(), false},
      {"ASCII", "14230.000", false},
      {"a single 0xFF", QString(QChar(0xFF)), false},
      {"Latin-1 accents", QString("Ñandú été"), false},
      {"euro sign", QString("5 €"), true},
      {"CJK", QString("中波台"), true},
      {"surrogate pair", QString::fromUcs4(U"AM \U0001F4FB"), true},
      {"200,000 Latin-1 characters", Varied(200000, 0x20, 0xE0), false},
      {"200,000 UTF-16 characters", Varied(200000, 0x400, 0x100), true},
      {"Latin-1 but the last", Varied(70000, 0x20, 0xE0) + QString("€"), true},
  };
  // All in one store: each text must come back from its own place among the others.
  TextStore store;
  std::vector<Cell> cells(std::size(cases));
  size_t narrow = 0, wide = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    store.Set(cells[i], cases[i].text);
    (cases[i].wide ? wide : narrow) += size_t(cases[i].text.size());
  }
  for (size_t i = 0; i < cells.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const QString& text = cases[i].text;
    EXPECT_EQ(cells[i].wide(), cases[i].wide);
    EXPECT_EQ(cells[i].length(), uint32_t(text.size()));
    const QAnyStringView view = store.View(cells[i]);
    EXPECT_EQ(IsLatin1(view), !cases[i].wide);
    EXPECT_TRUE(QAnyStringView::equal(view, text));
    EXPECT_TRUE(store.Text(cells[i]) == text);
  }
  EXPECT_EQ(store.narrow().size(), narrow);
  EXPECT_EQ(store.wide().size(), wide);
}

TEST(TextStoreTest, RewriteStaysInPlaceOnlyWhenTheNewTextFitsThere) {
  const struct {
    const char* name;
    QString before, after;
    bool inPlace;
  } cases[] = {
      {"shorter", "14230.000", "9.5", true},
      {"as long", "abcd", "wxyz", true},
      {"shorter UTF-16", QString("€€€€"), QString("中"), true},
      {"longer", "9.5", "14230.000", false},
      {"UTF-16 over longer Latin-1", "14230.000", QString("€"), false},
      {"Latin-1 over longer UTF-16", QString("€€€€"), "ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TextStore store;
    Cell cell, next;
    // A neighbour right behind the cell in its block catches a write past the old text.
    const QString neighbour = FitsLatin1(c.before) ? QString("neighbour") : QString("сосед");
    store.Set(cell, c.before);
    store.Set(next, neighbour);
    const Cell old = cell;
    const size_t narrow = store.narrow().size(), wide = store.wide().size();
    store.Set(cell, c.after);
    EXPECT_EQ(store.Text(cell), c.after);
    EXPECT_EQ(store.Text(next), neighbour);
    if (c.inPlace) {
      EXPECT_EQ(cell.at, old.at);
      EXPECT_EQ(store.narrow().size(), narrow);
      EXPECT_EQ(store.wide().size(), wide);
    } else {
      const bool toWide = !FitsLatin1(c.after);
      EXPECT_EQ(cell.at, toWide ? wide : narrow) << "appended";
      EXPECT_EQ(store.narrow().size(), narrow + (toWide ? 0 : size_t(c.after.size())));
      EXPECT_EQ(store.wide().size(), wide + (toWide ? size_t(c.after.size()) : 0));
    }
  }
}

// Rewriting the same cells with ever longer texts leaves most of the block as waste.
TEST(TextStoreTest, CompactionKeepsEveryCellsLatestTextAndShrinksTheBlock) {
  for (const bool wideTexts : {false, true}) {
    SCOPED_TRACE(wideTexts ? "UTF-16 texts" : "Latin-1 texts");
    const QChar fill = wideTexts ? QChar(0x416) : QChar('x');
    auto textOf = [&](int cell, int round) {
      return QString("cell %1 round %2 ").arg(cell).arg(round) + QString(2000 + round, fill);
    };
    constexpr int kRewritten = 60, kRounds = 20;
    TextStore store;
    auto rewritten = [&] { return wideTexts ? store.wide().size() : store.narrow().size(); };
    auto untouched = [&] { return wideTexts ? store.narrow().size() : store.wide().size(); };
    CellVector cells(kRewritten + 3);
    // Cells of the other width and empty cells ride along.
    const QString other = wideTexts ? QString("USB") : QString("€ 中");
    store.Set(cells[kRewritten], other);
    store.Set(cells[kRewritten + 2], QLatin1StringView("released"));
    for (int round = 0; round < kRounds; ++round) {
      for (int i = 0; i < kRewritten; ++i) store.Set(cells[size_t(i)], textOf(i, round));
      if (round == 2) {
        // Two thirds waste, but a block this small is not worth copying.
        const size_t before = rewritten();
        store.CompactIfWasteful(cells);
        EXPECT_EQ(rewritten(), before);
      }
    }
    store.Release(cells[kRewritten + 2]);
    const size_t otherSize = untouched();
    ASSERT_GT(rewritten(), size_t(1) << 20);
    const size_t bytes = store.Bytes();

    store.CompactIfWasteful(cells);
    size_t live = 0;
    for (int i = 0; i < kRewritten; ++i) {
      EXPECT_TRUE(store.Text(cells[size_t(i)]) == textOf(i, kRounds - 1)) << "cell " << i;
      live += size_t(textOf(i, kRounds - 1).size());
    }
    EXPECT_EQ(store.Text(cells[kRewritten]), other);
    EXPECT_TRUE(store.View(cells[kRewritten + 1]).isEmpty());
    EXPECT_TRUE(store.View(cells[kRewritten + 2]).isEmpty()) << "released";
    EXPECT_EQ(cells[kRewritten + 2].length(), 0u);
    EXPECT_EQ(rewritten(), live);
    EXPECT_EQ(untouched(), otherSize);
    EXPECT_LT(store.Bytes(), bytes / 4);
  }
}

// Size, first character and whether it came as Latin-1, as a generic lambda sees a view.
auto Probe(QAnyStringView text) {
  return VisitCell(text, [](auto view) {
    return std::tuple(view.size(), char16_t(view.at(0).unicode()),
                      std::is_same_v<decltype(view), QLatin1StringView>);
  });
}

// Every kind of view goes in as its characters, and the store's views come out as the kind
// of their block.
TEST(TextStoreTest, EveryKindOfViewIsStoredAndVisitedAsItsCharacters) {
  const struct {
    const char* name;
    QAnyStringView text;
    QString chars;
    bool wide;
  } cases[] = {
      {"UTF-8 that fits Latin-1", QUtf8StringView(u8"Ñandú"), QString("Ñandú"), false},
      {"UTF-8 beyond Latin-1", QUtf8StringView(u8"€ 中"), QString("€ 中"), true},
      {"UTF-8 surrogate pair", QUtf8StringView(u8"\U0001F4FB"), QString("\U0001F4FB"), true},
      {"Latin-1", QLatin1StringView("\xFFyz"), QString("ÿyz"), false},
      {"UTF-16", QStringView(u"€x"), QString("€x"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TextStore store;
    Cell cell;
    store.Set(cell, c.text);
    EXPECT_EQ(store.Text(cell), c.chars);
    EXPECT_EQ(cell.wide(), c.wide);
    const qsizetype size = c.chars.size();
    const char16_t first = c.chars.at(0).unicode();
    EXPECT_EQ(Probe(c.text), std::tuple(size, first, IsLatin1(c.text)));
    EXPECT_EQ(Probe(store.View(cell)), std::tuple(size, first, !c.wide));
  }
}

unsigned char PatternByte(size_t i) { return static_cast<unsigned char>(i * 131 + (i >> 16)); }

// Blocks are resized the way a text block does it: asking for a size, then using and
// handing back all that BlockCapacity grants.
TEST(MemoryBlockTest, ResizingAcrossTheLargeThresholdKeepsTheLeadingBytes) {
  constexpr size_t kKiB = 1024, kMiB = 1024 * kKiB;
  const size_t steps[] = {100 * kKiB, 5 * kMiB, 5 * kMiB + 512 * kKiB, 9 * kMiB, kMiB,
                          200 * kKiB, 3 * kMiB};
  void* block = nullptr;
  size_t bytes = 0;
  for (const size_t request : steps) {
    SCOPED_TRACE(testing::Message() << bytes << " bytes to " << request);
    const size_t capacity = BlockCapacity(request);
    EXPECT_GE(capacity, request);
    void* resized =
        block == nullptr ? AllocateBlock(capacity) : ReallocateBlock(block, bytes, capacity);
    ASSERT_NE(resized, nullptr);
    const auto* kept = static_cast<const unsigned char*>(resized);
    size_t wrong = 0;
    for (size_t i = 0; i < std::min(bytes, capacity); ++i) wrong += kept[i] != PatternByte(i);
    EXPECT_EQ(wrong, 0u);
    auto* out = static_cast<unsigned char*>(resized);
    for (size_t i = 0; i < capacity; ++i) out[i] = PatternByte(i);
    block = resized;
    bytes = capacity;
  }
  FreeBlock(block, bytes);
}

TEST(MemoryBlockTest, CellVectorGrowsPastTheLargeThresholdAndShrinksKeepingItsCells) {
  CellVector cells;
  constexpr uint32_t kCells = 400000;  // 3.2 MB
  for (uint32_t i = 0; i < kCells; ++i) cells.push_back(Cell{i, i ^ 0x5A5Au});
  cells.resize(1000);
  cells.shrink_to_fit();
  cells.push_back(Cell{7, 7});
  size_t wrong = 0;
  for (uint32_t i = 0; i < 1000; ++i) wrong += cells[i].at != i || cells[i].size != (i ^ 0x5A5Au);
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(cells.back().at, 7u);
}

// A grid of rows × cols: captions "c<col>", row numbers, and "r<row>.<col>" in the other
// cells, so column 1 names the row it started as. No row counts as edited.
void Fill(GridModel& grid, int rows, int cols) {
  grid.Resize(rows, cols);
  for (int col = 1; col < cols; ++col) grid.SetText(0, col, "c" + QString::number(col));
  for (int row = 1; row < rows; ++row) {
    grid.SetText(row, 0, QString::number(row));
    for (int col = 1; col < cols; ++col)
      grid.SetText(row, col, QString("r%1.%2").arg(row).arg(col));
  }
  grid.ForgetEdits();
}

std::vector<int> EditedRows(const GridModel& grid) {
  std::vector<int> rows;
  for (int row = 0; row < grid.Rows(); ++row)
    if (grid.RowEdited(row)) rows.push_back(row);
  return rows;
}

// Rows 1.. by the row they started as (column 1 reads "r7.1" for 7), each with a '*' when
// it counts as edited: "4* 2 3".
QString Marks(const GridModel& grid) {
  QStringList rows;
  for (int row = 1; row < grid.Rows(); ++row)
    rows << grid.Text(row, 1).mid(1).section('.', 0, 0) + (grid.RowEdited(row) ? "*" : "");
  return rows.join(' ');
}

TEST(GridModelEditsTest, OnlyTextsBeyondTheNumbersMarkTheirRows) {
  const std::vector<int> all{0, 1, 2, 3, 4, 5};
  const struct {
    const char* name;
    std::function<void(GridModel&)> change;
    std::vector<int> edited;
  } cases[] = {
      {"a data cell", [](GridModel& g) { g.SetText(3, 2, "x"); }, {3}},
      {"a row number", [](GridModel& g) { g.SetText(3, 0, "99"); }, {}},
      {"renumbering",
       [](GridModel& g) {
         g.SetText(2, 0, "7");
         g.NumberRows(QColor());
       },
       {}},
      {"renumbering in a colour", [](GridModel& g) { g.NumberRows(Qt::yellow); }, {}},
      {"a whole row", [](GridModel& g) { g.SetRowTexts(2, QString("2,a,b").split(',')); }, {2}},
      {"an inserted row", [](GridModel& g) { g.InsertRow(3, QString(",new").split(',')); }, {3}},
      {"clearing every text", [](GridModel& g) { g.ClearTexts(); }, all},
      {"a column more", [](GridModel& g) { g.Resize(6, 5); }, all},
      {"a column fewer", [](GridModel& g) { g.Resize(6, 3); }, all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GridModel grid;
    Fill(grid, 6, 4);
    c.change(grid);
    EXPECT_EQ(EditedRows(grid), c.edited);
  }
}

TEST(GridModelEditsTest, SortedRowsTakeTheirMarksWithThem) {
  const struct {
    int first, last;
    const char* marks;
  } cases[] = {{1, 6, "4 6* 2* 5* 1 3"}, {2, 5, "1 4 2* 5* 3 6*"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "rows " << c.first << " to " << c.last);
    GridModel grid;
    Fill(grid, 7, 3);
    const char* keys[] = {"", "5", "3", "6", "1", "4", "2"};
    for (int row = 1; row < 7; ++row) grid.SetText(row, 2, keys[row]);
    grid.ForgetEdits();
    for (int row : {2, 5, 6}) grid.SetText(row, 2, keys[row]);
    grid.SortRows(c.first, c.last, 2, 2);
    EXPECT_EQ(Marks(grid), c.marks);
  }
}

// Removed rows first become a gap in the store; marks must be read past it, follow writes
// made while it is there, and be dropped with it.
TEST(GridModelEditsTest, RemovedRowsTakeTheirMarksWithThem) {
  const struct {
    const char* name;
    std::vector<int> removals;
    const char* marks;  // after the removals and a write to the last row but one
  } cases[] = {
      {"the same place three times", {4, 4, 4}, "1* 2 3 7* 8 9* 10*"},
      {"upwards, each above the last", {6, 5, 4}, "1* 2 3 7* 8 9* 10*"},
      {"apart", {2, 7}, "1* 3 4* 5* 6 7* 9* 10*"},
      {"apart, then at the same place", {8, 3, 3}, "1* 2 5* 6 7* 9* 10*"},
      {"the last row, then the first", {10, 1}, "2 3 4* 5* 6 7* 8* 9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GridModel grid;
    Fill(grid, 11, 3);
    for (int row : {1, 4, 5, 7, 10}) grid.SetText(row, 2, "edited");
    for (int row : c.removals) grid.RemoveRow(row);
    grid.SetText(grid.Rows() - 2, 2, "edited");
    EXPECT_EQ(Marks(grid), c.marks);
    grid.Resize(grid.Rows(), grid.Cols());
    EXPECT_EQ(Marks(grid), c.marks) << "after closing the gap";
  }
}

// One cell holds a text beyond Latin-1, so both of the matrix's blocks are in use.
QString MatrixText(int row, int col) {
  return QString(row == 2 && col == 1 ? "新%1.%2" : "new%1.%2").arg(row).arg(col);
}

// Rows of a grid as its texts joined by '|'.
QStringList Texts(const GridModel& grid) {
  QStringList rows;
  for (int row = 0; row < grid.Rows(); ++row) {
    QStringList texts;
    for (int col = 0; col < grid.Cols(); ++col) texts << grid.Text(row, col);
    rows << texts.join('|');
  }
  return rows;
}

CellMatrix Matrix(int rows, int cols) {
  CellMatrix matrix;
  matrix.rows = rows;
  matrix.cols = cols;
  matrix.cells.resize(size_t(rows) * size_t(cols));
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < cols; ++col)
      matrix.text.Set(matrix.cells[size_t(row) * size_t(cols) + size_t(col)], MatrixText(row, col));
  return matrix;
}

TEST(GridModelAdoptTest, SameShapeKeepsCaptionsNumbersColoursAndAlignments) {
  GridModel grid;
  Fill(grid, 5, 3);
  grid.SetText(0, 0, "#");
  grid.SetText(0, 2, QString("Station €"));
  // A gap left by a removal must be closed before the old numbers are read.
  grid.RemoveRow(2);
  grid.SetBackColor(2, 1, Qt::red);
  grid.SetBackColor(3, 0, Qt::green);
  grid.SetAlignment(1, 2, 4);
  grid.SetAlignment(0, 1, 2);
  grid.Adopt(Matrix(4, 3));

  EXPECT_EQ(Texts(grid), QStringList({"#|c1|Station €", "1|new1.1|new1.2", "3|新2.1|new2.2",
                                      "4|new3.1|new3.2"}));
  EXPECT_EQ(grid.BackColor(2, 1), QColor(Qt::red));
  EXPECT_EQ(grid.BackColor(3, 0), QColor(Qt::green));
  EXPECT_EQ(grid.Alignment(1, 2), 4);
  EXPECT_EQ(grid.Alignment(0, 1), 2);
  EXPECT_EQ(EditedRows(grid), std::vector<int>{});
}

TEST(GridModelAdoptTest, AnotherShapeTakesTheMatrixWhole) {
  GridModel grid;
  Fill(grid, 4, 3);
  grid.SetAlignment(1, 2, 4);
  grid.SetText(1, 1, "edited");
  grid.Adopt(Matrix(6, 5));

  ASSERT_EQ(grid.Rows(), 6);
  ASSERT_EQ(grid.Cols(), 5);
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 5; ++col) {
      EXPECT_EQ(grid.Text(row, col), MatrixText(row, col));
      EXPECT_EQ(grid.Alignment(row, col), GridModel::kAlignGeneral);
    }
  EXPECT_EQ(EditedRows(grid), std::vector<int>{});
  grid.SetText(5, 4, "x");
  EXPECT_EQ(EditedRows(grid), std::vector<int>{5});
}

// A list read from a file holds Latin-1 cells; sorting must parse and fold them as it
// does texts typed into the grid.
TEST(GridModelSortTest, LoadedLatin1CellsSortNumbersByValueAndTextsIgnoringCase) {
  const struct {
    const char* name;
    std::vector<const char*> column, sorted;
  } cases[] = {
      {"numbers",
       {"14230.000", "10", "9.5", "100", "-2", " 3 "},
       {"-2", " 3 ", "9.5", "10", "100", "14230.000"}},
      {"texts", {"b", "B", "a", "A"}, {"A", "a", "B", "b"}},
      {"empty, numbers, then texts", {"b", "10", "", "9.5", "A"}, {"", "9.5", "10", "A", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int rows = int(c.column.size()) + 1;
    CellMatrix matrix;
    matrix.rows = rows;
    matrix.cols = 2;
    matrix.cells.resize(size_t(rows) * 2);
    for (int row = 1; row < rows; ++row)
      matrix.text.Set(matrix.cells[size_t(row) * 2 + 1],
                      QLatin1StringView(c.column[size_t(row - 1)]));
    GridModel grid;
    grid.Adopt(std::move(matrix));
    ASSERT_TRUE(IsLatin1(grid.View(1, 1)));
    grid.SortRows(1, rows - 1, 1, 1);
    QStringList sorted, expected;
    for (int row = 1; row < rows; ++row) sorted << grid.Text(row, 1);
    for (const char* text : c.sorted) expected << text;
    EXPECT_EQ(sorted, expected);
  }
}

}  // namespace
