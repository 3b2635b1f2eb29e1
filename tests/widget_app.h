// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// One application object per test program, made on first use, for tests of widgets.
inline QApplication& WidgetApp() {
  static int argc = 1;
  static char name[] = "quilvar-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}
