// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/utc_range.h"

namespace {

constexpr int kRangeLength = 9;

// Two characters as a number, without checking that they are digits: a letter simply
// gives a value out of range.
int Pair(const QString& text, int at) {
  auto digit = [&](int i) { return static_cast<signed char>(text[i].toLatin1()) - '0'; };
  return 10 * digit(at) + digit(at + 1);
}

}  // namespace

UtcRange ParseUtcRange(const QString& text) {
  UtcRange range;
  if (text.isEmpty()) return range;
  if (text.size() != kRangeLength) {
    range.result = -1;
    return range;
  }
  const int sh = Pair(text, 0), sm = Pair(text, 2), eh = Pair(text, 5), em = Pair(text, 7);
  if (sh < 0 || sh > 23 || sm < 0 || sm > 59 || eh < 0 || eh > 24 || em < 0) {
    range.result = -2;
    return range;
  }
  range.end = eh * 100 + em;
  if (range.end > 2400) {
    range.result = -3;
    return range;
  }
  range.start = sh * 100 + sm;
  range.result = range.start > range.end ? 2 : 1;
  return range;
}

bool IsActiveAt(int result, int start, int end, int now) {
  if (result == 1) return start <= now && now <= end;
  if (result == 2) return (start <= now && now < 2400) || (0 <= now && now <= end);
  return false;
}
