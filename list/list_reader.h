// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "list/cell_store.h"
#include "list/list_file.h"

// A list file cut straight into the grid's cells. The bytes are looked at once: the same
// pass finds the lines, the fields, the binary data and over-long lines that are refused,
// and whether the file is valid UTF-8. Every cell of a Latin-1 or plain ASCII file points
// into the very block the file was read into.
struct ListFileCells {
  QString header;  // the first line; empty when the file is
  int lineCount = 0;
  ListEncoding encoding = ListEncoding::kUtf8;
  // The file as it was when its reading began: a change that lands during the read is a
  // change of the file.
  std::optional<FileIdentity> identity;
  // max(lineCount, 2) rows of ColumnsForHeader(fields of the header) columns; row i holds
  // line i from column 1 on, fields past the last column dropped. Row 0 and column 0 are
  // left empty for the captions and the row numbers.
  CellMatrix cells;
};

// False with the same messages and refusals as ReadListFile.
bool ReadListCells(const QString& path, ListFileCells* out, QString* error);

// The length of the valid UTF-8 sequence at the start of bytes (1 to 4), or 0 when it is
// not one: overlong forms, surrogates and values past U+10FFFF are not.
int Utf8SequenceLength(const unsigned char* bytes, size_t available);
