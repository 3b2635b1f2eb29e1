// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

#include "list/list_file.h"
#include "list/schedule_import.h"

struct ModeEntry;

// The Japanese club's shortwave list: a title line "A26 Shortwave Frequecy List ...", then
// a header line "FRE   STATION   UTC   Su-W-Sa Language ..." whose labels start the columns.
bool IsAokiList(std::string_view text);

// As ReadHfccCells, for that list.
bool ReadAokiCells(size_t start, ListEncoding encoding, const ModeEntry* modes,
                   ScheduleCells* schedule, const char** refusal);
