#pragma once

#include <QColor>
#include <QString>
#include <QTableView>

class GridModel;

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
  // Only one fixed row and one fixed column exist; other values are not supported.
  void SetFixedRows(int rows);
  void SetFixedCols(int cols);

  // Setting Row or Col collapses the selection onto the current cell, so callers set Row
  // and Col first and RowSel and ColSel after.
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
  // Moves a whole row's cells in one step (columns 0 .. Cols-1); faster than cell by cell.
  void SetRowTexts(int row, QStringList texts);

  // False holds back every repaint; true repaints once.
  bool Redraw() const { return redraw_; }
  void SetRedraw(bool on);

  // Cell under the pointer at the last mouse event (-1 outside the cells).
  int MouseRow() const { return mouseRow_; }
  int MouseCol() const { return mouseCol_; }

  // The current cell's rectangle, in the grid widget's coordinates.
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
  // columns Col..ColSel from left to right; two numbers compare as numbers.
  void Sort();
  // Inserts a row at index; text holds its cells from column 0, separated by tabs.
  void AddItem(const QString& text, int index);
  void RemoveItem(int index);
  // Empties every cell, captions and row numbers included.
  void Clear();
  void Refresh();

 protected:
  // Events of the grid, for the editing grid to act on. The plain grid does nothing.
  virtual void KeyDown(QKeyEvent* event);
  virtual void KeyPress(int ch);
  virtual void DblClick();
  virtual void EnterCell();
  virtual void LeaveCell();
  virtual void Scroll();
  virtual void WheelTurned(int delta);
  virtual void RightButtonDown(const QPoint& point);

  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // Implementation is the grid's own business.
  GridModel* model_;
  int row_ = 0, col_ = 0, rowSel_ = 0, colSel_ = 0;
  int mouseRow_ = -1, mouseCol_ = -1;
  bool redraw_ = true;
};
