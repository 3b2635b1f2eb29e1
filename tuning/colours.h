// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Marks on a row's number cell.
inline const QColor ActiveColour{0x00, 0xFF, 0x00};    // window open now; the scheduled row
inline const QColor IdleColour{0x40, 0x80, 0x80};      // window closed; other rows of a schedule
inline const QColor MaybeColour{0xC8, 0xF0, 0xC8};     // window open, irregular or unknown days
inline const QColor ComingUpColour{0xFF, 0xBF, 0x40};  // window opens within minutes
inline const QColor ScanColour{0xFF, 0xFF, 0xC0};      // part of the scan range
