// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <cstdint>

#include "tuning/utc_range.h"

class FlexGrid;

// The weekdays a row is on the air, one bit a day: bit 0 Monday .. bit 6 Sunday.
using DayMask = uint8_t;
constexpr DayMask kEveryDay = 0x7F;

// A Days cell as the public shortwave schedules write it: "Mo-Fr", "Fr-Mo", "Sa,Su",
// "SaSu", "1-5", "67", in any case and with blanks anywhere. An empty cell, "irr" and
// anything not understood give every day: a row must not vanish from the schedule because
// of a notation this reader does not know.
DayMask ParseOnAirDays(QAnyStringView text);

// Whether a row with this window and these days is on the air at hhmm on weekday
// (0 Monday .. 6 Sunday). A window running past midnight belongs to the day it starts on.
bool IsOnAirAt(const UtcRange& range, DayMask days, int weekday, int hhmm);

// The grid column with this caption (any case), or -1 when the list has none.
int FindColumn(const FlexGrid& grid, QLatin1StringView caption);

// The grid column captioned "Days", or -1 when the list has none.
int FindDaysColumn(const FlexGrid& grid);

// The days of one row; every day when column is -1.
DayMask RowDays(const FlexGrid& grid, int row, int column);
