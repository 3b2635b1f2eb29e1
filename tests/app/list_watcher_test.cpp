// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/list_watcher.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "tests/app/edit_window.h"
#include "tests/list/file_bytes.h"
#include "tuning/colours.h"

// The open list's file changed by other programs, run as real processes, and seen through the
// real file system watch.
class ListWatcherTest : public EditWindowTest {
 protected:
  static constexpr int kDeadlineMs = 5000;
  // Long enough for a change to have been taken up, were it going to be.
  static constexpr int kQuietMs = 400;
  static constexpr const char* kPrompt =
      "The list ten.CSV was changed on disk. Reload it and lose your changes?";

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(EditWindowTest::SetUp());
    ASSERT_TRUE(staging_.isValid());
    answer_ = QMessageBox::No;
  }

  CIcomView& view() { return frame_->view(); }

  // A list of count stations "stem 1" .. at 1000 kHz steps, prepared outside the list's
  // folder; the shell puts it in place as an editor (through a new file renamed over the
  // list) or a script (truncating and writing the same file) would.
  QString Staged(const QString& stem, int count) {
    QByteArray bytes = "Freq (kHz);Station;Mode;UTC\r\n";
    for (int i = 1; i <= count; ++i) {
      bytes += QString("%1.000;%2 %3;AM;0000-2400\r\n").arg(1000 * i).arg(stem).arg(i).toUtf8();
    }
    const QString path = staging_.filePath(QString("list%1").arg(++staged_));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  void RenameOver(const QString& stem, int count) {
    Shell(QString("cp '%1' ten.CSV.tmp && mv ten.CSV.tmp ten.CSV").arg(Staged(stem, count)));
  }
  void RewriteInPlace(const QString& stem, int count) {
    Shell(QString("cat '%1' > ten.CSV").arg(Staged(stem, count)));
  }
  void Shell(const QString& script) {
    QProcess shell;
    shell.setWorkingDirectory(dir_.path());
    shell.start("/bin/sh", {"-c", script});
    ASSERT_TRUE(shell.waitForFinished(kDeadlineMs));
    ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
  }
  bool ShowsStation(int row, const QString& station) {
    return row < grid().Rows() && grid().TextMatrix(row, kColStation) == station;
  }
  bool WaitForStation(int row, const QString& station) {
    return QTest::qWaitFor([&] { return ShowsStation(row, station); }, kDeadlineMs);
  }

  QTemporaryDir staging_;
  int staged_ = 0;
};

TEST_F(ListWatcherTest, UnmodifiedListIsReloadedKeepingTheCellAndTheScrollPosition) {
  frame_->resize(500, 260);
  QCoreApplication::processEvents();
  Select(6, 2, 6, 2);
  grid().SetTopRow(3);
  ASSERT_EQ(grid().TopRow(), 3) << "the window shows every row: nothing to scroll";

  RenameOver("renamed", 12);
  ASSERT_TRUE(WaitForStation(1, "renamed 1"));
  EXPECT_EQ(grid().Rows(), 13);
  EXPECT_EQ(Selected(), (Selection{6, 2, 6, 2}));
  EXPECT_EQ(grid().TopRow(), 3);
  EXPECT_FALSE(doc().IsModified());
  EXPECT_EQ(frame_->windowTitle(), "ten.CSV - Corvanel Quilvar III");
  EXPECT_TRUE(asked_.empty());

  // The rename replaced the file that was watched; the next change is seen all the same.
  Shell("sed -i 's/renamed 6;/sed 6;/' ten.CSV");
  ASSERT_TRUE(WaitForStation(6, "sed 6"));
  EXPECT_EQ(grid().Row(), 6);

  // Rewritten in place and shorter: the current row is gone, the last row takes its place.
  Select(11, 3, 11, 3);
  RewriteInPlace("rewritten", 4);
  ASSERT_TRUE(WaitForStation(1, "rewritten 1"));
  EXPECT_EQ(grid().Rows(), 5);
  EXPECT_EQ(Selected(), (Selection{4, 3, 4, 3}));
  EXPECT_TRUE(asked_.empty());
}

TEST_F(ListWatcherTest, ModifiedListAsksOnceForEachChange) {
  grid().SetTextMatrix(2, kColStation, "mine");
  doc().SetModifiedFlag(true);

  RenameOver("first", 10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !asked_.empty(); }, kDeadlineMs));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].title, "Quilvar");
  EXPECT_EQ(asked_[0].text, kPrompt);
  EXPECT_EQ(asked_[0].buttons, QMessageBox::Yes | QMessageBox::No);
  // No: the list and its changes stay, and the same change is not asked about again.
  QTest::qWait(kQuietMs);
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(grid().TextMatrix(2, kColStation), "mine");
  EXPECT_TRUE(doc().IsModified());

  // Text still in the editor is the user's too, and is kept by No as well.
  grid().SetRow(3);
  grid().SetCol(kColStation);
  grid().BeginEdit('Y');
  ASSERT_TRUE(grid().isEditing());
  RewriteInPlace("second change", 10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked_.size() == 2; }, kDeadlineMs));
  EXPECT_EQ(asked_[1].text, kPrompt);
  EXPECT_FALSE(grid().isEditing());
  EXPECT_TRUE(grid().TextMatrix(3, kColStation).startsWith("Y"));

  // Yes: the file's list replaces the edited one.
  answer_ = QMessageBox::Yes;
  RenameOver("third", 10);
  ASSERT_TRUE(WaitForStation(1, "third 1"));
  EXPECT_EQ(asked_.size(), 3u);
  EXPECT_FALSE(doc().IsModified());
  EXPECT_EQ(grid().TextMatrix(2, kColStation), "third 2");
}

TEST_F(ListWatcherTest, OwnSavesAreNotChangesOnDisk) {
  QSignalSpy reads(&doc(), &CIcomDoc::fileSynced);
  Select(5, 2, 5, 2);
  grid().SetTextMatrix(5, kColStation, "saved");
  doc().SetModifiedFlag(true);
  ASSERT_TRUE(frame_->Save());
  view().list().SaveColumnWidths();
  ASSERT_TRUE(QFile::exists(dir_.filePath("ten.CSV1")));
  const QString other = dir_.filePath("other.CSV");
  frame_->askSavePath = [&](QWidget*, const QString&) { return other; };
  ASSERT_TRUE(frame_->SaveAs());
  view().list().SaveColumnWidths();
  ASSERT_EQ(reads.size(), 2);  // the two saves

  QTest::qWait(kQuietMs);
  EXPECT_EQ(reads.size(), 2) << "the list was read again";
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(Selected(), (Selection{5, 2, 5, 2}));

  // The watch went with Save As: the list's old file is no longer its file, the new one is.
  RenameOver("old file", 10);
  QTest::qWait(kQuietMs);
  EXPECT_EQ(reads.size(), 2);
  Shell("sed -i 's/;saved;/;theirs;/' other.CSV");
  ASSERT_TRUE(WaitForStation(5, "theirs"));
  EXPECT_EQ(view().listWatcher().watchedPath(), other);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(ListWatcherTest, TimingGoesOnOverTheListReadAgain) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  Trigger(ID_TIMING);
  ASSERT_TRUE(tuning().timingMode);
  RenameOver("under timing", 4);
  ASSERT_TRUE(WaitForStation(1, "under timing 1"));
  EXPECT_EQ(grid().Rows(), 5);
  EXPECT_TRUE(tuning().timingMode);
  // Coloured anew at once, not at the next tick of the clock.
  grid().SetRow(4);
  grid().SetCol(0);
  EXPECT_EQ(grid().CellBackColor(), ActiveColour);
  EXPECT_FALSE(view().listWatcher().waitingForModes());
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(doc().IsModified());
}

TEST_F(ListWatcherTest, ModesThatTuneHoldTheReloadUntilTheyEnd) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  answer_ = QMessageBox::Yes;
  struct Case {
    int command;
    bool TuningControl::*mode;
  } cases[] = {{ID_SCAN_MODE, &TuningControl::scanMode},
               {ID_SCHEDULE_MODE, &TuningControl::scheduleMode},
               {ID_AUTO_MODE, &TuningControl::autoMode}};
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const QString stem = QString("during mode %1 change").arg(++n);
    Trigger(c.command);
    ASSERT_TRUE(tuning().*c.mode);
    RenameOver(stem + " a", 10 + n);
    RewriteInPlace(stem + " b", 10 + n);
    QTest::qWait(kQuietMs);
    EXPECT_FALSE(ShowsStation(1, stem + " b 1"));
    EXPECT_TRUE(view().listWatcher().waitingForModes());
    const size_t askedBefore = asked_.size();

    Trigger(c.command);
    ASSERT_FALSE(tuning().*c.mode);
    // Once, with the file as it is at the end; a list the mode's tuning marked is asked about.
    ASSERT_TRUE(WaitForStation(1, stem + " b 1"));
    EXPECT_EQ(grid().Rows(), 11 + n);
    EXPECT_LE(asked_.size(), askedBefore + 1);
    for (size_t i = askedBefore; i < asked_.size(); ++i) EXPECT_EQ(asked_[i].text, kPrompt);
    QTest::qWait(kQuietMs);
    EXPECT_LE(asked_.size(), askedBefore + 1);
    EXPECT_FALSE(doc().IsModified());
  }
}

TEST_F(ListWatcherTest, DeletedFileIsWaitedForUntilItIsBack) {
  QSignalSpy reads(&doc(), &CIcomDoc::fileSynced);
  Shell("rm ten.CSV");
  QTest::qWait(kQuietMs);
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(reads.size(), 0);
  EXPECT_EQ(grid().Rows(), kLines + 1);
  EXPECT_FALSE(doc().IsModified());

  RewriteInPlace("back", 3);
  ASSERT_TRUE(WaitForStation(1, "back 1"));
  EXPECT_EQ(grid().Rows(), 4);
  EXPECT_TRUE(asked_.empty());
}

TEST_F(ListWatcherTest, AChangeWhileTheListIsBeingReadIsSeenAfterTheRead) {
  // Another program rewrites the file once more while the list is read from it, after the
  // read began: the list shows the file's first state, and then must catch up with this one.
  QString rewriteDuringRead;
  doc().readList = [&](const QString& path, ListFileCells* out, QString* error) {
    const bool read = ReadListCells(path, out, error);
    if (!rewriteDuringRead.isEmpty()) {
      QFile file(path);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(ReadBytes(rewriteDuringRead));
      rewriteDuringRead.clear();
    }
    return read;
  };

  // Opened.
  rewriteDuringRead = Staged("during open", 3);
  ASSERT_TRUE(frame_->OpenFile(dir_.filePath("ten.CSV")));
  ASSERT_TRUE(WaitForStation(1, "during open 1"));
  EXPECT_EQ(grid().Rows(), 4);

  // Read again after a change on disk.
  rewriteDuringRead = Staged("during reload", 5);
  RewriteInPlace("reloaded", 4);
  ASSERT_TRUE(WaitForStation(1, "during reload 1"));
  EXPECT_EQ(grid().Rows(), 6);
  EXPECT_TRUE(rewriteDuringRead.isEmpty());
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(doc().IsModified());
}
