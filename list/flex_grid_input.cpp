// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "list/flex_grid.h"
#include "list/grid_model.h"
#include "list/typed_chars.h"

// The grid's keyboard, mouse and wheel: what reaches the editing grid as its events, and the
// selection the mouse makes.

namespace {

constexpr int kWheelRowsPerNotch = 3;
constexpr int kWheelNotch = 120;

}  // namespace

void FlexGrid::KeyDown(QKeyEvent*) {}
void FlexGrid::KeyPress(int) {}
void FlexGrid::DblClick() {}
void FlexGrid::EnterCell() {}
void FlexGrid::LeaveCell() {}
void FlexGrid::Scroll() {}
void FlexGrid::RightButtonDown(const QPoint&) {}
void FlexGrid::SelectionChanged() {}

void FlexGrid::WheelTurned(int delta) {
  // Fine-grained wheels send small steps; they add up to rows.
  wheelRest_ += delta * kWheelRowsPerNotch;
  const int rows = wheelRest_ / kWheelNotch;
  wheelRest_ -= rows * kWheelNotch;
  if (rows != 0) SetTopRow(TopRow() - rows);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
  event->accept();
  KeyDown(event);
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
  int ch = 0;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ch = kCharEnter;
  } else {
    const QList<uint> chars = event->text().toUcs4();
    if (!chars.isEmpty() && QChar::isPrint(char32_t(chars.first()))) ch = int(chars.first());
  }
  if (ch != 0) KeyPress(ch);
}

bool FlexGrid::focusNextPrevChild(bool) { return false; }

void FlexGrid::TrackMouse(QPoint point) {
  mouseRow_ = RowAtY(point.y());
  mouseCol_ = ColAtX(point.x());
}

void FlexGrid::MoveByMouse(int row, int col, int rowSel, int colSel) {
  if (row == row_ && col == col_) {
    SetSelection(row, col, rowSel, colSel);
    return;
  }
  LeaveCell();
  SetSelection(row, col, rowSel, colSel);
  EnterCell();
}

void FlexGrid::MousePress(QMouseEvent* event, QPoint point) {
  event->accept();
  TrackMouse(point);
  drag_ = Drag::kNone;
  if (event->button() == Qt::RightButton) {
    RightButtonDown(point);
    return;
  }
  const int lastRow = Rows() - 1, lastCol = Cols() - 1;
  const int row = mouseRow_, col = mouseCol_;
  if (event->button() != Qt::LeftButton || row < 0 || col < 0 || lastRow < 1 || lastCol < 1) return;
  if (row >= 1 && col >= 1) {
    if (event->modifiers() & Qt::ShiftModifier)
      SetSelection(row_, col_, row, col);
    else
      MoveByMouse(row, col, row, col);
    drag_ = Drag::kCells;
  } else if (row == 0 && col >= 1) {
    MoveByMouse(1, col, lastRow, col);
    drag_ = Drag::kColumns;
  } else if (col == 0 && row >= 1) {
    MoveByMouse(row, 1, row, lastCol);
    drag_ = Drag::kRows;
  } else {
    MoveByMouse(1, 1, lastRow, lastCol);
  }
}

void FlexGrid::MouseMove(QMouseEvent* event, QPoint point) {
  event->accept();
  TrackMouse(point);
  if (drag_ == Drag::kNone) return;
  if (!(event->buttons() & Qt::LeftButton) || Rows() < 2 || Cols() < 2) {
    drag_ = Drag::kNone;
    return;
  }
  // Dragging past the edge of the cells scrolls one row or column per move.
  const QRect cells(ColWidth(0), RowHeight(0), viewport()->width(), viewport()->height());
  if (drag_ != Drag::kColumns) {
    if (point.y() < cells.top()) SetTopRow(TopRow() - 1);
    if (point.y() > cells.bottom()) SetTopRow(TopRow() + 1);
  }
  if (drag_ != Drag::kRows) {
    if (point.x() < cells.left()) SetLeftCol(LeftCol() - 1);
    if (point.x() > cells.right()) SetLeftCol(LeftCol() + 1);
  }
  const int row = std::clamp(RowAtY(point.y(), true), 1, Rows() - 1);
  const int col = std::clamp(ColAtX(point.x(), true), 1, Cols() - 1);
  if (drag_ == Drag::kCells) SetSelection(row_, col_, row, col);
  if (drag_ == Drag::kColumns) SetSelection(row_, col_, rowSel_, col);
  if (drag_ == Drag::kRows) SetSelection(row_, col_, row, colSel_);
}

void FlexGrid::MouseRelease(QPoint point) {
  TrackMouse(point);
  drag_ = Drag::kNone;
}

void FlexGrid::MouseDoubleClick(QMouseEvent* event, QPoint point) {
  MousePress(event, point);
  if (event->button() == Qt::LeftButton) DblClick();
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
  MousePress(event, event->position().toPoint() + viewport()->pos());
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
  MouseMove(event, event->position().toPoint() + viewport()->pos());
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  MouseRelease(event->position().toPoint() + viewport()->pos());
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  MouseDoubleClick(event, event->position().toPoint() + viewport()->pos());
}

void FlexGrid::wheelEvent(QWheelEvent* event) {
  event->accept();
  const int delta = event->angleDelta().y();
  if (delta != 0) WheelTurned(delta);
}

void FlexGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  Scroll();
}
