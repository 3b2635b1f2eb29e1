// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/cicom_app.h"
#include "app/cicom_view.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "list/columns.h"
#include "tests/widget_app.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Answers every box with a fixed button and keeps what was asked.
class Answers {
 public:
  Answers() {
    previous_ = SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
      asked.push_back(text);
      return answer;
    });
  }
  ~Answers() { SetMessageBoxFunction(previous_); }

  QMessageBox::StandardButton answer = QMessageBox::Cancel;
  QStringList asked;

 private:
  MessageBoxFunction previous_;
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    SaveRecentFileList({});
    ASSERT_TRUE(dir_.isValid());
    frame_ = std::make_unique<CMainFrame>();
    frame_->askSavePath = [this](QWidget*, const QString&) { return savePath_; };
    ASSERT_TRUE(frame_->NewFile());
  }

  QString Path(const char* name) const { return dir_.filePath(name); }
  CIcomDoc& doc() { return frame_->view().doc(); }
  CEditGrid& grid() { return frame_->view().list().grid(); }
  void Modify() { grid().WriteRowCells(1, {"", "7100", "changed"}); }

  // Keys reach the window as the user's would: it must be shown and active.
  void ShowAndActivate() {
    frame_->show();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  }
  // Keys go to the widget with the keyboard focus.
  void Press(Qt::Key key) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key);
  }
  void Type(const QString& text) {
    for (QChar ch : text) {
      ASSERT_NE(QApplication::focusWidget(), nullptr);
      QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }
  }

  QTemporaryDir dir_;
  Answers answers_;
  QString savePath_;
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(MainFrameTest, TitleFollowsTheList) {
  EXPECT_EQ(frame_->windowTitle(), "Untitled - Corvanel Quilvar III");
  WriteBytes(Path("stations.CSV"), "h\r\n7100;a;AM;\r\n");
  ASSERT_TRUE(frame_->OpenFile(Path("stations.CSV")));
  EXPECT_EQ(frame_->windowTitle(), "stations.CSV - Corvanel Quilvar III");
}

TEST_F(MainFrameTest, SavePromptGuardsNewOpenAndExit) {
  Modify();
  WriteBytes(Path("other.CSV"), "h\r\n9500;b;AM;\r\n");

  answers_.answer = QMessageBox::Cancel;
  EXPECT_FALSE(frame_->NewFile());
  EXPECT_FALSE(frame_->OpenFile(Path("other.CSV")));
  EXPECT_FALSE(frame_->close());
  EXPECT_EQ(answers_.asked.value(0), "Save changes to Untitled?");
  EXPECT_EQ(answers_.asked.size(), 3);
  EXPECT_EQ(grid().TextMatrix(1, 2), "changed");

  // Yes on a list without a name asks for one and saves there before going on.
  answers_.answer = QMessageBox::Yes;
  savePath_ = Path("saved.CSV");
  ASSERT_TRUE(frame_->OpenFile(Path("other.CSV")));
  EXPECT_TRUE(QFile::exists(Path("saved.CSV")));
  EXPECT_EQ(grid().TextMatrix(1, 1), "9500.000");

  // No discards.
  Modify();
  answers_.answer = QMessageBox::No;
  EXPECT_TRUE(frame_->NewFile());
  EXPECT_EQ(grid().TextMatrix(1, 2), "");
}

TEST_F(MainFrameTest, RecentFilesKeepTheLastFourNewestFirst) {
  const char* names[] = {"a.CSV", "b.CSV", "c.CSV", "d.CSV", "e.CSV"};
  for (const char* name : names) {
    WriteBytes(Path(name), "h\r\n7100;a;AM;\r\n");
    ASSERT_TRUE(frame_->OpenFile(Path(name)));
  }
  ASSERT_TRUE(frame_->OpenFile(Path("c.CSV")));
  const QStringList expected{Path("c.CSV"), Path("e.CSV"), Path("d.CSV"), Path("b.CSV")};
  EXPECT_EQ(frame_->recentFiles(), expected);
  EXPECT_EQ(OpenSettingsStore()->value("Recent File List/File1").toString(), Path("c.CSV"));
  // A new window reads them back, and the first entry opens its file.
  CMainFrame again;
  EXPECT_EQ(again.recentFiles(), expected);
  ASSERT_NE(again.action(ID_FILE_MRU_FILE1 + 1), nullptr);
  again.action(ID_FILE_MRU_FILE1 + 1)->trigger();
  EXPECT_EQ(again.view().doc().m_listPath, Path("e.CSV"));
}

TEST_F(MainFrameTest, DroppedFileIsOpenedAsAList) {
  WriteBytes(Path("dropped.CSV"), "h\r\n6000;cuba;AM;\r\n");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("dropped.CSV"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &drop);
  EXPECT_EQ(doc().m_listPath, Path("dropped.CSV"));
  EXPECT_EQ(grid().TextMatrix(1, 2), "cuba");
}

TEST_F(MainFrameTest, AFileThatIsPlainlyNoListIsOpenedOnlyWhenTheUserSaysSo) {
  WriteBytes(Path("sheet.csv"), "kHz,Station,Mode\r\n7100,a,AM\r\n");
  WriteBytes(Path("list.CSV"), "h;x\r\n6000;cuba;AM;\r\n");
  const QString question = QString(
                               "%1 does not look like a station list (no ';' between its "
                               "fields). Open it anyway?")
                               .arg(QDir::toNativeSeparators(Path("sheet.csv")));
  frame_->askOpenPath = [this](QWidget*) { return Path("sheet.csv"); };
  const auto fromDialog = [this] { frame_->action(ID_FILE_OPEN)->trigger(); };
  const auto dropped = [this] {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("sheet.csv"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame_.get(), &drop);
  };
  const auto fromRecentList = [this] {
    const int at = int(frame_->recentFiles().indexOf(Path("sheet.csv")));
    ASSERT_GE(at, 0);
    frame_->action(ID_FILE_MRU_FILE1 + at)->trigger();
  };

  // Yes opens it as a list, which the recent files then offer.
  answers_.answer = QMessageBox::Yes;
  fromDialog();
  EXPECT_EQ(answers_.asked, QStringList{question});
  EXPECT_EQ(doc().m_listPath, Path("sheet.csv"));
  EXPECT_EQ(grid().TextMatrix(1, 1), "7100.000");

  // No, on every way of opening it, leaves the list on screen as it was.
  answers_.answer = QMessageBox::No;
  const struct {
    const char* name;
    std::function<void()> open;
  } routes[] = {{"dialog", fromDialog}, {"drop", dropped}, {"recent files", fromRecentList}};
  for (const auto& [name, open] : routes) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(frame_->OpenFile(Path("list.CSV")));
    answers_.asked.clear();
    open();
    EXPECT_EQ(answers_.asked, QStringList{question});
    EXPECT_EQ(doc().m_listPath, Path("list.CSV"));
    EXPECT_EQ(grid().TextMatrix(1, 2), "cuba");
    EXPECT_TRUE(frame_->recentFiles().contains(Path("sheet.csv")));
  }

  // Named on the command line: No starts with a new list instead.
  for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
    answers_.answer = answer;
    answers_.asked.clear();
    std::unique_ptr<CMainFrame> first = OpenFirstWindow(Path("sheet.csv"), LoadLinkSettings());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(answers_.asked, QStringList{question});
    EXPECT_EQ(first->view().doc().m_listPath,
              answer == QMessageBox::Yes ? Path("sheet.csv") : QString());
  }
}

// A list is only read from the dropped file; a source told the file was moved may delete it.
TEST_F(MainFrameTest, DropProposingAMoveIsTakenAsACopy) {
  WriteBytes(Path("kept.CSV"), "h\r\n6000;cuba;AM;\r\n");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("kept.CSV"))});
  const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction;
  // Shift asks for a move.
  QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  ASSERT_EQ(enter.proposedAction(), Qt::MoveAction);
  QCoreApplication::sendEvent(frame_.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDragMoveEvent move(QPoint(20, 20), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  move.setAccepted(true);
  QCoreApplication::sendEvent(frame_.get(), &move);
  EXPECT_TRUE(move.isAccepted());
  EXPECT_EQ(move.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(20, 20), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
  QCoreApplication::sendEvent(frame_.get(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  EXPECT_EQ(doc().m_listPath, Path("kept.CSV"));

  // A source that offers nothing but a move keeps its file: the drop is refused.
  QDragEnterEvent moveOnly(QPoint(10, 10), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &moveOnly);
  EXPECT_FALSE(moveOnly.isAccepted());
}

TEST_F(MainFrameTest, SaveShortcutSavesTheNamedList) {
  WriteBytes(Path("s.CSV"), "h\r\n7100;a;AM;\r\n");
  ASSERT_TRUE(frame_->OpenFile(Path("s.CSV")));
  Modify();
  ShowAndActivate();
  QTest::keyClick(frame_.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(doc().IsModified());
  QFile file(Path("s.CSV"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("7100.000;changed;"));
}

TEST_F(MainFrameTest, TextStillInTheEditorCountsBeforeTheSavePrompt) {
  grid().SetRow(1);
  grid().SetCol(2);
  grid().BeginEdit('X');
  ASSERT_TRUE(grid().isEditing());
  answers_.answer = QMessageBox::Cancel;
  EXPECT_FALSE(frame_->NewFile());
  EXPECT_EQ(answers_.asked, QStringList{"Save changes to Untitled?"});
  EXPECT_EQ(grid().TextMatrix(1, 2), "X");
}

TEST_F(MainFrameTest, TypedFrequencyIsNormalisedByTheViewWhenTheEditEnds) {
  ShowAndActivate();
  struct Case {
    int col;
    QString before, typed, after;
  } cases[] = {
      {kColFrequency, "", "abc", "10.000"},
      {kColFrequency, "", "12345678", "9000000.000"},
      {kColFrequency, "", "7100.1234", "7100.123"},
      // What is typed goes in front of the cell's text.
      {kColFrequency, "7100.000", "1", "17100.000"},
      {kColStation, "", "7100.1234", "7100.1234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    grid().SetTextMatrix(1, c.col, c.before);
    grid().SetRow(1);
    grid().SetCol(c.col);
    doc().SetModifiedFlag(false);
    grid().setFocus();
    Type(c.typed);
    ASSERT_TRUE(grid().isEditing());
    Press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid().isEditing(); }));
    EXPECT_EQ(grid().TextMatrix(1, c.col), c.after);
    EXPECT_TRUE(doc().IsModified());
  }
  // Emptied, a frequency cell stays empty rather than becoming 10.000.
  grid().SetCol(kColFrequency);
  Press(Qt::Key_Return);
  ASSERT_TRUE(grid().isEditing());
  Press(Qt::Key_Delete);
  Press(Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !grid().isEditing(); }));
  EXPECT_EQ(grid().TextMatrix(1, kColFrequency), "");
}

}  // namespace
