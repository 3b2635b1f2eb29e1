// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "list/list_file.h"
#include "list/schedule_import.h"

struct ModeEntry;

// The columns of a list made from a schedule that carries persistence and dates. Meant to
// become the one schedule header once every source writes all twelve.
constexpr const char* kScheduleListHeaderWithDates =
    "Freq (kHz);Station;Mode;UTC;Days;LNG;ITU;Target;Notes;P;Start;Stop";
constexpr int kDatedColumns = 13;  // the row number's column and the twelve above
constexpr int kDatedDays = 5, kDatedLanguage = 6, kDatedItu = 7, kDatedTarget = 8, kDatedNotes = 9,
              kDatedPersistence = 10, kDatedStart = 11, kDatedStop = 12;

// Bytes of the file: where a field starts and how long it is.
struct ByteRange {
  size_t at = 0, length = 0;
};

// A line of bytes: where it starts and ends, and where the next starts. Lines end with
// CR LF, LF or a CR alone.
struct LineSpan {
  size_t at = 0, end = 0, next = 0;
  size_t length() const { return end - at; }
};
LineSpan NextLine(const char* data, size_t size, size_t at);

std::string_view TrimmedView(std::string_view text);
bool StartsWith(std::string_view text, std::string_view prefix);

// One line of a fixed-width file, cut by character columns. Columns are bytes in a Latin-1
// file; in a UTF-8 one a line with other than ASCII is mapped character by character.
class FixedLine {
 public:
  FixedLine(const char* data, size_t at, size_t end, bool utf8);
  // Columns first to last - 1 (0-based), blanks around them trimmed; empty past the line's
  // end, as if every short line were padded with blanks.
  ByteRange Slice(size_t first, size_t last) const;
  ByteRange Rest(size_t first) const { return Slice(first, size_t(-1)); }
  std::string_view View(ByteRange range) const { return {data_ + range.at, range.length}; }
  // The character at a column, a blank past the end; '?' for one that is no ASCII.
  char At(size_t column) const;
  size_t Columns() const { return offsets_.empty() ? end_ - at_ : offsets_.size() - 1; }

 private:
  size_t ByteOf(size_t column) const;

  const char* data_;
  size_t at_, end_;
  std::vector<size_t> offsets_;  // byte of each character, and the end; empty when 1:1
};

// Days as a set, bit 0 = Monday, written as the list writes them: Monday-first digits,
// empty for every day (and for none, which no line means).
std::string MondayFirstDays(unsigned mask);
// A set of days counted from Sunday (bit 0 = Sunday) as a Monday-first set.
unsigned SundayFirstToMondayFirst(unsigned sundayFirst);

// Digits with at most one point; the kHz value or a negative number when text is no such.
double PlainKhz(std::string_view text);
// "HHMM" as it starts or ends a broadcast: 2400 only as an end.
bool ValidClockTime(std::string_view hhmm, bool end);
// The receiver's spelling of a mode, or empty when its mode list lacks it.
std::string_view ReceiverModeName(const ModeEntry* modes, std::string_view mode);
// Whether a word of text (letters and digits between other characters) is word.
bool HasWord(std::string_view text, std::string_view word);

// Writes the entries of a fixed-width schedule into the cells of its new list. Cells that
// are a field as the file has it point into the file's block; those made up here are
// appended to it.
class ScheduleRows {
 public:
  ScheduleRows(ScheduleCells* schedule, ListEncoding encoding);

  const char* data() const { return bytes_.data(); }
  size_t size() const { return bytes_.size(); }

  void AddEntry();
  // A separator inside a field would split the saved line: it becomes a comma.
  void SetField(int column, ByteRange range);
  void SetText(int column, std::string_view text);
  void Skip() { ++schedule_->skipped; }

  // False with a refusal's text when nothing was found or the block is too large to address.
  bool Finish(const char** refusal);

 private:
  TextStore::Cell Append(std::string_view text);
  void Put(int column, TextStore::Cell cell);

  ScheduleCells* schedule_;
  TextBlock<char>& bytes_;
  CellVector& cells_;
  ListEncoding encoding_;
  size_t first_ = 0;  // the current entry's first cell
  bool tooLarge_ = false;
  std::string scratch_;
  std::vector<size_t> nonAscii_;  // cells to decode as UTF-8
};
