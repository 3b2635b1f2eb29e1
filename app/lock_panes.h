// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QStatusBar;

// The CAP, NUM and SCRL panes at the right end of the status bar: each shows its name while
// its lock is on.
class LockPanes : public QObject {
 public:
  struct States {
    bool caps = false;
    bool num = false;
    bool scroll = false;
  };
  // The keyboard's lock states, or nothing when the windowing system does not tell them.
  using Reader = std::function<std::optional<States>()>;

  // Without a reader the panes stay empty.
  LockPanes(QStatusBar* bar, Reader reader);

  // The reader for the desktop the program runs on: the X server's keyboard indicators on
  // X11, none elsewhere, where the panes stay empty rather than show a guess.
  static Reader DesktopReader();

  // Shows the states now; a timer does it a few times a second, since a lock may change
  // while another window has the keyboard.
  void Refresh();

 private:
  std::array<QLabel*, 3> panes_{};
  Reader read_;
  QTimer poll_;
};
