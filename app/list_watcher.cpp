// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/list_watcher.h"

#include <QApplication>
#include <QFileInfo>
#include <algorithm>

#include "app/cicom_view.h"
#include "common/texts.h"

namespace {

// One waiting look at the file in the link's idle queue, beside the timer ids 111 to 444.
constexpr int kIdleKey = 555;

}  // namespace

ListWatcher::ListWatcher(CIcomView& view, QObject* parent) : QObject(parent), view_(view) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  // An editor that saves by renaming a new file over the old one ends the watch on the file
  // with the old file; the folder's watch sees the new one arrive.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Arm(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Arm(); });
  // A message box of the link runs its own event loop; the list is not replaced under a
  // transaction that is still going on.
  connect(&settle_, &QTimer::timeout, this,
          [this] { view_.link().idle().RunWhenIdle(kIdleKey, [this] { Check(); }); });
}

void ListWatcher::Rebind() {
  ++binding_;
  const QString path = view_.doc().m_listPath;
  if (path != path_) {
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    path_ = path;
    if (!path_.isEmpty()) watcher_.addPath(QFileInfo(path_).absolutePath());
  }
  const std::optional<FileIdentity> now = path_.isEmpty() ? std::nullopt : IdentifyFile(path_);
  // A read knows the file as it was before its first byte: a change that landed during the
  // read differs from it, and one after it too.
  const std::optional<FileIdentity>& read = view_.doc().readIdentity();
  known_ = read ? read : now;
  declined_.reset();
  settling_.reset();
  waitingForModes_ = false;
  WatchFile();
  if (known_ != now) Arm();
}

// Timing only colours the rows from the list, so a list read again under it is simply
// coloured anew; Auto Mode would tune whatever row the new list made current, and Scan and
// Schedule Mode step through rows that would no longer be there.
bool ListWatcher::ModeHoldsReload() const {
  const TuningControl& tuning = view_.tuning();
  return tuning.autoMode || tuning.scanMode || tuning.scheduleMode;
}

void ListWatcher::OnModesChanged() {
  if (!waitingForModes_ || ModeHoldsReload()) return;
  waitingForModes_ = false;
  Arm();
}

// Bursts of events become one look at the file, a quiet time after the first: a steady
// stream of changes elsewhere in the folder cannot put the look off for ever.
void ListWatcher::Arm() {
  if (!path_.isEmpty() && !settle_.isActive()) settle_.start();
}

void ListWatcher::WatchFile() {
  if (path_.isEmpty()) return;
  // The path stays listed until the watch learns that its file went; a file that is there
  // again under the same name is a new file to watch.
  watcher_.removePath(path_);
  if (QFileInfo::exists(path_)) watcher_.addPath(path_);
}

void ListWatcher::Check() {
  if (path_.isEmpty() || waitingForModes_) return;
  // The answer to the question on screen decides; the file is looked at again after it.
  if (asking_) return;
  const std::optional<FileIdentity> seen = IdentifyFile(path_);
  if (!seen) {
    // Gone (deleted, or between an editor's delete and its rename): nothing to read until a
    // file is there again, which the folder's watch reports.
    settling_.reset();
    return;
  }
  if (seen == known_ || seen == declined_) {
    settling_.reset();
    if (!watcher_.files().contains(path_)) WatchFile();
    return;
  }
  WatchFile();
  if (settling_ != seen) {
    settling_ = seen;
    settle_.start();
    return;
  }
  settling_.reset();
  if (ModeHoldsReload()) {
    waitingForModes_ = true;
    return;
  }
  // Not inside another dialog or a menu: the change is taken up once it is closed.
  if (QApplication::activeModalWidget() != nullptr ||
      QApplication::activePopupWidget() != nullptr) {
    settling_ = seen;
    settle_.start();
    return;
  }
  Take(*seen);
}

void ListWatcher::Take(const FileIdentity& seen) {
  // Text still in an editor is part of the list the user is asked about, as for Open.
  view_.list().grid().CommitEdit();
  CIcomDoc& doc = view_.doc();
  if (doc.IsModified()) {
    const int binding = binding_;
    asking_ = true;
    const bool reload = view_.AskYesNo(QString(texts::kChangedOnDisk).arg(doc.title()));
    asking_ = false;
    // Another list was opened or saved meanwhile: the question was about a list now gone.
    if (binding != binding_) return;
    if (!reload) {
      declined_ = seen;
      // A change made while the question was open is a later change.
      Arm();
      return;
    }
  }
  Reload();
}

void ListWatcher::Reload() {
  CEditGrid& grid = view_.list().grid();
  const int row = grid.Row();
  const int col = grid.Col();
  const int top = grid.TopRow();
  const int left = grid.LeftCol();
  const int offsetColumn = view_.tuning().offsetColumn;
  const std::optional<FileIdentity> before = IdentifyFile(path_);
  if (!view_.doc().ReadAgain(path_)) {
    // The reason was shown; this state of the file is not tried again, a later one is.
    declined_ = before;
    Arm();
    return;
  }
  view_.OnInitialUpdate();
  // The same list, read again: its offset column stays, where that column still exists.
  if (offsetColumn < grid.Cols()) view_.tuning().offsetColumn = offsetColumn;
  if (grid.Rows() > 1 && grid.Cols() > 1) {
    grid.SetRow(std::clamp(row, 1, grid.Rows() - 1));
    grid.SetCol(std::clamp(col, 1, grid.Cols() - 1));
    grid.SetTopRow(top);
    grid.SetLeftCol(left);
  }
  view_.OnRowChanged();
  view_.tuning().UpdateClock();
}
