// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/help_menu.h"
#include "app/main_frame.h"
#include "common/command_ids.h"
#include "tests/app/shown_boxes.h"
#include "tests/widget_app.h"

namespace {

// Every shown window titled with a guide's name.
std::vector<QWidget*> GuideWindows(const QString& title) {
  std::vector<QWidget*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->windowTitle() == title) windows.push_back(widget);
  return windows;
}

// Runs Help's commands in a folder of its own holding the guides, with the desktop's opener
// replaced by one that answers as told and records what it was asked.
class HelpGuides : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(here_.isValid());
    before_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here_.path()));
    previous_ = SetGuideOpener([this](const QUrl& file) {
      asked << file;
      return opens;
    });
    ASSERT_TRUE(frame.NewFile());
  }
  void TearDown() override {
    SetGuideOpener(previous_);
    QDir::setCurrent(before_);
  }

  void Put(const char* name, const QByteArray& bytes) {
    QFile file(here_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QString PathOf(const char* name) const { return here_.filePath(name); }

  QApplication& app_ = WidgetApp();
  CMainFrame frame;
  bool opens = false;
  QList<QUrl> asked;

 private:
  QTemporaryDir here_;
  QString before_;
  GuideOpener previous_;
};

TEST_F(HelpGuides, WithoutADesktopOpenerTheGuideShowsReadOnlyInTheProgramsOwnWindow) {
  struct Case {
    int command;
    const char* file;
    QByteArray bytes;
    QString shown;
  } cases[] = {
      {ID_README, kReadmeFile, "QUILVAR\r\n=======\r\n\r\nThe list.\r\n",
       "QUILVAR\n=======\n\nThe list.\n"},
      {ID_LEGGIMI, kLeggimiFile, "L'elenco \xC3\xA8 qui.\nFreq\xE2\x80\xA6\n",
       QString::fromUtf8("L'elenco è qui.\nFreq…\n")},
      // A guide saved in Latin-1 by an older editor.
      {ID_LEGGIMI, kLeggimiFile, "Perch\xE8 no\n", QString::fromUtf8("Perchè no\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Put(c.file, c.bytes);
    asked.clear();
    ShownBoxes boxes;
    frame.action(c.command)->trigger();

    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QUrl::fromLocalFile(PathOf(c.file)));
    EXPECT_TRUE(boxes.boxes.empty());
    const std::vector<QWidget*> windows = GuideWindows(c.file);
    ASSERT_EQ(windows.size(), 1u);
    QWidget* window = windows[0];
    EXPECT_EQ(window->window(), window);
    const auto* text = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(), c.shown);
    // The guides' tables line up only when every character is as wide as the next (some
    // monospaced fonts do not say they are fixed-pitch, so the widths are compared).
    const QFontMetrics metrics(text->font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    EXPECT_EQ(metrics.horizontalAdvance('.'), metrics.horizontalAdvance('M'));

    // Esc closes it, and Help brings it back, still one.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(GuideWindows(c.file).empty());
    frame.action(c.command)->trigger();
    frame.action(c.command)->trigger();
    EXPECT_EQ(GuideWindows(c.file), windows);
    const auto* buttons = window->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_TRUE(GuideWindows(c.file).empty());
  }
}

TEST_F(HelpGuides, EachGuideHasItsOwnWindowThatGoesWithTheMainWindow) {
  Put(kReadmeFile, "guide\n");
  Put(kLeggimiFile, "guida\n");
  frame.action(ID_README)->trigger();
  frame.action(ID_LEGGIMI)->trigger();
  ASSERT_EQ(GuideWindows(kReadmeFile).size(), 1u);
  ASSERT_EQ(GuideWindows(kLeggimiFile).size(), 1u);
  // Owned by the main window, so closing that ends the program.
  EXPECT_EQ(GuideWindows(kReadmeFile)[0]->parentWidget(), &frame);
  EXPECT_EQ(GuideWindows(kLeggimiFile)[0]->parentWidget(), &frame);
}

TEST_F(HelpGuides, ADesktopThatOpensTheGuideOrAGuideThatIsNowhereShowsNoWindow) {
  ShownBoxes boxes;
  // Nowhere: neither the opener nor a window, and no message.
  frame.action(ID_README)->trigger();
  EXPECT_TRUE(asked.isEmpty());
  EXPECT_TRUE(GuideWindows(kReadmeFile).empty());

  Put(kReadmeFile, "guide\n");
  opens = true;
  frame.action(ID_README)->trigger();
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0], QUrl::fromLocalFile(PathOf(kReadmeFile)));
  EXPECT_TRUE(GuideWindows(kReadmeFile).empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
