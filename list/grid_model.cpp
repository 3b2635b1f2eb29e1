// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/grid_model.h"

#include <QBrush>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace {

Qt::Alignment ToQtAlignment(int alignment) {
  static const Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  static const Qt::Alignment kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
  if (alignment < 0 || alignment >= GridModel::kAlignGeneral)
    return Qt::AlignLeft | Qt::AlignVCenter;
  return kHorizontal[alignment / 3] | kVertical[alignment % 3];
}

// True when the whole text, blanks around it aside, is one finite decimal number.
template <typename View>
bool ParseNumber(View text, double& value) {
  const View trimmed = text.trimmed();
  char buffer[64] = {};
  if (trimmed.isEmpty() || trimmed.size() >= qsizetype(sizeof buffer)) return false;
  int length = 0;
  for (qsizetype i = 0; i < trimmed.size(); ++i) {
    const char16_t ch = trimmed.at(i).unicode();
    if (ch > 127) return false;
    buffer[length++] = char(ch);
  }
  const char* begin = buffer;
  const char* end = buffer + length;
  if (*begin == '+') ++begin;
  const char* digits = begin != end && *begin == '-' && begin == buffer ? begin + 1 : begin;
  // from_chars would also take "inf" and "nan", which are words here.
  if (digits == end || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.'))
    return false;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

// One cell's sort key. Empty cells come first, then numbers by value, then other texts:
// comparing a number with a text as texts would make the order depend on the sort's path
// (9.5 < 10 < "5x" < 9.5), so every number goes before every text.
struct SortKey {
  enum Kind : uint8_t { kEmpty, kNumber, kText } kind = kEmpty;
  double number = 0;
  QString folded;
  QString text;
};

SortKey MakeKey(QAnyStringView text) {
  SortKey key;
  if (text.isEmpty()) return key;
  if (VisitCell(text, [&](auto view) { return ParseNumber(view, key.number); })) {
    key.kind = SortKey::kNumber;
    return key;
  }
  key.kind = SortKey::kText;
  key.text = text.toString();
  key.folded = key.text.toCaseFolded();
  return key;
}

int CompareKeys(const SortKey& a, const SortKey& b) {
  if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
  if (a.kind == SortKey::kNumber) return a.number < b.number ? -1 : b.number < a.number ? 1 : 0;
  if (a.kind == SortKey::kEmpty) return 0;
  const int folded = a.folded.compare(b.folded);
  return folded != 0 ? folded : a.text.compare(b.text);
}

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
  cells_.resize(1);
  aligns_.assign(1, kAlignGeneral);
  edited_.assign(1, 1);
}

void GridModel::Resize(int rows, int cols) {
  ++revision_;
  Compact();
  ResizeCols(std::max(cols, 1));
  ResizeRows(std::max(rows, 1));
}

void GridModel::ResizeCols(int cols) {
  if (cols == cols_) return;
  const bool tell = !frozen_;
  const bool grow = cols > cols_;
  if (tell && grow) beginInsertColumns(QModelIndex(), cols_ - 1, cols - 2);
  if (tell && !grow) beginRemoveColumns(QModelIndex(), cols - 1, cols_ - 2);
  CellVector cells(size_t(rows_) * size_t(cols));
  std::vector<uint8_t> aligns(cells.size(), kAlignGeneral);
  const int kept = std::min(cols, cols_);
  for (int row = 0; row < rows_; ++row) {
    for (int col = 0; col < kept; ++col) {
      cells[size_t(row) * size_t(cols) + size_t(col)] = cells_[At(row, col)];
      aligns[size_t(row) * size_t(cols) + size_t(col)] = aligns_[At(row, col)];
    }
    for (int col = kept; col < cols_; ++col) text_.Release(cells_[At(row, col)]);
  }
  cells_.swap(cells);
  aligns_.swap(aligns);
  MarkAllEdited();
  std::erase_if(colours_,
                [cols](const auto& entry) { return int(entry.first & 0xffffffffu) >= cols; });
  cols_ = cols;
  if (tell) {
    shownCols_ = cols_;
    grow ? endInsertColumns() : endRemoveColumns();
  } else {
    shapeDirty_ = true;
  }
}

void GridModel::ResizeRows(int rows) {
  if (rows == rows_) return;
  const bool tell = !frozen_;
  const bool grow = rows > rows_;
  if (tell && grow) beginInsertRows(QModelIndex(), rows_ - 1, rows - 2);
  if (tell && !grow) beginRemoveRows(QModelIndex(), rows - 1, rows_ - 2);
  const size_t cells = size_t(rows) * size_t(cols_);
  if (cells > cells_.capacity()) {
    // Room for the lines inserted later: growing a full store moves every cell of a long
    // list at once, and room that is never written costs no memory.
    cells_.reserve(cells + cells / 8);
    aligns_.reserve(cells + cells / 8);
    edited_.reserve(size_t(rows) + size_t(rows) / 8);
  }
  for (size_t i = cells; i < cells_.size(); ++i) text_.Release(cells_[i]);
  cells_.resize(cells);
  aligns_.resize(cells, kAlignGeneral);
  edited_.resize(size_t(rows), 1);
  if (!grow)
    std::erase_if(colours_, [rows](const auto& entry) { return int(entry.first >> 32) >= rows; });
  rows_ = rows;
  gapAt_ = rows_;
  if (tell) {
    shownRows_ = rows_;
    grow ? endInsertRows() : endRemoveRows();
  } else {
    shapeDirty_ = true;
  }
}

QString GridModel::Text(int row, int col) const {
  return InRange(row, col) ? text_.Text(cells_[At(row, col)]) : QString();
}

QAnyStringView GridModel::View(int row, int col) const {
  return InRange(row, col) ? text_.View(cells_[At(row, col)]) : QLatin1StringView();
}

void GridModel::SetText(int row, int col, const QString& text) {
  if (!InRange(row, col)) return;
  // Writing a row back as it stands (its normal form, before tuning it) leaves it current.
  if (!QAnyStringView::equal(View(row, col), text)) ++revision_;
  text_.Set(cells_[At(row, col)], text);
  MarkEdited(row, col);
  text_.CompactIfWasteful(cells_);
  CellChanged(row, col);
}

void GridModel::SetRowTexts(int row, QStringList texts) {
  if (!InRange(row, 0)) return;
  const size_t base = At(row, 0);
  const int given = int(std::min<qsizetype>(texts.size(), cols_));
  bool same = true;
  for (int col = 0; col < cols_ && same; ++col) {
    const QAnyStringView wanted = col < given ? QAnyStringView(texts[col]) : QAnyStringView();
    same = QAnyStringView::equal(text_.View(cells_[base + size_t(col)]), wanted);
  }
  if (!same) ++revision_;
  for (int col = 0; col < given; ++col) text_.Set(cells_[base + size_t(col)], texts[col]);
  for (int col = given; col < cols_; ++col) text_.Release(cells_[base + size_t(col)]);
  MarkEdited(row, 1);
  text_.CompactIfWasteful(cells_);
  RowsChanged(row, row);
}

void GridModel::InsertRow(int index, const QStringList& texts) {
  if (index < 1 || index > rows_) return;
  ++revision_;
  Compact();
  if (!frozen_) beginInsertRows(QModelIndex(), index - 1, index - 1);
  const size_t base = size_t(index) * size_t(cols_);
  cells_.insert(cells_.begin() + ptrdiff_t(base), size_t(cols_), TextStore::Cell());
  aligns_.insert(aligns_.begin() + ptrdiff_t(base), size_t(cols_), kAlignGeneral);
  edited_.insert(edited_.begin() + index, uint8_t(1));
  for (int col = 0; col < std::min<int>(cols_, int(texts.size())); ++col)
    text_.Set(cells_[base + size_t(col)], texts[col]);
  RekeyColours([index](int row) { return row < index ? row : row + 1; });
  ++rows_;
  gapAt_ = rows_;
  if (frozen_) {
    shapeDirty_ = true;
    return;
  }
  shownRows_ = rows_;
  endInsertRows();
}

void GridModel::RemoveRow(int index) {
  if (index < 1 || index >= rows_) return;
  ++revision_;
  if (!frozen_) beginRemoveRows(QModelIndex(), index - 1, index - 1);
  if (gapLen_ == 0) {
    gapAt_ = index;
  } else if (index == gapAt_ - 1) {
    --gapAt_;
  } else if (index != gapAt_) {
    Compact();
    gapAt_ = index;
  }
  ++gapLen_;
  --rows_;
  if (frozen_) {
    shapeDirty_ = true;
    return;
  }
  shownRows_ = rows_;
  endRemoveRows();
}

void GridModel::Compact() {
  if (gapLen_ == 0) return;
  const auto first = ptrdiff_t(gapAt_) * cols_;
  const auto last = ptrdiff_t(gapAt_ + gapLen_) * cols_;
  for (auto cell = cells_.begin() + first; cell != cells_.begin() + last; ++cell)
    text_.Release(*cell);
  cells_.erase(cells_.begin() + first, cells_.begin() + last);
  aligns_.erase(aligns_.begin() + first, aligns_.begin() + last);
  edited_.erase(edited_.begin() + gapAt_, edited_.begin() + gapAt_ + gapLen_);
  const int gapAt = gapAt_, gapLen = gapLen_;
  RekeyColours([gapAt, gapLen](int stored) {
    return stored < gapAt ? stored : stored < gapAt + gapLen ? -1 : stored - gapLen;
  });
  gapAt_ = rows_;
  gapLen_ = 0;
}

template <typename Map>
void GridModel::RekeyColours(Map map) {
  if (colours_.empty()) return;
  std::unordered_map<uint64_t, QRgb> moved;
  moved.reserve(colours_.size());
  for (const auto& [key, colour] : colours_) {
    const int row = map(int(key >> 32));
    if (row >= 0) moved.emplace(uint64_t(row) << 32 | (key & 0xffffffffu), colour);
  }
  colours_.swap(moved);
}

void GridModel::ClearTexts() {
  ++revision_;
  for (TextStore::Cell& cell : cells_) text_.Release(cell);
  text_.CompactIfWasteful(cells_);
  MarkAllEdited();
  RowsChanged(0, rows_ - 1);
}

void GridModel::Adopt(CellMatrix&& matrix) {
  ++revision_;
  Compact();
  const int rows = std::max(matrix.rows, 1);
  const int cols = std::max(matrix.cols, 1);
  CellVector cells = std::move(matrix.cells);
  cells.resize(size_t(rows) * size_t(cols));
  const bool sameShape = rows == rows_ && cols == cols_;
  if (sameShape) {
    // The captions and the row numbers move over; views of the old store end here.
    for (int col = 0; col < cols; ++col) matrix.text.Set(cells[size_t(col)], View(0, col));
    for (int row = 1; row < rows; ++row)
      matrix.text.Set(cells[size_t(row) * size_t(cols)], View(row, 0));
  }
  cells_ = std::move(cells);
  text_ = std::move(matrix.text);
  edited_.assign(size_t(rows), 0);
  if (sameShape) {
    RowsChanged(0, rows_ - 1);
    return;
  }
  if (!frozen_) beginResetModel();
  rows_ = rows;
  cols_ = cols;
  aligns_.assign(cells_.size(), kAlignGeneral);
  std::erase_if(colours_, [rows, cols](const auto& entry) {
    return int(entry.first >> 32) >= rows || int(entry.first & 0xffffffffu) >= cols;
  });
  gapAt_ = rows_;
  if (frozen_) {
    shapeDirty_ = true;
    return;
  }
  shownRows_ = rows_;
  shownCols_ = cols_;
  endResetModel();
}

void GridModel::ForgetEdits() { std::fill(edited_.begin(), edited_.end(), uint8_t(0)); }

void GridModel::NumberRows(const QColor& colour) {
  int first = rows_, last = 0;
  char digits[16];
  for (int row = 1; row < rows_; ++row) {
    const char* end = std::to_chars(digits, digits + sizeof digits, row).ptr;
    const QLatin1StringView number(digits, end - digits);
    TextStore::Cell& cell = cells_[At(row, 0)];
    if (QAnyStringView::equal(text_.View(cell), number)) continue;
    text_.Set(cell, number);
    first = std::min(first, row);
    last = row;
  }
  text_.CompactIfWasteful(cells_);
  if (!colour.isValid()) {
    const size_t before = colours_.size();
    std::erase_if(colours_, [](const auto& entry) {
      return (entry.first & 0xffffffffu) == 0 && (entry.first >> 32) != 0;
    });
    if (colours_.size() != before) {
      first = 1;
      last = rows_ - 1;
    }
  } else {
    for (int row = 1; row < rows_; ++row) {
      auto [entry, added] = colours_.try_emplace(ColourKey(row, 0), colour.rgba());
      if (!added && entry->second == colour.rgba()) continue;
      entry->second = colour.rgba();
      first = std::min(first, row);
      last = std::max(last, row);
    }
  }
  if (last < first) return;
  if (frozen_) {
    dataDirty_ = true;
    return;
  }
  emit headerDataChanged(Qt::Vertical, first - 1, last - 1);
}

void GridModel::SortRows(int first, int last, int firstKey, int lastKey) {
  ++revision_;
  first = std::max(first, 1);
  last = std::min(last, rows_ - 1);
  firstKey = std::max(firstKey, 0);
  lastKey = std::min(lastKey, cols_ - 1);
  if (last <= first || lastKey < firstKey) return;
  Compact();
  const int count = last - first + 1;
  const int keyCount = lastKey - firstKey + 1;
  std::vector<SortKey> keys;
  keys.reserve(size_t(count) * size_t(keyCount));
  for (int row = first; row <= last; ++row) {
    for (int col = firstKey; col <= lastKey; ++col) keys.push_back(MakeKey(View(row, col)));
  }
  std::vector<int> order(static_cast<size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (int k = 0; k < keyCount; ++k) {
      const int c = CompareKeys(keys[size_t(a) * keyCount + k], keys[size_t(b) * keyCount + k]);
      if (c != 0) return c < 0;
    }
    return false;
  });

  const size_t base = At(first, 0);
  std::vector<TextStore::Cell> cells(size_t(count) * size_t(cols_));
  std::vector<uint8_t> aligns(cells.size());
  std::vector<uint8_t> edited(static_cast<size_t>(count));
  std::vector<int> newRowOf(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const size_t from = base + size_t(order[i]) * size_t(cols_);
    std::copy_n(cells_.begin() + ptrdiff_t(from), cols_, cells.begin() + ptrdiff_t(i) * cols_);
    std::copy_n(aligns_.begin() + ptrdiff_t(from), cols_, aligns.begin() + ptrdiff_t(i) * cols_);
    edited[size_t(i)] = edited_[size_t(first + order[i])];
    newRowOf[size_t(order[i])] = first + i;
  }
  std::copy(cells.begin(), cells.end(), cells_.begin() + ptrdiff_t(base));
  std::copy(aligns.begin(), aligns.end(), aligns_.begin() + ptrdiff_t(base));
  std::copy(edited.begin(), edited.end(), edited_.begin() + first);
  RekeyColours(
      [&](int row) { return row < first || row > last ? row : newRowOf[size_t(row - first)]; });
  RowsChanged(first, last);
}

QColor GridModel::BackColor(int row, int col) const {
  if (!InRange(row, col)) return QColor();
  const auto found = colours_.find(ColourKey(row, col));
  return found == colours_.end() ? QColor() : QColor::fromRgba(found->second);
}

void GridModel::SetBackColor(int row, int col, const QColor& colour) {
  if (!InRange(row, col)) return;
  const uint64_t key = ColourKey(row, col);
  if (colour.isValid()) {
    auto [entry, added] = colours_.try_emplace(key, colour.rgba());
    if (!added && entry->second == colour.rgba()) return;
    entry->second = colour.rgba();
  } else if (colours_.erase(key) == 0) {
    return;
  }
  CellChanged(row, col);
}

int GridModel::Alignment(int row, int col) const {
  return InRange(row, col) ? aligns_[At(row, col)] : kAlignGeneral;
}

void GridModel::SetAlignment(int row, int col, int alignment) {
  if (!InRange(row, col) || alignment < 0 || alignment > kAlignGeneral) return;
  uint8_t& stored = aligns_[At(row, col)];
  if (stored == alignment) return;
  stored = uint8_t(alignment);
  CellChanged(row, col);
}

void GridModel::Freeze() { frozen_ = true; }

void GridModel::Thaw() {
  if (!frozen_) return;
  frozen_ = false;
  if (shapeDirty_) {
    beginResetModel();
    shownRows_ = rows_;
    shownCols_ = cols_;
    shapeDirty_ = dataDirty_ = false;
    endResetModel();
    return;
  }
  if (!dataDirty_) return;
  dataDirty_ = false;
  RowsChanged(0, rows_ - 1);
}

void GridModel::CellChanged(int row, int col) {
  if (frozen_) {
    dataDirty_ = true;
    return;
  }
  if (row >= 1 && col >= 1) {
    const QModelIndex cell = index(row - 1, col - 1);
    emit dataChanged(cell, cell);
  } else if (row == 0 && col >= 1) {
    emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
  } else if (col == 0 && row >= 1) {
    emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
  }
}

void GridModel::RowsChanged(int first, int last) {
  if (frozen_) {
    dataDirty_ = true;
    return;
  }
  if (first == 0 && cols_ > 1) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 2);
  first = std::max(first, 1);
  if (last < first) return;
  if (cols_ > 1) emit dataChanged(index(first - 1, 0), index(last - 1, cols_ - 2));
  emit headerDataChanged(Qt::Vertical, first - 1, last - 1);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_ - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCols_ - 1;
}

QVariant GridModel::CellData(int row, int col, int role, bool header) const {
  if (!InRange(row, col)) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      return Text(row, col);
    case Qt::BackgroundRole: {
      const QColor colour = BackColor(row, col);
      return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
    }
    case Qt::TextAlignmentRole: {
      const int alignment = Alignment(row, col);
      if (header && alignment == kAlignGeneral) return QVariant();
      return QVariant::fromValue(ToQtAlignment(alignment));
    }
    default:
      return QVariant();
  }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  return CellData(index.row() + 1, index.column() + 1, role, false);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) return CellData(0, section + 1, role, true);
  return CellData(section + 1, 0, role, true);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  // Not selectable: the grid draws its own selection.
  return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}
