// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/cicom_doc.h"

#include <QFileInfo>
#include <new>

#include "common/texts.h"
#include "list/columns.h"
#include "list/list_control.h"
#include "list/list_host.h"
#include "list/schedule_import.h"
#include "list/wait_cursor.h"

namespace {

// Fields split at commas, none at the separator: another program's table, not a list.
bool LooksLikeAnotherFormat(const QString& firstLine) {
  return !firstLine.contains(u';') && firstLine.contains(u',');
}

}  // namespace

CIcomDoc::CIcomDoc(ListControl& view, QObject* parent) : QObject(parent), view_(view) {}

void CIcomDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit titleChanged();
}

QString CIcomDoc::title() const {
  return m_listPath.isEmpty() ? QString(texts::kUntitled) : QFileInfo(m_listPath).fileName();
}

bool CIcomDoc::NewDocument() {
  m_listPath.clear();
  encoding_ = ListEncoding::kUtf8;
  view_.ApplyHeaderLine(kNewListHeader);
  view_.ResetGrid(0);
  modified_ = false;
  readIdentity_.reset();
  emit titleChanged();
  emit fileSynced();
  return true;
}

bool CIcomDoc::OpenDocument(const QString& path) {
  if (view_.host().AnyModeOn()) return false;
  return LoadList(path, true);
}

bool CIcomDoc::ReadAgain(const QString& path) { return LoadList(path, false); }

bool CIcomDoc::ReadCells(const QString& path, ListFileCells* file, QString* error) {
  WaitCursor cursor;
  try {
    return readList(path, file, error);
  } catch (const std::bad_alloc&) {
    *error = ListFileMessage(texts::kFileNoMemoryText, path);
    return false;
  }
}

bool CIcomDoc::LoadList(const QString& path, bool askForeign) {
  openDeclined_ = false;
  // The file is read and cut into cells whole before anything is touched: should it be
  // refused or unreadable, the list on screen keeps its columns, its file and its modified
  // flag, so a later Save can only write that list back where it came from.
  ListFileCells file;
  QString error;
  if (!ReadCells(path, &file, &error)) {
    // Shown once the wait cursor is gone.
    view_.host().ShowListMessage(error.isEmpty() ? QString(texts::kOpenFailed) : error);
    return false;
  }
  // A spreadsheet's export would open as one column of whole lines, which a Save would
  // then rewrite; the list's own file, read again, was asked about when it was opened.
  if (askForeign && LooksLikeAnotherFormat(file.header) &&
      !view_.host().AskYesNo(ListFileMessage(texts::kNotAStationList, path))) {
    openDeclined_ = true;
    return false;
  }
  WaitCursor cursor;
  // The number of lines shapes the grid and the first line names the user columns.
  m_lineCount = file.lineCount;
  if (file.lineCount > 0) view_.ApplyHeaderLine(file.header);
  ListStream stream;
  stream.loading = true;
  stream.path = path;
  stream.file = &file;
  stream.encoding = file.encoding;
  SerializeList(stream);
  // Normalising while loading may replace cells; that is not a change of the user's.
  modified_ = false;
  readIdentity_ = file.identity;
  emit titleChanged();
  emit fileSynced();
  return true;
}

bool CIcomDoc::ImportDocument(const QString& path, QString* summary) {
  if (view_.host().AnyModeOn()) return false;
  QString error;
  ScheduleCells schedule;
  bool read = false;
  {
    WaitCursor cursor;
    // Read whole before anything is touched, as LoadList does: a refused file leaves the
    // list on screen, its file and its modified flag as they were.
    try {
      read = ReadScheduleCells(path, g_columns[kColMode].choices, &schedule, &error);
    } catch (const std::bad_alloc&) {
      error = ListFileMessage(texts::kFileNoMemoryText, path);
    }
    if (read) {
      m_lineCount = schedule.list.lineCount;
      view_.ApplyHeaderLine(schedule.list.header);
      ListStream stream;
      stream.loading = true;  // no path: the list is untitled
      stream.file = &schedule.list;
      stream.encoding = schedule.list.encoding;
      SerializeList(stream);
    }
  }
  if (!read) {
    view_.host().ShowListMessage(error.isEmpty() ? QString(texts::kOpenFailed) : error);
    return false;
  }
  // Nothing of it is in a file yet.
  modified_ = true;
  readIdentity_.reset();
  emit titleChanged();
  emit fileSynced();
  if (summary != nullptr) *summary = ImportSummary(schedule.entries, schedule.skipped);
  return true;
}

bool CIcomDoc::SaveDocument(const QString& path) {
  const QString previousPath = m_listPath;
  QString error;
  bool saved = false;
  {
    WaitCursor cursor;
    ListFileWriter writer(encoding_, path);
    ListStream stream;
    stream.loading = false;
    stream.path = path;
    stream.writer = &writer;
    stream.encoding = encoding_;
    SerializeList(stream);
    saved = writer.Save(path, &error);
    if (saved) encoding_ = writer.encoding();
  }
  // On failure the old file is untouched, the list is still bound to it, and its changes
  // stay marked.
  if (!saved) m_listPath = previousPath;
  modified_ = !saved;
  if (saved) readIdentity_.reset();
  emit titleChanged();
  if (saved) emit fileSynced();
  if (!saved) view_.host().ShowListMessage(error);
  return saved;
}

void CIcomDoc::SerializeList(ListStream& stream) {
  m_listPath = stream.path;
  if (stream.loading) {
    encoding_ = stream.encoding;
    const bool cells = stream.file != nullptr && m_lineCount > 0;
    view_.ResetGrid(m_lineCount, cells ? &stream.file->cells : nullptr);
    view_.ReadRows();
  } else {
    view_.WriteRows(stream);
  }
}
