// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <map>

#include "list/find_dialog.h"
#include "tests/app/edit_window.h"

namespace {

class EditMenuTest : public EditWindowTest {
 protected:
  CFindDialog* findDialog() { return editor().m_findDialog; }
  int FindDialogCount() { return frame_->findChildren<CFindDialog*>().size(); }
  // Closes the Find dialog as Cancel does and waits until it is gone.
  void CloseFindDialog() {
    QPointer<CFindDialog> dialog = findDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }));
    EXPECT_EQ(findDialog(), nullptr);
  }
  QMenu* EditMenu() {
    for (QAction* entry : frame_->menuBar()->actions()) {
      if (entry->text() == "&Edit") return entry->menu();
    }
    return nullptr;
  }
};

TEST_F(EditMenuTest, FindNextWalksRightThenDownAndStopsAtTheLastLine) {
  const struct {
    const char* name;
    const char* text;
    bool matchCase;
    int row, col;
    // The cell found; 0 for none.
    int foundRow, foundCol;
  } cases[] = {
      {"same row first, case ignored", "usb", false, 1, 1, 1, 3},
      {"Match case", "usb", true, 1, 1, 2, 2},
      {"starts after the current cell", "usb", false, 1, 3, 2, 2},
      {"walks down line by line", "usb", false, 2, 2, 9, 3},
      {"from column 1 of the next line", "3", false, 2, 4, 7, 1},
      {"nothing after the last match", "usb", false, 9, 3, 0, 0},
      {"no wrap from the last cell", "Radio", false, kLines, 4, 0, 0},
      {"row numbers are not searched", "10", false, 9, 4, 0, 0},
  };
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    asked_.clear();
    editor().m_searchText = c.text;
    editor().m_matchCase = c.matchCase;
    Select(c.row, c.col, c.row, c.col);
    Press(Qt::Key_F3);
    if (c.foundRow == 0) {
      ASSERT_EQ(asked_.size(), 1u);
      EXPECT_EQ(asked_[0].text, "End of file.");
      EXPECT_EQ(asked_[0].title, "Quilvar");
      EXPECT_EQ(asked_[0].buttons, QMessageBox::Ok);
      EXPECT_EQ(Selected(), (Selection{c.row, c.col, c.row, c.col}));
    } else {
      EXPECT_TRUE(asked_.empty());
      EXPECT_EQ(Selected(), (Selection{c.foundRow, c.foundCol, c.foundRow, c.foundCol}));
    }
    EXPECT_EQ(findDialog(), nullptr);
  }
  ExpectLinesAsOpened();
  EXPECT_FALSE(doc().IsModified());
}

TEST_F(EditMenuTest, FindNextWithoutTextOpensTheFindDialog) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Press(Qt::Key_F3);
  ASSERT_NE(findDialog(), nullptr);
  EXPECT_TRUE(findDialog()->isVisible());
  EXPECT_EQ(findDialog()->textEdit()->text(), "");
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(Selected(), (Selection{1, 1, 1, 1}));
}

TEST_F(EditMenuTest, SecondFindCommandFocusesTheOpenDialog) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Press(Qt::Key_F, Qt::ControlModifier);
  QPointer<CFindDialog> first = findDialog();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(first));

  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Press(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(findDialog(), first.data());
  EXPECT_EQ(FindDialogCount(), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return first->textEdit()->hasFocus(); }));
}

TEST_F(EditMenuTest, FindDialogSearchesAndIsPresetWithTheLastChoiceNextTime) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Press(Qt::Key_F, Qt::ControlModifier);
  ASSERT_NE(findDialog(), nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(findDialog()));
  QTest::keyClicks(findDialog()->textEdit(), "usb");
  findDialog()->matchCaseBox()->click();
  QTest::mouseClick(findDialog()->findNextButton(), Qt::LeftButton);
  // "USB" in row 1 differs in case.
  EXPECT_EQ(Selected(), (Selection{2, 2, 2, 2}));
  EXPECT_EQ(editor().m_searchText, "usb");
  EXPECT_TRUE(editor().m_matchCase);
  ASSERT_NO_FATAL_FAILURE(CloseFindDialog());

  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Press(Qt::Key_F, Qt::ControlModifier);
  ASSERT_NE(findDialog(), nullptr);
  EXPECT_EQ(findDialog()->textEdit()->text(), "usb");
  EXPECT_TRUE(findDialog()->matchCaseBox()->isChecked());
  ASSERT_NO_FATAL_FAILURE(CloseFindDialog());

  // Find next goes on with the dialog's choice after it has closed.
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Select(1, 1, 1, 1);
  Press(Qt::Key_F3);
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(Selected(), (Selection{2, 2, 2, 2}));
}

TEST_F(EditMenuTest, EditMenuHoldsTheCommandsInOrder) {
  const QStringList expected = {
      "&Copy Line\tCtrl+C",
      "&Paste Line\tCtrl+V",
      "Duplicate Line\tF8",
      "-",
      "&Insert Line\tCtrl+I",
      "Clea&r Lines",
      "&Delete Lines\tCtrl+D",
      "-",
      "C&lear Cells",
      "&Uniform Cells",
      "Select &All Cells",
      "-",
      "Find...\tCtrl+F",
      "Find next\tF3",
      "-",
      "&Sort Lines",
      "&Move Lines Up\tAlt+Up",
      "Move Lines Dow&n\tAlt+Down",
      "Justify Columns",
  };
  QMenu* edit = EditMenu();
  ASSERT_NE(edit, nullptr);
  QStringList shown;
  for (QAction* item : edit->actions()) shown << (item->isSeparator() ? "-" : item->text());
  EXPECT_EQ(shown, expected);
}

// Prompts in the message pane while an item is highlighted, and tooltips.
struct Texts {
  const char* prompt;
  const char* tooltip;
};
const std::map<int, Texts> kTexts = {
    {ID_COPY_LINE, {"Copy Line", "Copy Line"}},
    {ID_CONTEXT_COPY_LINE, {"Copy Line", "Copy Line"}},
    {ID_PASTE_LINE, {"Paste Line", "Paste Line"}},
    {ID_CONTEXT_PASTE_LINE, {"Paste Line", "Paste Line"}},
    {ID_DUPLICATE_LINE, {"Duplicate Line", "Dupli Line"}},
    {ID_INSERT_LINE, {"Insert Line", "Insert Line"}},
    {ID_CLEAR_LINES, {"Clear Lines", "Clear Lines"}},
    {ID_CLEAR_LINE, {"Clear Line", "Clear Line"}},
    {ID_DELETE_LINES, {"Delete Lines", "Delete Lines"}},
    {ID_CLEAR_CELLS, {"Clear Cells", "Clear Cells"}},
    {ID_UNIFORM_CELLS, {"Uniform Cells", "Uniform Cells"}},
    {ID_SELECT_ALL_CELLS, {"Select All", "Select All Cells"}},
    {ID_FIND_NEXT, {"Find Next", "Find Next"}},
    {ID_SORT_LINES, {"Sort Lines", "Sort Lines"}},
    {ID_MOVE_LINES_UP, {"Move Lines Up", "Move Lines Up"}},
    {ID_MOVE_LINES_DOWN, {"Move Lines Down", "Move Lines Down"}},
    {ID_JUSTIFY_COLUMNS, {"Justify", "Justify"}},
    {ID_SET_FREQUENCY, {"Set Frequency", "Set Frequency"}},
    {ID_SET_OFFSET_COLUMN, {"Set offset column", "Set offset column"}},
};

TEST_F(EditMenuTest, EditCommandsCarryTheirPromptsAndTooltips) {
  for (const auto& [id, texts] : kTexts) {
    SCOPED_TRACE(texts.prompt);
    const QAction* command = frame_->action(id);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->statusTip(), texts.prompt);
    EXPECT_EQ(command->toolTip(), texts.tooltip);
  }
}

// Walks a shown menu with the Down key and returns the id of each item highlighted with the
// message pane's text at that moment.
std::vector<std::pair<int, QString>> HighlightEach(QMenu* menu, CMainFrame& frame) {
  std::vector<std::pair<int, QString>> seen;
  const int items = menu->actions().size();
  for (int i = 0; i < items; ++i) {
    QTest::keyClick(menu, Qt::Key_Down);
    const QAction* active = menu->activeAction();
    if (active == nullptr) break;
    const int id = active->data().toInt();
    if (!seen.empty() && seen.front().first == id) break;  // round again
    seen.emplace_back(id, frame.PaneText(StatusPane::kMessage));
  }
  return seen;
}

TEST_F(EditMenuTest, HighlightedItemShowsItsPromptInTheMessagePane) {
  // Every item enabled: a line held, a line in the middle current.
  Trigger(ID_COPY_LINE);
  Select(2, 1, 2, 1);
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  EXPECT_EQ(frame_->PaneText(StatusPane::kMessage), "Ready");

  QMenu* edit = EditMenu();
  ASSERT_NE(edit, nullptr);
  frame_->menuBar()->setActiveAction(edit->menuAction());
  ASSERT_TRUE(QTest::qWaitFor([&] { return edit->isVisible(); }));
  std::vector<std::pair<int, QString>> seen = HighlightEach(edit, *frame_);
  edit->close();
  frame_->menuBar()->setActiveAction(nullptr);
  EXPECT_EQ(frame_->PaneText(StatusPane::kMessage), "Ready");
  EXPECT_EQ(seen.size(), 15u);
  for (const auto& [id, pane] : seen) {
    if (id == ID_EDIT_FIND) continue;  // the usual prompt of the desktop's Find
    ASSERT_TRUE(kTexts.count(id)) << id;
    EXPECT_EQ(pane, kTexts.at(id).prompt);
  }

  Select(3, 2, 3, 2);
  std::vector<std::pair<int, QString>> context;
  RightClick(3, 2, [&](QMenu* menu) { context = HighlightEach(menu, *frame_); });
  EXPECT_EQ(frame_->PaneText(StatusPane::kMessage), "Ready");
  std::vector<int> ids;
  for (const auto& [id, pane] : context) {
    ids.push_back(id);
    EXPECT_EQ(pane, kTexts.at(id).prompt);
  }
  // Set Frequency waits for a connected radio.
  EXPECT_EQ(ids, (std::vector<int>{ID_CONTEXT_COPY_LINE, ID_CONTEXT_PASTE_LINE, ID_CLEAR_LINE,
                                   ID_SET_OFFSET_COLUMN}));
}

TEST_F(EditMenuTest, ScanModeStopsTheLineCommandsButNotTheGridsOwnKeys) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  Select(1, 1, 1, 1);
  Trigger(ID_COPY_LINE);
  editor().m_searchText = "Zulu";
  Trigger(ID_SCAN_MODE);
  ASSERT_TRUE(tuning().scanMode);
  for (int id : {ID_COPY_LINE, ID_PASTE_LINE, ID_DELETE_LINES, ID_EDIT_FIND, ID_FIND_NEXT}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }

  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  const QStringList buffer = editor().m_lineBuffer;
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
  } keys[] = {
      {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"}, {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
      {Qt::Key_D, Qt::ControlModifier, "Ctrl+D"}, {Qt::Key_F, Qt::ControlModifier, "Ctrl+F"},
      {Qt::Key_F3, Qt::NoModifier, "F3"},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(k.name);
    Select(3, 2, 4, 2);
    Press(k.key, k.modifiers);
    EXPECT_EQ(Selected(), (Selection{3, 2, 4, 2}));
    EXPECT_EQ(editor().m_lineBuffer, buffer);
    EXPECT_EQ(findDialog(), nullptr);
    ASSERT_EQ(grid().Rows(), kLines + 1);
    ExpectLinesAsOpened();
  }
  EXPECT_TRUE(asked_.empty());

  Select(2, 1, 3, 4);
  Press(Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(Cells(2), Line(4));
  EXPECT_EQ(Cells(3), Line(2));
  EXPECT_EQ(Cells(4), Line(3));
  EXPECT_EQ(grid().Row(), 3);
  EXPECT_EQ(grid().RowSel(), 4);

  Select(7, 3, 6, 2);
  Press(Qt::Key_Delete);
  for (int row : {6, 7}) {
    EXPECT_EQ(Cells(row), QStringList({Line(row)[0], "", "", Line(row)[3]})) << "row " << row;
  }
  EXPECT_EQ(Cells(8), Line(8));
  EXPECT_TRUE(tuning().scanMode);
}

TEST_F(EditMenuTest, FindDialogSearchesNothingWhileScanOrScheduleRuns) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  Trigger(ID_EDIT_FIND);
  ASSERT_NE(findDialog(), nullptr);
  findDialog()->textEdit()->setText("Zulu");
  for (int mode : {ID_SCAN_MODE, ID_SCHEDULE_MODE}) {
    SCOPED_TRACE(mode);
    Select(1, 1, 1, 1);
    Trigger(mode);
    ASSERT_TRUE(frame_->action(mode)->isChecked());
    const Selection before = Selected();
    asked_.clear();
    QTest::mouseClick(findDialog()->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(Selected(), before);
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(editor().m_searchText, "");

    // Once the mode is off the dialog searches again.
    Trigger(mode);
    ASSERT_FALSE(frame_->action(mode)->isChecked());
    Select(1, 1, 1, 1);
    QTest::mouseClick(findDialog()->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(Selected(), (Selection{5, 2, 5, 2}));
    editor().m_searchText.clear();
  }
}

TEST_F(EditMenuTest, CommandStatesFollowTheSelectionWhateverMovedIt) {
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  auto click = [this](int row, int col) {
    const QPoint point = CellCentre(row, col);
    QWidget* target = grid().childAt(point);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(&grid(), point));
  };
  const struct {
    const char* name;
    Selection before;
    std::function<void()> act;
    int id;
    bool enabledAfter;
  } cases[] = {
      {"Alt+Up onto the first line",
       {2, 2, 2, 2},
       [&] { Press(Qt::Key_Up, Qt::AltModifier); },
       ID_MOVE_LINES_UP,
       false},
      {"Alt+Down onto the last line",
       {9, 2, 9, 2},
       [&] { Press(Qt::Key_Down, Qt::AltModifier); },
       ID_MOVE_LINES_DOWN,
       false},
      {"the caption of the current column: every line",
       {1, 2, 1, 2},
       [&] { click(0, 2); },
       ID_DELETE_LINES,
       false},
      {"the corner: every line", {1, 1, 1, 1}, [&] { click(0, 0); }, ID_DELETE_LINES, false},
      {"the number of the current line: that line only",
       {1, 1, kLines, 1},
       [&] { click(1, 0); },
       ID_DELETE_LINES,
       true},
      {"Shift+click on the last line",
       {1, 1, 1, 1},
       [&] {
         const QPoint point = CellCentre(kLines, 1);
         QWidget* target = grid().childAt(point);
         QTest::mouseClick(target, Qt::LeftButton, Qt::ShiftModifier,
                           target->mapFrom(&grid(), point));
       },
       ID_DELETE_LINES,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select(c.before.row, c.before.col, c.before.rowSel, c.before.colSel);
    const QAction* command = frame_->action(c.id);
    ASSERT_EQ(command->isEnabled(), !c.enabledAfter);
    c.act();
    EXPECT_TRUE(QTest::qWaitFor([&] { return command->isEnabled() == c.enabledAfter; }, 1000));
  }
}

}  // namespace
