// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <QColor>
#include <QString>
#include <QTableView>
#include <vector>

#include "list/cell_store.h"

class GridModel;
class GridHeader;
class GridCorner;

// Cell alignments the list uses.
constexpr int kAlignLeftTop = 0;
constexpr int kAlignCentre = 4;

// The list's grid: a matrix of text cells whose row 0 (captions) and column 0 (row
// numbers) are fixed. Its cells are the only store of the list. Coordinates count from 0
// with the fixed row and column included; lengths are pixels.
//
// The grid moves its current cell only through these operations and its own mouse
// selection; keys are handed to KeyDown and KeyPress, which the editing grid implements.
class FlexGrid : public QTableView {
 public:
  explicit FlexGrid(QWidget* parent = nullptr);
  ~FlexGrid() override;

  int Rows() const;
  void SetRows(int rows);
  int Cols() const;
  void SetCols(int cols);

  // Setting Row or Col collapses the selection onto the current cell, so callers set Row
  // and Col first and RowSel and ColSel after. Values outside the grid are ignored.
  int Row() const { return row_; }
  void SetRow(int row);
  int Col() const { return col_; }
  void SetCol(int col);
  int RowSel() const { return rowSel_; }
  void SetRowSel(int row);
  int ColSel() const { return colSel_; }
  void SetColSel(int col);

  // First scrollable row and column in view; a value beyond what can scroll is clamped.
  int TopRow() const;
  void SetTopRow(int row);
  int LeftCol() const;
  void SetLeftCol(int col);

  QString Text() const;
  void SetText(const QString& text);
  QString TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);
  // The text without a copy, for passes over many cells; valid until the next change.
  QAnyStringView TextView(int row, int col) const;
  // Moves a whole row's cells in one step (columns 0 .. Cols-1, missing texts leave the
  // cell empty); faster than cell by cell.
  void SetRowTexts(int row, QStringList texts);

  // Takes over every cell below the captions and right of the row numbers from what a
  // reader produced (see GridModel::Adopt); the grid takes the matrix's shape.
  void AdoptCells(CellMatrix&& matrix);
  // Whether any text of the row right of its number was written since ForgetEdits or
  // AdoptCells.
  bool RowEdited(int row) const;
  void ForgetEdits();
  // A row's cells, Cols() of them from column 0, and their texts' store: the fastest way
  // through every text of the list. Valid until the next change.
  const TextStore::Cell* RowCells(int row) const;
  const TextStore& CellTexts() const;
  // Changes with every edit, insert, removal, sort or load of the texts (not the numbers).
  uint64_t TextRevision() const;

  // Column 0 of every row below the captions reads the row's index and takes the corner
  // cell's colour; the same as setting each of those cells, in one step.
  void NumberRows();

  // False holds back every repaint; true repaints once.
  bool Redraw() const { return redraw_; }
  void SetRedraw(bool on);

  // Cell under the pointer at the last mouse event (-1 outside the cells).
  int MouseRow() const { return mouseRow_; }
  int MouseCol() const { return mouseCol_; }

  // The current cell's rectangle, in the grid widget's coordinates: (0, 0) is the top-left
  // corner of cell (0, 0).
  int CellLeft() const;
  int CellTop() const;
  int CellWidth() const;
  int CellHeight() const;
  QString CellFontName() const;
  double CellFontSize() const;  // points

  QColor CellBackColor() const;
  void SetCellBackColor(const QColor& colour);
  int CellAlignment() const;
  void SetCellAlignment(int alignment);

  int ColWidth(int col) const;
  void SetColWidth(int col, int pixels);
  int RowHeight(int row) const;
  bool ColIsVisible(int col) const;

  // Sorts rows Row..RowSel (every scrollable row when they are equal) ascending by the
  // columns Col..ColSel from left to right, keeping the order of equal rows. Empty cells
  // come first, then numbers by value, then other texts without regard to case (with case
  // as the last resort). Whole rows move, column 0 included; the current cell stays.
  void Sort();
  // Inserts a row at index (1 .. Rows); text holds its cells from column 0, separated by
  // tabs. Other indexes do nothing.
  void AddItem(const QString& text, int index);
  // Removes row index (1 .. Rows-1); the current cell and corner are kept inside the grid.
  void RemoveItem(int index);
  // Empties every cell, captions and row numbers included; colours and alignments stay.
  void Clear();
  // Repaints, unless Redraw is false.
  void Refresh();

 protected:
  // Events of the grid, for the editing grid to act on. The plain grid does nothing but
  // scroll 3 rows a wheel notch. EnterCell and LeaveCell come from mouse presses only; the
  // operations above move the current cell without events. KeyDown gets every key press,
  // Shift, Ctrl and Alt on their own included.
  virtual void KeyDown(QKeyEvent* event);
  virtual void KeyPress(int ch);
  virtual void DblClick();
  virtual void EnterCell();
  virtual void LeaveCell();
  virtual void Scroll();
  // delta: the wheel's angle in eighths of a degree, positive away from the user.
  virtual void WheelTurned(int delta);
  // point: in the grid widget's coordinates; MouseRow/MouseCol tell the cell.
  virtual void RightButtonDown(const QPoint& point);
  // The current cell or the selection's corner moved, by an operation or the mouse; once
  // per change, so often during a batch.
  virtual void SelectionChanged();

  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  // Tab stays in the grid: it is a key of the grid, not a move to the next widget.
  bool focusNextPrevChild(bool next) override;
  void updateGeometries() override;
  void changeEvent(QEvent* event) override;

 private:
  friend class GridHeader;
  friend class GridCorner;
  enum class Drag { kNone, kCells, kColumns, kRows };

  // Mouse events from the cells, the headers and the corner, in grid widget coordinates.
  void MousePress(QMouseEvent* event, QPoint point);
  void MouseMove(QMouseEvent* event, QPoint point);
  void MouseRelease(QPoint point);
  void MouseDoubleClick(QMouseEvent* event, QPoint point);
  void TrackMouse(QPoint point);
  // The row or column under a coordinate: 0 for the headers, -1 outside; unbounded gives
  // the row or column the coordinate would fall on if the cells went on past the view.
  int RowAtY(int y, bool unbounded = false) const;
  int ColAtX(int x, bool unbounded = false) const;
  // Where a row or column starts, in the grid widget's coordinates, as the view draws it.
  int ColX(int col) const;
  int RowY(int row) const;
  // Makes (row, col) current with the corner at (rowSel, colSel), with LeaveCell before and
  // EnterCell after when the current cell changes.
  void MoveByMouse(int row, int col, int rowSel, int colSel);
  void SetSelection(int row, int col, int rowSel, int colSel);
  // Keeps the current cell and corner inside the grid after it shrank.
  void ClampSelection();

  void SyncLayout() const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  // Before the row or column count changes while drawing is off, the view keeps the old
  // shape until Redraw is true; the scroll position is kept here meanwhile.
  void BeforeShapeChange();
  void ApplyColumnWidths();
  void ApplyFontMetrics();
  QColor DefaultBackColor(int row, int col) const;

  GridModel* model_ = nullptr;
  GridHeader* hHeader_ = nullptr;
  GridHeader* vHeader_ = nullptr;
  GridCorner* corner_ = nullptr;
  std::vector<int> colWidths_;  // by grid column; column 0's is the vertical header's
  int rowHeight_ = 0;
  int pendingTop_ = 1, pendingLeft_ = 1;
  int row_ = 0, col_ = 0, rowSel_ = 0, colSel_ = 0;
  int mouseRow_ = -1, mouseCol_ = -1;
  Drag drag_ = Drag::kNone;
  int wheelRest_ = 0;  // eighths of a degree not yet turned into rows
  bool redraw_ = true;
};

// Holds back repaints for a batch of cell changes and repaints once at its end (unless an
// outer batch is still running).
class RedrawOff {
 public:
  explicit RedrawOff(FlexGrid& grid) : grid_(grid), was_(grid.Redraw()) { grid_.SetRedraw(false); }
  ~RedrawOff() { grid_.SetRedraw(was_); }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  FlexGrid& grid_;
  bool was_;
};
