// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/utc_range.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(UtcRange, ParsedWindowsAndWhenTheyAreActive) {
  struct Case {
    const char* text;
    int result, start, end;
    std::vector<int> active, inactive;  // hhmm
  } cases[] = {
      {"0000-2400", 1, 0, 2400, {0, 1200, 2359}, {}},
      // Past midnight, both ends inclusive.
      {"2200-0200", 2, 2200, 200, {2200, 2359, 0, 200}, {201, 2159, 1200}},
      {"0600-0600", 1, 600, 600, {600}, {559, 601}},
      // The end minute has no bound of its own.
      {"0000-0099", 1, 0, 99, {0, 59}, {100}},
      // The separator is not looked at.
      {"1830x1930", 1, 1830, 1930, {1830, 1930}, {1829, 1931}},
      {"2500-0100", -2, 0, 0, {}, {0, 100}},
      {"1260-1300", -2, 0, 0, {}, {1300}},
      {"2400-0100", -2, 0, 0, {}, {0}},
      {"abcd-efgh", -2, 0, 0, {}, {1200}},
      {"12ab-1300", -2, 0, 0, {}, {1200}},
      {"2300-2401", -3, 0, 0, {}, {2300}},
      {"0000-2459", -3, 0, 0, {}, {0}},
      // Time stamps as the Operating Frequency dialog's Add writes them.
      {"1830", -1, 0, 0, {}, {1830}},
      {"1830  05-01-24", -1, 0, 0, {}, {1830}},
      {"", 0, 0, 0, {}, {0}},
  };
  for (const Case& c : cases) {
    const UtcRange range = ParseUtcRange(c.text);
    EXPECT_EQ(range.result, c.result) << c.text;
    if (c.result > 0) {
      EXPECT_EQ(range.start, c.start) << c.text;
      EXPECT_EQ(range.end, c.end) << c.text;
    }
    for (int now : c.active)
      EXPECT_TRUE(IsActiveAt(range.result, range.start, range.end, now)) << c.text << " at " << now;
    for (int now : c.inactive)
      EXPECT_FALSE(IsActiveAt(range.result, range.start, range.end, now))
          << c.text << " at " << now;
  }
}

}  // namespace
