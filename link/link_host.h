// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

#include "link/port_settings.h"

class QObject;

enum class StatusPane { kMessage, kConnection, kLink };
enum class BoxIcon { kNone, kExclamation };

// What the link needs from the window around it: status panes, message boxes, the
// Operating Frequency dialog, the list and the user's port mappings. The view implements it;
// tests supply their own.
class LinkHost {
 public:
  virtual ~LinkHost() = default;
  virtual void SetPaneText(StatusPane pane, const QString& text) = 0;
  virtual void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) = 0;
  // The program's own message dialog, modal.
  virtual void ShowMessageDialog(const QString& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // The Operating Frequency dialog while its window exists, else nullptr.
  virtual QObject* FrequencyDialog() = 0;
  // After a frequency reply reached the dialog: follow it through the list.
  virtual void MatchFrequency(uint64_t hz) = 0;
  // The frame's link pane indicator (0x200 receiver error, 0x300 line errors).
  virtual void ShowLinkIndicator(int code) = 0;
  // Disconnecting ends Auto, Scan and Schedule Mode through their own toggles.
  virtual void TurnOffTimedModes() = 0;
  // The dialog's OnConnectionChanged, when it has a window.
  virtual void OnConnectionChanged() = 0;
  // The COM ports the user pointed at devices, asked at every Open so that a mapping
  // saved a moment ago counts at the next connect.
  virtual PortMap MappedPorts() = 0;
};
