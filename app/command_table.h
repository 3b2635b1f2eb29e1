#pragma once

#include <vector>

class CMainFrame;

// One command of the program: all that menus, the context menu, the toolbar, the status bar
// and tooltips show of it, and what it does. The command-state function of the frame says
// when it is enabled and checked; the frame's gate stands in front of run.
struct Command {
  int id;
  // Menu text; what follows a tab is the key shown beside it.
  const char* text;
  // The accelerator, empty for none. A key shown in the text without an accelerator
  // belongs to the grid.
  const char* keys;
  // The message pane's text while the item is highlighted.
  const char* prompt;
  const char* tooltip;
  // The desktop theme's icon name where the theme has one for the command.
  const char* icon;
  // The label under a toolbar button.
  const char* label;
  bool checkable;
  void (*run)(CMainFrame& frame);
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
