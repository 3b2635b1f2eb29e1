// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/on_air_days.h"

#include <iterator>

#include "list/cell_store.h"
#include "list/columns.h"
#include "list/flex_grid.h"

namespace {

constexpr int kNoDay = -1;
constexpr int kDaysInWeek = 7;

char16_t Lower(char16_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Reads one day at pos (a digit 1..7 or two letters) and moves past it; kNoDay when there
// is none there.
int ReadDay(QStringView text, qsizetype& pos, qsizetype size) {
  auto at = [&](qsizetype i) { return Lower(text.at(i).unicode()); };
  const char16_t first = at(pos);
  if (first >= '1' && first <= '7') {
    ++pos;
    return first - '1';
  }
  if (pos + 1 >= size) return kNoDay;
  static constexpr char16_t kNames[kDaysInWeek][2] = {
      {'m', 'o'}, {'t', 'u'}, {'w', 'e'}, {'t', 'h'}, {'f', 'r'}, {'s', 'a'}, {'s', 'u'}};
  const char16_t second = at(pos + 1);
  for (int day = 0; day < kDaysInWeek; ++day) {
    if (kNames[day][0] == first && kNames[day][1] == second) {
      pos += 2;
      return day;
    }
  }
  return kNoDay;
}

template <typename View>
DayMask Parse(const View& text) {
  // Blanks go first, so that "Mo - Fr" and "Sa, Su" read like "Mo-Fr" and "Sa,Su".
  char16_t packed[64];
  qsizetype size = 0;
  bool digits = false, letters = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text.at(i).unicode();
    if (c == ' ' || c == '\t') continue;
    // No notation of days is this long: a note, not days.
    if (size == qsizetype(std::size(packed))) return kEveryDay;
    packed[size++] = c;
    digits = digits || (c >= '0' && c <= '9');
    letters = letters || (Lower(c) >= 'a' && Lower(c) <= 'z');
  }
  // The schedules mix digits and letters for days of the month ("1.Sa", "Sa2", "12Apr"),
  // which this weekly rule cannot tell.
  if (digits && letters) return kEveryDay;
  const QStringView days(packed, size);
  DayMask mask = 0;
  qsizetype pos = 0;
  while (pos < size) {
    if (days.at(pos) == u',') {
      ++pos;
      continue;
    }
    const int from = ReadDay(days, pos, size);
    if (from == kNoDay) return kEveryDay;
    int to = from;
    if (pos < size && days.at(pos) == u'-') {
      ++pos;
      if (pos >= size || (to = ReadDay(days, pos, size)) == kNoDay) return kEveryDay;
    }
    // "Fr-Mo" runs on through the weekend.
    for (int day = from;; day = (day + 1) % kDaysInWeek) {
      mask |= DayMask(1u << day);
      if (day == to) break;
    }
  }
  return mask == 0 ? kEveryDay : mask;
}

}  // namespace

DayMask ParseOnAirDays(QAnyStringView text) {
  if (text.isEmpty()) return kEveryDay;
  return VisitCell(text, [](auto view) { return Parse(view); });
}

bool IsOnAirAt(const UtcRange& range, DayMask days, int weekday, int hhmm) {
  if (!IsActiveAt(range.result, range.start, range.end, hhmm)) return false;
  if (days == kEveryDay) return true;
  // In the morning part of a window that crossed midnight, it started the day before.
  const bool startedYesterday = range.result == 2 && hhmm < range.start;
  const int day = startedYesterday ? (weekday + kDaysInWeek - 1) % kDaysInWeek : weekday;
  return (days >> day) & 1;
}

int FindColumn(const FlexGrid& grid, QLatin1StringView caption) {
  for (int col = kFirstUserColumn; col < grid.Cols(); ++col) {
    const bool found = VisitCell(grid.TextView(0, col), [&](auto text) {
      return text.trimmed().compare(caption, Qt::CaseInsensitive) == 0;
    });
    if (found) return col;
  }
  return -1;
}

int FindDaysColumn(const FlexGrid& grid) { return FindColumn(grid, QLatin1StringView("Days")); }

DayMask RowDays(const FlexGrid& grid, int row, int column) {
  return column < 0 ? kEveryDay : ParseOnAirDays(grid.TextView(row, column));
}
