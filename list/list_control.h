#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "cicom_doc.h"
#include "edit_grid.h"

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
  void ResetGrid(int lineCount);
  void ReadRows(const ListStream& stream);
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

  ListHost& host_;
  QWidget* view_;
  CEditGrid* grid_;
  CIcomDoc doc_;
};
