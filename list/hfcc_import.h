// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

#include "list/list_file.h"
#include "list/schedule_import.h"

struct ModeEntry;

// The broadcasters' coordinated season schedule: fixed-width lines of 158 columns under a
// few ';' comment lines, the first "; A26 ALL 19-aug-2026", then a ruler ";----+----+".
bool IsHfccSchedule(std::string_view text);

// The entries of that schedule, whose bytes from start on are in schedule's block, into its
// cells (kScheduleListHeaderWithDates); false with a refusal's text when there are none.
bool ReadHfccCells(size_t start, ListEncoding encoding, const ModeEntry* modes,
                   ScheduleCells* schedule, const char** refusal);
