#pragma once

#include <QStringList>

#include "flex_grid.h"

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

  int VisibleRows() const;
  bool IsRowVisible(int row) const;
  void ScrollToRow(int row, bool down);
  void NormalizeSelection();
  QStringList ReadRowCells(int row) const;
  void WriteRowCells(int row, const QStringList& cells);
  void SwapCells(int row1, int col1, int row2, int col2);
  void MoveBlock(MoveDirection direction);
  void MoveLinesUp();
  void MoveLinesDown();
  void ClearCells();
  void ClearLine();
  void UniformCells();
  void BeginEdit(int ch);
  void CommitEdit();

  // True while the edit box is shown.
  bool isEditing() const;
  CEditWnd* editBox() const { return editBox_; }
  CEditListBox* listBox() const { return listBox_; }

 protected:
  void KeyDown(QKeyEvent* event) override;
  void KeyPress(int ch) override;
  void DblClick() override;
  void EnterCell() override;
  void LeaveCell() override;
  void Scroll() override;
  void WheelTurned(int delta) override;
  void RightButtonDown(const QPoint& point) override;

 private:
  GridOwner& owner_;
  CEditWnd* editBox_ = nullptr;
  CEditListBox* listBox_ = nullptr;
};
