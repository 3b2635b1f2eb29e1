#include "list_control.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "columns.h"
#include "list_format.h"
#include "list_host.h"
#include "receiver_models.h"

namespace {

constexpr int kLastColumnMinimum = 300;
constexpr int kUnknownColumnWidth = 50;

}  // namespace

ListControl::ListControl(ListHost& host, GridOwner& owner, QWidget* view)
    : host_(host), view_(view), grid_(new CEditGrid(owner, view)), doc_(*this) {}

int ListControl::ClientWidth() const { return view_->width(); }

int ListControl::ScrollBarWidth() const {
  return view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void ListControl::ApplyHeaderLine(const QString& line) {
  const QStringList fields = SplitFields(m_separator + line, m_separator);
  g_columns.resize(std::min<size_t>(g_columns.size(), kFirstUserColumn));
  // A header of nothing but separators must not make a grid too wide to hold.
  const int last = std::min<int>(static_cast<int>(fields.size()), kMaxColumns);
  for (int i = kFirstUserColumn; i < last; ++i) {
    const QString& caption = fields[i];
    g_columns.push_back({caption.isEmpty() ? QString(kUnnamedColumnCaption) : caption, 0, nullptr});
  }
}

void ListControl::ResetGrid(int lineCount) {
  const int rows = std::max(lineCount, 2);
  CEditGrid& grid = *grid_;
  // An editor left open belongs to the list being replaced.
  grid.CancelEdit();
  grid.SetRedraw(false);
  grid.SetCols(static_cast<int>(g_columns.size()));
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  grid.SetRows(rows);
  grid.Clear();
  grid.setEnabled(true);
  grid.SetTopRow(1);
  LayoutColumns();
  RenumberRows();
  for (int r = 1; r < rows; ++r) ApplyRowStyle(r);
  grid.SetRow(1);
  grid.SetCol(1);
  grid.SetRedraw(true);
  grid.setFocus();
  grid.Refresh();
  host_.OnRowChanged();
}

void ListControl::ReadRows(const ListStream& stream) {
  CEditGrid& grid = *grid_;
  const int rows = grid.Rows();
  const int cols = grid.Cols();
  RedrawOff batch(grid);
  // Line 0 is the header; lines beyond the counted number are not read.
  const int available = static_cast<int>(stream.lines.size());
  for (int i = 1; i < rows && i < available; ++i) {
    QStringList cells = SplitFieldsFixed(m_separator + stream.lines[i], m_separator, cols);
    NormalizeRow(i, cells);
    grid.SetRowTexts(i, std::move(cells));
  }
}

void ListControl::WriteRows(ListStream& stream) {
  CEditGrid& grid = *grid_;
  const int rows = grid.Rows();
  const int cols = grid.Cols();
  stream.lines.clear();
  stream.lines.reserve(rows);
  {
    RedrawOff batch(grid);
    for (int r = 0; r < rows; ++r) {
      QStringList cells = grid.ReadRowCells(r);
      if (r >= 1) {
        const QStringList before = cells;
        NormalizeRow(r, cells);
        // The grid shows each row exactly as the file receives it.
        if (cells != before) grid.WriteRowCells(r, cells);
      }
      stream.lines.push_back(cells.mid(1, cols - 1).join(m_separator));
    }
  }
  SaveColumnWidths();
}

bool ListControl::NormalizeRow(int row, QStringList& cells) {
  const int cols = grid_->Cols();
  while (cells.size() < cols) cells.push_back(QString());
  cells[kColNumber] = QString::number(row);
  if (cols <= kColFrequency) return true;
  if (cells[kColFrequency].isEmpty()) {
    for (int j = kColFrequency; j < cols; ++j) cells[j].clear();
    return false;
  }
  NormalizeFrequency(cells[kColFrequency]);
  if (cols > kColMode) {
    cells[kColMode] = cells[kColMode].toUpper();
    if (host_.ReceiverIsNone()) cells[kColMode].clear();
  }
  for (int j = 0; j < cols && j < static_cast<int>(g_columns.size()); ++j) {
    const ModeEntry* choices = g_columns[j].choices;
    if (choices == nullptr || choices[0].name == nullptr) continue;
    const ModeEntry* match = nullptr;
    for (const ModeEntry* e = choices; e->name != nullptr && match == nullptr; ++e) {
      if (cells[j].compare(QLatin1String(e->name), Qt::CaseInsensitive) == 0) match = e;
    }
    if (match == nullptr) {
      cells[j] = QLatin1String(choices[0].name);
      doc_.SetModifiedFlag(true);
    } else {
      cells[j] = QLatin1String(match->name);
    }
  }
  return true;
}

void ListControl::RenumberRows() {
  RedrawOff batch(*grid_);
  grid_->NumberRows();
}

void ListControl::ApplyRowStyle(int row) {
  CEditGrid& grid = *grid_;
  grid.SetRow(row);
  for (int j = 0; j < grid.Cols(); ++j) {
    grid.SetCol(j);
    grid.SetCellAlignment(j == 0 ? kAlignCentre : kAlignLeftTop);
  }
}

void ListControl::LayoutColumns() {
  CEditGrid& grid = *grid_;
  const QList<int> widths = LoadColumnWidths();
  int sum = 0;
  const int cols = grid.Cols();
  for (int i = 0; i < cols; ++i) {
    grid.SetTextMatrix(0, i, i < static_cast<int>(g_columns.size()) ? g_columns[i].caption : "");
    int w;
    if (i < widths.size()) {
      w = widths[i];
    } else if (i <= kColUtc) {
      w = g_columns[i].width;
    } else if (i == cols - 1) {
      w = std::max(ClientWidth() - ScrollBarWidth() - sum - 2, kLastColumnMinimum);
    } else {
      w = kUnknownColumnWidth;
    }
    grid.SetColWidth(i, w);
    grid.SetRow(0);
    grid.SetCol(i);
    grid.SetCellAlignment(kAlignCentre);
    sum += w;
  }
}

QList<int> ListControl::LoadColumnWidths() {
  if (doc_.m_listPath.isEmpty()) return {};
  const QString line = ReadFirstLine(doc_.m_listPath + "1");
  if (line.isEmpty()) return {};
  return ParseColumnWidths(line, ClientWidth());
}

void ListControl::SaveColumnWidths() {
  if (doc_.m_listPath.isEmpty()) return;
  QList<int> widths;
  for (int i = 1; i < grid_->Cols(); ++i) widths.push_back(grid_->ColWidth(i));
  WriteTextSilently(doc_.m_listPath + "1", FormatColumnWidths(widths));
}

void ListControl::JustifyColumns() {
  CEditGrid& grid = *grid_;
  const int cols = grid.Cols();
  if (cols < 2) return;
  const int each = (ClientWidth() - grid.ColWidth(0) - ScrollBarWidth() - 2) / (cols - 1);
  for (int i = 1; i < cols; ++i) grid.SetColWidth(i, each);
}
