// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>
#include <cstdint>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "list/memory_block.h"

// A block of characters that many cells point into. Not a vector: a list file is read
// straight into a block, nothing is zero-filled first, and growing a large block remaps its
// pages instead of copying them.
template <typename Char>
class TextBlock {
 public:
  TextBlock() = default;
  TextBlock(TextBlock&& other) noexcept { Take(other); }
  TextBlock& operator=(TextBlock&& other) noexcept {
    if (this != &other) {
      FreeBlock(data_, capacity_ * sizeof(Char));
      Take(other);
    }
    return *this;
  }
  TextBlock(const TextBlock&) = delete;
  TextBlock& operator=(const TextBlock&) = delete;
  ~TextBlock() { FreeBlock(data_, capacity_ * sizeof(Char)); }

  Char* data() { return data_; }
  const Char* data() const { return data_; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }

  // Makes room for at least capacity characters; false when memory ran out.
  bool Reserve(size_t capacity);
  // Appends n characters left for the caller to write; null when memory ran out.
  Char* Extend(size_t n);
  void Resize(size_t size) { size_ = size; }  // never past capacity
  void Clear() {
    FreeBlock(data_, capacity_ * sizeof(Char));
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  void Take(TextBlock& other) {
    data_ = other.data_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
  }

  Char* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
};

// The texts of every cell of a list. A cell is eight bytes pointing into one of two
// blocks: Latin-1 bytes for the texts that fit (nearly all, in any real list) and UTF-16
// for the rest. A list of a million cells thus costs its characters and eight bytes a
// cell, where a string per cell costs a heap block each.
class TextStore {
 public:
  struct Cell {
    uint32_t at = 0;
    uint32_t size = 0;  // the top bit marks UTF-16

    static constexpr uint32_t kWide = 0x80000000u;
    bool wide() const { return (size & kWide) != 0; }
    uint32_t length() const { return size & ~kWide; }
  };

  // Views stay valid until the next change of any cell.
  QAnyStringView View(Cell cell) const {
    const uint32_t length = cell.length();
    if (length == 0) return QLatin1StringView();
    if (cell.wide()) return QStringView(wide_.data() + cell.at, length);
    return QLatin1StringView(narrow_.data() + cell.at, length);
  }
  QString Text(Cell cell) const;

  // Puts text into the cell, over its old text when that has room for it.
  void Set(Cell& cell, QStringView text);
  void Set(Cell& cell, const QString& text) { Set(cell, QStringView(text)); }
  void Set(Cell& cell, QLatin1StringView text);
  // Never a view of this store's own texts: they may move while the text is copied.
  void Set(Cell& cell, QAnyStringView text);
  // The cell becomes empty; its old text counts as waste.
  void Release(Cell& cell) {
    Waste(cell);
    cell = Cell();
  }

  // Once most of a block is waste, the texts of cells are copied into a fresh block in
  // their order, which also brings rows that a sort scattered back together.
  void CompactIfWasteful(std::vector<Cell, BlockAllocator<Cell>>& cells);

  // For a reader that fills the narrow block itself: waste is what no cell points to.
  TextBlock<char>& narrow() { return narrow_; }
  TextBlock<char16_t>& wide() { return wide_; }
  void SetWaste(size_t narrow, size_t wide) {
    narrowWaste_ = narrow;
    wideWaste_ = wide;
  }
  size_t Bytes() const { return narrow_.capacity() + 2 * wide_.capacity(); }
  const char* NarrowData() const { return narrow_.data(); }

 private:
  void Waste(Cell cell) { (cell.wide() ? wideWaste_ : narrowWaste_) += cell.length(); }
  template <typename Char>
  void Put(Cell& cell, const Char* text, size_t length, bool wide);

  TextBlock<char> narrow_;
  TextBlock<char16_t> wide_;
  size_t narrowWaste_ = 0, wideWaste_ = 0;
};

// True when every character of text fits in Latin-1.
bool FitsLatin1(QStringView text);
inline bool FitsLatin1(QLatin1StringView) { return true; }

// Calls f with a cell's text as the QLatin1StringView or QStringView that it is; both have
// size(), at() with unicode() and the usual searches, so f is usually a generic lambda.
template <typename F>
auto VisitCell(QAnyStringView text, F&& f) {
  return text.visit([&f](auto view) {
    if constexpr (std::is_same_v<decltype(view), QUtf8StringView>) {
      // The store never hands out UTF-8; other callers pay for a copy.
      const QString copy = view.toString();
      return f(QStringView(copy));
    } else {
      return f(view);
    }
  });
}

// A grid's cells in row-major order.
using CellVector = std::vector<TextStore::Cell, BlockAllocator<TextStore::Cell>>;

// A whole grid's cells as a reader produced them: rows * cols cells.
struct CellMatrix {
  int rows = 0, cols = 0;
  CellVector cells;
  TextStore text;
};
