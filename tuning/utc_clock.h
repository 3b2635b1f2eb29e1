// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <functional>

// Every "now" of the program, so tests can set the time.
using UtcClock = std::function<std::time_t()>;

struct UtcTime {
  int hour = 0;
  int minute = 0;
  int weekday = 0;  // 0 Monday .. 6 Sunday
  int hhmm() const { return hour * 100 + minute; }
};

UtcTime SplitUtc(std::time_t t);
