// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/schedule_rows.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <new>

#include "common/texts.h"
#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/list_reader.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

LineSpan NextLine(const char* data, size_t size, size_t at) {
  LineSpan line{at, at, at};
  const void* found = std::memchr(data + at, '\n', size - at);
  line.end = found != nullptr ? size_t(static_cast<const char*>(found) - data) : size;
  line.next = line.end < size ? line.end + 1 : size;
  // A lone CR ends a line too; files with those have no LF at all, as a rule.
  const void* cr = std::memchr(data + at, '\r', line.end - at);
  if (cr != nullptr) {
    const size_t crAt = size_t(static_cast<const char*>(cr) - data);
    line.next = crAt + 1 == line.end ? line.next : crAt + 1;
    line.end = crAt;
  }
  return line;
}

std::string_view TrimmedView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

FixedLine::FixedLine(const char* data, size_t at, size_t end, bool utf8)
    : data_(data), at_(at), end_(end) {
  if (!utf8 || std::none_of(data + at, data + end, [](char c) { return c & 0x80; })) return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  for (size_t pos = at; pos < end;) {
    offsets_.push_back(pos);
    pos += size_t(std::max(1, Utf8SequenceLength(bytes + pos, end - pos)));
  }
  offsets_.push_back(end);
}

size_t FixedLine::ByteOf(size_t column) const {
  if (offsets_.empty()) return column >= end_ - at_ ? end_ : at_ + column;
  return column >= offsets_.size() ? end_ : offsets_[column];
}

ByteRange FixedLine::Slice(size_t first, size_t last) const {
  size_t from = ByteOf(first), to = std::max(from, ByteOf(last));
  while (from < to && IsBlank(data_[from])) ++from;
  while (to > from && IsBlank(data_[to - 1])) --to;
  return {from, to - from};
}

char FixedLine::At(size_t column) const {
  const size_t at = ByteOf(column);
  if (at >= end_) return ' ';
  return (data_[at] & 0x80) ? '?' : data_[at];
}

std::string MondayFirstDays(unsigned mask) {
  mask &= 0x7f;
  if (mask == 0 || mask == 0x7f) return {};
  std::string days;
  for (int day = 0; day < 7; ++day) {
    if (mask & (1u << day)) days += char('1' + day);
  }
  return days;
}

unsigned SundayFirstToMondayFirst(unsigned sundayFirst) {
  // Sunday is the first day there and the last here.
  return ((sundayFirst >> 1) & 0x3f) | ((sundayFirst & 1) << 6);
}

double PlainKhz(std::string_view text) {
  text = TrimmedView(text);
  bool digits = false, point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (IsDigit(c)) {
      digits = true;
    } else {
      return -1;
    }
  }
  return digits ? std::stod(std::string(text)) : -1;
}

bool ValidClockTime(std::string_view hhmm, bool end) {
  if (hhmm.size() != 4 || !std::all_of(hhmm.begin(), hhmm.end(), IsDigit)) return false;
  const int hours = (hhmm[0] - '0') * 10 + (hhmm[1] - '0');
  const int minutes = (hhmm[2] - '0') * 10 + (hhmm[3] - '0');
  return minutes <= 59 && (hours < 24 || (end && hours == 24 && minutes == 0));
}

std::string_view ReceiverModeName(const ModeEntry* modes, std::string_view mode) {
  for (const ModeEntry* e = modes; e != nullptr && e->name != nullptr; ++e) {
    const std::string_view name(e->name);
    if (name.size() == mode.size() &&
        std::equal(name.begin(), name.end(), mode.begin(),
                   [](char a, char b) { return (a | 0x20) == (b | 0x20); }))
      return name;
  }
  return {};
}

bool HasWord(std::string_view text, std::string_view word) {
  for (size_t pos = text.find(word); pos != std::string_view::npos;
       pos = text.find(word, pos + 1)) {
    const size_t end = pos + word.size();
    if ((pos == 0 || !IsWordChar(text[pos - 1])) && (end == text.size() || !IsWordChar(text[end])))
      return true;
  }
  return false;
}

ScheduleRows::ScheduleRows(ScheduleCells* schedule, ListEncoding encoding)
    : schedule_(schedule),
      bytes_(schedule->list.cells.text.narrow()),
      cells_(schedule->list.cells.cells),
      encoding_(encoding) {
  // Row 0 is the captions'; the cells grow with the entries found, not with the lines.
  cells_.resize(size_t(2) * kDatedColumns);
}

void ScheduleRows::AddEntry() {
  first_ = size_t(++schedule_->entries) * kDatedColumns;
  cells_.resize(first_ + kDatedColumns);
}

void ScheduleRows::Put(int column, TextStore::Cell cell) {
  const size_t index = first_ + size_t(column);
  cells_[index] = cell;
  const char* text = bytes_.data() + cell.at;
  if (encoding_ != ListEncoding::kLatin1 &&
      std::any_of(text, text + cell.length(), [](char c) { return c & 0x80; }))
    nonAscii_.push_back(index);
}

void ScheduleRows::SetField(int column, ByteRange range) {
  if (range.length == 0) return;
  const std::string_view text(bytes_.data() + range.at, range.length);
  if (text.find(';') == std::string_view::npos) {
    Put(column, {uint32_t(range.at), uint32_t(range.length)});
    return;
  }
  // A copy first: appending may move the very bytes being copied.
  scratch_.assign(text);
  SetText(column, scratch_);
}

void ScheduleRows::SetText(int column, std::string_view text) {
  if (text.empty()) return;
  const TextStore::Cell cell = Append(text);
  if (cell.length() > 0) Put(column, cell);
}

TextStore::Cell ScheduleRows::Append(std::string_view text) {
  // Cells address the block with 31 bits.
  if (tooLarge_ || bytes_.size() + text.size() >= TextStore::Cell::kWide) {
    tooLarge_ = true;
    return {};
  }
  char* out = bytes_.Extend(text.size());
  if (out == nullptr) throw std::bad_alloc();
  std::memcpy(out, text.data(), text.size());
  for (char* c = out; c != out + text.size(); ++c) {
    if (*c == ';') *c = ',';
  }
  return {uint32_t(out - bytes_.data()), uint32_t(text.size())};
}

bool ScheduleRows::Finish(const char** refusal) {
  if (tooLarge_) {
    *refusal = texts::kFileTooLargeText;
    return false;
  }
  if (schedule_->entries == 0) {
    *refusal = texts::kEmptyScheduleText;
    return false;
  }
  CellMatrix& matrix = schedule_->list.cells;
  for (size_t index : nonAscii_) {
    TextStore::Cell& cell = cells_[index];
    const QString text = QString::fromUtf8(bytes_.data() + cell.at, cell.length());
    matrix.text.Set(cell, text);
  }
  ListFileCells& list = schedule_->list;
  list.encoding = encoding_;
  list.header = kScheduleListHeaderWithDates;
  list.lineCount = schedule_->entries + 1;
  matrix.rows = std::max(list.lineCount, 2);
  matrix.cols = kDatedColumns;
  cells_.resize(size_t(matrix.rows) * kDatedColumns);
  size_t live = 0;
  for (const TextStore::Cell& cell : cells_) {
    if (!cell.wide()) live += cell.length();
  }
  matrix.text.SetWaste(bytes_.size() - live, 0);
  return true;
}
