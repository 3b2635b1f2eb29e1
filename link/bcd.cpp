// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/bcd.h"

void ToBcd(uint64_t value, int digits, uint8_t* out) {
  for (int i = 0; i < (digits + 1) / 2; ++i) {
    uint8_t low = value % 10;
    value /= 10;
    uint8_t high = 0;
    if (2 * i + 1 < digits) {
      high = value % 10;
      value /= 10;
    }
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
}

uint32_t FromBcd(const uint8_t* bytes, int count) {
  uint32_t sum = 0;
  uint32_t weight = 1;
  for (int i = 0; i < count; ++i) {
    sum += ((bytes[i] & 0x0F) + 10u * (bytes[i] >> 4)) * weight;
    weight *= 100;
  }
  return sum;
}
