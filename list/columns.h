// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

struct ModeEntry;

// One column of the list: its caption, its default width in pixels (0 for the columns a
// header line brings) and, for the Mode column, the values it offers and enforces.
struct columns_st {
  QString caption;
  int16_t width = 0;
  const ModeEntry* choices = nullptr;
};

// The program's one column table; entry j describes grid column j.
extern std::vector<columns_st> g_columns;

constexpr int kColNumber = 0;
constexpr int kColFrequency = 1;
constexpr int kColStation = 2;
constexpr int kColMode = 3;
constexpr int kColUtc = 4;
constexpr int kFirstUserColumn = 5;
// Columns beyond this many in a header line are dropped.
constexpr int kMaxColumns = 256;

// The grid's column count for a header line of that many fields: the built-in columns,
// then one for each field from the fifth on, at most kMaxColumns in all.
constexpr int ColumnsForHeader(int headerFields) {
  return headerFields + 1 < kFirstUserColumn ? kFirstUserColumn
         : headerFields + 1 > kMaxColumns    ? kMaxColumns
                                             : headerFields + 1;
}

constexpr const char* kNewListHeader = "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes";
constexpr const char* kUnnamedColumnCaption = "?";

// Fills the five built-in entries (once, before the first list exists).
void InitBuiltInColumns();

// The Mode column offers the selected receiver's modes; null for a receiver without any.
void SetModeChoices(const ModeEntry* modes);
