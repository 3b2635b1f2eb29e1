// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/line_editor.h"

#include <QLineEdit>
#include <QStringMatcher>
#include <QWidget>
#include <algorithm>

#include "common/texts.h"
#include "list/edit_grid.h"
#include "list/list_control.h"
#include "list/list_host.h"
#include "list/wait_cursor.h"

LineEditor::LineEditor(ListControl& list, ListHost& host, QWidget* view)
    : QObject(view), list_(list), host_(host), view_(view) {}

LineEditor::~LineEditor() {
  if (m_findDialog) m_findDialog->close();
}

CEditGrid& LineEditor::grid() const { return list_.grid(); }

int LineEditor::Lo() const { return std::min(grid().Row(), grid().RowSel()); }

int LineEditor::Hi() const { return std::max(grid().Row(), grid().RowSel()); }

void LineEditor::MarkModified() { list_.doc().SetModifiedFlag(true); }

void LineEditor::ShowRow(int row) {
  CEditGrid& g = grid();
  if (!g.IsRowVisible(row)) g.SetTopRow(row);
}

bool LineEditor::CanDeleteLines() const {
  const int rows = grid().Rows();
  return rows > 1 && !(Lo() == 1 && Hi() == rows - 1);
}

bool LineEditor::CanMoveLinesUp() const { return Lo() > 1; }

bool LineEditor::CanMoveLinesDown() const { return Hi() < grid().Rows() - 1; }

void LineEditor::CopyLine() { m_lineBuffer = grid().ReadRowCells(grid().Row()); }

void LineEditor::PasteLine() {
  CEditGrid& g = grid();
  const int row = g.Row();
  {
    RedrawOff batch(g);
    // Entry 0 is the copied row's number. A line copied from a list with fewer columns
    // had nothing in the others, so they are emptied; extra entries have nowhere to go.
    for (int i = 1; i < g.Cols(); ++i) g.SetTextMatrix(row, i, m_lineBuffer.value(i));
  }
  MarkModified();
}

void LineEditor::SelectCurrentLine() {
  CEditGrid& g = grid();
  g.SetCol(1);
  g.SetColSel(g.Cols() - 1);
}

void LineEditor::DuplicateLine() {
  SelectCurrentLine();
  CopyLine();
  InsertLine();
  SelectCurrentLine();
  PasteLine();
}

int LineEditor::InsertLine() {
  WaitCursor cursor;
  CEditGrid& g = grid();
  const int row = g.Row() + 1;
  const int col = g.Col();
  {
    RedrawOff batch(g);
    g.AddItem(QString(), row);
    list_.RenumberRows();
    list_.ApplyRowStyle(row);
    g.SetRow(row);
    g.SetCol(col);
    ShowRow(row);
  }
  MarkModified();
  return row;
}

int LineEditor::AppendRow(QStringList cells) {
  // Comes from a dialog, not through the commands: text still in the cell editor goes into
  // its line before the lines change.
  grid().CommitEdit();
  const int row = InsertLine();
  CEditGrid& g = grid();
  // Missing cells come back empty, extra ones are dropped, column 0 gets the row number.
  list_.NormalizeRow(row, cells);
  RedrawOff batch(g);
  for (int i = 0; i < g.Cols(); ++i) g.SetTextMatrix(row, i, cells.value(i));
  return row;
}

void LineEditor::ClearLines() {
  if (!host_.AskYesNo(QString(texts::kClearLinesQuestion).arg(Hi() - Lo() + 1))) return;
  grid().ClearLine();
}

void LineEditor::DeleteLines() {
  // The grid always keeps a line.
  if (!CanDeleteLines()) return;
  CEditGrid& g = grid();
  const int lo = Lo();
  const int count = Hi() - lo + 1;
  const int col = g.Col();
  if (!host_.AskYesNo(QString(texts::kDeleteLinesQuestion).arg(count))) return;
  WaitCursor cursor;
  {
    RedrawOff batch(g);
    for (int i = 0; i < count; ++i) g.RemoveItem(lo);
    list_.RenumberRows();
    const int row = std::min(lo, g.Rows() - 1);
    g.SetRow(row);
    g.SetCol(col);
    ShowRow(row);
  }
  MarkModified();
}

void LineEditor::SortLines() {
  CEditGrid& g = grid();
  const int first = std::min(g.Col(), g.ColSel());
  const int last = std::max(g.Col(), g.ColSel());
  QStringList captions;
  for (int k = first; k <= last; ++k) captions << g.TextMatrix(0, k);
  if (!host_.AskYesNo(QString(texts::kSortQuestion).arg(captions.join(" + ")))) return;
  WaitCursor cursor;
  {
    RedrawOff batch(g);
    const int row = g.Row();
    const int col = g.Col();
    g.Sort();
    list_.RenumberRows();
    g.SetRow(row);
    g.SetCol(col);
  }
  MarkModified();
}

void LineEditor::SelectAll() {
  CEditGrid& g = grid();
  g.SetRow(1);
  g.SetCol(1);
  g.SetRowSel(g.Rows() - 1);
  g.SetColSel(g.Cols() - 1);
}

void LineEditor::OpenFindDialog() {
  if (m_findDialog) {
    m_findDialog->raise();
    m_findDialog->activateWindow();
    m_findDialog->textEdit()->setFocus();
    return;
  }
  m_findDialog = new CFindDialog(m_searchText, m_matchCase, view_);
  connect(m_findDialog, &CFindDialog::findNext, this, [this](const QString& text, bool matchCase) {
    auto search = [this, text, matchCase] {
      m_searchText = text;
      m_matchCase = matchCase;
      SearchNext();
    };
    findRequested ? findRequested(search) : search();
  });
  connect(m_findDialog, &CFindDialog::closing, this, [this] { m_findDialog = nullptr; });
  m_findDialog->show();
}

void LineEditor::FindNext() {
  if (m_searchText.isEmpty()) {
    OpenFindDialog();
  } else {
    SearchNext();
  }
}

bool LineEditor::SearchNext() {
  if (m_searchText.isEmpty()) return false;
  WaitCursor cursor;
  CEditGrid& g = grid();
  const QStringMatcher matcher(m_searchText, m_matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
  const int rows = g.Rows();
  const int cols = g.Cols();
  int col = std::max(g.Col(), 0) + 1;
  for (int row = std::max(g.Row(), 1); row < rows; ++row, col = 1) {
    for (; col < cols; ++col) {
      // Column 0 holds row numbers, not list data.
      if (matcher.indexIn(g.TextMatrix(row, col)) < 0) continue;
      g.SetRow(row);
      g.SetCol(col);
      ShowRow(row);
      if (!g.ColIsVisible(col)) g.SetLeftCol(col);
      view_->activateWindow();
      view_->setFocus();
      return true;
    }
  }
  host_.ShowListMessage(texts::kEndOfFile);
  return false;
}
