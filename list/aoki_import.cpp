// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/aoki_import.h"

#include <QLatin1StringView>
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "common/texts.h"
#include "list/columns.h"
#include "list/list_format.h"
#include "list/schedule_rows.h"

// How a line becomes an entry:
//   Freq (kHz)  columns 0-4, the flag in column 5 glued to it ("765x")
//   Station     STATION
//   Mode        DRM for "(DRM)" in the station or "(Digital)" in the language, USB or LSB
//               named in the remarks, each when the receiver has it; else AM
//   UTC         UTC
//   Days        the positions under Su-W-Sa, Sunday first unless the title says
//               "Day 1 = Monday", as Monday-first digits; empty for all seven
//   LNG         Language, as the list spells it ("English")
//   ITU         ADM
//   Target      empty: the list names none
//   Notes       the "*" flag, Location and Remarks
//   P           8 for the "x" flag, which marks a station off the air; else empty
//   Start, Stop empty

namespace {

enum Label {
  kFre,
  kStation,
  kUtc,
  kDays,
  kLanguage,
  kPower,
  kAzimuth,
  kLocation,
  kAdm,
  kLatLong,
  kRemarks,
  kLabelCount
};
constexpr std::array<std::string_view, kLabelCount> kLabels = {
    "FRE", "STATION",  "UTC", "Su-W-Sa", "Language", "Pow",
    "Azi", "Location", "ADM", "L/L",     "Remarks"};
constexpr size_t kKhzEnd = 5, kFlagColumn = 5;
constexpr size_t kDayCount = 7;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c; }

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

bool IsTitle(std::string_view line) {
  if (line.size() < 4 || (line[0] != 'A' && line[0] != 'B') || !IsDigit(line[1]) ||
      !IsDigit(line[2]))
    return false;
  // The list has long spelt its title "Frequecy".
  const std::string_view rest = line.substr(3);
  return StartsWith(rest, " Shortwave Frequency List") ||
         StartsWith(rest, " Shortwave Frequecy List");
}

bool IsHeader(std::string_view line) {
  return StartsWith(line, "FRE ") && line.find("Su-W-Sa") != std::string_view::npos;
}

// Where each column starts and where the next one does, from the labels of the header.
struct Layout {
  std::array<size_t, kLabelCount> first{}, last{};
  std::array<bool, kLabelCount> found{};
  bool mondayFirst = false;

  ByteRange Field(const FixedLine& line, Label label) const {
    if (!found[label]) return {};
    size_t end = last[label];
    // Pow and Azi are right-aligned: a number wider than its label reaches into the column
    // before ("Belarussian         1000"), and belongs to its own.
    bool beforeNumber = false;
    for (Label next : {kPower, kAzimuth}) beforeNumber |= found[next] && first[next] == end;
    if (beforeNumber && line.At(end) != ' ') {
      while (end > first[label] && line.At(end - 1) != ' ') --end;
    }
    return line.Slice(first[label], end);
  }
};

Layout HeaderLayout(std::string_view header, bool mondayFirst) {
  Layout layout;
  layout.mondayFirst = mondayFirst;
  for (int l = 0; l < kLabelCount; ++l) {
    for (size_t at = header.find(kLabels[l]); at != std::string_view::npos;
         at = header.find(kLabels[l], at + 1)) {
      const size_t end = at + kLabels[l].size();
      if ((at == 0 || header[at - 1] == ' ') && (end == header.size() || header[end] == ' ')) {
        layout.first[l] = at;
        layout.found[l] = true;
        break;
      }
    }
  }
  for (int l = 0; l < kLabelCount; ++l) {
    layout.last[l] = size_t(-1);
    for (int next = 0; next < kLabelCount; ++next) {
      if (layout.found[next] && layout.first[next] > layout.first[l])
        layout.last[l] = std::min(layout.last[l], layout.first[next]);
    }
  }
  return layout;
}

bool ValidWindow(std::string_view window) {
  return window.size() == 9 && window[4] == '-' && ValidClockTime(window.substr(0, 4), false) &&
         ValidClockTime(window.substr(5), true);
}

std::string_view Mode(std::string_view station, std::string_view language, std::string_view remarks,
                      const ModeEntry* modes) {
  if (ContainsNoCase(station, "(DRM)") || ContainsNoCase(language, "(Digital)"))
    return ReceiverModeName(modes, "DRM");
  for (std::string_view sideband : {"USB", "LSB"}) {
    if (HasWord(remarks, sideband)) return ReceiverModeName(modes, sideband);
  }
  return "AM";
}

bool AddEntry(ScheduleRows& rows, const Layout& layout, const LineSpan& span, bool utf8,
              const ModeEntry* modes) {
  const FixedLine line(rows.data(), span.at, span.end, utf8);
  const std::string_view freq = line.View(line.Slice(0, kKhzEnd));
  const double khz = PlainKhz(freq);
  const ByteRange utc = layout.Field(line, kUtc);
  if (khz < kMinFrequencyKhz || khz > kMaxFrequencyKhz || !ValidWindow(line.View(utc)))
    return false;

  unsigned days = 0;
  const size_t daysAt = layout.first[kDays];
  for (size_t i = 0; i < kDayCount; ++i) {
    // A digit is its day's number wherever it stands ("   1   " is Sunday); another mark
    // is the day of its position.
    const char c = line.At(daysAt + i);
    if (c >= '1' && c <= '7') {
      days |= 1u << (c - '1');
    } else if (c != ' ' && c != '.') {
      days |= 1u << i;
    }
  }
  if (!layout.mondayFirst) days = SundayFirstToMondayFirst(days);

  // Everything made up here is made before the first append, which may move the bytes.
  FrequencyChars buffer;
  const QLatin1StringView normal =
      NormalFrequency(QLatin1StringView(freq.data(), qsizetype(freq.size())), buffer);
  const std::string frequency(normal.data(), size_t(normal.size()));
  const std::string dayDigits = MondayFirstDays(days);
  const char flag = line.At(kFlagColumn);
  const ByteRange station = layout.Field(line, kStation), language = layout.Field(line, kLanguage);
  const std::string_view remarks = line.View(layout.Field(line, kRemarks));
  const std::string_view location = line.View(layout.Field(line, kLocation));
  std::string notes = flag == '*' ? "*" : "";
  for (std::string_view part : {location, remarks}) {
    if (part.empty()) continue;
    if (!notes.empty()) notes += notes == "*" ? " " : ", ";
    notes += part;
  }
  const std::string_view mode = Mode(line.View(station), line.View(language), remarks, modes);

  // Taken before the appends below, which may move the bytes the line reads.
  const auto administration = layout.Field(line, kAdm);
  rows.AddEntry();
  rows.SetText(kColFrequency, frequency);
  rows.SetField(kColStation, station);
  rows.SetText(kColMode, mode);
  rows.SetField(kColUtc, utc);
  rows.SetText(kDatedDays, dayDigits);
  rows.SetField(kDatedLanguage, language);
  rows.SetField(kDatedItu, administration);
  rows.SetText(kDatedNotes, notes);
  if (flag == 'x') rows.SetText(kDatedPersistence, "8");
  return true;
}

}  // namespace

bool IsAokiList(std::string_view text) {
  bool titled = false;
  for (size_t at = 0; at < text.size();) {
    const LineSpan span = NextLine(text.data(), text.size(), at);
    const std::string_view line = text.substr(span.at, span.length());
    at = span.next;
    if (!titled) {
      if (TrimmedView(line).empty()) continue;
      if (!IsTitle(line)) return false;
      titled = true;
    } else if (IsHeader(line)) {
      return true;
    }
  }
  return false;
}

bool ReadAokiCells(size_t start, ListEncoding encoding, const ModeEntry* modes,
                   ScheduleCells* schedule, const char** refusal) {
  ScheduleRows rows(schedule, encoding);
  const bool utf8 = encoding != ListEncoding::kLatin1;
  bool mondayFirst = false;
  std::optional<Layout> layout;
  // The lines down to the header are the title's; the others are entries or skipped.
  // Texts made up for the entries go after the file's bytes in the same block.
  const size_t fileEnd = rows.size();
  for (size_t at = start; at < fileEnd;) {
    const LineSpan span = NextLine(rows.data(), fileEnd, at);
    if (span.length() > size_t(kMaxListLineBytes)) {
      *refusal = texts::kFileLineTooLongText;
      return false;
    }
    const std::string_view line(rows.data() + span.at, span.length());
    if (layout) {
      if (!AddEntry(rows, *layout, span, utf8, modes)) rows.Skip();
    } else if (IsHeader(line)) {
      layout = HeaderLayout(line, mondayFirst);
    } else if (IsTitle(line)) {
      mondayFirst = line.find("Day 1 = Monday") != std::string_view::npos;
    }
    at = span.next;
  }
  return rows.Finish(refusal);
}
