// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "list/cell_store.h"

// The grid's cells: texts, alignments and the few background colours, in grid coordinates
// (row 0 the captions, column 0 the row numbers). The view sees grid rows 1.. and columns 1..
// as its items and row 0 and column 0 as its header sections.
//
// While frozen, changes only touch the store; Thaw tells the view once, with a reset when
// the shape changed and one dataChanged otherwise, so a batch of 100,000 writes costs no
// signal per write.
class GridModel : public QAbstractTableModel {
 public:
  // No alignment set: left for data cells, the header's own for captions and numbers.
  static constexpr uint8_t kAlignGeneral = 9;

  explicit GridModel(QObject* parent = nullptr);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  // Keeps the cells that still fit; new cells are empty.
  void Resize(int rows, int cols);

  QString Text(int row, int col) const;
  // The text without a copy; valid until the next change of the grid.
  QAnyStringView View(int row, int col) const;
  void SetText(int row, int col, const QString& text);
  // Columns 0 .. Cols-1 take the texts in order; missing texts leave empty cells.
  void SetRowTexts(int row, QStringList texts);
  // Inserts an empty-formatted row before index (1 .. Rows), texts filling it from column 0.
  void InsertRow(int index, const QStringList& texts);
  void RemoveRow(int index);
  void ClearTexts();
  // Column 0 of rows 1 .. Rows-1 reads each row's index and takes colour as its own (an
  // invalid colour: none). Numbers that already read right are left alone, so after a change
  // low in a long list only the rows below it are written.
  void NumberRows(const QColor& colour);
  // Stable ascending sort of rows first..last by the key columns firstKey..lastKey.
  void SortRows(int first, int last, int firstKey, int lastKey);

  // Replaces the cells with what a reader produced, in one step, and every row counts as
  // unedited. When the shape is the grid's own, the captions, the row numbers, colours and
  // alignments stay (the matrix's row 0 and column 0 are not read); otherwise the shape
  // follows the matrix and the alignments start anew.
  void Adopt(CellMatrix&& matrix);
  // Cols() cells of the row in order and the store they point into, for passes over every
  // text; valid until the next change.
  const TextStore::Cell* RowCells(int row) const { return &cells_[At(row, 0)]; }
  const TextStore& Store() const { return text_; }
  // Whether a text of the row beyond column 0 was written since the last ForgetEdits (or
  // since Adopt): a row that was not needs no second look before it is saved.
  bool RowEdited(int row) const { return row >= 0 && row < rows_ && edited_[size_t(Stored(row))]; }
  void ForgetEdits();
  // Counts every change of a text or of the shape beyond the row numbers, so a reader that
  // keeps something derived from the texts can tell that it went stale.
  uint64_t TextRevision() const { return revision_; }

  // Invalid when the cell has no colour of its own.
  QColor BackColor(int row, int col) const;
  // An invalid colour removes the cell's own colour.
  void SetBackColor(int row, int col, const QColor& colour);
  int Alignment(int row, int col) const;
  void SetAlignment(int row, int col, int alignment);

  void Freeze();
  void Thaw();
  bool Frozen() const { return frozen_; }
  // Frozen with a row or column count the view has not been told about yet.
  bool ShapePending() const { return shapeDirty_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool InRange(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
  }
  // Removed rows stay in the store as a gap until something else changes the shape, so
  // removing many rows one by one at the same place costs one compaction, not one each.
  int Stored(int row) const { return row < gapAt_ ? row : row + gapLen_; }
  size_t At(int row, int col) const { return size_t(Stored(row)) * size_t(cols_) + size_t(col); }
  void MarkEdited(int row, int col) {
    if (col > 0) edited_[size_t(Stored(row))] = 1;
  }
  void MarkAllEdited() { std::fill(edited_.begin(), edited_.end(), uint8_t(1)); }
  // Colours are keyed by stored row, so they follow the gap without being touched.
  uint64_t ColourKey(int row, int col) const { return uint64_t(Stored(row)) << 32 | uint32_t(col); }
  void Compact();
  void ResizeRows(int rows);
  void ResizeCols(int cols);
  QVariant CellData(int row, int col, int role, bool header) const;
  // Tells the view about one changed cell, or remembers it while frozen.
  void CellChanged(int row, int col);
  void RowsChanged(int first, int last);
  // Rebuilds the colour keys of stored rows; map returns the new stored row, -1 to drop.
  template <typename Map>
  void RekeyColours(Map map);

  int rows_ = 1, cols_ = 1;
  int gapAt_ = 1, gapLen_ = 0;
  // What the view was last told; differs from rows_/cols_ only while frozen.
  int shownRows_ = 1, shownCols_ = 1;
  CellVector cells_;  // row-major, (rows_ + gapLen_) * cols_
  TextStore text_;
  std::vector<uint8_t> aligns_;  // row-major, as cells_
  std::vector<uint8_t> edited_;  // by stored row
  std::unordered_map<uint64_t, QRgb> colours_;
  bool frozen_ = false, shapeDirty_ = false, dataDirty_ = false;
  uint64_t revision_ = 0;
};
