// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/cell_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace {

// Cells address their block with 32 bits; a list file is at most a quarter of that.
constexpr size_t kMaxBlock = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kMaxCell = TextStore::Cell::kWide - 1;
// Smaller blocks are never worth compacting.
constexpr size_t kCompactFloor = 1 << 20;

}  // namespace

template <typename Char>
bool TextBlock<Char>::Reserve(size_t capacity) {
  if (capacity <= capacity_) return true;
  const size_t bytes = BlockCapacity(capacity * sizeof(Char));
  void* grown = ReallocateBlock(data_, capacity_ * sizeof(Char), bytes);
  if (grown == nullptr) return false;
  data_ = static_cast<Char*>(grown);
  capacity_ = bytes / sizeof(Char);
  return true;
}

template <typename Char>
Char* TextBlock<Char>::Extend(size_t n) {
  if (size_ + n > capacity_ && !Reserve(std::max(size_ + n, capacity_ + capacity_ / 2 + 64)))
    return nullptr;
  Char* start = data_ + size_;
  size_ += n;
  return start;
}

template class TextBlock<char>;
template class TextBlock<char16_t>;

bool FitsLatin1(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QString TextStore::Text(Cell cell) const {
  const uint32_t length = cell.length();
  if (length == 0) return QString();
  if (cell.wide()) return QString(reinterpret_cast<const QChar*>(wide_.data() + cell.at), length);
  return QString::fromLatin1(narrow_.data() + cell.at, length);
}

template <typename Char>
void TextStore::Put(Cell& cell, const Char* text, size_t length, bool wide) {
  if (length > kMaxCell) throw std::length_error("cell text too long");
  const uint32_t oldLength = cell.length();
  const uint32_t size = uint32_t(length) | (wide ? Cell::kWide : 0);
  if (length == 0) {
    Release(cell);
    return;
  }
  // Over the old text: a row number or a corrected cell rarely grows.
  if (cell.wide() == wide && length <= oldLength) {
    if (wide) {
      std::copy_n(text, length, wide_.data() + cell.at);
      wideWaste_ += oldLength - length;
    } else {
      std::copy_n(text, length, narrow_.data() + cell.at);
      narrowWaste_ += oldLength - length;
    }
    cell.size = size;
    return;
  }
  size_t at = 0;
  if (wide) {
    if (wide_.size() + length > kMaxBlock) throw std::length_error("list text too long");
    char16_t* out = wide_.Extend(length);
    if (out == nullptr) throw std::bad_alloc();
    std::copy_n(text, length, out);
    at = size_t(out - wide_.data());
  } else {
    if (narrow_.size() + length > kMaxBlock) throw std::length_error("list text too long");
    char* out = narrow_.Extend(length);
    if (out == nullptr) throw std::bad_alloc();
    // Narrowing a UTF-16 text that fits: every character is at most 0xFF.
    std::transform(text, text + length, out, [](auto c) { return char(c); });
    at = size_t(out - narrow_.data());
  }
  Waste(cell);
  cell.at = uint32_t(at);
  cell.size = size;
}

void TextStore::Set(Cell& cell, QStringView text) {
  const auto* chars = reinterpret_cast<const char16_t*>(text.utf16());
  Put(cell, chars, size_t(text.size()), !FitsLatin1(text));
}

void TextStore::Set(Cell& cell, QLatin1StringView text) {
  Put(cell, text.data(), size_t(text.size()), false);
}

void TextStore::Set(Cell& cell, QAnyStringView text) {
  text.visit([&](auto view) {
    if constexpr (std::is_same_v<decltype(view), QUtf8StringView>) {
      Set(cell, QStringView(view.toString()));
    } else {
      Set(cell, view);
    }
  });
}

void TextStore::CompactIfWasteful(std::vector<Cell, BlockAllocator<Cell>>& cells) {
  const bool narrow = narrow_.size() > kCompactFloor && narrowWaste_ > narrow_.size() / 2;
  const bool wide = wide_.size() > kCompactFloor && wideWaste_ > wide_.size() / 2;
  if (!narrow && !wide) return;
  TextBlock<char> narrowCopy;
  TextBlock<char16_t> wideCopy;
  if (narrow && !narrowCopy.Reserve(narrow_.size() - narrowWaste_ + 1)) return;
  if (wide && !wideCopy.Reserve(wide_.size() - wideWaste_ + 1)) return;
  for (Cell& cell : cells) {
    const uint32_t length = cell.length();
    if (length == 0) continue;
    if (cell.wide() && wide) {
      char16_t* out = wideCopy.Extend(length);
      if (out == nullptr) throw std::bad_alloc();
      std::memcpy(out, wide_.data() + cell.at, length * sizeof(char16_t));
      cell.at = uint32_t(out - wideCopy.data());
    } else if (!cell.wide() && narrow) {
      char* out = narrowCopy.Extend(length);
      if (out == nullptr) throw std::bad_alloc();
      std::memcpy(out, narrow_.data() + cell.at, length);
      cell.at = uint32_t(out - narrowCopy.data());
    }
  }
  if (narrow) {
    narrow_ = std::move(narrowCopy);
    narrowWaste_ = 0;
  }
  if (wide) {
    wide_ = std::move(wideCopy);
    wideWaste_ = 0;
  }
}
