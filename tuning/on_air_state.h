// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a row of a schedule stands at one instant.
enum class OnAir { kOff, kOn, kMaybe, kComingUp };
