// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/bcd.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<uint8_t>;

TEST(Bcd, ToBcdPacksLeastSignificantPairFirst) {
  struct Case {
    uint64_t value;
    int digits;
    Bytes bytes;
  };
  for (const Case& c : {
           Case{14250000, 10, {0x00, 0x00, 0x25, 0x14, 0x00}},
           {4294967295u, 10, {0x95, 0x72, 0x96, 0x94, 0x42}},
           {0, 10, {0, 0, 0, 0, 0}},
           {12345678901ull, 10, {0x01, 0x89, 0x67, 0x45, 0x23}},  // the eleventh digit is cut
           {123, 3, {0x23, 0x01}},                                // odd count: high nibble 0
           {987, 1, {0x07}},
       }) {
    Bytes out(c.bytes.size() + 1, 0xEE);
    ToBcd(c.value, c.digits, out.data());
    EXPECT_EQ(Bytes(out.begin(), out.end() - 1), c.bytes) << c.value;
    EXPECT_EQ(out.back(), 0xEE) << "wrote past " << c.bytes.size() << " bytes";
  }
}

TEST(Bcd, FromBcdWeighsEveryNibble) {
  struct Case {
    Bytes bytes;
    uint64_t value;  // taken modulo 2^32
  };
  for (const Case& c : {
           Case{{0x00, 0x00, 0x25, 0x14, 0x00}, 14250000},
           {{0x95, 0x72, 0x96, 0x94, 0x42}, 4294967295u},
           {{0x00, 0x00, 0x00, 0x00, 0x43}, 4300000000ull},
           {{0x0A}, 10},
           {{0xFF}, 165},
           {{}, 0},
       }) {
    EXPECT_EQ(FromBcd(c.bytes.data(), static_cast<int>(c.bytes.size())),
              static_cast<uint32_t>(c.value));
  }
}
