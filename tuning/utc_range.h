// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A daily UTC window "HHMM-HHMM" as read from the UTC column.
struct UtcRange {
  // 0 no range, -1 wrong length, -2 a field out of range, -3 end beyond 2400,
  // 1 within one day, 2 running past midnight.
  int result = 0;
  int start = 0;  // hour * 100 + minute
  int end = 0;
};

UtcRange ParseUtcRange(const QString& text);

// Both ends count: 2200-0200 is active from 22:00 through 02:00.
bool IsActiveAt(int result, int start, int end, int now);
