// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "link/receiver_models.h"
#include "sim/pty_radio.h"
#include "tests/test_support.h"
#include "tests/widget_app.h"

namespace {

constexpr int kComPort = 11;

// A window with a five-station list and a CAT radio simulated behind COM11, which goes
// silent so that its polls wait out the full time-out.
class HeldInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    ASSERT_TRUE(dir_.isValid());
    SimRadioOptions options;
    options.modelIndex = ModelIndexByName("FT-817");
    radio_ = std::make_unique<PtyRadio>(options);
    ASSERT_TRUE(radio_->Start()) << radio_->error();
    SavePortDevice(kComPort, QString::fromStdString(radio_->slavePath()));
    previous_ = SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
      boxes_.push_back(text);
      return QMessageBox::No;
    });

    frame_ = std::make_unique<CMainFrame>();
    LinkSettings settings;
    settings.modelIndex = options.modelIndex;
    settings.comPort = kComPort;
    settings.baudRate = 9600;
    frame_->view().ApplySettings(settings, 1);
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Freq (kHz);Station;Mode;UTC\r\n");
    for (int i = 1; i <= 5; ++i) file.write(QByteArray::number(6000 + i) + ".000;s;AM;\r\n");
    file.close();
    ASSERT_TRUE(frame_->OpenFile(Path()));
    frame_->resize(900, 600);
    frame_->show();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    frame_->action(ID_CONNECT)->trigger();
    ASSERT_TRUE(link().linkConnected) << boxes_.join("|").toStdString();
    ASSERT_TRUE(radio_->Command("silent on"));
  }
  void TearDown() override {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (link().linkConnected) link().CloseLink();
    frame_.reset();
    SetMessageBoxFunction(previous_);
  }

  QString Path() const { return dir_.filePath("held.CSV"); }
  LinkControl& link() { return frame_->view().link(); }
  CEditGrid& grid() { return frame_->view().list().grid(); }
  QPoint CellCentre(int row, int col) {
    // Row 0 and column 0 are the headers, not cells of the model.
    return grid().visualRect(grid().model()->index(row - 1, col - 1)).center();
  }

  // Runs the input while a poll of the silent radio waits; notes what it had done by the
  // time the wait ended.
  void DuringAPoll(const std::function<void()>& input) {
    bool given = false;
    QTimer::singleShot(50, frame_.get(), [&] {
      ASSERT_TRUE(link().IsBusy());
      input();
      given = true;
    });
    EXPECT_EQ(link().ReadStatus(), TransactionResult::kTimedOut);
    ASSERT_TRUE(given);
    ASSERT_TRUE(radio_->Command("silent off"));
  }

  bool Settles(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
          QCoreApplication::processEvents();
          return condition();
        },
        std::chrono::milliseconds(5000));
  }

  QTemporaryDir dir_;
  std::unique_ptr<PtyRadio> radio_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList boxes_;
  MessageBoxFunction previous_;
};

TEST_F(HeldInputTest, ClicksKeysAndShortcutsDuringAWaitArriveInOrderAfterIt) {
  grid().SetRow(1);
  grid().SetCol(1);
  grid().SetTextMatrix(4, 2, "changed");
  frame_->view().doc().SetModifiedFlag(true);

  // Through the window, as the window system delivers input.
  QWindow* window = frame_->windowHandle();
  DuringAPoll([&] {
    QTest::mouseClick(window, Qt::LeftButton, {},
                      grid().viewport()->mapTo(frame_.get(), CellCentre(4, 2)));
    QTest::keyClick(window, Qt::Key_Right);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
  });
  // Nothing has run inside the wait.
  EXPECT_EQ(grid().Row(), 1);
  EXPECT_TRUE(frame_->view().doc().IsModified());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  ASSERT_TRUE(Settles([&] { return QApplication::activePopupWidget() != nullptr; }));
  EXPECT_EQ(grid().Row(), 4);
  EXPECT_EQ(grid().Col(), 3);
  EXPECT_FALSE(frame_->view().doc().IsModified());
  QFile saved(Path());
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("6004.000;changed;"));
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), "&File");
}

TEST_F(HeldInputTest, EscapeEndsTheWaitAndIsNotPassedOn) {
  grid().SetRow(2);
  grid().SetCol(2);
  QTest::keyClick(&grid(), Qt::Key_Return);  // an open edit box would close on Esc
  ASSERT_TRUE(grid().isEditing());
  QTimer::singleShot(50, frame_.get(),
                     [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
  EXPECT_EQ(link().ReadStatus(), TransactionResult::kInterrupted);
  EXPECT_TRUE(boxes_.contains("Interrupted by user."));
  ASSERT_TRUE(radio_->Command("silent off"));
  Settles([&] { return link().idle().empty(); });
  EXPECT_TRUE(grid().isEditing());
}

TEST_F(HeldInputTest, ACloseRequestDuringAWaitClosesTheWindowAfterIt) {
  DuringAPoll([&] { frame_->windowHandle()->close(); });
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_TRUE(Settles([&] { return !frame_->isVisible(); }));
}

}  // namespace
