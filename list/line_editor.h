// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "list/find_dialog.h"

class CEditGrid;
class ListControl;
class ListHost;
class QWidget;

// The view's line and cell commands over the grid: the program's own line buffer, inserting,
// deleting, sorting and finding. Each command that changes a cell marks the list modified.
class LineEditor : public QObject {
 public:
  LineEditor(ListControl& list, ListHost& host, QWidget* view);
  ~LineEditor() override;

  void CopyLine();
  void PasteLine();
  void DuplicateLine();
  // A new empty line below the current one, which becomes current; returns its index.
  int InsertLine();
  // A new line below the current one holding cells (by column, brought into normal form);
  // returns its index.
  int AppendRow(QStringList cells);
  void ClearLines();
  void DeleteLines();
  void SortLines();
  void SelectAll();
  // Columns 1 .. Cols-1 of the current row, as the context menu's commands act on.
  void SelectCurrentLine();
  void OpenFindDialog();
  void FindNext();
  // Walks right, then down from the cell after the current one; false at the end.
  bool SearchNext();

  // What the enabling rules ask besides the modes.
  bool HasCopiedLine() const { return !m_lineBuffer.isEmpty(); }
  bool CanDeleteLines() const;
  bool CanMoveLinesUp() const;
  bool CanMoveLinesDown() const;

  // Lives as long as the view: survives New and Open.
  QStringList m_lineBuffer;
  QString m_searchText;
  bool m_matchCase = false;
  QPointer<CFindDialog> m_findDialog;

  // Runs the search the Find dialog asks for; the view makes it pass where the Find next
  // command passes. Without it the search runs at once.
  std::function<void(const std::function<void()>& search)> findRequested;

 private:
  CEditGrid& grid() const;
  // The first and last selected line.
  int Lo() const;
  int Hi() const;
  void MarkModified();
  void ShowRow(int row);

  ListControl& list_;
  ListHost& host_;
  QWidget* view_;
};
