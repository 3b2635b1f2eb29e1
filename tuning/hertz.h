// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// Whole hertz of a frequency in kilohertz, cut toward zero. The kilohertz come from decimal
// text, and 64.835 is held as 64.83499999...; without a trace of slack it would tune one
// hertz low. The slack is far below the thousandth of a hertz that a fourth decimal means.
inline double WholeHertz(double khz) {
  const double hz = khz * 1000.0;
  return std::trunc(hz + std::fabs(hz) * 1e-12);
}
