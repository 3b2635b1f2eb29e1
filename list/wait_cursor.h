// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The wait cursor for the life of the object, over whatever else the pointer shows.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};
