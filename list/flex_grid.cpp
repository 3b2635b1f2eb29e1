// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/flex_grid.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

#include "list/grid_model.h"
#include "list/grid_parts.h"

namespace {

constexpr int kDefaultColWidth = 64;
constexpr int kDefaultNumberWidth = 50;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
  hHeader_ = new GridHeader(Qt::Horizontal, this);
  vHeader_ = new GridHeader(Qt::Vertical, this);
  setHorizontalHeader(hHeader_);
  setVerticalHeader(vHeader_);
  setModel(model_);
  setItemDelegate(new GridDelegate(this));
  corner_ = new GridCorner(this);
  setCornerButtonEnabled(false);

  setFrameShape(QFrame::NoFrame);
  // The current cell moves only through the grid's operations and its own mouse handling.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setAutoScroll(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  setMouseTracking(true);

  hHeader_->setSectionResizeMode(QHeaderView::Interactive);
  hHeader_->setDefaultSectionSize(kDefaultColWidth);
  vHeader_->setSectionResizeMode(QHeaderView::Fixed);
  vHeader_->SetExtent(kDefaultNumberWidth);
  colWidths_.assign(1, kDefaultNumberWidth);
  connect(hHeader_, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (size_t(logical) + 1 < colWidths_.size()) colWidths_[size_t(logical) + 1] = size;
  });
  ApplyFontMetrics();
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const { return model_->Rows(); }

void FlexGrid::SetRows(int rows) {
  rows = std::max(rows, 1);
  if (rows == Rows()) return;
  BeforeShapeChange();
  model_->Resize(rows, Cols());
  ClampSelection();
}

int FlexGrid::Cols() const { return model_->Cols(); }

void FlexGrid::SetCols(int cols) {
  cols = std::max(cols, 1);
  if (cols == Cols()) return;
  BeforeShapeChange();
  model_->Resize(Rows(), cols);
  colWidths_.resize(size_t(cols), kDefaultColWidth);
  if (!model_->ShapePending()) ApplyColumnWidths();
  ClampSelection();
}

void FlexGrid::SetRow(int row) {
  if (row >= 0 && row < Rows()) SetSelection(row, col_, row, col_);
}

void FlexGrid::SetCol(int col) {
  if (col >= 0 && col < Cols()) SetSelection(row_, col, row_, col);
}

void FlexGrid::SetRowSel(int row) {
  if (row >= 0 && row < Rows()) SetSelection(row_, col_, row, colSel_);
}

void FlexGrid::SetColSel(int col) {
  if (col >= 0 && col < Cols()) SetSelection(row_, col_, rowSel_, col);
}

void FlexGrid::SetSelection(int row, int col, int rowSel, int colSel) {
  if (row == row_ && col == col_ && rowSel == rowSel_ && colSel == colSel_) return;
  row_ = row;
  col_ = col;
  rowSel_ = rowSel;
  colSel_ = colSel;
  if (redraw_) viewport()->update();
  SelectionChanged();
}

void FlexGrid::ClampSelection() {
  const int lastRow = Rows() - 1, lastCol = Cols() - 1;
  SetSelection(std::min(row_, lastRow), std::min(col_, lastCol), std::min(rowSel_, lastRow),
               std::min(colSel_, lastCol));
}

void FlexGrid::SyncLayout() const {
  // Qt lays the rows out later; the scroll range must reflect the rows of now.
  const_cast<FlexGrid*>(this)->executeDelayedItemsLayout();
}

int FlexGrid::MaxTopRow() const {
  if (!model_->ShapePending()) {
    SyncLayout();
    return verticalScrollBar()->maximum() + 1;
  }
  // As the view will compute it once it knows the rows: the last rows that fit whole.
  const int fit = std::max(1, viewport()->height() / std::max(1, rowHeight_));
  return std::max(1, Rows() - 1 - fit + 1);
}

int FlexGrid::MaxLeftCol() const {
  if (!model_->ShapePending()) {
    SyncLayout();
    return horizontalScrollBar()->maximum() + 1;
  }
  int fit = 0, used = 0;
  for (int col = Cols() - 1; col >= 1; --col) {
    used += colWidths_[size_t(col)];
    if (used > viewport()->width()) break;
    ++fit;
  }
  return std::max(1, Cols() - 1 - std::max(fit, 1) + 1);
}

int FlexGrid::TopRow() const {
  if (model_->ShapePending()) return std::min(pendingTop_, MaxTopRow());
  SyncLayout();
  // Scrolled to the end, the view aligns the last row with the bottom edge, and the row at
  // the top edge may be cut off; the first row in view is the first one that starts in it.
  const int index = rowAt(0);
  if (index < 0) return verticalScrollBar()->value() + 1;
  const bool cut = rowViewportPosition(index) < 0 && index + 2 < Rows() &&
                   rowViewportPosition(index + 1) < viewport()->height();
  return index + (cut ? 2 : 1);
}

void FlexGrid::SetTopRow(int row) {
  row = std::clamp(row, 1, MaxTopRow());
  if (model_->ShapePending()) {
    pendingTop_ = row;
    return;
  }
  verticalScrollBar()->setValue(row - 1);
}

int FlexGrid::LeftCol() const {
  if (model_->ShapePending()) return std::min(pendingLeft_, MaxLeftCol());
  SyncLayout();
  // As for TopRow: scrolled to the end, the column at the left edge may be cut off.
  const int index = columnAt(0);
  if (index < 0) return horizontalScrollBar()->value() + 1;
  const bool cut = columnViewportPosition(index) < 0 && index + 2 < Cols() &&
                   columnViewportPosition(index + 1) < viewport()->width();
  return index + (cut ? 2 : 1);
}

void FlexGrid::SetLeftCol(int col) {
  col = std::clamp(col, 1, MaxLeftCol());
  if (model_->ShapePending()) {
    pendingLeft_ = col;
    return;
  }
  horizontalScrollBar()->setValue(col - 1);
}

void FlexGrid::BeforeShapeChange() {
  if (!model_->Frozen() || model_->ShapePending()) return;
  pendingTop_ = TopRow();
  pendingLeft_ = LeftCol();
}

QString FlexGrid::Text() const { return model_->Text(row_, col_); }

void FlexGrid::SetText(const QString& text) { SetTextMatrix(row_, col_, text); }

QString FlexGrid::TextMatrix(int row, int col) const { return model_->Text(row, col); }

QAnyStringView FlexGrid::TextView(int row, int col) const { return model_->View(row, col); }

void FlexGrid::AdoptCells(CellMatrix&& matrix) {
  if (std::max(matrix.rows, 1) != Rows() || std::max(matrix.cols, 1) != Cols()) BeforeShapeChange();
  model_->Adopt(std::move(matrix));
  colWidths_.resize(size_t(Cols()), kDefaultColWidth);
  if (!model_->ShapePending()) ApplyColumnWidths();
  ClampSelection();
  corner_->update();
}

bool FlexGrid::RowEdited(int row) const { return model_->RowEdited(row); }

void FlexGrid::ForgetEdits() { model_->ForgetEdits(); }

const TextStore::Cell* FlexGrid::RowCells(int row) const { return model_->RowCells(row); }

const TextStore& FlexGrid::CellTexts() const { return model_->Store(); }
uint64_t FlexGrid::TextRevision() const { return model_->TextRevision(); }

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
  model_->SetText(row, col, text);
  if (row == 0 && col == 0) corner_->update();
}

void FlexGrid::SetRowTexts(int row, QStringList texts) {
  model_->SetRowTexts(row, std::move(texts));
  if (row == 0) corner_->update();
}

void FlexGrid::NumberRows() {
  // Fixed cells share one default colour: a corner without a colour of its own, or with
  // that one, leaves the numbers without one too, as SetCellBackColor would.
  const QColor corner = model_->BackColor(0, 0);
  const bool isDefault = !corner.isValid() || corner.rgba() == DefaultBackColor(1, 0).rgba();
  model_->NumberRows(isDefault ? QColor() : corner);
}

void FlexGrid::SetRedraw(bool on) {
  if (on == redraw_) {
    if (on) Refresh();
    return;
  }
  redraw_ = on;
  if (!on) {
    model_->Freeze();
    setUpdatesEnabled(false);
    return;
  }
  const bool shapeChanged = model_->ShapePending();
  const int top = TopRow(), left = LeftCol();
  model_->Thaw();
  if (shapeChanged) {
    ApplyColumnWidths();
    SetTopRow(top);
    SetLeftCol(left);
  }
  setUpdatesEnabled(true);  // one repaint of everything
}

int FlexGrid::ColX(int col) const {
  if (col <= 0) return 0;
  if (!model_->ShapePending()) {
    SyncLayout();
    return viewport()->x() + columnViewportPosition(col - 1);
  }
  // The view does not know the columns yet: as it will lay them out from LeftCol.
  const int left = LeftCol();
  int x = viewport()->x();
  for (int c = left; c < col; ++c) x += colWidths_[size_t(c)];
  for (int c = col; c < left; ++c) x -= colWidths_[size_t(c)];
  return x;
}

int FlexGrid::RowY(int row) const {
  if (row <= 0) return 0;
  if (!model_->ShapePending()) {
    SyncLayout();
    return viewport()->y() + rowViewportPosition(row - 1);
  }
  return viewport()->y() + (row - TopRow()) * rowHeight_;
}

int FlexGrid::RowAtY(int y, bool unbounded) const {
  const int top = viewport()->y();
  if (!unbounded) {
    if (y < 0 || y >= top + viewport()->height()) return -1;
    if (y < top) return 0;
  }
  // Every data row is as high as the next, so the rows count on from the first in view,
  // wherever the view has placed it.
  const int first = TopRow();
  const int row = first + FloorDiv(y - RowY(first), std::max(1, rowHeight_));
  return unbounded || (row >= 1 && row < Rows()) ? row : -1;
}

int FlexGrid::ColAtX(int x, bool unbounded) const {
  const int left = viewport()->x();
  if (!unbounded) {
    if (x < 0 || x >= left + viewport()->width()) return -1;
    if (x < left) return 0;
  } else if (x < left) {
    return LeftCol() - 1;
  }
  int col = LeftCol();
  if (col >= Cols()) return unbounded ? Cols() : -1;
  int edge = ColX(col);
  // A column cut off at the left edge lies before LeftCol.
  while (col > 1 && x < edge) edge -= colWidths_[size_t(--col)];
  for (; col < Cols(); ++col) {
    edge += colWidths_[size_t(col)];
    if (x < edge) return col;
  }
  return unbounded ? Cols() : -1;
}

int FlexGrid::CellLeft() const { return ColX(col_); }

int FlexGrid::CellTop() const { return RowY(row_); }

int FlexGrid::CellWidth() const { return ColWidth(col_); }

int FlexGrid::CellHeight() const { return RowHeight(row_); }

QString FlexGrid::CellFontName() const { return font().family(); }

double FlexGrid::CellFontSize() const {
  const QFont& f = font();
  if (f.pointSizeF() > 0) return f.pointSizeF();
  return f.pixelSize() * 72.0 / logicalDpiY();
}

QColor FlexGrid::DefaultBackColor(int row, int col) const {
  // Fixed cells share the corner's colour; cells with none of their own cost nothing.
  return palette().color(row == 0 || col == 0 ? QPalette::Button : QPalette::Base);
}

QColor FlexGrid::CellBackColor() const {
  const QColor own = model_->BackColor(row_, col_);
  return own.isValid() ? own : DefaultBackColor(row_, col_);
}

void FlexGrid::SetCellBackColor(const QColor& colour) {
  const bool isDefault = !colour.isValid() || colour.rgba() == DefaultBackColor(row_, col_).rgba();
  model_->SetBackColor(row_, col_, isDefault ? QColor() : colour);
  if (row_ == 0 && col_ == 0) corner_->update();
}

int FlexGrid::CellAlignment() const { return model_->Alignment(row_, col_); }

void FlexGrid::SetCellAlignment(int alignment) {
  model_->SetAlignment(row_, col_, alignment);
  if (row_ == 0 && col_ == 0) corner_->update();
}

int FlexGrid::ColWidth(int col) const {
  if (col == 0) return vHeader_->Extent();
  return col > 0 && col < Cols() ? colWidths_[size_t(col)] : 0;
}

void FlexGrid::SetColWidth(int col, int pixels) {
  pixels = std::max(pixels, 0);
  if (col == 0) {
    vHeader_->SetExtent(pixels);
    updateGeometries();
    return;
  }
  if (col < 0 || col >= Cols()) return;
  colWidths_[size_t(col)] = pixels;
  if (model_->ShapePending() || col - 1 >= hHeader_->count()) return;
  hHeader_->resizeSection(col - 1, pixels);
  updateGeometries();  // the view would only do it on its next timer tick
}

int FlexGrid::RowHeight(int row) const {
  if (row == 0) return hHeader_->Extent();
  return row > 0 && row < Rows() ? rowHeight_ : 0;
}

bool FlexGrid::ColIsVisible(int col) const {
  if (col == 0) return true;
  if (col < LeftCol() || col >= Cols()) return false;
  return ColX(col) + colWidths_[size_t(col)] <= viewport()->x() + viewport()->width();
}

void FlexGrid::ApplyColumnWidths() {
  for (int col = 1; col < Cols() && col - 1 < hHeader_->count(); ++col) {
    if (hHeader_->sectionSize(col - 1) != colWidths_[size_t(col)])
      hHeader_->resizeSection(col - 1, colWidths_[size_t(col)]);
  }
  updateGeometries();
}

void FlexGrid::ApplyFontMetrics() {
  rowHeight_ = fontMetrics().height() + 6;
  vHeader_->setDefaultSectionSize(rowHeight_);
  hHeader_->SetExtent(rowHeight_);
  updateGeometries();
}

void FlexGrid::Sort() {
  int first = std::min(row_, rowSel_), last = std::max(row_, rowSel_);
  if (row_ == rowSel_) {
    first = 1;
    last = Rows() - 1;
  }
  model_->SortRows(first, last, std::min(col_, colSel_), std::max(col_, colSel_));
}

void FlexGrid::AddItem(const QString& text, int index) {
  if (index < 1 || index > Rows()) return;
  BeforeShapeChange();
  model_->InsertRow(index, text.split(QLatin1Char('\t')));
}

void FlexGrid::RemoveItem(int index) {
  if (index < 1 || index >= Rows()) return;
  BeforeShapeChange();
  model_->RemoveRow(index);
  ClampSelection();
}

void FlexGrid::Clear() {
  model_->ClearTexts();
  corner_->update();
}

void FlexGrid::Refresh() {
  if (!redraw_) return;
  viewport()->update();
  hHeader_->viewport()->update();
  vHeader_->viewport()->update();
  corner_->update();
}

void FlexGrid::updateGeometries() {
  QTableView::updateGeometries();
  if (corner_ == nullptr) return;
  corner_->setGeometry(0, 0, ColWidth(0), RowHeight(0));
  corner_->raise();
}

void FlexGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange && vHeader_ != nullptr) ApplyFontMetrics();
}
