// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

class CMainFrame;

// One command of the program: all that menus, the context menu, the toolbar, the status bar
// and tooltips show of it, and what it does. The command-state function of the frame says
// when it is enabled and checked; the frame's gate stands in front of run.
// A row of the table names only what it has: the texts it leaves out are empty.
struct Command {
  int id = 0;
  // Menu text; what follows a tab is the key shown beside it.
  const char* text = "";
  // The accelerator, empty for none. A key shown in the text without an accelerator
  // belongs to the grid.
  const char* keys = "";
  // The message pane's text while the item is highlighted.
  const char* prompt = "";
  const char* tooltip = "";
  // The icon's name: the desktop theme's standard name where the theme has one for the
  // command, so the button looks like the rest of the desktop. The program's own drawing under
  // the same name stands in wherever the theme lacks it.
  const char* icon = "";
  // The label under a toolbar button.
  const char* label = "";
  bool checkable = false;
  // Null for an entry that only lends its texts (the recent files).
  void (*run)(CMainFrame& frame) = nullptr;
};

// Every command, each id once.
const std::vector<Command>& Commands();
// Null for an id the table does not hold.
const Command* FindCommand(int id);

// Stands for a separator in a layout, and for the recent-file list in the File menu.
constexpr int kSeparator = 0;
constexpr int kRecentFiles = -1;

struct MenuLayout {
  const char* title;
  std::vector<int> items;
};

// The menu bar, left to right.
const std::vector<MenuLayout>& MenuBar();

// An item of the grid's context menu; text, when set, names the command there instead of its
// menu text.
struct ContextItem {
  int id;
  const char* text;
};

// The grid's context menu over a data cell.
const std::vector<ContextItem>& ContextMenu();

// A toolbar: its buttons left to right (kSeparator between groups) and how they look.
struct ToolBarLayout {
  bool big;     // 32x32 images, else 20x20
  bool labels;  // a label under each image
  std::vector<int> items;
};

// The four toolbars, one shown at a time: index 0 small, 1 small with labels, 2 big, 3 big
// with labels.
const std::vector<ToolBarLayout>& ToolBars();
