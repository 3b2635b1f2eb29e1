// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/columns.h"

std::vector<columns_st> g_columns;

void InitBuiltInColumns() {
  const ModeEntry* modes = g_columns.size() > kColMode ? g_columns[kColMode].choices : nullptr;
  g_columns.clear();
  g_columns.push_back({"N.", 50, nullptr});
  g_columns.push_back({"Freq (kHz)", 100, nullptr});
  g_columns.push_back({"Station", 280, nullptr});
  g_columns.push_back({"Mode", 80, modes});
  g_columns.push_back({"UTC", 80, nullptr});
}

void SetModeChoices(const ModeEntry* modes) {
  if (g_columns.size() > kColMode) g_columns[kColMode].choices = modes;
}
