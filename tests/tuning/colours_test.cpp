// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/colours.h"

#include <gtest/gtest.h>

#include <QColor>
#include <cstdint>

namespace {

// The marks written the way the list's colours have always been given: 0x00BBGGRR.
QColor FromBgr(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

TEST(RowMarkColours, AreGreenDullCyanAndPaleYellow) {
  struct Case {
    const char* name;
    QColor colour;
    uint32_t bgr;
  } cases[] = {
      {"ActiveColour", ActiveColour, 0x00FF00},
      {"IdleColour", IdleColour, 0x808040},
      {"ScanColour", ScanColour, 0xC0FFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.colour.name().toStdString(), FromBgr(c.bgr).name().toStdString()) << c.name;
    EXPECT_EQ(c.colour.alpha(), 255) << c.name;
  }
}

}  // namespace
