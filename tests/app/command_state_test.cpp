#include <QTextStream>

#include "radio_window.h"

namespace {

enum Step { kConnect, kEdit, kAuto, kTiming, kScan, kSchedule };

struct State {
  const char* name;
  const char* model;
  std::vector<Step> steps;
  // One word per command of kCommands: "on" or "off" for enabled, "+" for a check mark.
  const char* expected;
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
};

// Setup and Operating Frequency stay disabled until their dialogs exist. A receiver of
// the model None cannot be connected, and while a mode is on no cell can be edited, so
// those states are not listed.
const State kStates[] = {
    // clang-format off
    //                                                   Tim  Sch  Scn  Nxt  Prv  SetF Auto OpF  Setp Conn PwOn PwOf Offs New  Open Save SvAs Rec  Just
    {"disconnected",            "IC-R75", {},
     "on   off  off  off  off  off  off  off  off  on   off  off  on   on   on   on   on   on   on"},
    {"disconnected, editing",   "IC-R75", {kEdit},
     "off  off  off  off  off  off  off  off  off  on   off  off  on   on   on   on   on   on   on"},
    {"disconnected, Timing",    "IC-R75", {kTiming},
     "on+  off  off  on   on   off  off  off  off  on   off  off  on   off  off  off  off  off  on"},
    {"receiver None",           "None",   {},
     "on   off  off  off  off  off  off  off  off  off  off  off  on   on   on   on   on   on   on"},
    {"receiver None, Timing",   "None",   {kTiming},
     "on+  off  off  on   on   off  off  off  off  off  off  off  on   off  off  off  off  off  on"},
    {"connected",               "IC-R75", {kConnect},
     "on   on   on   off  off  on   on   off  off  on+  on   on   on   on   on   on   on   on   on"},
    {"connected, editing",      "IC-R75", {kConnect, kEdit},
     "off  off  off  off  off  on   off  off  off  on+  on   on   on   on   on   on   on   on   on"},
    {"connected, Auto",         "IC-R75", {kConnect, kAuto},
     "on   off  off  off  off  on   on+  off  off  on+  on   on   on   off  off  off  off  off  on"},
    {"connected, Timing",       "IC-R75", {kConnect, kTiming},
     "on+  off  off  on   on   on   on   off  off  on+  on   on   on   off  off  off  off  off  on"},
    {"connected, Auto, Timing", "IC-R75", {kConnect, kAuto, kTiming},
     "on+  off  off  on   on   on   on+  off  off  on+  on   on   on   off  off  off  off  off  on"},
    {"connected, Scan",         "IC-R75", {kConnect, kScan},
     "off  off  on+  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on"},
    {"connected, Schedule",     "IC-R75", {kConnect, kSchedule},
     "off  on+  off  off  off  off  off  off  off  on+  on   on   off  off  off  off  off  off  on"},
    {"connected CAT radio",     "FT-817", {kConnect},
     "on   on   on   off  off  on   on   off  off  on+  off  off  on   on   on   on   on   on   on"},
    // clang-format on
};

class CommandStateTest : public RadioWindowTest {
 protected:
  void Enter(const State& state) {
    ASSERT_NO_FATAL_FAILURE(OpenWindow(state.model));
    TuningControl& t = tuning();
    for (Step step : state.steps) {
      switch (step) {
        case kConnect:
          ASSERT_NO_FATAL_FAILURE(Connect());
          break;
        case kEdit:
          grid().BeginEdit(13);
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
  }
}

}  // namespace
