// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/frequency_index.h"

#include <cmath>

void FrequencyIndex::Build(uint64_t revision, int offsetColumn, int rows, const RowValue& value) {
  rows_.clear();
  for (int row = 1; row < rows; ++row) {
    double khz = 0;
    // A NaN key could never be found again and would break the map's equality.
    if (value(row, &khz) && !std::isnan(khz)) rows_[khz].push_back(row);
  }
  revision_ = revision;
  offsetColumn_ = offsetColumn;
  built_ = true;
}

const std::vector<int>* FrequencyIndex::Find(double khz) const {
  const auto found = rows_.find(khz);
  return found == rows_.end() ? nullptr : &found->second;
}
