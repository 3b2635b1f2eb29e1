// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_reader.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <limits>

#include "common/texts.h"
#include "list/columns.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char kSeparator = ';';
// Estimates of the number of lines never reserve more cells than this at once.
constexpr size_t kMaxReservedCells = size_t(32) << 20;

bool Special(unsigned char c, bool high) {
  return c == '\n' || c == '\r' || c == kSeparator || c == '\0' || (high && c >= 0x80);
}

// The first byte from pos on that ends a field or a line or is NUL, or with high set is
// not ASCII; size when there is none.
size_t NextSpecial(const char* data, size_t pos, size_t size, bool high) {
#ifdef __SSE2__
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i carriage = _mm_set1_epi8('\r');
  const __m128i separator = _mm_set1_epi8(kSeparator);
  const __m128i zero = _mm_setzero_si128();
  for (; pos + 16 <= size; pos += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, newline), _mm_cmpeq_epi8(chunk, carriage)),
                     _mm_or_si128(_mm_cmpeq_epi8(chunk, separator), _mm_cmpeq_epi8(chunk, zero)));
    // The sign bit of each byte is set for every byte from 0x80 on.
    const int mask = _mm_movemask_epi8(hits) | (high ? _mm_movemask_epi8(chunk) : 0);
    if (mask != 0) return pos + size_t(__builtin_ctz(unsigned(mask)));
  }
#endif
  while (pos < size && !Special(static_cast<unsigned char>(data[pos]), high)) ++pos;
  return pos;
}

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Cells found in one pass; the rows are appended as lines end.
class CellCutter {
 public:
  CellCutter(TextBlock<char>& bytes, CellVector& cells) : bytes_(bytes), cells_(cells) {}

  // Lines, fields and the encoding; false with the refusal's text in *refusal.
  bool Cut(const char** refusal);

  size_t headerStart = 0, headerEnd = 0;
  int lines = 0;
  int cols = 0;
  bool utf8 = true;
  bool bom = false;
  // Cells holding bytes from 0x80 on: in a UTF-8 file they are decoded afterwards.
  std::vector<size_t> nonAscii;
  size_t cellBytes = 0;

 private:
  void EndLine(size_t lineEnd);
  void EndField(size_t start, size_t end, bool high);

  TextBlock<char>& bytes_;
  CellVector& cells_;
  int field_ = 0;  // of the line being cut
};

bool CellCutter::Cut(const char** refusal) {
  const char* data = bytes_.data();
  const size_t size = bytes_.size();
  size_t pos = 0;
  if (size >= size_t(kUtf8BomSize) && std::memcmp(data, kUtf8Bom, kUtf8BomSize) == 0) {
    bom = true;
    pos = kUtf8BomSize;
  }
  // A last line without an end counts too, even when it ends in a separator.
  size_t lineStart = pos, fieldStart = pos;
  bool fieldHigh = false;
  while (lineStart < size) {
    // Once the file is known not to be UTF-8, its other bytes need no look of their own.
    pos = NextSpecial(data, pos, size, utf8);
    const auto c = pos < size ? static_cast<unsigned char>(data[pos]) : '\n';
    if (c >= 0x80 && pos < size) {
      fieldHigh = true;
      const int length =
          utf8 ? Utf8SequenceLength(reinterpret_cast<const unsigned char*>(data) + pos, size - pos)
               : 1;
      if (length == 0) utf8 = false;
      pos += size_t(std::max(length, 1));
      continue;
    }
    if (c == '\0') {
      *refusal = texts::kFileBinaryText;
      return false;
    }
    EndField(fieldStart, pos, fieldHigh);
    fieldHigh = false;
    fieldStart = pos + 1;
    if (c == kSeparator) {
      ++pos;
      continue;
    }
    if (pos - lineStart > size_t(kMaxListLineBytes)) {
      // A NUL anywhere makes it binary data first, as a whole-file check would.
      const bool binary = std::memchr(data + pos, '\0', size - pos) != nullptr;
      *refusal = binary ? texts::kFileBinaryText : texts::kFileLineTooLongText;
      return false;
    }
    EndLine(pos);
    if (c == '\r' && pos + 1 < size && data[pos + 1] == '\n') ++pos;
    lineStart = fieldStart = ++pos;
  }
  return true;
}

void CellCutter::EndField(size_t start, size_t end, bool high) {
  const int line = lines;
  const int field = field_++;
  if (line == 0 || field + 1 >= cols) return;
  const size_t length = end - start;
  if (length == 0) return;
  const size_t index = size_t(line) * size_t(cols) + size_t(field) + 1;
  cells_[index] = {uint32_t(start), uint32_t(length)};
  cellBytes += length;
  if (high && utf8) nonAscii.push_back(index);
}

void CellCutter::EndLine(size_t lineEnd) {
  if (lines == 0) {
    headerStart = bom ? size_t(kUtf8BomSize) : 0;
    headerEnd = lineEnd;
    cols = ColumnsForHeader(field_);
    // Room for a guess of the number of lines, from the header's length: reserved room
    // that is never written costs no memory.
    const size_t guess = bytes_.size() / std::max<size_t>(lineEnd - headerStart + 1, 16) * 2 + 2;
    cells_.reserve(std::min(guess * size_t(cols), kMaxReservedCells));
    cells_.resize(size_t(cols) * 2);  // row 0 and line 1
  }
  ++lines;
  field_ = 0;
  if (cells_.size() < size_t(lines + 1) * size_t(cols))
    cells_.resize(size_t(lines + 1) * size_t(cols));
}

// A mark at the start of a text is a character of it: only the file's own leading mark,
// already cut off, is not.
QStringDecoder Utf8Decoder() {
  return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
}

// In a UTF-8 file, the cells that are not plain ASCII: those that Latin-1 can hold are
// rewritten as Latin-1 in their own place (never longer than the UTF-8), the others move
// to the UTF-16 block.
void DecodeUtf8Cells(const std::vector<size_t>& indexes, CellVector& cells, TextStore& store) {
  TextBlock<char>& narrow = store.narrow();
  TextBlock<char16_t>& wide = store.wide();
  QStringDecoder decoder = Utf8Decoder();
  for (size_t index : indexes) {
    TextStore::Cell& cell = cells[index];
    const QString text = decoder.decode(QByteArrayView(narrow.data() + cell.at, cell.length()));
    if (FitsLatin1(text)) {
      char* out = narrow.data() + cell.at;
      for (QChar c : text) *out++ = char(c.unicode());
      cell.size = uint32_t(text.size());
      continue;
    }
    char16_t* out = wide.Extend(size_t(text.size()));
    if (out == nullptr) throw std::bad_alloc();
    std::memcpy(out, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    cell = {uint32_t(out - wide.data()), uint32_t(text.size()) | TextStore::Cell::kWide};
  }
}

}  // namespace

int Utf8SequenceLength(const unsigned char* bytes, size_t available) {
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return 1;
  int length = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (available < size_t(length)) return 0;
  if (bytes[1] < low || bytes[1] > high) return 0;
  for (int i = 2; i < length; ++i) {
    if (!Continuation(bytes[i])) return 0;
  }
  return length;
}

bool ReadListCells(const QString& path, ListFileCells* out, QString* error) {
  ListFileCells result;
  TextBlock<char>& bytes = result.cells.text.narrow();
  FileIdentity identity;
  if (!ReadFileBytes(path, &bytes, error, &identity)) return false;
  result.identity = identity;
  if (bytes.size() > std::numeric_limits<uint32_t>::max()) {
    if (error != nullptr) *error = ListFileMessage(texts::kFileTooLargeText, path);
    return false;
  }
  CellCutter cutter(bytes, result.cells.cells);
  const char* refusal = nullptr;
  if (!cutter.Cut(&refusal)) {
    if (error != nullptr) *error = ListFileMessage(refusal, path);
    return false;
  }
  const char* data = bytes.data();
  if (cutter.utf8) {
    result.encoding = cutter.bom ? ListEncoding::kUtf8WithBom : ListEncoding::kUtf8;
    result.header = Utf8Decoder().decode(QByteArrayView(
        data + cutter.headerStart, qsizetype(cutter.headerEnd - cutter.headerStart)));
    DecodeUtf8Cells(cutter.nonAscii, result.cells.cells, result.cells.text);
  } else {
    // Not UTF-8: every byte is a character, a leading mark included.
    result.encoding = ListEncoding::kLatin1;
    result.header = QString::fromLatin1(data, qsizetype(cutter.headerEnd));
  }
  result.lineCount = cutter.lines;
  if (cutter.lines == 0) {
    result.cells.cells.clear();
    result.cells.rows = result.cells.cols = 0;
  } else {
    result.cells.rows = std::max(cutter.lines, 2);
    result.cells.cols = cutter.cols;
    result.cells.cells.resize(size_t(result.cells.rows) * size_t(cutter.cols));
  }
  // What no cell points to: separators, line ends, the header and bytes that decoding shed.
  size_t live = 0;
  for (const TextStore::Cell& cell : result.cells.cells) {
    if (!cell.wide()) live += cell.length();
  }
  result.cells.text.SetWaste(bytes.size() - live, 0);
  *out = std::move(result);
  return true;
}
