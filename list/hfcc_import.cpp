// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/hfcc_import.h"

#include <QLatin1StringView>
#include <string>

#include "common/texts.h"
#include "list/columns.h"
#include "list/list_format.h"
#include "list/schedule_rows.h"

// How a line becomes an entry. The schedule names broadcasters, sites and languages by codes
// that its own tables spell out; the list keeps the codes as they are.
//   Freq (kHz)  FREQ; a value below 100 is a band in MHz, no frequency: the line is skipped
//   Station     BRC, or ADM when the administration broadcasts itself (BRC "ADM" or blank)
//   Mode        MOD: D (or blank) AM, T USB and N DRM when the receiver has them, else empty
//   UTC         STRT-STOP
//   Days        DAYS, counted from Sunday there, as Monday-first digits; empty for all seven
//   LNG         LANGUAGE ("EngFre" for two)
//   ITU         ADM
//   Target      CIRAF ZONES
//   Notes       LOC (the site's code) and NOTES
//   P           empty: the schedule has no persistence code
//   Start, Stop FDATE and TDATE (DDMMYY), as written

namespace {

// 0-based columns of the fields, from one past the end of the last.
struct Columns {
  size_t first, last;
};
constexpr Columns kFreq{0, 5}, kStartTime{6, 10}, kStopTime{11, 15}, kZones{16, 46}, kSite{47, 50},
    kDays{72, 79}, kFromDate{80, 86}, kToDate{87, 93}, kLanguage{102, 112},
    kAdministration{113, 116}, kBroadcaster{117, 120};
constexpr size_t kModulationColumn = 94;
constexpr size_t kNotesColumn = 151;
// Frequencies below this are bands: "6" is "somewhere in the 6 MHz band".
constexpr double kLowestKhz = 100;

constexpr std::string_view kRuler = ";----+----+----+";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits 1 to 7 with blanks anywhere; -1 for anything else.
int SundayFirstDigits(std::string_view days) {
  unsigned mask = 0;
  for (char c : days) {
    if (c == ' ') continue;
    if (c < '1' || c > '7') return -1;
    mask |= 1u << (c - '1');
  }
  return int(mask);
}

std::string_view Mode(char modulation, const ModeEntry* modes) {
  switch (modulation) {
    case 'D':
    case ' ':
      return "AM";
    case 'T':
      return ReceiverModeName(modes, "USB");
    case 'N':
      return ReceiverModeName(modes, "DRM");
    default:
      return {};
  }
}

// False when the line is no entry: no frequency (or a band), no valid times or days.
bool AddEntry(ScheduleRows& rows, const LineSpan& span, bool utf8, const ModeEntry* modes) {
  const FixedLine line(rows.data(), span.at, span.end, utf8);
  const auto field = [&](Columns c) { return line.Slice(c.first, c.last); };
  const auto text = [&](Columns c) { return line.View(field(c)); };

  const std::string_view freq = text(kFreq);
  const double khz = PlainKhz(freq);
  const std::string_view start = text(kStartTime), stop = text(kStopTime);
  const int days = SundayFirstDigits(line.View(line.Slice(kDays.first, kDays.last)));
  if (khz < kLowestKhz || khz > kMaxFrequencyKhz || !ValidClockTime(start, false) ||
      !ValidClockTime(stop, true) || days < 0)
    return false;

  // Everything made up here is made before the first append, which may move the bytes.
  FrequencyChars buffer;
  const QLatin1StringView normal =
      NormalFrequency(QLatin1StringView(freq.data(), qsizetype(freq.size())), buffer);
  const std::string frequency(normal.data(), size_t(normal.size()));
  const std::string window = std::string(start) + '-' + std::string(stop);
  const std::string dayDigits = MondayFirstDays(SundayFirstToMondayFirst(unsigned(days)));
  std::string notes(text(kSite));
  const std::string_view remark = line.View(line.Rest(kNotesColumn));
  if (!notes.empty() && !remark.empty()) notes += ' ';
  notes += remark;
  const std::string_view broadcaster = text(kBroadcaster);
  const ByteRange station =
      broadcaster.empty() || broadcaster == "ADM" ? field(kAdministration) : field(kBroadcaster);
  const std::string_view mode = Mode(line.At(kModulationColumn), modes);
  // Ranges too, as the line reads the bytes that the appends below may move.
  const ByteRange language = field(kLanguage), administration = field(kAdministration),
                  zones = field(kZones), fromDate = field(kFromDate), toDate = field(kToDate);

  rows.AddEntry();
  rows.SetText(kColFrequency, frequency);
  rows.SetField(kColStation, station);
  rows.SetText(kColMode, mode);
  rows.SetText(kColUtc, window);
  rows.SetText(kDatedDays, dayDigits);
  rows.SetField(kDatedLanguage, language);
  rows.SetField(kDatedItu, administration);
  rows.SetField(kDatedTarget, zones);
  rows.SetText(kDatedNotes, notes);
  rows.SetField(kDatedStart, fromDate);
  rows.SetField(kDatedStop, toDate);
  return true;
}

}  // namespace

bool IsHfccSchedule(std::string_view text) {
  // "; A26 ALL 19-aug-2026": the season, then the notifier's code.
  const LineSpan first = NextLine(text.data(), text.size(), 0);
  const std::string_view title = text.substr(0, first.length());
  if (title.size() < 11 || !StartsWith(title, "; ") || (title[2] != 'A' && title[2] != 'B') ||
      !IsDigit(title[3]) || !IsDigit(title[4]) || title[5] != ' ' || title[6] == ' ' ||
      title[7] == ' ' || title[8] == ' ' || title[9] != ' ')
    return false;
  // The ruler stands among the comment lines before the first entry.
  for (size_t at = first.next; at < text.size();) {
    const LineSpan line = NextLine(text.data(), text.size(), at);
    const std::string_view content = text.substr(line.at, line.length());
    if (!StartsWith(content, ";")) return false;
    if (StartsWith(content, kRuler)) return true;
    at = line.next;
  }
  return false;
}

bool ReadHfccCells(size_t start, ListEncoding encoding, const ModeEntry* modes,
                   ScheduleCells* schedule, const char** refusal) {
  ScheduleRows rows(schedule, encoding);
  const bool utf8 = encoding != ListEncoding::kLatin1;
  // The comment lines above the first entry are the header; later ones count as skipped.
  bool header = true;
  // Texts made up for the entries go after the file's bytes in the same block.
  const size_t fileEnd = rows.size();
  for (size_t at = start; at < fileEnd;) {
    const LineSpan line = NextLine(rows.data(), fileEnd, at);
    if (line.length() > size_t(kMaxListLineBytes)) {
      *refusal = texts::kFileLineTooLongText;
      return false;
    }
    const bool comment = line.length() > 0 && rows.data()[line.at] == ';';
    if (!comment) header = false;
    if (!header && (comment || !AddEntry(rows, line, utf8, modes))) rows.Skip();
    at = line.next;
  }
  return rows.Finish(refusal);
}
