// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/cicom_doc.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <optional>

#include "common/texts.h"
#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/list_control.h"
#include "tests/list/failing_save_calls.h"
#include "tests/list/file_bytes.h"
#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"
#include "tests/widget_app.h"

namespace {

// A list in normal form: saving it unchanged gives back these very bytes.
const QByteArray kList =
    "Freq (kHz);Station;Mode;UTC;Extra\r\n"
    "7100.000;a;AM;0000-2400;x\r\n"
    "9500.000;b;USB;;y\r\n";

std::optional<Qt::CursorShape> OverrideCursor() {
  const QCursor* cursor = QApplication::overrideCursor();
  if (cursor == nullptr) return std::nullopt;
  return cursor->shape();
}

class CIcomDocTest : public ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    ASSERT_TRUE(OpenBytes("a.CSV", kList));
  }

  // Every cell, captions included.
  QList<QStringList> Cells() {
    QList<QStringList> rows;
    for (int r = 0; r < grid().Rows(); ++r) rows.push_back(grid().ReadRowCells(r));
    return rows;
  }
};

TEST_F(CIcomDocTest, AFailedReadLeavesTheListItsFileAndItsFlagAsTheyWere) {
  // The other file has other columns and more lines: nothing of it may show, even when the
  // reader failed after cutting it into cells.
  WriteBytes(Path("b.CSV"), "F;S;M;U;One;Two;Three\r\n6000;c;AM;;1;2;3\r\n6010;d;AM;;\r\n");
  const QString readError = QString(texts::kFileReadErrorText).arg(Path("b.CSV"));
  const struct {
    bool modified;
    QString secondError;
    QString shown;
  } cases[] = {
      {false, readError, readError},
      {true, QString(), "Failed to open document."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown.toStdString());
    ASSERT_TRUE(doc().OpenDocument(Path("a.CSV")));
    if (c.modified) grid().WriteRowCells(2, {"", "9500", "changed", "USB", "", "y"});
    ASSERT_EQ(doc().IsModified(), c.modified);
    const QList<QStringList> cells = Cells();
    view_.messages.clear();
    int reads = 0;
    doc().readList = [&](const QString& path, ListFileCells* out, QString* error) {
      ++reads;
      EXPECT_TRUE(ReadListCells(path, out, error));
      *error = c.secondError;
      return false;
    };

    EXPECT_FALSE(doc().OpenDocument(Path("b.CSV")));
    doc().readList = ReadListCells;
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(view_.messages, QStringList{c.shown});
    EXPECT_EQ(view_.messagesUnderWaitCursor, 0);
    EXPECT_EQ(Cells(), cells);
    EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
    EXPECT_EQ(doc().title(), "a.CSV");
    EXPECT_EQ(doc().IsModified(), c.modified);

    // Save writes the list on screen back where it came from.
    ASSERT_TRUE(doc().SaveDocument(doc().m_listPath));
    QByteArray expected = kList;
    if (c.modified) expected.replace(";b;", ";changed;");
    EXPECT_EQ(ReadBytes(Path("a.CSV")), expected);
  }
}

TEST_F(CIcomDocTest, MemoryRunningOutWhileReadingLeavesTheListAsItWas) {
  grid().WriteRowCells(2, {"", "9500", "changed", "USB", "", "y"});
  const QList<QStringList> cells = Cells();
  // 50,000 lines need some 2 MB of cells, and 1 MB is all there is.
  QByteArray bytes = "Freq (kHz);Station;Mode;UTC\r\n";
  for (int i = 0; i < 50000; ++i) bytes += "7100;a\n";
  WriteBytes(Path("b.CSV"), bytes);
  view_.messages.clear();
  {
    ScopedBlockLimit limit(size_t(1) << 20);
    EXPECT_FALSE(doc().OpenDocument(Path("b.CSV")));
  }
  EXPECT_EQ(view_.messages, QStringList{ListFileMessage(texts::kFileNoMemoryText, Path("b.CSV"))});
  EXPECT_EQ(view_.messagesUnderWaitCursor, 0);
  EXPECT_EQ(Cells(), cells);
  EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
  EXPECT_TRUE(doc().IsModified());
  // With the memory there, the same file opens.
  ASSERT_TRUE(doc().OpenDocument(Path("b.CSV")));
  EXPECT_EQ(grid().Rows(), 50001);
}

TEST_F(CIcomDocTest, AFirstLineWithCommasButNoSemicolonAsksBeforeOpening) {
  const QString question = ListFileMessage(
      "%1 does not look like a station list (no ';' between its fields). "
      "Open it anyway?",
      Path("b.CSV"));
  const struct {
    const char* name;
    QByteArray bytes;
    bool asked;
  } cases[] = {
      {"a spreadsheet's export", "kHz,Station,Mode\r\n7100,a,AM\r\n", true},
      {"with its byte-order mark", "\xEF\xBB\xBFkHz,Station\r\n7100,a\r\n", true},
      {"one comma alone", ",\r\n", true},
      {"a list whose captions hold commas", "Freq (kHz);Station, city;Mode\r\n7100;a;AM\r\n",
       false},
      {"a list with commas below its header", "Freq;Station\r\n7100,5;a,b\r\n", false},
      {"one column", "Freq (kHz)\r\n7100\r\n", false},
      {"an empty file", "", false},
      {"a blank first line", "\r\n7100,a\r\n", false},
  };
  for (bool yes : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (yes ? ", Yes" : ", No"));
      ASSERT_TRUE(doc().OpenDocument(Path("a.CSV")));
      grid().WriteRowCells(2, {"", "9500", "changed", "USB", "", "y"});
      const QList<QStringList> cells = Cells();
      WriteBytes(Path("b.CSV"), c.bytes);
      view_.questions.clear();
      view_.messages.clear();
      view_.answerYes = yes;

      const bool opened = doc().OpenDocument(Path("b.CSV"));
      EXPECT_EQ(view_.questions, c.asked ? QStringList{question} : QStringList());
      EXPECT_TRUE(view_.messages.isEmpty());
      EXPECT_EQ(view_.messagesUnderWaitCursor, 0);
      EXPECT_EQ(opened, yes || !c.asked);
      if (opened) {
        EXPECT_EQ(doc().m_listPath, Path("b.CSV"));
        EXPECT_FALSE(doc().IsModified());
      } else {
        EXPECT_EQ(Cells(), cells);
        EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
        EXPECT_TRUE(doc().IsModified());
      }
      // The list's own file read again after a change on disk is not asked about.
      view_.questions.clear();
      if (opened) {
        EXPECT_TRUE(doc().ReadAgain(Path("b.CSV")));
      }
      EXPECT_TRUE(view_.questions.isEmpty());
    }
  }
}

TEST_F(CIcomDocTest, TheListFollowsTheFileLastReadOrWrittenWithItsEncoding) {
  int titleChanges = 0;
  QObject::connect(&doc(), &CIcomDoc::titleChanged, [&] { ++titleChanges; });
  const QByteArray latin1 =
      "Freq (kHz);Station;Mode;UTC\r\n690.000;R\xE1"
      "dio;AM;\r\n";
  WriteBytes(Path("latin1.CSV"), latin1);
  ASSERT_TRUE(doc().OpenDocument(Path("latin1.CSV")));
  EXPECT_EQ(doc().title(), "latin1.CSV");
  EXPECT_EQ(doc().encoding(), ListEncoding::kLatin1);
  EXPECT_FALSE(doc().IsModified());
  EXPECT_GE(titleChanges, 1);

  ASSERT_TRUE(doc().SaveDocument(Path("copy.CSV")));
  EXPECT_EQ(doc().m_listPath, Path("copy.CSV"));
  EXPECT_EQ(doc().title(), "copy.CSV");
  EXPECT_EQ(ReadBytes(Path("copy.CSV")), latin1);
  EXPECT_EQ(ReadBytes(Path("latin1.CSV")), latin1);

  // A character Latin-1 cannot hold turns the list into UTF-8, but only once it is saved.
  grid().WriteRowCells(1, {"", "690", QString::fromUtf8("Rádio €"), "AM"});
  EXPECT_TRUE(doc().IsModified());
  {
    FailingSaveCalls calls(FailingSaveCalls::kSync, EIO);
    ScopedSaveCalls installed(calls);
    EXPECT_FALSE(doc().SaveDocument(Path("other.CSV")));
  }
  EXPECT_EQ(doc().m_listPath, Path("copy.CSV"));
  EXPECT_EQ(doc().encoding(), ListEncoding::kLatin1);
  EXPECT_TRUE(doc().IsModified());
  ASSERT_TRUE(doc().SaveDocument(Path("copy.CSV")));
  EXPECT_EQ(doc().encoding(), ListEncoding::kUtf8);
  EXPECT_FALSE(doc().IsModified());
  EXPECT_TRUE(ReadBytes(Path("copy.CSV"))
                  .contains("R\xC3\xA1"
                            "dio \xE2\x82\xAC;AM;"));
}

TEST_F(CIcomDocTest, FailedSaveKeepsTheListFileTheWidthsFileAndTheChanges) {
  const QByteArray widths = "90;90;90;90;90;";
  WriteBytes(Path("a.CSV1"), widths);
  grid().WriteRowCells(1, {"", "7100", "changed", "AM"});
  // As on a full disk, where the widths file is refused as well as the list.
  const struct {
    FailingSaveCalls::Call call;
    int err;
    const char* text;
  } cases[] = {
      {FailingSaveCalls::kCreate, ENOSPC, texts::kFileDiskFullText},
      {FailingSaveCalls::kWrite, ENOSPC, texts::kFileDiskFullText},
      {FailingSaveCalls::kSync, ENOSPC, texts::kFileDiskFullText},
      {FailingSaveCalls::kSync, EIO, texts::kFileWriteErrorText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "call " << c.call << " errno " << c.err);
    view_.messages.clear();
    FailingSaveCalls calls(c.call, c.err);
    ScopedSaveCalls installed(calls);
    EXPECT_FALSE(doc().SaveDocument(doc().m_listPath));
    EXPECT_EQ(view_.messages, QStringList{QString(c.text).arg(Path("a.CSV"))});
    EXPECT_EQ(view_.messagesUnderWaitCursor, 0);
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
    EXPECT_EQ(grid().TextMatrix(1, 2), "changed");
    EXPECT_EQ(ReadBytes(Path("a.CSV")), kList);
    EXPECT_EQ(ReadBytes(Path("a.CSV1")), widths);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), (QStringList{"a.CSV", "a.CSV1"}));
  }
}

TEST_F(CIcomDocTest, OpeningAndSavingShowTheWaitCursorOnlyMeanwhile) {
  std::vector<std::optional<Qt::CursorShape>> whileReading;
  doc().readList = [&](const QString& path, ListFileCells* out, QString* error) {
    whileReading.push_back(OverrideCursor());
    return ReadListCells(path, out, error);
  };
  ASSERT_TRUE(doc().OpenDocument(Path("a.CSV")));
  EXPECT_EQ(whileReading, (std::vector<std::optional<Qt::CursorShape>>{Qt::WaitCursor}));
  EXPECT_EQ(OverrideCursor(), std::nullopt);

  struct : SaveCalls {
    ssize_t Write(int fd, const void* data, size_t size) override {
      shapes.push_back(OverrideCursor());
      return SaveCalls::Write(fd, data, size);
    }
    std::vector<std::optional<Qt::CursorShape>> shapes;
  } calls;
  ScopedSaveCalls installed(calls);
  ASSERT_TRUE(doc().SaveDocument(Path("a.CSV")));
  // The widths file and the list.
  EXPECT_EQ(calls.shapes,
            (std::vector<std::optional<Qt::CursorShape>>{Qt::WaitCursor, Qt::WaitCursor}));
  EXPECT_EQ(OverrideCursor(), std::nullopt);
}

}  // namespace
