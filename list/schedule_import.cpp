// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/schedule_import.h"

#include <QByteArrayView>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "common/texts.h"
#include "link/receiver_models.h"
#include "list/aoki_import.h"
#include "list/columns.h"
#include "list/hfcc_import.h"
#include "list/list_format.h"

namespace {

constexpr char kSeparator = ';';

// The schedule's fields that the list keeps, found by the names in its first line.
enum Source {
  kKhz,
  kTime,
  kDays,
  kItu,
  kStation,
  kLanguage,
  kTarget,
  kRemarks,
  kPersistence,
  kStart,
  kStop,
  kSourceCount
};
constexpr std::array<std::string_view, kSourceCount> kSourceNames = {
    "kHz", "Time(UTC)", "Days", "ITU", "Station", "Lng", "Target", "Remarks", "P", "Start", "Stop"};

// The list's columns and the schedule field each is copied from.
constexpr int kListColumns = 13;
constexpr int kOutDays = 5, kOutLanguage = 6, kOutItu = 7, kOutTarget = 8, kOutNotes = 9;
constexpr int kOutPersistence = 10, kOutStart = 11, kOutStop = 12;
constexpr struct {
  int column;
  Source source;
} kCopied[] = {{kColStation, kStation}, {kColUtc, kTime},
               {kOutDays, kDays},       {kOutLanguage, kLanguage},
               {kOutItu, kItu},         {kOutTarget, kTarget},
               {kOutNotes, kRemarks},   {kOutPersistence, kPersistence},
               {kOutStart, kStart},     {kOutStop, kStop}};

// Room the frequency and the mode that are written for each entry may take.
constexpr size_t kWrittenPerEntry = 32;

// A field as a range of the file's bytes.
struct Field {
  size_t start = 0, end = 0;
  std::string_view View(const char* data) const { return {data + start, end - start}; }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x | 0x20) == (y | 0x20);
         });
}

// Where each field named in the header stands; -1 for those it lacks. A name is what
// precedes the column width ("kHz:75").
std::array<int, kSourceCount> HeaderPositions(std::string_view header) {
  std::array<int, kSourceCount> at;
  at.fill(-1);
  int index = 0;
  for (size_t pos = 0; pos <= header.size(); ++index) {
    const size_t end = std::min(header.find(kSeparator, pos), header.size());
    std::string_view name = header.substr(pos, end - pos);
    name = Trimmed(name.substr(0, name.find(':')));
    for (int s = 0; s < kSourceCount; ++s) {
      if (at[s] < 0 && SameName(name, kSourceNames[s])) at[s] = index;
    }
    pos = end + 1;
  }
  return at;
}

// Digits with at most one decimal point, within the list's range: a frequency the list
// would have to clamp is no frequency of the line's.
bool ValidKhz(std::string_view text) {
  text = Trimmed(text);
  bool digits = false, point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (IsDigit(c)) {
      digits = true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  const double khz = LeadingNumber(QLatin1StringView(text.data(), qsizetype(text.size())));
  return khz >= kMinFrequencyKhz && khz <= kMaxFrequencyKhz;
}

// 2400 ends a broadcast at midnight; nothing starts then, as no clock reads it.
bool ValidClock(std::string_view hhmm, bool end) {
  if (!std::all_of(hhmm.begin(), hhmm.end(), IsDigit)) return false;
  const int hours = (hhmm[0] - '0') * 10 + (hhmm[1] - '0');
  const int minutes = (hhmm[2] - '0') * 10 + (hhmm[3] - '0');
  return minutes <= 59 && (hours < 24 || (end && hours == 24 && minutes == 0));
}

// "HHMM-HHMM", blanks around it aside; the end may be earlier than the start for a
// broadcast over midnight.
bool ValidWindow(std::string_view text) {
  text = Trimmed(text);
  return text.size() == 9 && text[4] == '-' && ValidClock(text.substr(0, 4), false) &&
         ValidClock(text.substr(5), true);
}

// The mode a field names as a word of its own ("USB/FSK", "(USB)"); upper case only, as the
// schedule writes the transmitter sites of its remarks in lower case ("cw").
std::string_view NamedMode(std::string_view text) {
  static constexpr std::string_view kModes[] = {"USB", "LSB", "CW", "DRM", "RTTY"};
  const auto isWordChar = [](char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  };
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && !isWordChar(text[pos])) ++pos;
    size_t end = pos;
    while (end < text.size() && isWordChar(text[end])) ++end;
    const std::string_view word = text.substr(pos, end - pos);
    for (std::string_view mode : kModes) {
      if (word == mode) return mode;
    }
    pos = end;
  }
  return {};
}

// The receiver's own spelling of the mode, or empty when it has none such.
std::string_view ReceiverMode(const ModeEntry* modes, std::string_view mode) {
  for (const ModeEntry* e = modes; e != nullptr && e->name != nullptr; ++e) {
    if (SameName(e->name, mode)) return e->name;
  }
  return {};
}

// The language field codes the transmissions that are no speech with a leading '-'.
std::string_view LanguageMode(std::string_view language) {
  language = Trimmed(language);
  if (language == "-CW") return "CW";
  if (language == "-TY") return "RTTY";
  return {};
}

class ScheduleCutter {
 public:
  ScheduleCutter(TextBlock<char>& bytes, const ModeEntry* modes, CellVector& cells)
      : bytes_(bytes), modes_(modes), cells_(cells) {}

  // Every line after the header; false with a refusal's text when the file is none.
  bool Cut(size_t start, bool utf8, const char** refusal);

  int entries = 0, skipped = 0;
  std::vector<size_t> nonAscii;  // cells to decode as UTF-8

 private:
  void AddEntry(const Field* fields, int fieldCount, bool utf8);
  TextStore::Cell Append(std::string_view text);

  TextBlock<char>& bytes_;
  const ModeEntry* modes_;
  CellVector& cells_;
  std::array<int, kSourceCount> at_{};
};

bool ScheduleCutter::Cut(size_t pos, bool utf8, const char** refusal) {
  const size_t size = bytes_.size();
  constexpr int kMaxFields = 32;
  Field fields[kMaxFields];
  bool header = true;
  while (pos < size) {
    const char* data = bytes_.data();
    // Fields and the line's end in one walk.
    int fieldCount = 0;
    size_t fieldStart = pos, end = pos;
    for (; end < size && data[end] != '\n' && data[end] != '\r'; ++end) {
      if (data[end] != kSeparator) continue;
      if (fieldCount < kMaxFields) fields[fieldCount++] = {fieldStart, end};
      fieldStart = end + 1;
    }
    if (fieldCount < kMaxFields) fields[fieldCount++] = {fieldStart, end};
    if (end - pos > size_t(kMaxListLineBytes)) {
      *refusal = texts::kFileLineTooLongText;
      return false;
    }
    if (header) {
      at_ = HeaderPositions(std::string_view(data + pos, end - pos));
      if (at_[kKhz] < 0 || at_[kTime] < 0 || at_[kStation] < 0) {
        *refusal = texts::kNotAScheduleText;
        return false;
      }
      header = false;
    } else {
      const auto field = [&](Source s) {
        return at_[s] < fieldCount ? fields[at_[s]].View(data) : std::string_view();
      };
      if (ValidKhz(field(kKhz)) && ValidWindow(field(kTime))) {
        // Cells address the block with 31 bits.
        if (bytes_.size() + kWrittenPerEntry >= TextStore::Cell::kWide) {
          *refusal = texts::kFileTooLargeText;
          return false;
        }
        AddEntry(fields, fieldCount, utf8);
      } else {
        ++skipped;
      }
    }
    // An entry's texts went into the same block, which may have moved.
    data = bytes_.data();
    pos = end;
    if (pos < size && data[pos++] == '\r' && pos < size && data[pos] == '\n') ++pos;
  }
  if (entries == 0) {
    *refusal = header ? texts::kNotAScheduleText : texts::kEmptyScheduleText;
    return false;
  }
  return true;
}

TextStore::Cell ScheduleCutter::Append(std::string_view text) {
  char* out = bytes_.Extend(text.size());
  if (out == nullptr) throw std::bad_alloc();
  std::memcpy(out, text.data(), text.size());
  return {uint32_t(out - bytes_.data()), uint32_t(text.size())};
}

void ScheduleCutter::AddEntry(const Field* fields, int fieldCount, bool utf8) {
  const size_t row = size_t(++entries);
  const size_t first = row * kListColumns;
  cells_.resize(first + kListColumns);
  const auto field = [&](Source s) {
    return at_[s] >= 0 && at_[s] < fieldCount ? fields[at_[s]] : Field();
  };
  const char* data = bytes_.data();
  for (const auto& copied : kCopied) {
    Field f = field(copied.source);
    if (copied.source == kTime) {
      const std::string_view window = Trimmed(f.View(data));
      f.start = size_t(window.data() - data);
      f.end = f.start + window.size();
    }
    if (f.end == f.start) continue;
    const size_t index = first + size_t(copied.column);
    cells_[index] = {uint32_t(f.start), uint32_t(f.end - f.start)};
    if (utf8 && std::any_of(data + f.start, data + f.end, [](char c) { return c & 0x80; }))
      nonAscii.push_back(index);
  }

  std::string_view mode = LanguageMode(field(kLanguage).View(data));
  for (Source s : {kStation, kDays, kRemarks}) {
    if (mode.empty()) mode = NamedMode(field(s).View(data));
  }
  mode = mode.empty() ? std::string_view("AM") : ReceiverMode(modes_, mode);

  FrequencyChars buffer;
  const QLatin1StringView khz = NormalFrequency(
      QLatin1StringView(data + field(kKhz).start, qsizetype(field(kKhz).end - field(kKhz).start)),
      buffer);
  // Appending may move the block: nothing of it is looked at after this.
  cells_[first + kColFrequency] = Append(std::string_view(khz.data(), size_t(khz.size())));
  if (!mode.empty()) cells_[first + kColMode] = Append(mode);
}

}  // namespace

bool ReadScheduleCells(const QString& path, const ModeEntry* modes, ScheduleCells* out,
                       QString* error) {
  ScheduleCells result;
  CellMatrix& matrix = result.list.cells;
  TextBlock<char>& bytes = matrix.text.narrow();
  if (!ReadFileBytes(path, &bytes, error)) return false;
  const auto fail = [&](const char* text) {
    if (error != nullptr) *error = ListFileMessage(text, path);
    return false;
  };
  const char* data = bytes.data();
  const size_t size = bytes.size();
  // A NUL anywhere makes it binary data, before any other refusal, as for a list file.
  if (std::memchr(data, '\0', size) != nullptr) return fail(texts::kFileBinaryText);

  size_t start = 0;
  const bool bom = size >= size_t(kUtf8BomSize) && std::memcmp(data, kUtf8Bom, kUtf8BomSize) == 0;
  if (bom) start = kUtf8BomSize;
  bool utf8 = true;
  for (size_t pos = start; pos < size && utf8;) {
    const int length =
        Utf8SequenceLength(reinterpret_cast<const unsigned char*>(data) + pos, size - pos);
    utf8 = length > 0;
    pos += size_t(length);
  }

  // The fixed-width seasons' files are told by their first lines; anything else is read as
  // the ';'-separated schedule, or refused as none.
  const std::string_view text(data + start, size - start);
  const auto reader = IsHfccSchedule(text) ? ReadHfccCells
                      : IsAokiList(text)   ? ReadAokiCells
                                           : nullptr;
  if (reader != nullptr) {
    const ListEncoding encoding = !utf8 ? ListEncoding::kLatin1
                                  : bom ? ListEncoding::kUtf8WithBom
                                        : ListEncoding::kUtf8;
    const char* refusal = nullptr;
    if (!reader(start, encoding, modes, &result, &refusal)) return fail(refusal);
    *out = std::move(result);
    return true;
  }

  // The cells and the written texts grow with the entries found: room taken for every line
  // up front is address space too, and a file of blank lines could claim gigabytes of it.
  matrix.cells.resize(size_t(2) * kListColumns);

  ScheduleCutter cutter(bytes, modes, matrix.cells);
  const char* refusal = nullptr;
  if (!cutter.Cut(start, utf8, &refusal)) return fail(refusal);

  if (utf8) {
    TextStore& store = matrix.text;
    for (size_t index : cutter.nonAscii) {
      TextStore::Cell& cell = matrix.cells[index];
      const QString text = QString::fromUtf8(store.NarrowData() + cell.at, cell.length());
      store.Set(cell, text);
    }
  }
  result.list.encoding = !utf8 ? ListEncoding::kLatin1
                         : bom ? ListEncoding::kUtf8WithBom
                               : ListEncoding::kUtf8;
  result.list.header = kScheduleListHeader;
  result.list.lineCount = cutter.entries + 1;
  matrix.rows = std::max(result.list.lineCount, 2);
  matrix.cols = kListColumns;
  matrix.cells.resize(size_t(matrix.rows) * kListColumns);
  size_t live = 0;
  for (const TextStore::Cell& cell : matrix.cells) {
    if (!cell.wide()) live += cell.length();
  }
  matrix.text.SetWaste(bytes.size() - live, 0);
  result.entries = cutter.entries;
  result.skipped = cutter.skipped;
  *out = std::move(result);
  return true;
}

QString ImportSummary(int entries, int skipped) {
  // The program speaks English: its numbers are grouped the English way too.
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  return QString(texts::kImportSummary)
      .arg(english.toString(entries), entries == 1 ? texts::kEntry : texts::kEntries,
           english.toString(skipped), skipped == 1 ? texts::kLine : texts::kLines);
}
