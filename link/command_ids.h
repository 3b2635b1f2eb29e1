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
constexpr int ID_FILE_MRU_FILE1 = 57616;  // the recent files take FILE1 .. FILE1 + 3
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_JUSTIFY_COLUMNS = 32862;

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
