// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Timer ids of the view, kept under the numbers the program has always used.
constexpr int kTimerClock = 111;        // every 10 s: clock, Timing colours, Schedule Mode
constexpr int kTimerScan = 222;         // every scan interval: Scan Mode
constexpr int kTimerCatPoll = 333;      // every 750 ms while a CAT radio is connected
constexpr int kTimerPerseusPoll = 444;  // every 750 ms after a Perseus probe

constexpr int kPollIntervalMs = 750;

// Command ids of the menus, toolbar and accelerators.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_IMPORT_SCHEDULE = 32867;
constexpr int ID_FILE_MRU_FILE1 = 57616;  // the recent files take FILE1 .. FILE1 + 3
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_JUSTIFY_COLUMNS = 32862;
constexpr int ID_EDIT_FIND = 57636;
constexpr int ID_APP_ABOUT = 57664;
// The View and Help menus' own commands.
constexpr int ID_README = 32823;
constexpr int ID_LEGGIMI = 32824;
constexpr int ID_TOOLBAR_BIG = 32825;
constexpr int ID_TOOLBAR_LABELS = 32826;

// The list's line and cell commands; the context menu's own copies of Copy Line and Paste
// Line act on the whole current line.
constexpr int ID_MOVE_LINES_UP = 32785;
constexpr int ID_MOVE_LINES_DOWN = 32787;
constexpr int ID_CLEAR_LINES = 32788;
constexpr int ID_COPY_LINE = 32789;
constexpr int ID_PASTE_LINE = 32790;
constexpr int ID_CLEAR_CELLS = 32791;
constexpr int ID_UNIFORM_CELLS = 32792;
constexpr int ID_SORT_LINES = 32793;
constexpr int ID_CONTEXT_COPY_LINE = 32794;
constexpr int ID_CONTEXT_PASTE_LINE = 32795;
constexpr int ID_SELECT_ALL_CELLS = 32796;
constexpr int ID_INSERT_LINE = 32803;
constexpr int ID_DELETE_LINES = 32804;
constexpr int ID_FIND_NEXT = 32807;
constexpr int ID_DUPLICATE_LINE = 32817;
constexpr int ID_CLEAR_LINE = 32857;

constexpr int kRecentFileCount = 4;

constexpr int ID_OPERATING_FREQUENCY = 32771;
constexpr int ID_CONNECT = 32777;
constexpr int ID_SET_FREQUENCY = 32799;
constexpr int ID_AUTO_MODE = 32800;
constexpr int ID_SETUP = 32801;
constexpr int ID_TIMING = 32805;
constexpr int ID_SCAN_MODE = 32808;
constexpr int ID_SCHEDULE_MODE = 32809;
constexpr int ID_NEXT = 32810;
constexpr int ID_PREVIOUS = 32811;
constexpr int ID_POWER_ON = 32819;
constexpr int ID_POWER_OFF = 32820;
constexpr int ID_SET_OFFSET_COLUMN = 32866;
