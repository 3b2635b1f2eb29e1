// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "common/texts.h"
#include "list/schedule_import.h"
#include "tests/list/print_qt.h"
#include "tests/widget_app.h"

namespace {

const QString kSchedulePath = QStringLiteral(QUILVAR_TEST_DATA "/eibi-sked-a25.csv");

class ImportScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    SaveRecentFileList({});
    ASSERT_TRUE(dir_.isValid());
    previous_ = SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
      asked_.push_back(text);
      return answer_;
    });
    frame_ = std::make_unique<CMainFrame>();
    frame_->askImportPath = [this](QWidget*) {
      ++dialogs_;
      return importPath_;
    };
    ASSERT_TRUE(frame_->NewFile());
    // A list of the user's, changed and not saved.
    grid().WriteRowCells(1, {"", "7100", "mine"});
    ASSERT_TRUE(frame_->view().doc().IsModified());
  }
  void TearDown() override {
    frame_.reset();
    SetMessageBoxFunction(previous_);
  }

  CEditGrid& grid() { return frame_->view().list().grid(); }
  void Choose() { frame_->action(ID_FILE_IMPORT_SCHEDULE)->trigger(); }

  QTemporaryDir dir_;
  std::unique_ptr<CMainFrame> frame_;
  QString importPath_ = kSchedulePath;
  int dialogs_ = 0;
  QMessageBox::StandardButton answer_ = QMessageBox::Cancel;
  QStringList asked_;
  MessageBoxFunction previous_;
};

TEST_F(ImportScheduleTest, TheFileMenuOffersItAfterOpen) {
  QMenu* file = frame_->menuBar()->actions().value(0)->menu();
  ASSERT_NE(file, nullptr);
  QStringList items;
  for (QAction* item : file->actions()) items << item->text();
  EXPECT_EQ(items.mid(0, 4), (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Import Schedule...",
                                          "&Save\tCtrl+S"}));
}

TEST_F(ImportScheduleTest, AModifiedListIsOfferedForSavingFirst) {
  // A cancelled file choice asks nothing and changes nothing.
  importPath_.clear();
  Choose();
  EXPECT_EQ(dialogs_, 1);
  EXPECT_TRUE(asked_.isEmpty());

  // Cancel keeps the list.
  importPath_ = kSchedulePath;
  Choose();
  EXPECT_EQ(asked_, QStringList{"Save changes to Untitled?"});
  EXPECT_EQ(grid().TextMatrix(1, 2), "mine");

  // No discards it for the schedule: a new untitled list, modified, its counts reported.
  answer_ = QMessageBox::No;
  Choose();
  EXPECT_EQ(asked_.size(), 2);
  EXPECT_EQ(grid().Rows(), 9751);
  EXPECT_EQ(grid().TextMatrix(1, 2), "VTX1 Indian Navy");
  EXPECT_EQ(frame_->windowTitle(), "Untitled - Corvanel Quilvar III");
  EXPECT_EQ(frame_->PaneText(StatusPane::kMessage), "Imported 9,750 entries, skipped 0 lines.");
  EXPECT_TRUE(frame_->recentFiles().isEmpty());

  // Closing now asks to save it.
  answer_ = QMessageBox::Cancel;
  EXPECT_FALSE(frame_->close());
  EXPECT_EQ(asked_.value(2), "Save changes to Untitled?");
}

TEST_F(ImportScheduleTest, AFileOfAnotherFormatIsRefusedWithAMessage) {
  importPath_ = dir_.filePath("stations.CSV");
  QFile file(importPath_);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Freq (kHz);Station;Mode;UTC\r\n7100.000;a;AM;0000-2400\r\n");
  file.close();
  answer_ = QMessageBox::No;
  Choose();
  EXPECT_EQ(asked_, (QStringList{"Save changes to Untitled?",
                                 QString(texts::kNotAScheduleText).arg(importPath_)}));
  EXPECT_EQ(grid().TextMatrix(1, 2), "mine");
  EXPECT_TRUE(frame_->view().doc().IsModified());
}

}  // namespace
