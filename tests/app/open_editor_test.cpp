// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

#include "list/edit_wnd.h"
#include "list/find_dialog.h"
#include "tests/app/edit_window.h"
#include "tuning/edit_freq.h"

// Text typed into a cell and not yet entered, when the user goes on with a command: what was
// typed belongs to the line it was typed into, whatever the command does to the lines.
namespace {

// How the user reaches a command.
enum class Way { kShortcut, kToolbar, kMenuBar, kContextMenu, kFindDialog };

class OpenEditorTest : public EditWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(EditWindowTest::SetUp());
    QFile file(dir_.filePath("ten.CSV"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    opened_ = file.readAll();
    ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  }

  // The ten lines again, unmodified, the grid holding the focus and nothing asked yet.
  void Reopen() {
    grid().CancelEdit();
    ASSERT_NO_FATAL_FAILURE(WriteList("ten.CSV", opened_));
    doc().SetModifiedFlag(false);
    ASSERT_TRUE(frame_->OpenFile(dir_.filePath("ten.CSV")));
    ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
    asked_.clear();
  }

  // Keys typed on a cell open its editor: the edit box, or the list of the Mode column.
  void TypeIntoCell(const char* typed) {
    for (const char* ch = typed; *ch != '\0'; ++ch) {
      ASSERT_NE(QApplication::focusWidget(), nullptr);
      QTest::keyClick(QApplication::focusWidget(), *ch);
    }
    ASSERT_TRUE(EditorOpen());
  }
  bool EditorOpen() { return !grid().editBox()->isHidden() || !grid().listBox()->isHidden(); }

  QToolBar* ShownToolBar() {
    for (int i = 0; i < 4; ++i) {
      if (frame_->toolBar(i)->isVisible()) return frame_->toolBar(i);
    }
    return nullptr;
  }
  QWidget* Button(int id) {
    QToolBar* bar = ShownToolBar();
    return bar == nullptr ? nullptr : bar->widgetForAction(frame_->action(id));
  }
  void ClickButton(int id) {
    QWidget* button = Button(id);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void ChooseFromMenuBar(int id) {
    QAction* command = frame_->action(id);
    for (QAction* entry : frame_->menuBar()->actions()) {
      QMenu* menu = entry->menu();
      if (menu == nullptr || !menu->actions().contains(command)) continue;
      frame_->menuBar()->setActiveAction(entry);
      ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
      ASSERT_TRUE(command->isEnabled());
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(command).center());
      ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
      // The test platform leaves the closed menu the active window; a desktop does not.
      frame_->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
      return;
    }
    FAIL() << "no menu holds command " << id;
  }
  // The click goes beside the editor, which lies over the current cell; the menu acts on the
  // current row all the same.
  void ChooseFromContextMenu(int id) {
    bool chosen = false;
    RightClick(grid().Row(), grid().Col() == 1 ? 2 : 1, [&](QMenu* menu) {
      for (QAction* item : menu->actions()) {
        if (item->data().toInt() != id) continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        chosen = true;
        return;
      }
    });
    ASSERT_TRUE(chosen) << "no context menu item for command " << id;
  }
  void Run(Way way, int id) {
    switch (way) {
      case Way::kShortcut:
        ASSERT_FALSE(frame_->action(id)->shortcut().isEmpty());
        QTest::keySequence(QApplication::focusWidget(), frame_->action(id)->shortcut());
        break;
      case Way::kToolbar:
        ASSERT_NO_FATAL_FAILURE(ClickButton(id));
        break;
      case Way::kMenuBar:
        ASSERT_NO_FATAL_FAILURE(ChooseFromMenuBar(id));
        break;
      case Way::kContextMenu:
        ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu(id));
        break;
      case Way::kFindDialog:
        ASSERT_NE(editor().m_findDialog, nullptr);
        QTest::mouseClick(editor().m_findDialog->findNextButton(), Qt::LeftButton);
        break;
    }
    QCoreApplication::processEvents();
  }
  void OpenFindDialog(const char* text) {
    Trigger(ID_EDIT_FIND);
    ASSERT_NE(editor().m_findDialog, nullptr);
    editor().m_findDialog->textEdit()->setText(text);
    ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  }
  void CloseFindDialog() {
    QPointer<CFindDialog> dialog = editor().m_findDialog;
    if (dialog == nullptr) return;
    dialog->reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }));
  }

  // The list file as the test opened it.
  QByteArray opened_;
};

TEST_F(OpenEditorTest, TypedTextLandsInItsOwnLineWhateverTheCommandDoesToTheLines) {
  const struct {
    const char* name;
    // The current cell is where the text is typed.
    Selection selection;
    const char* typed;
    // The cell's text once taken in.
    const char* entered;
    Way way;
    int id;
    // The lines as opened in their new order, 0 for an empty line.
    std::vector<int> order;
  } cases[] = {
      // clang-format off
      {"Delete Lines by its key, edit box", {5, 2, 6, 2}, "X", "XZulu",
       Way::kShortcut, ID_DELETE_LINES, {1, 2, 3, 4, 7, 8, 9, 10}},
      {"Delete Lines by its key, Mode list", {4, 3, 5, 3}, "r", "RTTY",
       Way::kShortcut, ID_DELETE_LINES, {1, 2, 3, 6, 7, 8, 9, 10}},
      {"Move Lines Down from the toolbar, edit box", {4, 2, 4, 2}, "X", "XOscar",
       Way::kToolbar, ID_MOVE_LINES_DOWN, {1, 2, 3, 5, 4, 6, 7, 8, 9, 10}},
      {"Move Lines Up from the Edit menu, Mode list", {6, 3, 6, 3}, "r", "RTTY",
       Way::kMenuBar, ID_MOVE_LINES_UP, {1, 2, 3, 4, 6, 5, 7, 8, 9, 10}},
      // The sort sees the typed frequency: 9800 goes between 9000 and 12000.
      {"Sort Lines from the toolbar, edit box", {3, 1, 3, 1}, "9", "9800.000",
       Way::kToolbar, ID_SORT_LINES, {8, 10, 7, 1, 2, 6, 5, 3, 9, 4}},
      {"Sort Lines from the Edit menu, Mode list", {2, 3, 2, 3}, "c", "CW",
       Way::kMenuBar, ID_SORT_LINES, {3, 5, 8, 10, 2, 4, 6, 7, 1, 9}},
      {"Insert Line by its key, edit box", {5, 2, 5, 2}, "X", "XZulu",
       Way::kShortcut, ID_INSERT_LINE, {1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10}},
      {"Duplicate Line by its key, edit box", {2, 4, 2, 4}, "X", "X0700-0800",
       Way::kShortcut, ID_DUPLICATE_LINE, {1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      // Line 9 is held; pasting replaces the whole line, the typed cell with it.
      {"Paste Line from the toolbar, edit box", {7, 2, 7, 2}, "X", "XEcho",
       Way::kToolbar, ID_PASTE_LINE, {1, 2, 3, 4, 5, 6, 9, 8, 9, 10}},
      {"Paste Line from the context menu, Mode list", {7, 3, 7, 3}, "f", "FM",
       Way::kContextMenu, ID_CONTEXT_PASTE_LINE, {1, 2, 3, 4, 5, 6, 9, 8, 9, 10}},
      {"Clear Lines from the toolbar, edit box", {3, 2, 4, 2}, "X", "XCuba",
       Way::kToolbar, ID_CLEAR_LINES, {1, 2, 0, 0, 5, 6, 7, 8, 9, 10}},
      {"Clear Line from the context menu, edit box", {3, 2, 3, 2}, "X", "XCuba",
       Way::kContextMenu, ID_CLEAR_LINE, {1, 2, 0, 4, 5, 6, 7, 8, 9, 10}},
      {"Find Next in the Find dialog, edit box", {2, 2, 2, 2}, "X", "Xusb net",
       Way::kFindDialog, ID_FIND_NEXT, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(9, 1, 9, 1);
    Trigger(ID_COPY_LINE);
    if (c.way == Way::kFindDialog) {
      ASSERT_NO_FATAL_FAILURE(OpenFindDialog("Zulu"));
    }
    const Selection& s = c.selection;
    Select(s.row, s.col, s.rowSel, s.colSel);
    ASSERT_NO_FATAL_FAILURE(TypeIntoCell(c.typed));
    ASSERT_NO_FATAL_FAILURE(Run(c.way, c.id));

    EXPECT_FALSE(EditorOpen());
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(grid().Rows(), static_cast<int>(c.order.size()) + 1);
    for (int row = 1; row < grid().Rows() && row <= static_cast<int>(c.order.size()); ++row) {
      const int line = c.order[row - 1];
      QStringList expected = line == 0 ? QStringList{"", "", "", ""} : Line(line);
      if (line == s.row) expected[s.col - 1] = c.entered;
      EXPECT_EQ(Cells(row), expected) << "row " << row;
    }
    EXPECT_EQ(Column(0), Numbers(grid().Rows() - 1));
    ASSERT_NO_FATAL_FAILURE(CloseFindDialog());
  }
}

// Stands in for a file dialog: a window of its own that takes the focus while it is open.
std::function<QString(QWidget*)> FileChooser(const QString& path) {
  return [path](QWidget* parent) {
    QDialog chooser(parent);
    auto* name = new QLineEdit(&chooser);
    chooser.show();
    chooser.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
    return path;
  };
}

TEST_F(OpenEditorTest, ListCommandsAskAboutTheListWithTheTypedTextInIt) {
  const QString savePrompt = "Save changes to ten.CSV?";
  const QString reloadPrompt =
      "The list ten.CSV was changed on disk. Reload it and lose your changes?";
  const struct {
    const char* name;
    int col;
    const char* typed;
    const char* entered;
  } editors[] = {
      {"edit box", kColStation, "X", "XOscar"},
      {"Mode list", kColMode, "r", "RTTY"},
  };
  const struct {
    const char* name;
    std::function<void()> run;
    const QString& question;
  } commands[] = {
      {"New by its key", [&] { Run(Way::kShortcut, ID_FILE_NEW); }, savePrompt},
      {"Open from the toolbar", [&] { Run(Way::kToolbar, ID_FILE_OPEN); }, savePrompt},
      {"Import Schedule from the File menu", [&] { Run(Way::kMenuBar, ID_FILE_IMPORT_SCHEDULE); },
       savePrompt},
      {"closing the window", [&] { frame_->close(); }, savePrompt},
      {"the file changed on disk",
       [&] {
         WriteList("ten.CSV", "Freq (kHz);Station\r\n1000.000;changed\r\n");
         EXPECT_TRUE(QTest::qWaitFor([&] { return !asked_.empty(); }));
       },
       reloadPrompt},
  };
  frame_->askOpenPath = FileChooser(dir_.filePath("other.CSV"));
  frame_->askImportPath = FileChooser(dir_.filePath("schedule.csv"));
  // Every question is turned down: the list stays, typed text and all.
  answer_ = QMessageBox::Cancel;
  for (const auto& e : editors) {
    for (const auto& c : commands) {
      SCOPED_TRACE(std::string(c.name) + ", " + e.name);
      ASSERT_NO_FATAL_FAILURE(Reopen());
      Select(4, e.col, 4, e.col);
      ASSERT_NO_FATAL_FAILURE(TypeIntoCell(e.typed));
      c.run();
      QCoreApplication::processEvents();
      ASSERT_EQ(asked_.size(), 1u);
      EXPECT_EQ(asked_[0].text, c.question);
      EXPECT_FALSE(EditorOpen());
      EXPECT_TRUE(frame_->isVisible());
      EXPECT_TRUE(doc().IsModified());
      EXPECT_EQ(grid().TextMatrix(4, e.col), e.entered);
      ExpectLinesAsOpened(4);
    }
  }
}

TEST_F(OpenEditorTest, ModeStartsOnlyOnceTheOpenEditorIsTakenIn) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  const struct {
    const char* name;
    Way way;
    int id;
  } modes[] = {
      {"Timing from the toolbar", Way::kToolbar, ID_TIMING},
      {"Auto Mode from the Comm menu", Way::kMenuBar, ID_AUTO_MODE},
      {"Scan Mode from the toolbar", Way::kToolbar, ID_SCAN_MODE},
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.name);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    Select(3, kColMode, 3, kColMode);
    // The list of modes is a choice, not editing: the mode commands stay on.
    ASSERT_NO_FATAL_FAILURE(TypeIntoCell("u"));
    ASSERT_NO_FATAL_FAILURE(Run(m.way, m.id));
    ASSERT_TRUE(frame_->action(m.id)->isChecked());
    EXPECT_FALSE(EditorOpen());
    EXPECT_EQ(grid().TextMatrix(3, kColMode), "USB");
    EXPECT_TRUE(doc().IsModified());
    // Nothing is left to take in under the mode.
    Press(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(EditorOpen());
    Trigger(m.id);
    ASSERT_FALSE(frame_->action(m.id)->isChecked());
  }

  // The edit box is editing: no mode starts until it is entered.
  ASSERT_NO_FATAL_FAILURE(Reopen());
  Select(3, kColStation, 3, kColStation);
  ASSERT_NO_FATAL_FAILURE(TypeIntoCell("X"));
  for (int id : {ID_TIMING, ID_AUTO_MODE, ID_SCAN_MODE, ID_SCHEDULE_MODE}) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Button(id)->isEnabled(); }, 1000)) << id;
  }
  Press(Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !EditorOpen(); }));
  EXPECT_EQ(grid().TextMatrix(3, kColStation), "XCuba");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Button(ID_TIMING)->isEnabled(); }, 1000));
}

TEST_F(OpenEditorTest, AddFromTheFrequencyDialogTakesTheTypedTextInFirst) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  Trigger(ID_OPERATING_FREQUENCY);
  CEditFreq* dialog = frame_->view().frequencyDialog();
  ASSERT_NE(dialog, nullptr);
  auto* box = dialog->findChild<QLineEdit*>(edit_freq_names::kFrequency);
  auto* add = dialog->findChild<QPushButton*>(edit_freq_names::kAdd);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(add, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return box->text().endsWith(".000"); }));
  ASSERT_NO_FATAL_FAILURE(ShowAndActivate());
  Select(5, kColStation, 5, kColStation);
  ASSERT_NO_FATAL_FAILURE(TypeIntoCell("X"));

  QTest::mouseClick(add, Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_FALSE(EditorOpen());
  ASSERT_EQ(grid().Rows(), kLines + 2);
  QStringList edited = Line(5);
  edited[kColStation - 1] = "XZulu";
  EXPECT_EQ(Cells(5), edited);
  EXPECT_EQ(grid().TextMatrix(6, kColFrequency), box->text());
  EXPECT_EQ(grid().TextMatrix(6, kColStation), "");
  for (int line = 1; line <= kLines; ++line) {
    if (line != 5) {
      EXPECT_EQ(Cells(line < 6 ? line : line + 1), Line(line)) << "line " << line;
    }
  }
}

}  // namespace
