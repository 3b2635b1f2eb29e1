// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the list side needs from the view around it.
class ListHost {
 public:
  virtual ~ListHost() = default;
  // A file error or a notice, shown in a message box with OK.
  virtual void ShowListMessage(const QString& text) = 0;
  // A question titled with the program's name; true for Yes.
  virtual bool AskYesNo(const QString& text) = 0;
  // True while Timing, Auto Mode, Scan Mode or Schedule Mode is on: no list is opened then.
  virtual bool AnyModeOn() = 0;
  // The row-tuning hook, run at the end of every grid reset.
  virtual void OnRowChanged() = 0;
  // The selected receiver is "None": mode cells are emptied.
  virtual bool ReceiverIsNone() = 0;
};
