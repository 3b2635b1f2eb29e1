// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

#include "list/file_identity.h"

class CIcomView;

// Notices when the open list's file is replaced or rewritten by another program and brings
// the list on screen up to date: an unmodified list is read again at once, keeping the
// current cell and the scroll position; a modified one asks first. While Auto, Scan or
// Schedule Mode runs nothing happens, and the change is taken up once they are off; under
// Timing the list is read again and coloured anew.
class ListWatcher : public QObject {
 public:
  explicit ListWatcher(CIcomView& view, QObject* parent = nullptr);

  // The list was just read from its file or written to it, or left it: that state of the
  // file is the list's own, and only what differs from it counts as a change.
  void Rebind();
  // A mode was switched: a change that waited is taken up once no mode holds it.
  void OnModesChanged();

  bool waitingForModes() const { return waitingForModes_; }
  QString watchedPath() const { return path_; }

  // Quiet time before a change counts, so a file being written is not read half done.
  static constexpr int kSettleMs = 100;

 private:
  void Arm();
  void WatchFile();
  void Check();
  bool ModeHoldsReload() const;
  void Take(const FileIdentity& seen);
  void Reload();

  CIcomView& view_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  QString path_;
  // The file as the list last read or wrote it.
  std::optional<FileIdentity> known_;
  // A state the user chose to keep the list over; asked about no more.
  std::optional<FileIdentity> declined_;
  // What the previous look saw, until the file stays the same for one quiet time.
  std::optional<FileIdentity> settling_;
  bool waitingForModes_ = false;
  bool asking_ = false;
  // Counts bindings, so a question outlived by another list does not act on it.
  int binding_ = 0;
};
