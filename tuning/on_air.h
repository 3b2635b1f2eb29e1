// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <ctime>

// What a schedule row says about the air at one instant. kMaybe: the window is open but the
// days are irregular or written in a way this reader does not know.
enum class OnAir { kOff, kOn, kMaybe, kComingUp };

// The cells of one row that decide it; any may be empty.
struct OnAirCells {
  QAnyStringView utc, days, persistence, start, stop;
};

// How long before its window opens a row counts as coming up.
constexpr int kComingUpMinutes = 15;

OnAir EvaluateOnAir(const OnAirCells& cells, time_t now);
