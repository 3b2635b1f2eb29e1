// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_control.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStyle>
#include <QTemporaryDir>
#include <QWidget>

#include "link/receiver_models.h"
#include "list/columns.h"
#include "tests/list/fake_list_view.h"
#include "tests/list/file_bytes.h"
#include "tests/widget_app.h"

namespace {

class ListControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    InitBuiltInColumns();
    SetModeChoices(ModesR75);
    widget_.resize(1000, 600);
    list_ = std::make_unique<ListControl>(fake_, fake_, &widget_);
    fake_.list = list_.get();
    ASSERT_TRUE(dir_.isValid());
  }

  QString Path(const char* name) const { return dir_.filePath(name); }
  CEditGrid& grid() { return list_->grid(); }
  CIcomDoc& doc() { return list_->doc(); }

  QStringList Captions() {
    QStringList captions;
    for (int c = 0; c < grid().Cols(); ++c) captions << grid().TextMatrix(0, c);
    return captions;
  }
  QStringList Row(int r) { return grid().ReadRowCells(r); }

  // Writes a list file and opens it.
  void Open(const QByteArray& bytes, const char* name = "list.CSV") {
    WriteBytes(Path(name), bytes);
    ASSERT_TRUE(doc().OpenDocument(Path(name)));
  }

  QApplication& app_ = WidgetApp();
  QTemporaryDir dir_;
  QWidget widget_;
  FakeListView fake_;
  std::unique_ptr<ListControl> list_;
};

TEST_F(ListControlTest, NewListHasEightColumnsOneEmptyLineAndSavesHeaderAndSeparators) {
  ASSERT_TRUE(doc().NewDocument());
  EXPECT_EQ(Captions(),
            (QStringList{"N.", "Freq (kHz)", "Station", "Mode", "UTC", "LNG", "ITU", "Notes"}));
  EXPECT_EQ(grid().Rows(), 2);
  EXPECT_EQ(doc().title(), "Untitled");
  EXPECT_FALSE(doc().IsModified());
  ASSERT_TRUE(doc().SaveDocument(Path("new.CSV")));
  EXPECT_EQ(ReadBytes(Path("new.CSV")), "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n;;;;;;\r\n");
  EXPECT_EQ(doc().title(), "new.CSV");
}

TEST_F(ListControlTest, HeaderRulesShapeTheUserColumns) {
  struct Case {
    QByteArray file;
    QStringList captions;
    QStringList firstRow;
  } cases[] = {
      // An empty caption becomes "?".
      {"F;S;M;U;A;;B\r\n7100;x;am;0000-2400;1;2;3\r\n",
       {"N.", "Freq (kHz)", "Station", "Mode", "UTC", "A", "?", "B"},
       {"1", "7100.000", "x", "AM", "0000-2400", "1", "2", "3"}},
      // Three header fields: the built-in columns only, later data fields dropped.
      {"F;S;M\n9500;y;usb;0100-0200;extra\n",
       {"N.", "Freq (kHz)", "Station", "Mode", "UTC"},
       {"1", "9500.000", "y", "USB", "0100-0200"}},
      // The first line is always the header, even when it holds data.
      {"6000;Radio;AM;0000-2400;Spanish;CUB\n7205;Turkey;AM;1830-1930;English;TUR\n",
       {"N.", "Freq (kHz)", "Station", "Mode", "UTC", "Spanish", "CUB"},
       {"1", "7205.000", "Turkey", "AM", "1830-1930", "English", "TUR"}},
  };
  for (const Case& c : cases) {
    Open(c.file);
    EXPECT_EQ(Captions(), c.captions) << c.file.toStdString();
    EXPECT_EQ(grid().Rows(), 2);
    EXPECT_EQ(Row(1), c.firstRow) << c.file.toStdString();
  }
}

TEST_F(ListControlTest, RowsAreBroughtIntoNormalFormAndTheFlagIsClearAfterLoading) {
  Open(
      "Freq (kHz);Station;Mode;UTC\r\n"
      "7100.1234;a;usb narrow;\r\n"
      "5;b;;\r\n"
      "abc;c;xyz;\r\n"
      "9500000;d;am;\r\n"
      "7,1;e;cw;\r\n"
      ";lost station;AM;0000-2400\r\n");
  const char* expected[][3] = {{"7100.123", "a", "USB narrow"}, {"10.000", "b", "AM"},
                               {"10.000", "c", "AM"},           {"9000000.000", "d", "AM"},
                               {"10.000", "e", "CW"},           {"", "", ""}};
  ASSERT_EQ(grid().Rows(), 7);
  for (int r = 1; r <= 6; ++r) {
    EXPECT_EQ(grid().TextMatrix(r, 0), QString::number(r));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(grid().TextMatrix(r, c + 1), expected[r - 1][c]);
  }
  EXPECT_EQ(grid().TextMatrix(6, 4), "");
  EXPECT_FALSE(doc().IsModified());
}

TEST_F(ListControlTest, ReceiverNoneEmptiesEveryMode) {
  fake_.receiverNone = true;
  SetModeChoices(nullptr);
  Open("h\r\n7100;a;USB;\r\n9500;b;;\r\n");
  EXPECT_EQ(grid().TextMatrix(1, 3), "");
  EXPECT_EQ(grid().TextMatrix(2, 3), "");
  EXPECT_FALSE(doc().IsModified());
}

TEST_F(ListControlTest, SemicolonTypedIntoACellMovesTheFieldsOnReopen) {
  ASSERT_TRUE(doc().NewDocument());
  grid().WriteRowCells(1, {"", "7100", "A;B", "AM", "0000-2400", "en", "G", "note"});
  ASSERT_TRUE(doc().SaveDocument(Path("semi.CSV")));
  EXPECT_EQ(ReadBytes(Path("semi.CSV")).split('\n').value(1),
            "7100.000;A;B;AM;0000-2400;en;G;note\r");
  ASSERT_TRUE(doc().OpenDocument(Path("semi.CSV")));
  // "B" lands in the Mode column, which holds no such mode: it becomes the first one.
  EXPECT_EQ(Row(1), (QStringList{"1", "7100.000", "A", "AM", "AM", "0000-2400", "en", "G"}));
}

TEST_F(ListControlTest, WidthsFileIsWrittenBesideTheListAndReadBackWithItsLimits) {
  ASSERT_TRUE(doc().NewDocument());
  EXPECT_EQ(grid().ColWidth(0), 50);  // no widths file
  const int last = 1000 - widget_.style()->pixelMetric(QStyle::PM_ScrollBarExtent) -
                   (50 + 100 + 280 + 80 + 80 + 50 + 50) - 2;
  EXPECT_EQ(grid().ColWidth(7), std::max(last, 300));
  ASSERT_TRUE(doc().SaveDocument(Path("w.CSV")));
  EXPECT_EQ(ReadBytes(Path("w.CSV1")),
            QString("100;280;80;80;50;50;%1;").arg(std::max(last, 300)).toLatin1());

  WriteBytes(Path("w.CSV1"), "10;2000;120;abc");
  ASSERT_TRUE(doc().OpenDocument(Path("w.CSV")));
  EXPECT_EQ(grid().ColWidth(0), 60);
  EXPECT_EQ(grid().ColWidth(1), 30);    // below 30
  EXPECT_EQ(grid().ColWidth(2), 1000);  // wider than the view
  EXPECT_EQ(grid().ColWidth(3), 120);
  EXPECT_EQ(grid().ColWidth(4), 30);  // no digits
  EXPECT_EQ(grid().ColWidth(5), 50);  // beyond the stored widths
}

TEST_F(ListControlTest, JustifyColumnsSharesTheViewWidth) {
  ASSERT_TRUE(doc().NewDocument());
  grid().SetColWidth(0, 60);
  list_->JustifyColumns();
  const int bar = widget_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int each = (1000 - 60 - bar - 2) / 7;
  for (int c = 1; c < 8; ++c) EXPECT_EQ(grid().ColWidth(c), each);
  EXPECT_FALSE(doc().IsModified());
}

TEST_F(ListControlTest, OpeningIsRefusedWhileAModeIsOn) {
  Open("h\r\n7100;a;AM;\r\n");
  WriteBytes(Path("other.CSV"), "h\r\n9500;b;AM;\r\n6000;c;AM;\r\n");
  fake_.modeOn = true;
  EXPECT_FALSE(doc().OpenDocument(Path("other.CSV")));
  EXPECT_TRUE(fake_.messages.isEmpty());
  EXPECT_EQ(grid().TextMatrix(1, 1), "7100.000");
}

TEST_F(ListControlTest, FilesThatAreNoListGiveOneMessageAndKeepTheList) {
  Open("h\r\n7100;a;AM;\r\n");
  WriteBytes(Path("binary.CSV"), QByteArray("\x7f"
                                            "ELF\0\0\x01\x02",
                                            8));
  const QString cases[] = {Path("binary.CSV"), Path("missing.CSV"), dir_.path()};
  for (const QString& path : cases) {
    fake_.messages.clear();
    EXPECT_FALSE(doc().OpenDocument(path)) << path.toStdString();
    EXPECT_EQ(fake_.messages.size(), 1) << path.toStdString();
    EXPECT_EQ(grid().TextMatrix(1, 1), "7100.000");
  }
}

TEST_F(ListControlTest, EmptyFileGivesOneEmptyLineAndKeepsTheColumns) {
  Open("F;S;M;U;Extra\r\n7100;a;AM;;x\r\n");
  Open("", "empty.CSV");
  EXPECT_EQ(grid().Rows(), 2);
  EXPECT_EQ(Captions().value(5), "Extra");
  EXPECT_EQ(grid().TextMatrix(1, 1), "");
}

TEST_F(ListControlTest, FailedSaveKeepsTheOldFileAndTheListModified) {
  Open("h\r\n7100;a;AM;\r\n", "keep.CSV");
  const QByteArray before = ReadBytes(Path("keep.CSV"));
  grid().WriteRowCells(1, {"", "9500", "b", "AM"});
  ASSERT_TRUE(doc().IsModified());
  EXPECT_FALSE(doc().SaveDocument(Path("no-such-folder/keep.CSV")));
  EXPECT_EQ(fake_.messages.size(), 1);
  EXPECT_TRUE(doc().IsModified());
  EXPECT_EQ(doc().m_listPath, Path("keep.CSV"));
  EXPECT_EQ(ReadBytes(Path("keep.CSV")), before);
}

}  // namespace
