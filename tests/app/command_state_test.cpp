// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTextStream>

#include "list/typed_chars.h"
#include "tests/app/radio_window.h"

namespace {

// kCopy copies the current line; kNewList makes a new list of one line.
enum Step { kCopy, kNewList, kConnect, kEdit, kAuto, kTiming, kScan, kSchedule };

// The current row and the row of the selection's corner.
struct Lines {
  int row, rowSel;
};

struct State {
  const char* name;
  const char* model;
  std::vector<Step> steps;
  // One word per command of kCommands: "on" or "off" for enabled, "+" for a check mark.
  const char* expected;
  // Selected before the steps, in the list of nine lines.
  Lines lines = {1, 1};
};

struct Command {
  int id;
  const char* name;
};

const Command kCommands[] = {
    {ID_TIMING, "Timing"},
    {ID_SCHEDULE_MODE, "Schedule Mode"},
    {ID_SCAN_MODE, "Scan Mode"},
    {ID_NEXT, "Next"},
    {ID_PREVIOUS, "Previous"},
    {ID_SET_FREQUENCY, "Set Frequency"},
    {ID_AUTO_MODE, "Auto Mode"},
    {ID_OPERATING_FREQUENCY, "Operating Frequency"},
    {ID_SETUP, "Setup"},
    {ID_CONNECT, "Connect"},
    {ID_POWER_ON, "Power ON"},
    {ID_POWER_OFF, "Power OFF"},
    {ID_SET_OFFSET_COLUMN, "Set Offset Column"},
    {ID_FILE_NEW, "New"},
    {ID_FILE_OPEN, "Open"},
    {ID_FILE_SAVE, "Save"},
    {ID_FILE_SAVE_AS, "Save As"},
    {ID_FILE_MRU_FILE1, "recent file 1"},
    {ID_JUSTIFY_COLUMNS, "Justify Columns"},
    {ID_COPY_LINE, "Copy Line"},
    {ID_CONTEXT_COPY_LINE, "context Copy Line"},
    {ID_PASTE_LINE, "Paste Line"},
    {ID_CONTEXT_PASTE_LINE, "context Paste Line"},
    {ID_DUPLICATE_LINE, "Duplicate Line"},
    {ID_INSERT_LINE, "Insert Line"},
    {ID_CLEAR_LINES, "Clear Lines"},
    {ID_CLEAR_LINE, "context Clear Line"},
    {ID_DELETE_LINES, "Delete Lines"},
    {ID_CLEAR_CELLS, "Clear Cells"},
    {ID_UNIFORM_CELLS, "Uniform Cells"},
    {ID_SELECT_ALL_CELLS, "Select All Cells"},
    {ID_EDIT_FIND, "Find"},
    {ID_FIND_NEXT, "Find next"},
    {ID_SORT_LINES, "Sort Lines"},
    {ID_MOVE_LINES_UP, "Move Lines Up"},
    {ID_MOVE_LINES_DOWN, "Move Lines Down"},
    {ID_APP_ABOUT, "About"},
    {ID_TOOLBAR_BIG, "Toolbar: Big"},
    {ID_TOOLBAR_LABELS, "Toolbar: Labels"},
    {ID_README, "Readme"},
    {ID_LEGGIMI, "Leggimi"},
};

// A receiver of the model None cannot be connected, and while a mode is on no cell can be edited,
// so those states are not listed. Each state has three lines of words: the commands of the menu
// bar and the files, the line commands, then About and the View and Help menus.
const State kStates[] = {
    // clang-format off
    // Tim  Sch  Scn  Nxt  Prv  SetF Auto OpF  Setp Conn PwOn PwOf Offs New  Open Save SvAs Rec  Just
    // CopL CCop Past CPst Dupl Ins  ClLs ClL  Del  ClC  Unif SelA Find FNxt Sort Up   Down
    // Abt  Big  Lab  Read Legg
    {"disconnected",                "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"disconnected, editing",       "IC-R75", {kEdit},
      "off  off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"disconnected, Timing",        "IC-R75", {kTiming},
      "on+  off  off  on   on   off  off  off  on   on   off  off  on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"receiver None",               "None",   {},
      "on   off  off  off  off  off  off  off  on   off  off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"receiver None, Timing",       "None",   {kTiming},
      "on+  off  off  on   on   off  off  off  on   off  off  off  on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"connected",                   "IC-R75", {kConnect},
      "on   on   on   off  off  on   on   on   off  on+  on   on   on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"connected, editing",          "IC-R75", {kConnect, kEdit},
      "off  off  off  off  off  on   off  on   off  on+  on   on   on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"connected, Auto",             "IC-R75", {kConnect, kAuto},
      "on   off  off  off  off  on   on+  on   off  on+  on   on   on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"connected, Timing",           "IC-R75", {kConnect, kTiming},
      "on+  off  off  on   on   on   on   on   off  on+  on   on   on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"connected, Auto, Timing",     "IC-R75", {kConnect, kAuto, kTiming},
      "on+  off  off  on   on   on   on+  on   off  on+  on   on   on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"connected, Scan",             "IC-R75", {kConnect, kScan},
      "off  off  on+  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  "
      "off  on   on   on   on"},
    {"connected, Schedule",         "IC-R75", {kConnect, kSchedule},
      "off  on+  off  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  "
      "off  on   on   on   on"},
    {"connected CAT radio",         "FT-817", {kConnect},
      "on   on   on   off  off  on   on   on   off  on+  off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"a line held",                 "IC-R75", {kCopy},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   on   on   on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on"},
    {"a line held, Timing",         "IC-R75", {kCopy, kTiming},
      "on+  off  off  on   on   off  off  off  on   on   off  off  on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"a line held, Auto",           "IC-R75", {kCopy, kConnect, kAuto},
      "on   off  off  off  off  on   on+  on   off  on+  on   on   on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on"},
    {"a line held, Scan",           "IC-R75", {kCopy, kConnect, kScan},
      "off  off  on+  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  "
      "off  on   on   on   on"},
    {"a line held, Schedule",       "IC-R75", {kCopy, kConnect, kSchedule},
      "off  on+  off  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  off  "
      "off  on   on   on   on"},
    {"a line held, new list",       "IC-R75", {kCopy, kNewList},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   on   on   on   on   on   on   off  on   on   on   on   on   on   off  off  "
      "on   on   on   on   on"},
    {"rows 2 to 8",                 "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   on   on  "
      "on   on   on   on   on", {2, 8}},
    {"rows 9 to 1: every line",     "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   off  on   on   on   on   on   on   off  off  "
      "on   on   on   on   on", {9, 1}},
    {"rows 1 to 8",                 "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   off  on  "
      "on   on   on   on   on", {1, 8}},
    {"rows 2 to 9",                 "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   on   off  "
      "on   on   on   on   on", {2, 9}},
    {"row 9, the last line",        "IC-R75", {},
      "on   off  off  off  off  off  off  off  on   on   off  off  on   on   on   on   on   on   on "
      "on   on   off  off  on   on   on   on   on   on   on   on   on   on   on   on   off  "
      "on   on   on   on   on", {9, 9}},
    {"rows 2 to 8, Auto",           "IC-R75", {kConnect, kAuto},
      "on   off  off  off  off  on   on+  on   off  on+  on   on   on   off  off  off  off  off  on "
      "off  off  off  off  off  off  off  off  off  off  off  off  on   on   off  off  off  "
      "on   on   on   on   on", {2, 8}},
    // clang-format on
};

class CommandStateTest : public RadioWindowTest {
 protected:
  void Enter(const State& state) {
    ASSERT_NO_FATAL_FAILURE(OpenWindow(state.model));
    grid().SetRow(state.lines.row);
    grid().SetRowSel(state.lines.rowSel);
    TuningControl& t = tuning();
    for (Step step : state.steps) {
      switch (step) {
        case kCopy:
          Trigger(ID_COPY_LINE);
          ASSERT_FALSE(frame_->view().editor().m_lineBuffer.isEmpty());
          break;
        case kNewList:
          Trigger(ID_FILE_NEW);
          ASSERT_EQ(grid().Rows(), 2);
          break;
        case kConnect:
          ASSERT_NO_FATAL_FAILURE(Connect());
          break;
        case kEdit:
          grid().BeginEdit(kCharEnter);
          ASSERT_TRUE(grid().isEditing());
          break;
        case kAuto:
          Trigger(ID_AUTO_MODE);
          ASSERT_TRUE(t.autoMode);
          break;
        case kTiming:
          Trigger(ID_TIMING);
          ASSERT_TRUE(t.timingMode);
          break;
        case kScan:
          Trigger(ID_SCAN_MODE);
          ASSERT_TRUE(t.scanMode);
          break;
        case kSchedule:
          Trigger(ID_SCHEDULE_MODE);
          ASSERT_TRUE(t.scheduleMode);
          break;
      }
    }
  }
};

TEST_F(CommandStateTest, EveryCommandFollowsItsRuleInEveryState) {
  for (const State& state : kStates) {
    SCOPED_TRACE(state.name);
    ASSERT_NO_FATAL_FAILURE(Enter(state));
    frame_->UpdateCommandStates();
    QString words = state.expected;
    QTextStream expected(&words);
    for (const Command& command : kCommands) {
      QString word;
      expected >> word;
      ASSERT_FALSE(word.isEmpty()) << "the table lacks " << command.name;
      const QAction* act = frame_->action(command.id);
      ASSERT_NE(act, nullptr) << command.name;
      EXPECT_EQ(act->isEnabled(), word.startsWith("on")) << command.name;
      EXPECT_EQ(act->isChecked(), word.endsWith("+")) << command.name;
    }
    QString extra;
    expected >> extra;
    EXPECT_TRUE(extra.isEmpty()) << "the table has more words than commands";
    // Import Schedule replaces the list as Open does, so it is allowed when Open is.
    EXPECT_EQ(frame_->action(ID_FILE_IMPORT_SCHEDULE)->isEnabled(),
              frame_->action(ID_FILE_OPEN)->isEnabled());
  }
}

}  // namespace
