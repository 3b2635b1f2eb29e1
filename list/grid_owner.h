// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the editing grid asks of the view that owns it.
class GridOwner {
 public:
  virtual ~GridOwner() = default;
  // False while Timing, Auto Mode, Scan Mode or Schedule Mode is on.
  virtual bool CanEdit() = 0;
  // May rewrite the committed text; marks the list modified.
  virtual void OnCellCommitted(QString& text) = 0;
  // The current row may have changed by key, wheel or mouse.
  virtual void OnRowChanged() = 0;
  // Decides what a double click on the cell under the pointer does; true when the grid
  // should open the editor.
  virtual bool OnGridDoubleClick() = 0;
  // A right button press on a data cell, in grid coordinates (the context menu).
  virtual void OnGridRightButton(const QPoint& point) = 0;
  // The current cell or the selection changed, however; called for each step of a batch.
  virtual void OnSelectionChanged() {}
  virtual void SetModifiedFlag(bool modified) = 0;
};
