// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_table.h"

#include <algorithm>

#include "app/cicom_view.h"
#include "app/help_menu.h"
#include "app/main_frame.h"
#include "common/command_ids.h"

namespace {

LineEditor& Editor(CMainFrame& f) { return f.view().editor(); }
CEditGrid& Grid(CMainFrame& f) { return f.view().list().grid(); }
TuningControl& Tuning(CMainFrame& f) { return f.view().tuning(); }
LinkControl& Link(CMainFrame& f) { return f.view().link(); }

const std::vector<Command> kCommands = {
    // clang-format off
    // id, text, keys, prompt, tooltip, icon, label, checkable, run
    {ID_FILE_NEW, "&New\tCtrl+N", "Ctrl+N", "Create a new document", "New", "document-new", "New",
     false, [](CMainFrame& f) { f.NewFile(); }},
    {ID_FILE_OPEN, "&Open...\tCtrl+O", "Ctrl+O", "Open an existing document", "Open",
     "document-open", "Open", false, [](CMainFrame& f) { f.OpenWithDialog(); }},
    {ID_FILE_IMPORT_SCHEDULE, "&Import Schedule...", "",
     "Make a new list from a shortwave broadcast schedule", "Import Schedule", "", "", false,
     [](CMainFrame& f) { f.ImportWithDialog(); }},
    {ID_FILE_SAVE, "&Save\tCtrl+S", "Ctrl+S", "Save the active document", "Save",
     "document-save", "Save", false, [](CMainFrame& f) { f.Save(); }},
    {ID_FILE_SAVE_AS, "Save &As...", "", "Save the active document with a new name", "Save As",
     "document-save-as", "", false, [](CMainFrame& f) { f.SaveAs(); }},
    {ID_FILE_MRU_FILE1, "Recent File", "", "Open this document", "", "", "", false, nullptr},
    {ID_APP_EXIT, "E&xit", "", "Quit the application; prompts to save documents", "Exit",
     "application-exit", "", false, [](CMainFrame& f) { f.close(); }},

    {ID_COPY_LINE, "&Copy Line\tCtrl+C", "Ctrl+C", "Copy Line", "Copy Line", "edit-copy", "Copy",
     false, [](CMainFrame& f) { Editor(f).CopyLine(); }},
    {ID_CONTEXT_COPY_LINE, "&Copy Line", "", "Copy Line", "Copy Line", "edit-copy", "", false,
     [](CMainFrame& f) {
       Editor(f).SelectCurrentLine();
       Editor(f).CopyLine();
     }},
    {ID_PASTE_LINE, "&Paste Line\tCtrl+V", "Ctrl+V", "Paste Line", "Paste Line", "edit-paste",
     "Paste", false, [](CMainFrame& f) { Editor(f).PasteLine(); }},
    {ID_CONTEXT_PASTE_LINE, "&Paste Line", "", "Paste Line", "Paste Line", "edit-paste", "",
     false, [](CMainFrame& f) {
       Editor(f).SelectCurrentLine();
       Editor(f).PasteLine();
     }},
    {ID_DUPLICATE_LINE, "Duplicate Line\tF8", "F8", "Duplicate Line", "Dupli Line",
     "quilvar-duplicate-line", "Dupli", false, [](CMainFrame& f) { Editor(f).DuplicateLine(); }},
    {ID_INSERT_LINE, "&Insert Line\tCtrl+I", "Ctrl+I", "Insert Line", "Insert Line",
     "quilvar-insert-line", "Insert", false, [](CMainFrame& f) { Editor(f).InsertLine(); }},
    {ID_CLEAR_LINES, "Clea&r Lines", "", "Clear Lines", "Clear Lines", "quilvar-clear-lines",
     "Clear", false, [](CMainFrame& f) { Editor(f).ClearLines(); }},
    {ID_CLEAR_LINE, "Clear Line", "", "Clear Line", "Clear Line", "", "", false,
     [](CMainFrame& f) { Grid(f).ClearLine(); }},
    {ID_DELETE_LINES, "&Delete Lines\tCtrl+D", "Ctrl+D", "Delete Lines", "Delete Lines",
     "quilvar-delete-lines", "Delete", false, [](CMainFrame& f) { Editor(f).DeleteLines(); }},
    {ID_CLEAR_CELLS, "C&lear Cells", "", "Clear Cells", "Clear Cells", "", "", false,
     [](CMainFrame& f) { Grid(f).ClearCells(); }},
    {ID_UNIFORM_CELLS, "&Uniform Cells", "", "Uniform Cells", "Uniform Cells", "", "", false,
     [](CMainFrame& f) { Grid(f).UniformCells(); }},
    {ID_SELECT_ALL_CELLS, "Select &All Cells", "", "Select All", "Select All Cells",
     "edit-select-all", "", false, [](CMainFrame& f) { Editor(f).SelectAll(); }},
    {ID_EDIT_FIND, "Find...\tCtrl+F", "Ctrl+F", "Find the specified text", "Find", "edit-find",
     "Find", false, [](CMainFrame& f) { Editor(f).OpenFindDialog(); }},
    {ID_FIND_NEXT, "Find next\tF3", "F3", "Find Next", "Find Next", "", "", false,
     [](CMainFrame& f) { Editor(f).FindNext(); }},
    {ID_SORT_LINES, "&Sort Lines", "", "Sort Lines", "Sort Lines", "quilvar-sort-lines", "Sort",
     false, [](CMainFrame& f) { Editor(f).SortLines(); }},
    {ID_MOVE_LINES_UP, "&Move Lines Up\tAlt+Up", "", "Move Lines Up", "Move Lines Up",
     "quilvar-move-lines-up", "Up", false,
     [](CMainFrame& f) { Grid(f).MoveLines(MoveDirection::kUp); }},
    {ID_MOVE_LINES_DOWN, "Move Lines Dow&n\tAlt+Down", "", "Move Lines Down", "Move Lines Down",
     "quilvar-move-lines-down", "Down", false,
     [](CMainFrame& f) { Grid(f).MoveLines(MoveDirection::kDown); }},
    {ID_JUSTIFY_COLUMNS, "Justify Columns", "", "Justify", "Justify", "quilvar-justify-columns",
     "", false, [](CMainFrame& f) { f.view().list().JustifyColumns(); }},

    {ID_SETUP, "Setup...", "", "Setup", "Setup", "quilvar-setup", "Setup", false,
     [](CMainFrame& f) { f.view().RunSetup(); }},
    {ID_CONNECT, "&Connect ...", "", "Connect", "Connect", "quilvar-connect", "Conn.", true,
     [](CMainFrame& f) { Link(f).ToggleConnect(); }},
    {ID_OPERATING_FREQUENCY, "Operating &Frequency ...", "", "Operating Frequency",
     "Operating Frequency", "quilvar-operating-frequency", "Freq.", true,
     [](CMainFrame& f) { f.view().ToggleFrequencyDialog(); }},
    {ID_SET_FREQUENCY, "&Set Frequency", "", "Set Frequency", "Set Frequency",
     "quilvar-set-frequency", "Set", false, [](CMainFrame& f) { Tuning(f).SetFrequencyCommand(); }},
    {ID_SET_OFFSET_COLUMN, "Set Offset Column", "", "Set offset column", "Set offset column", "",
     "", false, [](CMainFrame& f) { Tuning(f).SetOffsetColumn(); }},
    {ID_AUTO_MODE, "&Auto Mode", "", "Auto", "Auto", "quilvar-auto-mode", "Auto", true,
     [](CMainFrame& f) { Tuning(f).ToggleAutoMode(); }},
    {ID_TIMING, "&Timing", "", "Timing", "Timing", "quilvar-timing", "Tim.", true,
     [](CMainFrame& f) { Tuning(f).ToggleTiming(); }},
    {ID_PREVIOUS, "Previous\tCtrl+Up", "Ctrl+Up", "Previous", "Previous", "quilvar-previous",
     "Prev", false, [](CMainFrame& f) { Tuning(f).StepToActiveRow(false); }},
    {ID_NEXT, "Next\tCtrl+Down", "Ctrl+Down", "Next", "Next", "quilvar-next", "Next", false,
     [](CMainFrame& f) { Tuning(f).StepToActiveRow(true); }},
    {ID_SCHEDULE_MODE, "Schedule Mode", "", "Schedule", "Schedule", "quilvar-schedule-mode",
     "Sched", true, [](CMainFrame& f) { Tuning(f).ToggleScheduleMode(); }},
    {ID_SCAN_MODE, "Scan Mode", "", "Scan", "Scan", "quilvar-scan-mode", "Scan", true,
     [](CMainFrame& f) { Tuning(f).ToggleScanMode(); }},
    {ID_POWER_ON, "Power ON", "", "Power ON", "Power ON", "", "", false,
     [](CMainFrame& f) { Link(f).PowerOn(); }},
    {ID_POWER_OFF, "Power OFF", "", "Power OFF", "Power OFF", "", "", false,
     [](CMainFrame& f) { Link(f).PowerOff(); }},

    {ID_TOOLBAR_BIG, "Toolbar: Big", "", "Toolbar: Big", "Toolbar: Big", "", "", true,
     [](CMainFrame& f) { f.ToggleToolBarBig(); }},
    {ID_TOOLBAR_LABELS, "Toolbar: Labels", "", "Toolbar: Labels", "Toolbar: Labels", "", "", true,
     [](CMainFrame& f) { f.ToggleToolBarLabels(); }},

    {ID_README, "Readme", "", "Readme", "Readme", "", "", false,
     [](CMainFrame& f) { OpenGuide(kReadmeFile, &f); }},
    {ID_LEGGIMI, "Leggimi", "", "Leggimi", "Leggimi", "", "", false,
     [](CMainFrame& f) { OpenGuide(kLeggimiFile, &f); }},
    {ID_APP_ABOUT, "&About ...", "", "Display program information, version number and copyright",
     "About", "help-about", "About", false, [](CMainFrame& f) { ShowAboutBox(&f); }},
    // clang-format on
};

const std::vector<MenuLayout> kMenuBar = {
    {"&File",
     {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_IMPORT_SCHEDULE, ID_FILE_SAVE, ID_FILE_SAVE_AS, kSeparator,
      kRecentFiles, kSeparator, ID_APP_EXIT}},
    {"&Edit",
     {ID_COPY_LINE, ID_PASTE_LINE, ID_DUPLICATE_LINE, kSeparator, ID_INSERT_LINE, ID_CLEAR_LINES,
      ID_DELETE_LINES, kSeparator, ID_CLEAR_CELLS, ID_UNIFORM_CELLS, ID_SELECT_ALL_CELLS,
      kSeparator, ID_EDIT_FIND, ID_FIND_NEXT, kSeparator, ID_SORT_LINES, ID_MOVE_LINES_UP,
      ID_MOVE_LINES_DOWN, ID_JUSTIFY_COLUMNS}},
    {"&Comm",
     {ID_SETUP, ID_CONNECT, kSeparator, ID_OPERATING_FREQUENCY, ID_SET_FREQUENCY, ID_AUTO_MODE,
      kSeparator, ID_TIMING, ID_PREVIOUS, ID_NEXT, kSeparator, ID_SCHEDULE_MODE, ID_SCAN_MODE,
      kSeparator, ID_POWER_ON, ID_POWER_OFF}},
    {"&View", {ID_TOOLBAR_BIG, ID_TOOLBAR_LABELS}},
    {"&Help", {ID_README, ID_LEGGIMI, kSeparator, ID_APP_ABOUT}},
};

// The buttons of every toolbar; Justify Columns only where there is room for it, on the
// toolbars without labels.
std::vector<int> ToolBarItems(bool withJustify) {
  std::vector<int> items = {ID_FILE_NEW,    ID_FILE_OPEN,   ID_FILE_SAVE,      kSeparator,
                            ID_COPY_LINE,   ID_PASTE_LINE,  ID_DUPLICATE_LINE, kSeparator,
                            ID_INSERT_LINE, ID_CLEAR_LINES, ID_DELETE_LINES,   kSeparator,
                            ID_EDIT_FIND,   ID_SORT_LINES,  ID_MOVE_LINES_UP,  ID_MOVE_LINES_DOWN};
  if (withJustify) items.push_back(ID_JUSTIFY_COLUMNS);
  items.insert(items.end(),
               {kSeparator, ID_SETUP, ID_CONNECT, kSeparator, ID_OPERATING_FREQUENCY,
                ID_SET_FREQUENCY, ID_AUTO_MODE, kSeparator, ID_TIMING, ID_PREVIOUS, ID_NEXT,
                kSeparator, ID_SCHEDULE_MODE, ID_SCAN_MODE, kSeparator, ID_APP_ABOUT});
  return items;
}

const std::vector<ToolBarLayout> kToolBars = {
    {false, false, ToolBarItems(true)},
    {false, true, ToolBarItems(false)},
    {true, false, ToolBarItems(true)},
    {true, true, ToolBarItems(false)},
};

const std::vector<ContextItem> kContextMenu = {
    {ID_CONTEXT_COPY_LINE, nullptr},     {ID_CONTEXT_PASTE_LINE, nullptr}, {ID_CLEAR_LINE, nullptr},
    {ID_SET_FREQUENCY, "Set Frequency"}, {ID_SET_OFFSET_COLUMN, nullptr},
};

}  // namespace

const std::vector<Command>& Commands() { return kCommands; }

const Command* FindCommand(int id) {
  auto it = std::find_if(kCommands.begin(), kCommands.end(),
                         [id](const Command& c) { return c.id == id; });
  return it == kCommands.end() ? nullptr : &*it;
}

const std::vector<MenuLayout>& MenuBar() { return kMenuBar; }

const std::vector<ContextItem>& ContextMenu() { return kContextMenu; }

const std::vector<ToolBarLayout>& ToolBars() { return kToolBars; }
