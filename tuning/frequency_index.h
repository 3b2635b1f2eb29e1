// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

// The rows of a list by the kHz value of their frequency, so that following the radio does
// not read every row on every report. It belongs to one state of the list: the owner hands
// it the grid's text revision and the offset column, and a change of either rebuilds it.
class FrequencyIndex {
 public:
  // A row's value, false for a row without one.
  using RowValue = std::function<bool(int row, double* khz)>;

  bool Current(uint64_t revision, int offsetColumn) const {
    return built_ && revision == revision_ && offsetColumn == offsetColumn_;
  }
  // Reads rows 1 .. rows-1.
  void Build(uint64_t revision, int offsetColumn, int rows, const RowValue& value);
  // The rows with exactly this value in list order; null when there are none.
  const std::vector<int>* Find(double khz) const;

 private:
  std::unordered_map<double, std::vector<int>> rows_;
  uint64_t revision_ = 0;
  int offsetColumn_ = 0;
  bool built_ = false;
};
