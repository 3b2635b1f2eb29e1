// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Marks on a row's number cell.
inline const QColor ActiveColour{0x00, 0xFF, 0x00};  // window open now; the scheduled row
inline const QColor IdleColour{0x40, 0x80, 0x80};    // window closed; other rows of a schedule
inline const QColor ScanColour{0xFF, 0xFF, 0xC0};    // part of the scan range
