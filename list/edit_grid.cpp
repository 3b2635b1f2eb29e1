// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/edit_grid.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <algorithm>

#include "list/columns.h"
#include "list/edit_wnd.h"
#include "list/grid_owner.h"
#include "list/typed_chars.h"

CEditGrid::CEditGrid(GridOwner& owner, QWidget* parent) : FlexGrid(parent), owner_(owner) {
  editBox_ = new CEditWnd(this);
  listBox_ = new CEditListBox(this);
}

CEditGrid::~CEditGrid() = default;

int CEditGrid::VisibleRows() const {
  if (Rows() < 2) return 0;
  // The client area runs from inside the frame to the bottom of the cell area, whether the
  // caption row is drawn in the viewport or beside it.
  const int client = viewport()->geometry().bottom() + 1 - contentsRect().top();
  const int rowHeight = RowHeight(1);
  if (rowHeight <= 0) return 0;
  return std::max(0, (client - RowHeight(0)) / rowHeight);
}

bool CEditGrid::IsRowVisible(int row) const {
  const int top = TopRow();
  return top <= row && row <= top + VisibleRows() - 1;
}

void CEditGrid::ScrollToRow(int row, bool down) {
  while (!IsRowVisible(row)) {
    const int top = TopRow();
    SetTopRow(top + (down ? 1 : -1));
    if (TopRow() == top) return;
  }
}

void CEditGrid::Select(int top, int left, int bottom, int right) {
  SetRow(top);
  SetCol(left);
  SetRowSel(bottom);
  SetColSel(right);
}

void CEditGrid::NormalizeSelection() {
  const int row = Row(), col = Col(), rowSel = RowSel(), colSel = ColSel();
  Select(std::min(row, rowSel), std::min(col, colSel), std::max(row, rowSel),
         std::max(col, colSel));
}

QStringList CEditGrid::ReadRowCells(int row) const {
  QStringList cells;
  for (int col = 0; col < Cols(); ++col) cells.append(TextMatrix(row, col));
  return cells;
}

void CEditGrid::WriteRowCells(int row, const QStringList& cells) {
  QStringList texts = ReadRowCells(row);
  const int end = std::min<int>(Cols(), cells.size());
  for (int col = 1; col < end; ++col) texts[col] = cells[col];
  SetRowTexts(row, texts);
  owner_.SetModifiedFlag(true);
}

void CEditGrid::SwapCells(int row1, int col1, int row2, int col2) {
  const QString first = TextMatrix(row1, col1);
  SetTextMatrix(row1, col1, TextMatrix(row2, col2));
  SetTextMatrix(row2, col2, first);
  owner_.SetModifiedFlag(true);
}

void CEditGrid::ShowColumn(int col) {
  if (!ColIsVisible(col)) SetLeftCol(col);
}

void CEditGrid::MoveBlock(MoveDirection direction) {
  NormalizeSelection();
  const int top = Row(), left = Col(), bottom = RowSel(), right = ColSel();
  RedrawOff batch(*this);
  switch (direction) {
    case MoveDirection::kRight:
      if (right >= Cols() - 1) break;
      for (int r = top; r <= bottom; ++r)
        for (int k = right; k >= left; --k) SwapCells(r, k, r, k + 1);
      Select(top, left + 1, bottom, right + 1);
      ShowColumn(right + 1);
      break;
    case MoveDirection::kLeft:
      if (left < 2) break;
      for (int r = top; r <= bottom; ++r)
        for (int k = left; k <= right; ++k) SwapCells(r, k, r, k - 1);
      Select(top, left - 1, bottom, right - 1);
      ShowColumn(left - 1);
      break;
    case MoveDirection::kDown:
      if (bottom >= Rows() - 1) break;
      for (int k = left; k <= right; ++k)
        for (int r = bottom; r >= top; --r) SwapCells(r, k, r + 1, k);
      Select(top + 1, left, bottom + 1, right);
      if (!IsRowVisible(bottom + 1)) ScrollToRow(bottom + 1, true);
      break;
    case MoveDirection::kUp:
      if (top < 2) break;
      for (int k = left; k <= right; ++k)
        for (int r = top; r <= bottom; ++r) SwapCells(r, k, r - 1, k);
      Select(top - 1, left, bottom - 1, right);
      if (!IsRowVisible(top - 1)) ScrollToRow(top - 1, false);
      break;
  }
}

void CEditGrid::MoveLines(MoveDirection direction) {
  if (direction != MoveDirection::kUp && direction != MoveDirection::kDown) return;
  const int step = direction == MoveDirection::kDown ? 1 : -1;
  const int first = std::min(Row(), RowSel()), last = std::max(Row(), RowSel());
  if (std::min(first, first + step) < 1 || std::max(last, last + step) > Rows() - 1) return;
  const int colSel = ColSel();
  // The line the block moves over takes the place the block leaves.
  const int over = step > 0 ? last + 1 : first - 1;
  {
    RedrawOff batch(*this);
    const QStringList kept = ReadRowCells(over);
    for (int r = over - step; r >= first && r <= last; r -= step)
      WriteRowCells(r + step, ReadRowCells(r));
    WriteRowCells(step > 0 ? first : last, kept);
    SetRow(first + step);
    SetRowSel(last + step);
    // Setting Row collapsed the columns; the moved block stays selected as it was.
    SetColSel(colSel);
    if (!IsRowVisible(over)) SetTopRow(step > 0 ? TopRow() + 1 : over);
  }
  owner_.SetModifiedFlag(true);
}

void CEditGrid::ClearCells() {
  NormalizeSelection();
  {
    RedrawOff batch(*this);
    for (int r = Row(); r <= RowSel(); ++r)
      for (int k = Col(); k <= ColSel(); ++k) SetTextMatrix(r, k, QString());
  }
  owner_.SetModifiedFlag(true);
}

void CEditGrid::ClearLine() {
  const int rowSel = RowSel();
  SetCol(1);
  SetRowSel(rowSel);
  SetColSel(Cols() - 1);
  ClearCells();
}

void CEditGrid::UniformCells() {
  const int row = Row(), col = Col(), rowSel = RowSel(), colSel = ColSel();
  if (row == rowSel) return;
  const int rowStep = row < rowSel ? 1 : -1;
  const int colStep = col <= colSel ? 1 : -1;
  {
    RedrawOff batch(*this);
    for (int k = col;; k += colStep) {
      const QString text = TextMatrix(row, k);
      for (int r = row + rowStep;; r += rowStep) {
        SetTextMatrix(r, k, text);
        if (r == rowSel) break;
      }
      if (k == colSel) break;
    }
  }
  owner_.SetModifiedFlag(true);
}

void CEditGrid::BeginEdit(int ch) {
  if (!owner_.CanEdit() || ch == kCharBackspace || ch == kCharTab || ch == kCharEscape) {
    return;
  }
  const int row = Row(), col = Col();
  // The captions and row numbers are not list data.
  if (row < 1 || col < 1 || row >= Rows() || col >= Cols()) return;
  // A column the layout does not describe cannot be edited.
  if (col >= static_cast<int>(g_columns.size())) return;
  const QRect cell(CellLeft(), CellTop(), CellWidth(), CellHeight());
  const EditorFont font{CellFontName(), static_cast<int>(CellFontSize() * 10)};
  const auto typed = static_cast<char32_t>(ch);
  editRow_ = row;
  editCol_ = col;
  if (const ModeEntry* choices = g_columns[col].choices) {
    editBox_->hide();
    listBox_->SetEditorFont(font);
    listBox_->Load(choices, Text(), typed);
    OpenListBox(cell);
  } else {
    listBox_->hide();
    editBox_->SetEditorFont(font);
    editBox_->Open(Text(), typed, cell);
  }
}

void CEditGrid::OpenListBox(const QRect& cell) {
  ListBoxPlacement placement;
  placement.cell = cell;
  placement.rowsBelow = TopRow() + VisibleRows() - Row();
  placement.rowsAbove = Row() - TopRow() + 1;
  placement.itemCount = listBox_->count();
  placement.itemHeight = listBox_->ItemHeight();
  placement.border = listBox_->BorderThickness();
  placement.scrollBarWidth = listBox_->ScrollBarWidth();
  listBox_->Open(ListBoxRect(placement));
}

void CEditGrid::CommitEdit() {
  if (committing_) return;
  QWidget* editor = nullptr;
  QString text;
  if (!editBox_->isHidden()) {
    editor = editBox_;
    text = editBox_->text();
  } else if (!listBox_->isHidden()) {
    editor = listBox_;
    text = listBox_->PendingValue();
  } else {
    return;
  }
  committing_ = true;
  // Hiding a focused editor would pass the focus to whatever widget comes next.
  if (editor->hasFocus() || window()->focusWidget() == editor) setFocus(Qt::OtherFocusReason);
  editor->hide();
  committing_ = false;
  // The list is not edited while a mode runs; starting one takes an open editor in first.
  if (!owner_.CanEdit()) return;
  // The text belongs to the cell it was typed into, even when a command has moved the
  // current cell meanwhile; a cell that no longer exists takes nothing.
  if (editRow_ >= Rows() || editCol_ >= Cols()) return;
  const int row = Row(), col = Col(), rowSel = RowSel(), colSel = ColSel();
  const bool moved = row != editRow_ || col != editCol_;
  if (moved) Select(editRow_, editCol_, editRow_, editCol_);
  owner_.OnCellCommitted(text);
  SetText(text);
  if (moved) Select(row, col, rowSel, colSel);
  owner_.SetModifiedFlag(true);
}

void CEditGrid::CancelEdit() {
  editBox_->hide();
  listBox_->hide();
}

bool CEditGrid::isEditing() const { return !editBox_->isHidden(); }

bool CEditGrid::Step(MoveDirection direction, bool extend) {
  const bool vertical = direction == MoveDirection::kUp || direction == MoveDirection::kDown;
  const int step = direction == MoveDirection::kUp || direction == MoveDirection::kLeft ? -1 : 1;
  const int from = vertical ? (extend ? RowSel() : Row()) : (extend ? ColSel() : Col());
  const int to = from + step;
  // The captions and row numbers are not stepped onto.
  if (to < 1 || to > (vertical ? Rows() : Cols()) - 1) return false;
  if (vertical) {
    extend ? SetRowSel(to) : SetRow(to);
    // Going down the view follows by one row; going up, the row comes to the top.
    if (!IsRowVisible(to)) SetTopRow(step > 0 ? TopRow() + 1 : to);
  } else {
    extend ? SetColSel(to) : SetCol(to);
    ShowColumn(to);
  }
  return true;
}

void CEditGrid::NextCell() {
  if (Col() < Cols() - 1) {
    Step(MoveDirection::kRight, false);
  } else if (Row() < Rows() - 1) {
    SetCol(1);
    Step(MoveDirection::kDown, false);
    ShowColumn(1);
  }
}

void CEditGrid::PreviousCell() {
  if (Col() > 1) {
    Step(MoveDirection::kLeft, false);
  } else if (Row() >= 2) {
    SetCol(Cols() - 1);
    Step(MoveDirection::kUp, false);
    ShowColumn(Cols() - 1);
  }
}

void CEditGrid::PageUp(bool extend) {
  RedrawOff batch(*this);
  for (int i = VisibleRows(); i > 0 && Step(MoveDirection::kUp, extend); --i) {
  }
}

void CEditGrid::PageDown(bool extend) {
  RedrawOff batch(*this);
  for (int i = VisibleRows() - 1; i > 0 && Step(MoveDirection::kDown, extend); --i) {
  }
}

void CEditGrid::HandleAltKey(int key) {
  if (key == Qt::Key_Up) MoveLines(MoveDirection::kUp);
  if (key == Qt::Key_Down) MoveLines(MoveDirection::kDown);
}

void CEditGrid::HandleKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const int key = event->key();
  if (modifiers & Qt::AltModifier) {
    HandleAltKey(key);
    return;
  }
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool ctrl = modifiers & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const MoveDirection direction = key == Qt::Key_Up     ? MoveDirection::kUp
                                      : key == Qt::Key_Down ? MoveDirection::kDown
                                      : key == Qt::Key_Left ? MoveDirection::kLeft
                                                            : MoveDirection::kRight;
      ctrl ? MoveBlock(direction) : void(Step(direction, shift));
      break;
    }
    case Qt::Key_Home:
      if (ctrl) {
        SetRow(1);
        SetTopRow(1);
      } else if (shift) {
        if (ColSel() > 1) SetColSel(1);
      } else {
        SetCol(1);
        ShowColumn(1);
      }
      break;
    case Qt::Key_End:
      if (ctrl) {
        SetRow(Rows() - 1);
        SetTopRow(Rows() - 1);
      } else if (shift) {
        if (ColSel() < Cols() - 1) SetColSel(Cols() - 1);
      } else {
        SetCol(Cols() - 1);
        ShowColumn(Cols() - 1);
      }
      break;
    case Qt::Key_PageUp:
      PageUp(shift);
      break;
    case Qt::Key_PageDown:
      PageDown(shift);
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      const int row = Row();
      shift || key == Qt::Key_Backtab ? PreviousCell() : NextCell();
      if (Row() != row) owner_.OnRowChanged();
      return;
    }
    case Qt::Key_Delete:
      ClearCells();
      return;
    default:
      return;
  }
  owner_.OnRowChanged();
}

void CEditGrid::KeyDown(QKeyEvent* event) { HandleKey(event); }

void CEditGrid::KeyPress(int ch) { BeginEdit(ch); }

void CEditGrid::WheelTurned(int delta) {
  // A wheel turned over an editor reaches the grid without a change of focus.
  CommitEdit();
  const bool extend = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
  for (int i = 0; i < 2; ++i) Step(delta < 0 ? MoveDirection::kDown : MoveDirection::kUp, extend);
  owner_.OnRowChanged();
}

void CEditGrid::DblClick() {
  if (owner_.OnGridDoubleClick()) BeginEdit(kCharEnter);
}

void CEditGrid::EnterCell() { owner_.OnRowChanged(); }

void CEditGrid::LeaveCell() { CommitEdit(); }

void CEditGrid::Scroll() { CommitEdit(); }

void CEditGrid::RightButtonDown(const QPoint& point) {
  if (MouseRow() < 1 || MouseCol() < 1) return;
  // Posted, so the grid's own handling of the press ends before the menu opens.
  QMetaObject::invokeMethod(
      this, [this, point] { owner_.OnGridRightButton(point); }, Qt::QueuedConnection);
}

void CEditGrid::SelectionChanged() { owner_.OnSelectionChanged(); }

bool CEditGrid::event(QEvent* event) {
  if (event->type() == HandBackEventType()) {
    setFocus(Qt::OtherFocusReason);
    CommitEdit();
    return true;
  }
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Alt+Up and Alt+Down stay keys of the grid even where a menu names them.
    if ((key->modifiers() & Qt::AltModifier) &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      event->accept();
      return true;
    }
  }
  return FlexGrid::event(event);
}

void CEditGrid::focusInEvent(QFocusEvent* event) {
  FlexGrid::focusInEvent(event);
  CommitEdit();
}

void CEditGrid::resizeEvent(QResizeEvent* event) {
  FlexGrid::resizeEvent(event);
  CommitEdit();
}
