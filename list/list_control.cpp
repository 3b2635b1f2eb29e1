// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_control.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/list_format.h"
#include "list/list_host.h"

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
  const int last = ColumnsForHeader(static_cast<int>(fields.size()) - 1);
  for (int i = kFirstUserColumn; i < last; ++i) {
    const QString& caption = fields[i];
    g_columns.push_back({caption.isEmpty() ? QString(kUnnamedColumnCaption) : caption, 0, nullptr});
  }
}

void ListControl::ResetGrid(int lineCount, CellMatrix* cells) {
  const int rows = std::max(lineCount, 2);
  CEditGrid& grid = *grid_;
  // An editor left open belongs to the list being replaced.
  grid.CancelEdit();
  {
    RedrawOff batch(grid);
    // Taking the cells over first spares building an empty grid of the same shape.
    if (cells != nullptr) grid.AdoptCells(std::move(*cells));
    grid.SetCols(static_cast<int>(g_columns.size()));
    grid.SetRows(rows);
    if (cells == nullptr) grid.Clear();
    grid.setEnabled(true);
    grid.SetTopRow(1);
    LayoutColumns();
    RenumberRows();
    for (int r = 1; r < rows; ++r) ApplyRowStyle(r);
    grid.SetRow(1);
    grid.SetCol(1);
  }
  grid.setFocus();
  grid.Refresh();
  host_.OnRowChanged();
}

void ListControl::ReadRows() {
  CEditGrid& grid = *grid_;
  RedrawOff batch(grid);
  NormalizeStoredRows();
  grid.ForgetEdits();
  rowsNormalBy_ = CurrentRules();
}

void ListControl::WriteRows(ListStream& stream) {
  CEditGrid& grid = *grid_;
  ListFileWriter& writer = *stream.writer;
  const int rows = grid.Rows();
  const int cols = grid.Cols();
  const NormalRules rules = CurrentRules();
  const bool recheckAll = rowsNormalBy_ != rules;
  {
    RedrawOff batch(grid);
    for (int r = 1; r < rows; ++r) {
      if (!recheckAll && !grid.RowEdited(r)) continue;
      QStringList cells = grid.ReadRowCells(r);
      const QStringList before = cells;
      NormalizeRow(r, cells);
      // The grid shows each row exactly as the file receives it.
      if (cells != before) grid.WriteRowCells(r, cells);
    }
  }
  // The file's encoding is settled before its first line goes out.
  const TextStore& texts = grid.CellTexts();
  for (int r = 0; r < rows && writer.encoding() == ListEncoding::kLatin1; ++r) {
    const TextStore::Cell* cells = grid.RowCells(r);
    for (int c = 1; c < cols; ++c) {
      if (cells[c].wide() &&
          !VisitCell(texts.View(cells[c]), [](auto view) { return FitsLatin1(view); })) {
        writer.UseUtf8();
        break;
      }
    }
  }
  for (int r = 0; r < rows; ++r) writer.AddLine(texts, grid.RowCells(r) + 1, cols - 1);
  grid.ForgetEdits();
  rowsNormalBy_ = rules;
  SaveColumnWidths();
}

ListControl::NormalRules ListControl::CurrentRules() const {
  NormalRules rules;
  rules.receiverNone = host_.ReceiverIsNone();
  for (const columns_st& column : g_columns) rules.choices.push_back(column.choices);
  return rules;
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
  QString normal;
  for (int j = kColFrequency; j < cols; ++j) {
    if (NormalCell(j, cells[j], &normal)) cells[j] = normal;
  }
  return true;
}

void ListControl::NormalizeStoredRows() {
  CEditGrid& grid = *grid_;
  const int rows = grid.Rows();
  const int cols = grid.Cols();
  if (cols <= kColFrequency) return;
  // Only these columns have rules.
  std::vector<int> ruled{kColFrequency};
  for (int j = kColFrequency + 1; j < cols; ++j) {
    const bool choices = j < int(g_columns.size()) && g_columns[j].choices != nullptr;
    if (j == kColMode || choices) ruled.push_back(j);
  }
  QString normal;
  for (int r = 1; r < rows; ++r) {
    if (grid.TextView(r, kColFrequency).isEmpty()) {
      for (int j = kColFrequency + 1; j < cols; ++j) {
        if (!grid.TextView(r, j).isEmpty()) grid.SetTextMatrix(r, j, QString());
      }
      continue;
    }
    for (int j : ruled) {
      if (NormalCell(j, grid.TextView(r, j), &normal)) grid.SetTextMatrix(r, j, normal);
    }
  }
}

bool ListControl::NormalCell(int col, QAnyStringView text, QString* normal) {
  if (col == kColFrequency) {
    FrequencyChars buffer;
    const QLatin1StringView form = NormalFrequency(text, buffer);
    if (QAnyStringView::equal(text, form)) return false;
    *normal = form;
    return true;
  }
  // The text so far, once it differs from the cell's.
  QString changedText;
  bool changed = false;
  const auto current = [&]() -> QAnyStringView { return changed ? changedText : text; };
  if (col == kColMode) {
    if (host_.ReceiverIsNone()) {
      changed = !text.isEmpty();
    } else if (VisitCell(text, [](auto view) {
                 for (qsizetype i = 0; i < view.size(); ++i) {
                   const char16_t c = view.at(i).unicode();
                   if (c >= 0x80 || (c >= u'a' && c <= u'z')) return true;
                 }
                 return false;
               })) {
      // Only what may have lower case letters goes through the full case mapping.
      QString upper = text.toString().toUpper();
      changed = !QAnyStringView::equal(upper, text);
      changedText = std::move(upper);
    }
  }
  const ModeEntry* choices = col < int(g_columns.size()) ? g_columns[col].choices : nullptr;
  if (choices != nullptr && choices[0].name != nullptr) {
    const ModeEntry* match = nullptr;
    for (const ModeEntry* e = choices; e->name != nullptr && match == nullptr; ++e) {
      if (QAnyStringView::compare(current(), QLatin1StringView(e->name), Qt::CaseInsensitive) == 0)
        match = e;
    }
    if (match == nullptr) {
      match = choices;
      doc_.SetModifiedFlag(true);
    }
    if (!QAnyStringView::equal(current(), QLatin1StringView(match->name))) {
      changedText = QLatin1StringView(match->name);
      changed = true;
    }
  }
  if (changed) *normal = changedText;
  return changed;
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
  const QString line = ReadFirstLine(WidthsFilePath(doc_.m_listPath));
  if (line.isEmpty()) return {};
  return ParseColumnWidths(line, ClientWidth());
}

void ListControl::SaveColumnWidths() {
  if (doc_.m_listPath.isEmpty()) return;
  QList<int> widths;
  for (int i = 1; i < grid_->Cols(); ++i) widths.push_back(grid_->ColWidth(i));
  WriteTextSilently(WidthsFilePath(doc_.m_listPath), FormatColumnWidths(widths));
}

void ListControl::JustifyColumns() {
  CEditGrid& grid = *grid_;
  const int cols = grid.Cols();
  if (cols < 2) return;
  const int each = (ClientWidth() - grid.ColWidth(0) - ScrollBarWidth() - 2) / (cols - 1);
  for (int i = 1; i < cols; ++i) grid.SetColWidth(i, each);
}
