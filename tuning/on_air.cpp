// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/on_air.h"

#include <cstdint>
#include <string_view>

#include "tuning/on_air_days.h"
#include "tuning/utc_range.h"

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr int kMinutesPerDay = 1440;

// A cell's text, Latin-1 and without blanks, in a buffer on the stack: no allocation per row.
struct Packed {
  char text[48];
  int size = 0;
  bool tooLong = false;
  std::string_view View() const { return {text, size_t(size)}; }
};

char Unit(QChar c) { return c.unicode() < 0x100 ? char(c.unicode()) : '?'; }
char Unit(char c) { return c; }
char Unit(char8_t c) { return char(c); }

Packed Pack(QAnyStringView cell) {
  Packed p;
  cell.visit([&](auto view) {
    for (auto c : view) {
      const char u = Unit(c);
      if (u == ' ' || u == '\t') continue;
      if (p.size == int(sizeof p.text)) {
        p.tooLong = true;
        return;
      }
      p.text[p.size++] = u;
    }
  });
  return p;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

struct Date {
  int year, month, day, weekday;  // weekday 0 Monday .. 6 Sunday
};

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
Date DateOfDay(int64_t days) {
  const int weekday = int(((days % 7) + 7 + 3) % 7);  // 1970-01-01 was a Thursday
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = int(doy - (153 * mp + 2) / 5 + 1);
  const int month = int(mp < 10 ? mp + 3 : mp - 9);
  const int year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day, weekday};
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The day of the month of the last Sunday.
int LastSunday(int year, int month) {
  // Weekday of the month's last day, through Zeller-like counting from a known date.
  int64_t days = 0;
  {
    // Days from the epoch to the last day of the month.
    const int y = month <= 2 ? year - 1 : year;
    const int m = month <= 2 ? month + 9 : month - 3;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * m + 2) / 5 + DaysInMonth(year, month) - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    days = era * 146097 + doe - 719468;
  }
  const Date last = DateOfDay(days);
  return last.day - (last.weekday + 1) % 7;
}

// The summer season runs from the last Sunday of March to the last Sunday of October.
bool IsSummer(const Date& d) {
  const int key = d.month * 100 + d.day;
  return key >= 300 + LastSunday(d.year, 3) && key < 1000 + LastSunday(d.year, 10);
}

int ReadDayName(std::string_view text) {
  static constexpr std::string_view kNames[] = {"mo", "tu", "we", "th", "fr", "sa", "su"};
  for (int day = 0; day < 7; ++day)
    if (SameText(text, kNames[day])) return day;
  return -1;
}

// Weekly notations in the strict sense: -1 when the text is not one.
int StrictWeekMask(std::string_view text) {
  // Digits and letters together are days of the month ("1.Sa", "Sa2"), not of the week.
  bool digits = false, letters = false;
  for (char c : text) {
    digits = digits || IsDigit(c);
    letters = letters || (Lower(c) >= 'a' && Lower(c) <= 'z');
  }
  if (digits && letters) return -1;
  int mask = 0;
  size_t pos = 0;
  auto readDay = [&]() {
    if (pos < text.size() && text[pos] >= '1' && text[pos] <= '7') return text[pos++] - '1';
    if (pos + 1 >= text.size()) return -1;
    const int day = ReadDayName(text.substr(pos, 2));
    if (day >= 0) pos += 2;
    return day;
  };
  while (pos < text.size()) {
    if (text[pos] == ',') {
      ++pos;
      continue;
    }
    const int from = readDay();
    if (from < 0) return -1;
    int to = from;
    if (pos < text.size() && text[pos] == '-') {
      ++pos;
      if ((to = readDay()) < 0) return -1;
    }
    for (int day = from;; day = (day + 1) % 7) {
      mask |= 1 << day;
      if (day == to) break;
    }
  }
  return mask == 0 ? -1 : mask;
}

int MonthOfName(std::string_view text) {
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
  for (int m = 0; m < 12; ++m)
    if (SameText(text, kMonths[m])) return m + 1;
  return 0;
}

// What the Days cell says about the date a window opens on.
OnAir DaysVerdict(const Packed& days, const Date& d) {
  if (days.tooLong) return OnAir::kMaybe;
  const std::string_view text = days.View();
  if (text.empty() || SameText(text, "USB") || SameText(text, "LSB")) return OnAir::kOn;
  const int mask = StrictWeekMask(text);
  if (mask >= 0) return (mask >> d.weekday) & 1 ? OnAir::kOn : OnAir::kOff;
  // "1.Sa": the first Saturday of the month.
  if (text.size() == 4 && text[0] >= '1' && text[0] <= '5' && text[1] == '.') {
    const int day = ReadDayName(text.substr(2));
    if (day >= 0)
      return day == d.weekday && (d.day - 1) / 7 + 1 == text[0] - '0' ? OnAir::kOn : OnAir::kOff;
  }
  // "Last7": the last Sunday of the month.
  if (text.size() == 5 && SameText(text.substr(0, 4), "last") && text[4] >= '1' && text[4] <= '7') {
    return text[4] - '1' == d.weekday && d.day + 7 > DaysInMonth(d.year, d.month) ? OnAir::kOn
                                                                                  : OnAir::kOff;
  }
  // "12Apr": that date only.
  if ((text.size() == 4 || text.size() == 5) && IsDigit(text[0])) {
    const size_t digits = IsDigit(text[1]) ? 2 : 1;
    const int month = text.size() - digits == 3 ? MonthOfName(text.substr(digits)) : 0;
    const int day = digits == 2 ? (text[0] - '0') * 10 + text[1] - '0' : text[0] - '0';
    if (month > 0 && day >= 1 && day <= 31)
      return month == d.month && day == d.day ? OnAir::kOn : OnAir::kOff;
  }
  return OnAir::kMaybe;
}

// A Start or Stop cell: month * 100 + day, and the year when written; 0 for no limit.
struct Limit {
  int monthDay = 0;
  int year = -1;
};

Limit ReadLimit(std::string_view text) {
  text = text.substr(0, text.find('['));
  for (char c : text)
    if (!IsDigit(c)) return {};
  if (text.size() != 4 && text.size() != 6) return {};
  auto pair = [&](size_t at) { return (text[at] - '0') * 10 + text[at + 1] - '0'; };
  const int day = pair(0), month = pair(2);
  if (day < 1 || day > 31 || month < 1 || month > 12) return {};
  return {month * 100 + day, text.size() == 6 ? 2000 + pair(4) : -1};
}

bool WithinDates(const Limit& start, const Limit& stop, const Date& d) {
  const int monthDay = d.month * 100 + d.day;
  if (start.year < 0 && stop.year < 0 && start.monthDay && stop.monthDay &&
      start.monthDay > stop.monthDay) {
    // Over the year end.
    return monthDay >= start.monthDay || monthDay <= stop.monthDay;
  }
  const int key = d.year * 10000 + monthDay;
  auto full = [&](const Limit& l) { return (l.year < 0 ? d.year : l.year) * 10000 + l.monthDay; };
  if (start.monthDay && key < full(start)) return false;
  if (stop.monthDay && key > full(stop)) return false;
  return true;
}

struct Rules {
  UtcRange window;
  Packed days;
  Limit start, stop;
  int persistence = -1;
};

int ReadPersistence(const Packed& p) {
  if (p.size == 0 || p.size > 3) return -1;
  int value = 0;
  for (char c : p.View()) {
    if (!IsDigit(c)) return -1;
    value = value * 10 + c - '0';
  }
  return value;
}

UtcRange ReadWindow(const Packed& p) {
  UtcRange range;
  const std::string_view t = p.View();
  if (t.size() != 9 || t[4] != '-') return range;
  for (size_t i : {0, 1, 2, 3, 5, 6, 7, 8})
    if (!IsDigit(t[i])) return range;
  auto pair = [&](size_t at) { return (t[at] - '0') * 10 + t[at + 1] - '0'; };
  const int sh = pair(0), sm = pair(2), eh = pair(5), em = pair(7);
  if (sh > 23 || sm > 59 || eh > 24 || em > 59 || eh * 100 + em > 2400) return range;
  range.start = sh * 100 + sm;
  range.end = eh * 100 + em;
  range.result = range.start > range.end ? 2 : 1;
  return range;
}

// Whether a window opening on this date is on the air as far as days, dates and persistence go.
OnAir DayCounts(const Rules& rules, const Date& opening, const Date& now) {
  if (rules.persistence >= 0) {
    if (rules.persistence % 90 == 8) return OnAir::kOff;
    if (rules.persistence == 4 && IsSummer(now)) return OnAir::kOff;
    if (rules.persistence == 5 && !IsSummer(now)) return OnAir::kOff;
  }
  if (!WithinDates(rules.start, rules.stop, opening)) return OnAir::kOff;
  return DaysVerdict(rules.days, opening);
}

}  // namespace

OnAir EvaluateOnAir(const OnAirCells& cells, time_t now) {
  Rules rules;
  rules.window = ReadWindow(Pack(cells.utc));
  if (rules.window.result <= 0) return OnAir::kOff;
  rules.days = Pack(cells.days);
  rules.persistence = ReadPersistence(Pack(cells.persistence));
  rules.start = ReadLimit(Pack(cells.start).View());
  rules.stop = ReadLimit(Pack(cells.stop).View());

  const int64_t day = FloorDiv(int64_t(now), kSecondsPerDay);
  const int minute = int((int64_t(now) - day * kSecondsPerDay) / 60);
  const int hhmm = minute / 60 * 100 + minute % 60;
  const Date today = DateOfDay(day);
  const UtcRange& w = rules.window;
  if (IsActiveAt(w.result, w.start, w.end, hhmm)) {
    const bool startedYesterday = w.result == 2 && hhmm < w.start;
    const OnAir verdict = DayCounts(rules, startedYesterday ? DateOfDay(day - 1) : today, today);
    if (verdict != OnAir::kOff) return verdict;
  }
  const int opens = w.start / 100 * 60 + w.start % 100;
  const int wait = (opens - minute + kMinutesPerDay) % kMinutesPerDay;
  if (wait == 0 || wait > kComingUpMinutes) return OnAir::kOff;
  const int64_t openingDay = day + (minute + wait >= kMinutesPerDay ? 1 : 0);
  return DayCounts(rules, DateOfDay(openingDay), DateOfDay(openingDay)) == OnAir::kOff
             ? OnAir::kOff
             : OnAir::kComingUp;
}
