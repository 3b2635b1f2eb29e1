// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <map>

#include "app/lock_panes.h"
#include "app/settings_store.h"
#include "link/link_events.h"
#include "tests/app/radio_window.h"

namespace {

constexpr int kSep = 0;
const char* const kPlacementKeys[] = {"X", "Y", "CX", "CY", "BarBig", "BarLab"};

// A toolbar button: its command, its label on the labelled toolbars, its tooltip and the
// prompt in the message pane.
struct Button {
  int id;
  const char* label = "";
  const char* tooltip = "";
  const char* prompt = "";
};

// The buttons left to right; kSep stands for a separator.
const Button kButtons[] = {
    {ID_FILE_NEW, "New", "New", "Create a new document"},
    {ID_FILE_OPEN, "Open", "Open", "Open an existing document"},
    {ID_FILE_SAVE, "Save", "Save", "Save the active document"},
    {kSep},
    {ID_COPY_LINE, "Copy", "Copy Line", "Copy Line"},
    {ID_PASTE_LINE, "Paste", "Paste Line", "Paste Line"},
    {ID_DUPLICATE_LINE, "Dupli", "Dupli Line", "Duplicate Line"},
    {kSep},
    {ID_INSERT_LINE, "Insert", "Insert Line", "Insert Line"},
    {ID_CLEAR_LINES, "Clear", "Clear Lines", "Clear Lines"},
    {ID_DELETE_LINES, "Delete", "Delete Lines", "Delete Lines"},
    {kSep},
    {ID_EDIT_FIND, "Find", "Find", "Find the specified text"},
    {ID_SORT_LINES, "Sort", "Sort Lines", "Sort Lines"},
    {ID_MOVE_LINES_UP, "Up", "Move Lines Up", "Move Lines Up"},
    {ID_MOVE_LINES_DOWN, "Down", "Move Lines Down", "Move Lines Down"},
    {ID_JUSTIFY_COLUMNS, "", "Justify", "Justify"},  // only on the toolbars without labels
    {kSep},
    {ID_SETUP, "Setup", "Setup", "Setup"},
    {ID_CONNECT, "Conn.", "Connect", "Connect"},
    {kSep},
    {ID_OPERATING_FREQUENCY, "Freq.", "Operating Frequency", "Operating Frequency"},
    {ID_SET_FREQUENCY, "Set", "Set Frequency", "Set Frequency"},
    {ID_AUTO_MODE, "Auto", "Auto", "Auto"},
    {kSep},
    {ID_TIMING, "Tim.", "Timing", "Timing"},
    {ID_PREVIOUS, "Prev", "Previous", "Previous"},
    {ID_NEXT, "Next", "Next", "Next"},
    {kSep},
    {ID_SCHEDULE_MODE, "Sched", "Schedule", "Schedule"},
    {ID_SCAN_MODE, "Scan", "Scan", "Scan"},
    {kSep},
    {ID_APP_ABOUT, "About", "About", "Display program information, version number and copyright"},
};

struct ToolBarKind {
  int index;
  int imageSize;
  bool labels;
};

const ToolBarKind kToolBars[] = {{0, 20, false}, {1, 20, true}, {2, 32, false}, {3, 32, true}};

// The status bar's panes left to right, as the user sees them.
QStringList PaneTexts(CMainFrame& frame) {
  QList<QLabel*> panes = frame.statusBar()->findChildren<QLabel*>();
  std::sort(panes.begin(), panes.end(),
            [](QLabel* a, QLabel* b) { return a->geometry().x() < b->geometry().x(); });
  QStringList texts;
  for (QLabel* pane : panes) texts << pane->text();
  return texts;
}

class MainWindowTest : public RadioWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(RadioWindowTest::SetUp());
    SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text, QMessageBox::Icon,
                                 QMessageBox::StandardButtons) {
      boxes_.push_back(text);
      return answer_;
    });
    Store({});
  }

  // Replaces the stored placement and toolbar flags; an absent key is not stored.
  void Store(const std::map<QString, int>& values) {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->beginGroup("Settings");
    for (const char* key : kPlacementKeys) store->remove(key);
    for (const auto& [key, value] : values) store->setValue(key, value);
  }
  std::map<QString, QVariant> Stored() {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->beginGroup("Settings");
    std::map<QString, QVariant> values;
    for (const char* key : kPlacementKeys) {
      if (store->contains(key)) values[key] = store->value(key).toInt();
    }
    return values;
  }

  // A window as at start-up, on screen.
  void StartWindow() {
    frame_.reset();
    frame_ = std::make_unique<CMainFrame>();
    ASSERT_TRUE(frame_->NewFile());
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  }
  // The window's outer rectangle when nothing is stored.
  QRect DefaultPlacement() {
    Store({});
    CMainFrame fresh;
    fresh.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    return fresh.frameGeometry();
  }

  std::vector<int> ShownToolBars() {
    std::vector<int> shown;
    for (int i = 0; i < 4; ++i) {
      if (frame_->toolBar(i)->isVisible()) shown.push_back(i);
    }
    return shown;
  }
  QToolButton* ButtonOf(QToolBar* bar, int id) {
    return qobject_cast<QToolButton*>(bar->widgetForAction(frame_->action(id)));
  }

  QMessageBox::StandardButton answer_ = QMessageBox::No;
};

TEST_F(MainWindowTest, FirstRunShowsTheSmallToolbarWithoutLabels) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  EXPECT_EQ(ShownToolBars(), std::vector<int>{0});
  frame_->UpdateCommandStates();
  EXPECT_FALSE(frame_->action(ID_TOOLBAR_BIG)->isChecked());
  EXPECT_FALSE(frame_->action(ID_TOOLBAR_LABELS)->isChecked());
}

TEST_F(MainWindowTest, StoredPlacementIsTakenOnlyWhenItFitsTheScreen) {
  const QRect defaults = DefaultPlacement();
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const int w = screen.width(), h = screen.height();
  ASSERT_NE(defaults, QRect(10, 20, 500, 400));
  const struct {
    const char* name;
    std::map<QString, int> stored;
    bool taken;
  } cases[] = {
      {"inside the screen", {{"X", 10}, {"Y", 20}, {"CX", 500}, {"CY", 400}}, true},
      {"X of -5", {{"X", -5}, {"Y", 20}, {"CX", 500}, {"CY", 400}}, false},
      {"Y of -1", {{"X", 10}, {"Y", -1}, {"CX", 500}, {"CY", 400}}, false},
      {"CX of 100", {{"X", 10}, {"Y", 20}, {"CX", 100}, {"CY", 400}}, false},
      {"CY of 100", {{"X", 10}, {"Y", 20}, {"CX", 500}, {"CY", 100}}, false},
      {"CX of 101", {{"X", 5}, {"Y", 6}, {"CX", 101}, {"CY", 400}}, true},
      {"the whole screen", {{"X", 0}, {"Y", 0}, {"CX", w}, {"CY", h}}, true},
      {"wider than the screen", {{"X", 0}, {"Y", 0}, {"CX", w + 1}, {"CY", 400}}, false},
      {"taller than the screen", {{"X", 0}, {"Y", 0}, {"CX", 500}, {"CY", h + 1}}, false},
      {"last column of the screen", {{"X", w - 1}, {"Y", h - 1}, {"CX", 500}, {"CY", 400}}, true},
      {"right of the screen", {{"X", w}, {"Y", 20}, {"CX", 500}, {"CY", 400}}, false},
      {"below the screen", {{"X", 10}, {"Y", h}, {"CX", 500}, {"CY", 400}}, false},
      {"no size stored", {{"X", 10}, {"Y", 20}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Store(c.stored);
    ASSERT_NO_FATAL_FAILURE(StartWindow());
    const QRect expected =
        c.taken ? QRect(c.stored.at("X"), c.stored.at("Y"), c.stored.at("CX"), c.stored.at("CY"))
                : defaults;
    // The stored rectangle is the outer one, frame included.
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->frameGeometry() == expected; }))
        << frame_->frameGeometry().x() << "," << frame_->frameGeometry().y() << " "
        << frame_->frameGeometry().width() << "x" << frame_->frameGeometry().height();
  }
}

TEST_F(MainWindowTest, ClosingStoresTheOuterRectangleAndTheToolbarFlags) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  frame_->move(30, 40);
  frame_->resize(600, 450);
  Trigger(ID_TOOLBAR_BIG);
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame_->frameGeometry().topLeft() == QPoint(30, 40); }));
  const QRect outer = frame_->frameGeometry();
  ASSERT_TRUE(frame_->close());
  const std::map<QString, QVariant> expected = {{"X", outer.x()},      {"Y", outer.y()},
                                                {"CX", outer.width()}, {"CY", outer.height()},
                                                {"BarBig", 1},         {"BarLab", 0}};
  EXPECT_EQ(Stored(), expected);

  // The next window comes back there, with the same toolbar.
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->frameGeometry() == outer; }));
  EXPECT_EQ(ShownToolBars(), std::vector<int>{2});
}

TEST_F(MainWindowTest, ClosingMaximizedKeepsTheEarlierPlacementButStoresTheFlags) {
  Store({{"X", 10}, {"Y", 20}, {"CX", 500}, {"CY", 400}});
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  // Moved in this run, then maximized: the move is not stored either.
  frame_->move(50, 60);
  frame_->resize(600, 450);
  frame_->showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame_->isMaximized(); }));
  Trigger(ID_TOOLBAR_LABELS);
  ASSERT_TRUE(frame_->close());
  const std::map<QString, QVariant> expected = {{"X", 10},   {"Y", 20},     {"CX", 500},
                                                {"CY", 400}, {"BarBig", 0}, {"BarLab", 1}};
  EXPECT_EQ(Stored(), expected);
}

TEST_F(MainWindowTest, CancelOnTheSaveQuestionKeepsTheWindowAndStoresNothing) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  frame_->view().list().grid().WriteRowCells(1, {"", "7100", "changed"});
  Trigger(ID_TOOLBAR_BIG);
  answer_ = QMessageBox::Cancel;
  EXPECT_FALSE(frame_->close());
  EXPECT_EQ(boxes_, QStringList{"Save changes to Untitled?"});
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_TRUE(Stored().empty());
}

TEST_F(MainWindowTest, ViewMenuFlagsChooseOneOfFourToolbars) {
  Store({{"BarBig", 1}, {"BarLab", 0}});
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  EXPECT_EQ(ShownToolBars(), std::vector<int>{2});
  const struct {
    int command;
    int shown;
    bool big, labels;
  } steps[] = {
      {ID_TOOLBAR_LABELS, 3, true, true}, {ID_TOOLBAR_LABELS, 2, true, false},
      {ID_TOOLBAR_BIG, 0, false, false},  {ID_TOOLBAR_LABELS, 1, false, true},
      {ID_TOOLBAR_BIG, 3, true, true},    {ID_TOOLBAR_BIG, 1, false, true},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.shown);
    Trigger(step.command);
    EXPECT_EQ(ShownToolBars(), std::vector<int>{step.shown});
    frame_->UpdateCommandStates();
    EXPECT_EQ(frame_->action(ID_TOOLBAR_BIG)->isChecked(), step.big);
    EXPECT_EQ(frame_->action(ID_TOOLBAR_LABELS)->isChecked(), step.labels);
  }
  // Only along the top edge, and not torn off into a window of its own.
  for (const ToolBarKind& kind : kToolBars) {
    QToolBar* bar = frame_->toolBar(kind.index);
    EXPECT_EQ(frame_->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea);
    EXPECT_FALSE(bar->isFloatable());
  }
}

TEST_F(MainWindowTest, EveryToolbarHasTheButtonsInOrderWithLabelsTipsAndIcons) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  for (const ToolBarKind& kind : kToolBars) {
    SCOPED_TRACE(kind.index);
    QToolBar* bar = frame_->toolBar(kind.index);
    EXPECT_EQ(bar->iconSize(), QSize(kind.imageSize, kind.imageSize));
    std::vector<Button> expected;
    for (const Button& b : kButtons) {
      if (!(kind.labels && b.id == ID_JUSTIFY_COLUMNS)) expected.push_back(b);
    }
    const QList<QAction*> items = bar->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      const Button& want = expected[i];
      QAction* item = items[static_cast<qsizetype>(i)];
      SCOPED_TRACE(i);
      if (want.id == kSep) {
        EXPECT_TRUE(item->isSeparator());
        continue;
      }
      // The menu's own action, so the button is enabled, checked and gated as the menu item.
      EXPECT_EQ(item, frame_->action(want.id));
      auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(item));
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->defaultAction(), frame_->action(want.id));
      EXPECT_TRUE(button->autoRaise()) << "flat";
      EXPECT_EQ(button->toolButtonStyle(),
                kind.labels ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
      if (kind.labels) {
        EXPECT_EQ(button->text(), want.label);
      }
      EXPECT_EQ(button->toolTip(), want.tooltip);
      EXPECT_EQ(button->statusTip(), want.prompt);
      EXPECT_FALSE(button->icon().isNull());
      EXPECT_FALSE(button->icon().pixmap(kind.imageSize).isNull());
    }
  }
}

TEST_F(MainWindowTest, EveryToolbarCommandIsAlsoInTheMenuBar) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  QSet<QAction*> inMenus;
  for (QAction* title : frame_->menuBar()->actions()) {
    for (QAction* item : title->menu()->actions()) inMenus.insert(item);
  }
  for (const ToolBarKind& kind : kToolBars) {
    for (QAction* item : frame_->toolBar(kind.index)->actions()) {
      if (!item->isSeparator()) {
        EXPECT_TRUE(inMenus.contains(item)) << item->text().toStdString();
      }
    }
  }
}

TEST_F(MainWindowTest, PointerOnAButtonShowsItsPromptInTheMessagePane) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  frame_->resize(1600, 500);
  QToolBar* bar = frame_->toolBar(0);
  const struct {
    int id;
    const char* prompt;
  } cases[] = {
      {ID_FILE_SAVE, "Save the active document"},
      {ID_DUPLICATE_LINE, "Duplicate Line"},
      {ID_SCHEDULE_MODE, "Schedule"},
  };
  for (const auto& c : cases) {
    QToolButton* button = ButtonOf(bar, c.id);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->isVisible(); }));
    QTest::mouseMove(button);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->PaneText(StatusPane::kMessage) == c.prompt; }))
        << frame_->PaneText(StatusPane::kMessage).toStdString();
  }
  QTest::mouseMove(&frame_->view().list().grid());
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->PaneText(StatusPane::kMessage) == "Ready"; }));
}

TEST_F(MainWindowTest, MenuBarEndsWithTheViewAndHelpMenus) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  std::map<QString, QStringList> menus;
  QStringList titles;
  for (QAction* title : frame_->menuBar()->actions()) {
    titles << title->text();
    for (QAction* item : title->menu()->actions()) {
      menus[title->text()] << (item->isSeparator() ? "-" : item->text());
    }
  }
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Comm", "&View", "&Help"}));
  EXPECT_EQ(menus["&View"], (QStringList{"Toolbar: Big", "Toolbar: Labels"}));
  EXPECT_EQ(menus["&Help"], (QStringList{"Readme", "Leggimi", "-", "&About ..."}));
  const struct {
    int id;
    const char* tip;
  } tips[] = {{ID_TOOLBAR_BIG, "Toolbar: Big"},
              {ID_TOOLBAR_LABELS, "Toolbar: Labels"},
              {ID_README, "Readme"},
              {ID_LEGGIMI, "Leggimi"}};
  for (const auto& t : tips) {
    EXPECT_EQ(frame_->action(t.id)->statusTip(), t.tip);
    EXPECT_EQ(frame_->action(t.id)->toolTip(), t.tip);
  }
}

// The underlined letter of a menu text, upper case: the one after a single '&' ("&&" is a
// plain '&'); none when the text has no such letter.
QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1].toUpper();
    ++i;
  }
  return QChar();
}

// Alt and a letter must choose one thing: no two menus of the bar, and no two items of one
// menu, share their underlined letter.
TEST_F(MainWindowTest, NoTwoItemsOfAMenuShareTheirUnderlinedLetter) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  QMenu context;
  frame_->FillContextMenu(&context);
  std::vector<std::pair<QString, QList<QAction*>>> menus = {
      {"menu bar", frame_->menuBar()->actions()}, {"context menu", context.actions()}};
  for (QAction* title : frame_->menuBar()->actions())
    menus.emplace_back(title->text(), title->menu()->actions());
  int letters = 0;
  for (const auto& [menu, items] : menus) {
    std::map<char16_t, QString> taken;
    for (QAction* item : items) {
      const QChar letter = Mnemonic(item->text());
      if (letter.isNull()) continue;
      ++letters;
      const auto [first, fresh] = taken.emplace(letter.unicode(), item->text());
      EXPECT_TRUE(fresh) << menu.toStdString() << ": " << first->second.toStdString() << " and "
                         << item->text().toStdString();
    }
  }
  EXPECT_GE(letters, 25);
  EXPECT_EQ(Mnemonic(frame_->action(ID_FILE_SAVE)->text()), QChar('S'));
}

// Scan Mode runs on a connected radio; the toolbar lets through only Scan and Connect. Every
// other button is enabled by force so that nothing but the gate stands in its way.
TEST_F(MainWindowTest, WhileScanningOnlyScanAndConnectButtonsDoAnything) {
  ASSERT_NO_FATAL_FAILURE(OpenWindow("IC-R75"));
  frame_->resize(1600, 500);
  ASSERT_NO_FATAL_FAILURE(Connect());
  Trigger(ID_SCAN_MODE);
  ASSERT_TRUE(tuning().scanMode);
  QToolBar* bar = frame_->toolBar(0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->isVisible(); }));

  auto snapshot = [&] {
    QStringList state;
    for (int r = 0; r < grid().Rows(); ++r) {
      for (int c = 0; c < grid().Cols(); ++c) state << grid().TextMatrix(r, c);
    }
    for (int c = 0; c < grid().Cols(); ++c) state << QString::number(grid().ColWidth(c));
    state << QString::number(frame_->view().doc().IsModified())
          << QString::number(tuning().timingMode) << QString::number(tuning().autoMode)
          << QString::number(tuning().scheduleMode)
          << QString::number(frame_->view().frequencyDialog() != nullptr)
          << frame_->view().doc().m_listPath << frame_->view().editor().m_lineBuffer.join('|');
    return state;
  };
  int dialogs = 0;
  frame_->view().execDialog = [&](QDialog&) {
    ++dialogs;
    return int(QDialog::Rejected);
  };
  frame_->askOpenPath = [&](QWidget*) {
    ++dialogs;
    return QString();
  };
  const QStringList before = snapshot();
  int clicked = 0;
  for (QAction* item : bar->actions()) {
    const int id = item->data().toInt();
    if (item->isSeparator() || id == ID_SCAN_MODE || id == ID_CONNECT) continue;
    SCOPED_TRACE(item->toolTip().toStdString());
    QToolButton* button = ButtonOf(bar, id);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    item->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    ++clicked;
    EXPECT_TRUE(tuning().scanMode);
    EXPECT_TRUE(frame_->view().link().linkConnected);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(boxes_.isEmpty()) << boxes_.join('|').toStdString();
  }
  EXPECT_EQ(clicked, 23);

  // The Scan button itself gets through and ends the mode.
  QTest::mouseClick(ButtonOf(bar, ID_SCAN_MODE), Qt::LeftButton);
  EXPECT_FALSE(tuning().scanMode);
}

TEST_F(MainWindowTest, LinkStateMessageWritesTheLinkPane) {
  ASSERT_NO_FATAL_FAILURE(StartWindow());
  const struct {
    quint32 code;
    const char* text;
  } cases[] = {
      {768, "COMM ERROR"},
      {1024, "?"},
      {512, "RECEIVER ERROR"},
      {0x10000 + 256, "OK"},  // only the low 16 bits count
      {0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    QCoreApplication::postEvent(&frame_->view().link(), new LinkEvent(kLinkIndicatorEvent, c.code));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->PaneText(StatusPane::kLink) == c.text; }))
        << frame_->PaneText(StatusPane::kLink).toStdString();
  }
}

TEST_F(MainWindowTest, StatusPanesStartWithTheirTexts) {
  frame_ = std::make_unique<CMainFrame>();
  frame_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  // With no way to read the lock states here, the lock panes are empty rather than a guess.
  const QStringList expected{"Ready", QString(54, ' '), QString(42, ' '), "00:00 UTC     ", "", "",
                             ""};
  EXPECT_EQ(PaneTexts(*frame_), expected);
  // A fixed pane is as wide as its first text, so later texts do not move the others.
  for (QLabel* pane : frame_->statusBar()->findChildren<QLabel*>()) {
    if (pane->text().isEmpty() || pane->text() == "Ready") continue;
    EXPECT_GE(pane->width(), pane->fontMetrics().horizontalAdvance(pane->text()))
        << pane->text().toStdString();
  }
}

TEST(LockPanes, ShowTheNameOfEachLockThatIsOn) {
  WidgetApp();
  const struct {
    std::optional<LockPanes::States> states;
    QStringList shown;
  } cases[] = {
      {LockPanes::States{true, false, false}, {"CAP", "", ""}},
      {LockPanes::States{false, true, false}, {"", "NUM", ""}},
      {LockPanes::States{true, false, true}, {"CAP", "", "SCRL"}},
      {LockPanes::States{}, {"", "", ""}},
      {std::nullopt, {"", "", ""}},
  };
  for (const auto& c : cases) {
    QStatusBar bar;
    LockPanes panes(&bar, [&] { return c.states; });
    QStringList shown;
    for (QLabel* pane : bar.findChildren<QLabel*>()) shown << pane->text();
    EXPECT_EQ(shown, c.shown);
  }
  // Off an X server there is nothing to ask.
  EXPECT_FALSE(LockPanes::DesktopReader());
}

}  // namespace
