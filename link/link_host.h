// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class StatusPane { kMessage, kConnection, kLink };
enum class BoxIcon { kNone, kExclamation };

// What the link needs from the window around it: status panes, message boxes and the wait
// cursor. What the radio reports, the link emits as signals. The view implements it; tests
// supply their own.
class LinkHost {
 public:
  virtual ~LinkHost() = default;
  virtual void SetPaneText(StatusPane pane, const QString& text) = 0;
  virtual void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) = 0;
  // The program's own message dialog, modal.
  virtual void ShowMessageDialog(const QString& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
};
