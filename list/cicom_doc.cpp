#include "cicom_doc.h"

#include <QApplication>
#include <QFileInfo>

#include "columns.h"
#include "list_control.h"
#include "list_host.h"

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kOpenFailed = "Failed to open document.";

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

CIcomDoc::CIcomDoc(ListControl& view, QObject* parent) : QObject(parent), view_(view) {}

void CIcomDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit titleChanged();
}

QString CIcomDoc::title() const {
  return m_listPath.isEmpty() ? QString(kUntitled) : QFileInfo(m_listPath).fileName();
}

bool CIcomDoc::NewDocument() {
  m_listPath.clear();
  encoding_ = ListEncoding::kUtf8;
  view_.ApplyHeaderLine(kNewListHeader);
  view_.ResetGrid(0);
  modified_ = false;
  emit titleChanged();
  return true;
}

bool CIcomDoc::OpenDocument(const QString& path) {
  if (view_.host().AnyModeOn()) return false;
  WaitCursor cursor;
  m_lineCount = 0;

  // Counting pass: the number of lines shapes the grid and the first line names the user
  // columns, before any row is read.
  // A file that cannot be read is reported once, and the list on screen stays as it was.
  ListFileText text;
  QString error;
  if (!ReadListFile(path, &text, &error)) {
    view_.host().ShowListMessage(error);
    return false;
  }
  m_lineCount = static_cast<int>(text.lines.size());
  if (!text.lines.isEmpty()) view_.ApplyHeaderLine(text.lines.front());

  // Loading pass.
  ListStream stream;
  stream.loading = true;
  stream.path = path;
  if (!ReadListFile(path, &text, &error)) {
    // The file changed under us between the passes; the grid must still match the columns.
    view_.ResetGrid(m_lineCount);
    view_.host().ShowListMessage(error.isEmpty() ? QString(kOpenFailed) : error);
    return false;
  }
  stream.lines = std::move(text.lines);
  stream.encoding = text.encoding;
  SerializeList(stream);
  // Normalising while loading may replace cells; that is not a change of the user's.
  modified_ = false;
  emit titleChanged();
  return true;
}

bool CIcomDoc::SaveDocument(const QString& path) {
  const QString previousPath = m_listPath;
  ListStream stream;
  stream.loading = false;
  stream.path = path;
  stream.encoding = encoding_;
  SerializeList(stream);
  QString error;
  if (!WriteListFile(path, stream.lines, &stream.encoding, &error)) {
    // The old file is untouched, the list is still where it was, and its changes stay
    // marked.
    m_listPath = previousPath;
    view_.host().ShowListMessage(error);
    modified_ = true;
    emit titleChanged();
    return false;
  }
  encoding_ = stream.encoding;
  modified_ = false;
  emit titleChanged();
  return true;
}

void CIcomDoc::SerializeList(ListStream& stream) {
  m_listPath = stream.path;
  if (stream.loading) {
    encoding_ = stream.encoding;
    view_.ResetGrid(m_lineCount);
    view_.ReadRows(stream);
  } else {
    view_.WriteRows(stream);
  }
}
