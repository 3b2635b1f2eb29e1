// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/on_air.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

time_t Utc(const char* when) {
  return QDateTime::fromString(QString::fromLatin1(when), Qt::ISODate).toSecsSinceEpoch();
}

// 2025: Saturday 1 March, last Sundays 30 March and 26 October.
TEST(OnAirTest, Rules) {
  const struct {
    const char *utc, *days, *p, *start, *stop, *when;
    OnAir expected;
  } cases[] = {
      {"0600-0700", "", "", "", "", "2025-06-02T06:30:00Z", OnAir::kOn},
      {"0600-0700", "", "", "", "", "2025-06-02T07:01:00Z", OnAir::kOff},
      {"0600-0700", "", "", "", "", "2025-06-02T05:45:00Z", OnAir::kComingUp},
      {"0600-0700", "", "", "", "", "2025-06-02T05:44:00Z", OnAir::kOff},
      {"0000-2400", "", "", "", "", "2025-06-02T13:00:00Z", OnAir::kOn},
      {"", "", "", "", "", "2025-06-02T13:00:00Z", OnAir::kOff},
      // Weekdays; 2 June 2025 is a Monday.
      {"0600-0700", "Mo-Fr", "", "", "", "2025-06-02T06:30:00Z", OnAir::kOn},
      {"0600-0700", "Sa,Su", "", "", "", "2025-06-02T06:30:00Z", OnAir::kOff},
      {"0600-0700", "2", "", "", "", "2025-06-02T06:30:00Z", OnAir::kOff},
      {"0600-0700", "USB", "", "", "", "2025-06-02T06:30:00Z", OnAir::kOn},
      // Over midnight the start day counts.
      {"2330-0130", "Su", "", "", "", "2025-06-02T00:30:00Z", OnAir::kOn},
      {"2330-0130", "Mo", "", "", "", "2025-06-02T00:30:00Z", OnAir::kOff},
      {"2330-0130", "Mo", "", "", "", "2025-06-02T23:45:00Z", OnAir::kOn},
      {"2330-0130", "Tu", "", "", "", "2025-06-02T23:20:00Z", OnAir::kOff},
      {"2330-0130", "Mo", "", "", "", "2025-06-02T23:20:00Z", OnAir::kComingUp},
      // Nth and last weekday of the month, dates in Days.
      {"1000-1100", "1.Sa", "", "", "", "2025-03-01T10:30:00Z", OnAir::kOn},
      {"1000-1100", "1.Sa", "", "", "", "2025-03-08T10:30:00Z", OnAir::kOff},
      {"1000-1100", "2.Sa", "", "", "", "2025-03-08T10:30:00Z", OnAir::kOn},
      {"1000-1100", "Last7", "", "", "", "2025-03-30T10:30:00Z", OnAir::kOn},
      {"1000-1100", "Last7", "", "", "", "2025-03-23T10:30:00Z", OnAir::kOff},
      {"2300-0100", "1.Sa", "", "", "", "2025-03-02T00:30:00Z", OnAir::kOn},
      {"1000-1100", "12Apr", "", "", "", "2025-04-12T10:30:00Z", OnAir::kOn},
      {"1000-1100", "12Apr", "", "", "", "2025-04-13T10:30:00Z", OnAir::kOff},
      {"2300-0100", "12Apr", "", "", "", "2025-04-13T00:30:00Z", OnAir::kOn},
      // Irregular and unknown notations: maybe, within the window only.
      {"1000-1100", "irr", "", "", "", "2025-06-02T10:30:00Z", OnAir::kMaybe},
      {"1000-1100", "irrSa", "", "", "", "2025-06-02T10:30:00Z", OnAir::kMaybe},
      {"1000-1100", "alt", "", "", "", "2025-06-02T10:30:00Z", OnAir::kMaybe},
      {"1000-1100", "Sa2", "", "", "", "2025-06-02T10:30:00Z", OnAir::kMaybe},
      {"1000-1100", "irr", "", "", "", "2025-06-02T11:30:00Z", OnAir::kOff},
      {"1000-1100", "irr", "", "", "", "2025-06-02T09:50:00Z", OnAir::kComingUp},
      // Validity dates, with and without a year, over the year end.
      {"1000-1100", "", "6", "0106", "3006", "2025-06-15T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "6", "0106", "3006", "2025-07-01T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "1", "0111", "2802[0223]", "2025-06-15T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "1", "0111", "2802[0223]", "2025-12-31T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "1", "0111", "2802[0223]", "2025-01-01T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "1", "", "[0425]", "2025-06-15T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "1", "3107f", "", "2025-01-01T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "", "310325", "260725", "2025-07-26T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "", "310325", "260725", "2026-07-26T10:30:00Z", OnAir::kOff},
      {"2300-0100", "", "6", "0106", "3006", "2025-07-01T00:30:00Z", OnAir::kOn},
      // Persistence: inactive entries and the seasons' edges.
      {"1000-1100", "", "8", "", "", "2025-06-02T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "98", "", "", "2025-06-02T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "8", "", "", "2025-06-02T09:50:00Z", OnAir::kOff},
      {"1000-1100", "", "4", "", "", "2025-03-29T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "4", "", "", "2025-03-30T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "5", "", "", "2025-03-30T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "5", "", "", "2025-10-26T10:30:00Z", OnAir::kOff},
      {"1000-1100", "", "4", "", "", "2025-10-26T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "5", "", "", "2025-10-25T10:30:00Z", OnAir::kOn},
      {"1000-1100", "", "2", "", "", "2025-10-25T10:30:00Z", OnAir::kOn},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.utc) + " " + c.days + " P" + c.p + " " + c.start + "-" + c.stop +
                 " at " + c.when);
    const OnAirCells cells{QLatin1StringView(c.utc), QLatin1StringView(c.days),
                           QLatin1StringView(c.p), QLatin1StringView(c.start),
                           QLatin1StringView(c.stop)};
    EXPECT_EQ(int(EvaluateOnAir(cells, Utc(c.when))), int(c.expected));
  }
}

}  // namespace
