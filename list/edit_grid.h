// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "list/flex_grid.h"

class CEditWnd;
class CEditListBox;
class GridOwner;

enum class MoveDirection { kUp, kDown, kLeft, kRight };

// The list's grid with the program's key map, in-place editors over the current cell and
// the block and line operations the editing commands share with the keys.
class CEditGrid : public FlexGrid {
 public:
  explicit CEditGrid(GridOwner& owner, QWidget* parent = nullptr);
  ~CEditGrid() override;

  // Data rows that fit whole below the caption row; 0 when not even one does.
  int VisibleRows() const;
  bool IsRowVisible(int row) const;
  // Steps TopRow towards row until it is visible or TopRow can move no further.
  void ScrollToRow(int row, bool down);
  // Makes (Row, Col) the top-left corner of the selection.
  void NormalizeSelection();
  // The texts of columns 0 .. Cols-1.
  QStringList ReadRowCells(int row) const;
  // Writes cells[1 ..] into columns 1 and on; column 0 keeps the row number.
  void WriteRowCells(int row, const QStringList& cells);
  void SwapCells(int row1, int col1, int row2, int col2);
  void MoveBlock(MoveDirection direction);
  // Moves the selected lines one line up or down, whole; kLeft and kRight do nothing.
  void MoveLines(MoveDirection direction);
  void ClearCells();
  void ClearLine();
  // Copies the current line's selected cells into the other selected lines.
  void UniformCells();
  // Opens the editor over the current cell; ch is the typed character, kCharEnter for Enter.
  void BeginEdit(int ch);
  // Takes the shown editor's value into the cell it was opened on.
  void CommitEdit();
  // Hides an open editor without taking its text.
  void CancelEdit();

  // True while the edit box is shown.
  bool isEditing() const;
  CEditWnd* editBox() const { return editBox_; }
  CEditListBox* listBox() const { return listBox_; }

  // The view forwards the keys and wheel turns that reach it here. KeyDown takes Alt
  // combinations too: Alt+Up and Alt+Down move lines, any other does nothing. KeyPress
  // takes a typed character (kCharEnter for Enter).
  void KeyDown(QKeyEvent* event) override;
  void KeyPress(int ch) override;
  void WheelTurned(int delta) override;

 protected:
  void DblClick() override;
  void EnterCell() override;
  void LeaveCell() override;
  void Scroll() override;
  void RightButtonDown(const QPoint& point) override;
  void SelectionChanged() override;

  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void HandleKey(const QKeyEvent* event);
  void HandleAltKey(int key);
  // One cell in a direction; returns whether it moved. extend moves the selection corner
  // instead of the current cell.
  bool Step(MoveDirection direction, bool extend);
  void NextCell();
  void PreviousCell();
  void PageUp(bool extend);
  void PageDown(bool extend);
  void ShowColumn(int col);
  void Select(int top, int left, int bottom, int right);
  void OpenListBox(const QRect& cell);

  GridOwner& owner_;
  CEditWnd* editBox_ = nullptr;
  CEditListBox* listBox_ = nullptr;
  int editRow_ = 0, editCol_ = 0;  // the cell the shown editor belongs to
  bool committing_ = false;
};
