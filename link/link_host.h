// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/port_settings.h"

enum class StatusPane { kMessage, kConnection, kLink };
enum class BoxIcon { kNone, kExclamation };

// What the link needs from the window around it: status panes, message boxes, the wait
// cursor and the user's port mappings. What the radio reports, the link emits as signals. The
// view implements it; tests supply their own.
class LinkHost {
 public:
  virtual ~LinkHost() = default;
  virtual void SetPaneText(StatusPane pane, const QString& text) = 0;
  virtual void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) = 0;
  // The program's own message dialog, modal.
  virtual void ShowMessageDialog(const QString& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // The COM ports the user pointed at devices, asked at every Open so that a mapping
  // saved a moment ago counts at the next connect.
  virtual PortMap MappedPorts() = 0;
};
