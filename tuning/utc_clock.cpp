// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/utc_clock.h"

UtcTime SplitUtc(std::time_t t) {
  std::tm fields{};
  gmtime_r(&t, &fields);
  return {fields.tm_hour, fields.tm_min, (fields.tm_wday + 6) % 7};
}
