// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

constexpr int kLines = 100000;

// A realistic list of `lines` stations: shortwave frequencies, names, modes, daily UTC
// windows and free columns; the same list on every run, and a longer list begins with the
// lines of a shorter one. With days, a last column "Days" holds on-air days in the
// notations of the public schedules.
// With schedule, also the schedule's Days notations, persistence and dates.
void WriteList(const QString& path, int lines = kLines, bool days = false, bool schedule = false);
