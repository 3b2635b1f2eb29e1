// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "list/list_file.h"
#include "list/list_reader.h"

class ListControl;

// What a list is read from (a file cut into cells) or written to.
struct ListStream {
  bool loading = true;
  QString path;
  ListFileCells* file = nullptr;     // when loading
  ListFileWriter* writer = nullptr;  // when saving
  ListEncoding encoding = ListEncoding::kUtf8;
};

// The station list as a document: its file, its modified flag and the open and save flow.
// The rows themselves live only in the grid.
class CIcomDoc : public QObject {
  Q_OBJECT

 public:
  explicit CIcomDoc(ListControl& view, QObject* parent = nullptr);

  bool NewDocument();
  bool OpenDocument(const QString& path);
  // Open without the refusal while a mode is on, for a caller that knows the modes on can
  // take a new list (the list's own file, changed by another program, under Timing).
  bool ReadAgain(const QString& path);
  // A new, untitled list made from the broadcast schedule at path, marked modified so that
  // closing it asks to save; *summary tells how many entries came in and lines were skipped.
  // A file that is no schedule is refused with a message and the list stays as it was.
  bool ImportDocument(const QString& path, QString* summary);
  bool SaveDocument(const QString& path);
  void SerializeList(ListStream& stream);

  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified);

  // The list's name for titles and prompts: its file name, or "Untitled".
  QString title() const;
  ListEncoding encoding() const { return encoding_; }
  // The list's file as it was when the list was last read from it; empty after a save, a
  // new list or an import.
  const std::optional<FileIdentity>& readIdentity() const { return readIdentity_; }
  // The last Open failed because the user chose not to open a file of another format.
  bool openDeclined() const { return openDeclined_; }

  int m_lineCount = 0;
  QString m_listPath;

  // How Open reads the file; replaceable for tests.
  std::function<bool(const QString& path, ListFileCells* out, QString* error)> readList =
      ReadListCells;

 signals:
  void titleChanged();
  // The list was just read from its file or written to it, or left it for a new one.
  void fileSynced();

 private:
  bool LoadList(const QString& path, bool askForeign);
  bool ReadCells(const QString& path, ListFileCells* file, QString* error);

  ListControl& view_;
  bool modified_ = false;
  bool openDeclined_ = false;
  ListEncoding encoding_ = ListEncoding::kUtf8;
  std::optional<FileIdentity> readIdentity_;
};
