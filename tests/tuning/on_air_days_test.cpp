// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/on_air_days.h"

#include <gtest/gtest.h>

namespace {

enum Weekday { Mo, Tu, We, Th, Fr, Sa, Su };

TEST(OnAirDays, DaysNotationsWithWindowAndWeekday) {
  struct Case {
    const char* window;
    const char* days;
    Weekday day;
    int hhmm;
    bool onAir;
  } cases[] = {
      {"1200-1300", "", Su, 1230, true},
      {"1200-1300", "Mo", Mo, 1230, true},
      {"1200-1300", "Mo", Tu, 1230, false},
      // The right day does not open a closed window.
      {"1200-1300", "Mo", Mo, 1400, false},
      {"1200-1300", "Mo-Fr", We, 1230, true},
      {"1200-1300", "Mo-Fr", Sa, 1230, false},
      {"1200-1300", "MO-FR", Mo, 1230, true},
      // A range that wraps over the weekend.
      {"1200-1300", "Fr-Mo", Su, 1230, true},
      {"1200-1300", "Fr-Mo", Mo, 1230, true},
      {"1200-1300", "Fr-Mo", Tu, 1230, false},
      {"1200-1300", "Sa,Su", Sa, 1230, true},
      {"1200-1300", "Sa,Su", Fr, 1230, false},
      {"1200-1300", "SaSu", Su, 1230, true},
      {"1200-1300", "SaSu", Mo, 1230, false},
      {"1200-1300", "MoWeFr", We, 1230, true},
      {"1200-1300", "MoWeFr", Th, 1230, false},
      {"1200-1300", "Mo-We,Sa", Sa, 1230, true},
      {"1200-1300", " Sa , Su ", Su, 1230, true},
      {"1200-1300", "Mo - Fr", Sa, 1230, false},
      // Digits count from Monday.
      {"1200-1300", "67", Sa, 1230, true},
      {"1200-1300", "67", Fr, 1230, false},
      {"1200-1300", "1-5", Fr, 1230, true},
      {"1200-1300", "1-5", Sa, 1230, false},
      {"1200-1300", "7", Su, 1230, true},
      {"1200-1300", "6-1", Mo, 1230, true},
      {"1200-1300", "6-1", Tu, 1230, false},
      // Irregular or not understood: every day rather than never.
      {"1200-1300", "irr", We, 1230, true},
      {"1200-1300", "daily", Th, 1230, true},
      {"1200-1300", "Mon", Tu, 1230, true},
      {"1200-1300", "8", Tu, 1230, true},
      {"1200-1300", "Mo-", Tu, 1230, true},
      {"1200-1300", "Sa/Su", Tu, 1230, true},
      // Days of the month, not of the week.
      {"1200-1300", "Sa2", We, 1230, true},
      {"1200-1300", "1.Sa", We, 1230, true},
      {"1200-1300", "12Apr", We, 1230, true},
      // Past midnight the window belongs to the day it started on.
      {"2330-0450", "Mo", Mo, 2345, true},
      {"2330-0450", "Mo", Tu, 100, true},
      {"2330-0450", "Mo", Mo, 100, false},
      {"2330-0450", "Mo", Tu, 2345, false},
      {"2300-0100", "Su", Mo, 30, true},
      {"2300-0100", "Su", Su, 30, false},
      {"2300-0100", "Mo-Fr", Sa, 30, true},
      {"2300-0100", "Mo-Fr", Mo, 30, false},
      // A window that is not one is never on the air.
      {"", "", Mo, 1200, false},
      {"1830", "Mo", Mo, 1830, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.window << " '" << c.days << "' day " << c.day << " at " << c.hhmm);
    const UtcRange range = ParseUtcRange(c.window);
    EXPECT_EQ(IsOnAirAt(range, ParseOnAirDays(QString(c.days)), c.day, c.hhmm), c.onAir);
    // The grid hands out narrow and wide views; both read alike.
    EXPECT_EQ(ParseOnAirDays(QLatin1StringView(c.days)), ParseOnAirDays(QString(c.days)));
  }
}

}  // namespace
