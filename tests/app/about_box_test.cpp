// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "app/about_dlg.h"
#include "app/help_menu.h"
#include "app/hyper_link.h"
#include "app/main_frame.h"
#include "common/command_ids.h"
#include "tests/app/shown_boxes.h"
#include "tests/widget_app.h"

namespace {

constexpr const char* kAddress = "file:///usr/share/doc/quilvar/Quilvar_readme.txt";

QStringList LabelTexts(const QWidget& widget) {
  QStringList texts;
  for (const QLabel* label : widget.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

TEST(AboutBox, ShowsMakerNameVersionYearNoticeAndLink) {
  WidgetApp();
  CAboutDlg box;
  box.show();
  EXPECT_EQ(box.windowTitle(), "About");
  const QStringList texts = LabelTexts(box);
  EXPECT_TRUE(texts.contains("Corvanel"));
  EXPECT_TRUE(texts.contains("Quilvar  3.05.1  -  2015"));
  EXPECT_EQ(box.okButton()->text(), "OK");

  const auto* icon = box.findChild<QLabel*>("icon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());

  const auto* notice = box.findChild<QLabel*>("notice");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->text().split('\n').size(), 4);
  // The terms are named, so anyone passing the program on knows them.
  EXPECT_TRUE(notice->text().contains("GNU General Public License, version 3 or"));
  EXPECT_EQ(notice->frameShape(), QFrame::Box);
  EXPECT_TRUE(notice->alignment() & Qt::AlignHCenter);

  CHyperLink* link = box.link();
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_GT(link->geometry().top(), notice->geometry().bottom());
  // The address is the English guide, wherever it was found.
  const QUrl address(link->text());
  EXPECT_TRUE(address.isLocalFile());
  EXPECT_EQ(QFileInfo(address.toLocalFile()).fileName(), "Quilvar_readme.txt");
}

TEST(AboutBox, ShiftOkShowsTheVersionDatesBeforeTheBoxCloses) {
  WidgetApp();
  const std::function<void(CAboutDlg&)> presses[] = {
      [](CAboutDlg& box) { QTest::mouseClick(box.okButton(), Qt::LeftButton, Qt::ShiftModifier); },
      [](CAboutDlg& box) { QTest::keyClick(box.okButton(), Qt::Key_Space, Qt::ShiftModifier); },
  };
  for (const auto& press : presses) {
    SCOPED_TRACE(&press == &presses[0] ? "click" : "space");
    CAboutDlg box;
    ShownBoxes shown(&box);
    box.show();
    press(box);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].title, "Info");
    EXPECT_EQ(shown.boxes[0].text,
              "EditGrid\t14.12.2010\n\nEditList\t17.11.2010a\n\nEditBox\t13.12.2010");
    EXPECT_EQ(shown.boxes[0].icon, QMessageBox::Information);
    EXPECT_TRUE(shown.boxes[0].windowOpen);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
  }
}

TEST(AboutBox, PlainOkJustCloses) {
  WidgetApp();
  CAboutDlg box;
  ShownBoxes shown(&box);
  box.show();
  QTest::mouseClick(box.okButton(), Qt::LeftButton);
  EXPECT_TRUE(shown.boxes.empty());
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(AboutBox, RunsForItsParentAndGivesTheFocusBack) {
  WidgetApp();
  QWidget window;
  auto* first = new QLineEdit(&window);
  auto* second = new QLineEdit(&window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(first);
  layout->addWidget(second);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  first->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), first);

  QWidget* parentSeen = nullptr;
  const AboutBoxRunner previous = SetAboutBoxRunner([&](CAboutDlg& box) {
    parentSeen = box.parentWidget();
    second->setFocus();
  });
  ShowAboutBox(&window);
  SetAboutBoxRunner(previous);
  EXPECT_EQ(parentSeen, &window);
  EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST(AboutBox, HelpAboutCommandShowsTheBoxOverTheMainWindow) {
  WidgetApp();
  CMainFrame frame;
  ASSERT_TRUE(frame.NewFile());
  QWidget* parentSeen = nullptr;
  const AboutBoxRunner previous =
      SetAboutBoxRunner([&](CAboutDlg& box) { parentSeen = box.parentWidget(); });
  ASSERT_NE(frame.action(ID_APP_ABOUT), nullptr);
  frame.action(ID_APP_ABOUT)->trigger();
  SetAboutBoxRunner(previous);
  EXPECT_EQ(parentSeen, &frame);
}

TEST(HyperLink, ALeftClickOpensTheAddressOrPutsItOnTheClipboard) {
  WidgetApp();
  QClipboard* clipboard = QGuiApplication::clipboard();
  struct Case {
    Qt::MouseButton button;
    bool opens;
    int openCalls;
    QString clipboardAfter;
  } cases[] = {
      {Qt::LeftButton, false, 1, kAddress},
      {Qt::LeftButton, true, 1, "before"},
      {Qt::RightButton, false, 0, "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.button << " opens " << c.opens);
    CHyperLink link(kAddress);
    link.show();
    QList<QUrl> asked;
    link.openUrl = [&](const QUrl& url) {
      asked << url;
      return c.opens;
    };
    clipboard->setText("before");
    QTest::mouseClick(&link, c.button);
    EXPECT_EQ(asked.size(), c.openCalls);
    if (!asked.isEmpty()) {
      EXPECT_EQ(asked[0], QUrl(kAddress));
    }
    EXPECT_EQ(clipboard->text(), c.clipboardAfter);
    EXPECT_FALSE(clipboard->mimeData()->hasHtml());
  }
}

}  // namespace
