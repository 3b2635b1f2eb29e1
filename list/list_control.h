// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "list/cicom_doc.h"
#include "list/edit_grid.h"

struct ModeEntry;
class GridOwner;
class ListHost;
class QWidget;

// The list side of the view: builds the grid from a list file and back, brings rows into
// their normal form and lays out the columns.
class ListControl {
 public:
  ListControl(ListHost& host, GridOwner& owner, QWidget* view);

  CEditGrid& grid() { return *grid_; }
  CIcomDoc& doc() { return doc_; }

  void ApplyHeaderLine(const QString& line);
  // An empty grid for lineCount lines, or with cells the grid of those cells.
  void ResetGrid(int lineCount, CellMatrix* cells = nullptr);
  // Brings the rows that ResetGrid took over into normal form.
  void ReadRows();
  // Every row through stream.writer; rows not edited since they were last read or written
  // are written as they stand, unless the rules of the normal form changed meanwhile.
  void WriteRows(ListStream& stream);
  bool NormalizeRow(int row, QStringList& cells);
  void RenumberRows();
  void ApplyRowStyle(int row);
  void LayoutColumns();
  QList<int> LoadColumnWidths();
  void SaveColumnWidths();
  void JustifyColumns();

  ListHost& host() { return host_; }

  const QChar m_separator = ';';

 private:
  int ClientWidth() const;
  int ScrollBarWidth() const;
  // Whether the cell in column col of a row with a frequency differs from its normal form,
  // which then goes to *normal.
  bool NormalCell(int col, QAnyStringView text, QString* normal);
  void NormalizeStoredRows();

  // What the normal form of a row depends on besides the row itself.
  struct NormalRules {
    bool receiverNone = false;
    std::vector<const ModeEntry*> choices;
    bool operator==(const NormalRules&) const = default;
  };
  NormalRules CurrentRules() const;

  ListHost& host_;
  QWidget* view_;
  CEditGrid* grid_;
  CIcomDoc doc_;
  // The rules every unedited row was last brought into normal form by; none yet.
  std::optional<NormalRules> rowsNormalBy_;
};
