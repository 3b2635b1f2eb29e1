// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts the grid is drawn with: its cells' delegate, its caption row and number column,
// and its corner. Only the grid itself includes this.

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

#include "list/flex_grid.h"
#include "list/grid_model.h"

// A fixed cell with a colour of its own, drawn flat so that the mark shows in every style.
inline void PaintColouredFixedCell(QPainter* painter, const QWidget* widget, const QRect& rect,
                                   const QColor& colour, const QString& text,
                                   Qt::Alignment alignment) {
  painter->save();
  painter->fillRect(rect, colour);
  painter->setPen(widget->palette().color(QPalette::Mid));
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->setPen(widget->palette().color(QPalette::ButtonText));
  painter->drawText(rect.adjusted(3, 0, -3, 0), int(alignment), text);
  painter->restore();
}

// Draws the grid's own selection: the block highlighted, the current cell framed.
class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const int row = index.row() + 1, col = index.column() + 1;
    const bool current = row == grid_->Row() && col == grid_->Col();
    cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (!current && InSelection(row, col)) cell.state |= QStyle::State_Selected;
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (!current) return;
    painter->save();
    painter->setPen(QPen(cell.palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(cell.rect).adjusted(1, 1, -1, -1));
    painter->restore();
  }

 private:
  bool InSelection(int row, int col) const {
    return std::min(grid_->Row(), grid_->RowSel()) <= row &&
           row <= std::max(grid_->Row(), grid_->RowSel()) &&
           std::min(grid_->Col(), grid_->ColSel()) <= col &&
           col <= std::max(grid_->Col(), grid_->ColSel());
  }

  FlexGrid* grid_;
};

// Row 0 or column 0 of the grid. Clicks select columns or rows through the grid; only
// dragging a column border is left to the header itself.
class GridHeader : public QHeaderView {
 public:
  GridHeader(Qt::Orientation orientation, FlexGrid* grid)
      : QHeaderView(orientation, grid), grid_(grid) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    setMouseTracking(true);
  }

  // Height of the caption row, or width of the number column.
  int Extent() const { return extent_; }
  void SetExtent(int pixels) {
    extent_ = pixels;
    updateGeometry();
  }

  // Fixed, so the grid never measures 100,000 row numbers.
  QSize sizeHint() const override {
    return orientation() == Qt::Horizontal ? QSize(0, extent_) : QSize(extent_, 0);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    resizing_ = OnResizeHandle(event);
    if (resizing_) {
      QHeaderView::mousePressEvent(event);
      return;
    }
    grid_->MousePress(event, ToGrid(event));
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    QHeaderView::mouseMoveEvent(event);  // the resize drag and the resize cursor
    if (!resizing_) grid_->MouseMove(event, ToGrid(event));
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    if (resizing_) {
      QHeaderView::mouseReleaseEvent(event);
      resizing_ = false;
      return;
    }
    grid_->MouseRelease(ToGrid(event));
  }

  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (OnResizeHandle(event)) {
      QHeaderView::mouseDoubleClickEvent(event);
      return;
    }
    grid_->MouseDoubleClick(event, ToGrid(event));
  }

  void wheelEvent(QWheelEvent* event) override { grid_->wheelEvent(event); }

  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    const bool horizontal = orientation() == Qt::Horizontal;
    const int row = horizontal ? 0 : logicalIndex + 1;
    const int col = horizontal ? logicalIndex + 1 : 0;
    const QColor colour = grid_->model_->BackColor(row, col);
    if (!colour.isValid()) {
      QHeaderView::paintSection(painter, rect, logicalIndex);
      return;
    }
    const QVariant alignment =
        model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
    PaintColouredFixedCell(
        painter, this, rect, colour, grid_->model_->Text(row, col),
        alignment.isValid() ? alignment.value<Qt::Alignment>() : defaultAlignment());
  }

 private:
  QPoint ToGrid(const QMouseEvent* event) const {
    return viewport()->mapTo(grid_, event->position().toPoint());
  }

  // Where the header would start resizing a column (the border between two captions).
  bool OnResizeHandle(const QMouseEvent* event) const {
    if (orientation() != Qt::Horizontal) return false;
    const int pos = event->position().toPoint().x();
    const int visual = visualIndexAt(pos);
    if (visual < 0) return false;
    const int logical = logicalIndex(visual);
    const int start = sectionViewportPosition(logical);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    if (pos > start + sectionSize(logical) - grip) return sectionResizeMode(logical) == Interactive;
    if (pos < start + grip && visual > 0)
      return sectionResizeMode(logicalIndex(visual - 1)) == Interactive;
    return false;
  }

  FlexGrid* grid_;
  int extent_ = 0;
  bool resizing_ = false;
};

// Cell (0, 0), drawn over the table's own corner button.
class GridCorner : public QWidget {
 public:
  explicit GridCorner(FlexGrid* grid) : QWidget(grid), grid_(grid) { setMouseTracking(true); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QString text = grid_->model_->Text(0, 0);
    // Section -1 of the caption row is column 0.
    const QVariant alignment = grid_->model_->headerData(-1, Qt::Horizontal, Qt::TextAlignmentRole);
    const Qt::Alignment align =
        alignment.isValid() ? alignment.value<Qt::Alignment>() : Qt::AlignCenter;
    const QColor colour = grid_->model_->BackColor(0, 0);
    if (colour.isValid()) {
      PaintColouredFixedCell(&painter, this, rect(), colour, text, align);
      return;
    }
    QStyleOptionHeader option;
    option.initFrom(this);
    option.rect = rect();
    option.orientation = Qt::Horizontal;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = text;
    option.textAlignment = align;
    style()->drawControl(QStyle::CE_Header, &option, &painter, this);
  }

  void mousePressEvent(QMouseEvent* event) override { grid_->MousePress(event, ToGrid(event)); }
  void mouseMoveEvent(QMouseEvent* event) override { grid_->MouseMove(event, ToGrid(event)); }
  void mouseReleaseEvent(QMouseEvent* event) override { grid_->MouseRelease(ToGrid(event)); }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    grid_->MouseDoubleClick(event, ToGrid(event));
  }
  void wheelEvent(QWheelEvent* event) override { grid_->wheelEvent(event); }

 private:
  QPoint ToGrid(const QMouseEvent* event) const {
    return mapTo(grid_, event->position().toPoint());
  }

  FlexGrid* grid_;
};
