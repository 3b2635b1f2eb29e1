// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "list/list_reader.h"

struct ModeEntry;

// The public shortwave broadcast schedule: a ';'-separated file whose first line names its
// fields ("kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;..."),
// one broadcast a line. It becomes a new station list with these columns.
constexpr const char* kScheduleListHeader =
    "Freq (kHz);Station;Mode;UTC;Days;LNG;ITU;Target;Notes;P;Start;Stop";

// The list made from a schedule and what became of the file's lines.
struct ScheduleCells {
  // kScheduleListHeader, then one line per entry; the encoding is the file's, so the
  // stations' names are saved with the very bytes they came with.
  ListFileCells list;
  int entries = 0;
  // Lines after the first that are no entry: comments, blank lines, lines without a valid
  // kHz and time.
  int skipped = 0;
};

// Reads the schedule at path. The Mode column holds the mode a line names (its language
// "-CW" or "-TY", or USB, LSB, CW, DRM or RTTY as a word of its station, days or remarks)
// when modes, the receiver's mode list, has it, else nothing; AM when a line names none.
// False with a message naming the file: the refusals of list files (binary data, over-long
// lines, oversized files), a file of another format or one without entries.
bool ReadScheduleCells(const QString& path, const ModeEntry* modes, ScheduleCells* out,
                       QString* error);

// The message pane's report of an import, e.g. "Imported 9,750 entries, skipped 3 lines."
QString ImportSummary(int entries, int skipped);
