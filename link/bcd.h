// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Packed BCD, least significant pair first, low nibble = less significant digit.
// Writes (digits + 1) / 2 bytes; digits beyond the count are dropped.
void ToBcd(uint64_t value, int digits, uint8_t* out);

// Nibbles above 9 are not rejected: they weigh in as they are. The sum wraps modulo 2^32.
uint32_t FromBcd(const uint8_t* bytes, int count);
