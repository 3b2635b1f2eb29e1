// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/schedule_import.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>

#include "common/texts.h"
#include "link/receiver_models.h"
#include "tests/list/file_bytes.h"
#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"

namespace {

const QString kSchedulePath = QStringLiteral(QUILVAR_TEST_DATA "/eibi-sked-a25.csv");

const QByteArray kHeader =
    "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;"
    "Stop:60;\r\n";

// Columns 1 and on of every entry as the reader made them, before the list's normal form.
QList<QStringList> Entries(const ScheduleCells& schedule) {
  const CellMatrix& m = schedule.list.cells;
  QList<QStringList> rows;
  for (int r = 1; r <= schedule.entries; ++r) {
    QStringList row;
    for (int c = 1; c < m.cols; ++c) row << m.text.Text(m.cells[size_t(r * m.cols + c)]);
    rows << row;
  }
  return rows;
}

class ScheduleImportTest : public ListFixture {
 protected:
  QStringList Row(int row) { return grid().ReadRowCells(row).mid(1); }
};

TEST_F(ScheduleImportTest, TheRealScheduleBecomesAnUntitledModifiedList) {
  ASSERT_TRUE(OpenBytes("a.CSV", "Freq (kHz);Station;Mode;UTC\r\n7100.000;a;AM;\r\n"));
  QString summary;
  ASSERT_TRUE(doc().ImportDocument(kSchedulePath, &summary))
      << view_.messages.join('|').toStdString();
  EXPECT_EQ(summary, "Imported 9,750 entries, skipped 0 lines.");
  EXPECT_TRUE(view_.messages.isEmpty());
  EXPECT_EQ(doc().title(), "Untitled");
  EXPECT_TRUE(doc().m_listPath.isEmpty());
  EXPECT_TRUE(doc().IsModified());
  EXPECT_EQ(doc().encoding(), ListEncoding::kLatin1);
  ASSERT_EQ(grid().Rows(), 9751);
  EXPECT_EQ(Row(0).join(';'), kScheduleListHeader);

  // Line n + 1 of the file is row n; the expected cells were read off the file by hand.
  const struct {
    int row;
    QStringList cells;
  } rows[] = {
      {1,
       {"16.300", "VTX1 Indian Navy", "AM", "0000-2400", "", "", "IND", "SAs", "v", "1", "", ""}},
      {4,
       {"18.100", "RDL Russian Navy", "CW", "0000-2400", "", "-CW", "RUS", "RUS", "xx", "1", "",
        "[1219]"}},
      {54,
       {"225.000", "Polskie Radio", "AM", "0707-0708", "Mo-Fr", "E", "POL", "EEu", "", "1", "1606",
        "3108[0622]"}},
      {74,
       {"531.000", "R.Algiers Int.", "AM", "2330-0450", "", "A,F", "ALG", "NAf", "fk", "1", "",
        ""}},
      {160,
       {"690.000",
        QString::fromLatin1("R\xE1"
                            "dio Clube do Par\xE1"),
        "AM", "0000-2400", "", "P", "B", "B", "be", "1", "", ""}},
      {1697,
       {"3044.000", "FUE French Navy USB/FSK", "USB", "0000-2400", "", "F", "F", "NAO", "br", "1",
        "", ""}},
      {1798,
       {"3458.000", "Beijing Volmet x15,x45", "LSB", "0000-2400", "LSB", "E", "CHN", "FE", "", "1",
        "", "[0122]"}},
      {9750,
       {"28536.000", "LU1ZV LRA36 Bulletin", "AM", "2300-2312", "Fr-Su", "E", "ATA", "ATA", "e",
        "1", "", ""}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(Row(r.row), r.cells);
  }

  // Persistence and dates of every line, counted from the file itself.
  QFile file(kSchedulePath);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  QMap<QString, int> perCode, listedPerCode;
  int dated = 0, listedDated = 0;
  for (qsizetype n = 1; n < lines.size(); ++n) {
    const QList<QByteArray> f = lines[n].trimmed().split(';');
    if (f.size() < 11) continue;
    ++perCode[QString::fromLatin1(f[8])];
    dated += !f[9].isEmpty() || !f[10].isEmpty();
  }
  for (int row = 1; row < grid().Rows(); ++row) {
    const QStringList cells = Row(row);
    ++listedPerCode[cells[9]];
    listedDated += !cells[10].isEmpty() || !cells[11].isEmpty();
  }
  EXPECT_EQ(listedPerCode, perCode);
  EXPECT_EQ(listedDated, dated);
  EXPECT_GT(perCode.value("8"), 0);

  // Saved, the Latin-1 name goes out with the bytes it came with.
  ASSERT_TRUE(doc().SaveDocument(Path("sked.CSV")));
  EXPECT_EQ(doc().encoding(), ListEncoding::kLatin1);
  const QByteArray saved = ReadBytes(Path("sked.CSV"));
  EXPECT_TRUE(saved.startsWith(QByteArray(kScheduleListHeader) + "\r\n"));
  EXPECT_TRUE(
      saved.contains("\r\n690.000;R\xE1"
                     "dio Clube do Par\xE1;AM;0000-2400;;P;B;B;be;1;;\r\n"));
  EXPECT_EQ(saved.count("\r\n"), 9751);
}

TEST(ScheduleReaderTest, EntriesModesAndSkippedLines) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const struct {
    const char* name;
    QByteArray bytes;
    const ModeEntry* modes;
    int skipped;
    QList<QStringList> entries;
    ListEncoding encoding = ListEncoding::kUtf8;
  } cases[] = {
      {"comments, blank lines, bad kHz and times are skipped; LF ends",
       QByteArray(kHeader).replace("\r\n", "\n") +
           "# a comment\n\nabc;0000-0100;;D;S;E;Eu;s\n0;0000-0100;;D;S;E;Eu;s\n"
           "7100;2500-0100;;D;S;E;Eu;s\n7100;0000-0160;;D;S;E;Eu;s\n7100;1200;;D;S;E;Eu;s\n"
           "7100;;;D;S;E;Eu;s\n6000.5;2330-0450;Mo-Fr;D;Radio X;E;Eu;b\n",
       ModesR75,
       8,
       {{"6000.500", "Radio X", "AM", "2330-0450", "Mo-Fr", "E", "D", "Eu", "b"}}},
      {"lone CR ends, a last line without an end, missing trailing fields",
       kHeader + "6000;0000-2400;;D;A\r7200;0100-0200;Sa;F;B;F;Eu;x;1;;",
       ModesR75,
       0,
       {{"6000.000", "A", "AM", "0000-2400", "", "", "D", "", ""},
        {"7200.000", "B", "AM", "0100-0200", "Sa", "F", "F", "Eu", "x", "1"}}},
      {"modes an R75 has, and one it lacks",
       kHeader + "100;0000-2400;;D;Beacon;-CW;Eu;cw\r\n200;0000-2400;;D;Net (USB);E;Eu;\r\n"
                 "300;0000-2400;;D;Digital;E;Eu;DRM\r\n400;0000-2400;;D;Telex;-TY;Eu;\r\n"
                 "500;0000-2400;;D;Site cw;E;Eu;cw\r\n",
       ModesR75,
       0,
       {{"100.000", "Beacon", "CW", "0000-2400", "", "-CW", "D", "Eu", "cw"},
        {"200.000", "Net (USB)", "USB", "0000-2400", "", "E", "D", "Eu", ""},
        {"300.000", "Digital", "", "0000-2400", "", "E", "D", "Eu", "DRM"},
        {"400.000", "Telex", "RTTY", "0000-2400", "", "-TY", "D", "Eu", ""},
        {"500.000", "Site cw", "AM", "0000-2400", "", "E", "D", "Eu", "cw"}}},
      {"DRM on a receiver that has it, none on one without modes",
       kHeader + "300;0000-2400;;D;Digital;E;Eu;DRM\r\n",
       ModesPerseus,
       0,
       {{"300.000", "Digital", "DRM", "0000-2400", "", "E", "D", "Eu", "DRM"}}},
      {"no mode list",
       kHeader + "100;0000-2400;;D;Beacon;-CW;Eu;\r\n200;0000-2400;;D;R;E;Eu;\r\n",
       nullptr,
       0,
       {{"100.000", "Beacon", "", "0000-2400", "", "-CW", "D", "Eu", ""},
        {"200.000", "R", "AM", "0000-2400", "", "E", "D", "Eu", ""}}},
      {"fields found by their names, in any order",
       "station:1;Remarks;KHZ:3;time(utc)\r\nRadio Y;site;9500;0600-0700\r\n",
       ModesR75,
       0,
       {{"9500.000", "Radio Y", "AM", "0600-0700", "", "", "", "", "site"}}},
      {"UTF-8 with its mark: Latin-1 and wider names",
       "\xEF\xBB\xBF" + kHeader +
           "690;0000-2400;;B;R\xC3\xA1"
           "dio;P;B;be\r\n"
           "700;0000-2400;;RUS;\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE;R;RUS;m\r\n",
       ModesR75,
       0,
       {{"690.000",
         QString::fromUtf8("R\xC3\xA1"
                           "dio"),
         "AM", "0000-2400", "", "P", "B", "B", "be"},
        {"700.000", QString::fromUtf8("\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE"), "AM",
         "0000-2400", "", "R", "RUS", "RUS", "m"}},
       ListEncoding::kUtf8WithBom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath("sked.txt");
    ASSERT_NO_FATAL_FAILURE(WriteBytes(path, c.bytes));
    ScheduleCells schedule;
    QString error;
    ASSERT_TRUE(ReadScheduleCells(path, c.modes, &schedule, &error)) << error.toStdString();
    EXPECT_EQ(schedule.entries, c.entries.size());
    EXPECT_EQ(schedule.skipped, c.skipped);
    EXPECT_EQ(schedule.list.lineCount, c.entries.size() + 1);
    EXPECT_EQ(schedule.list.encoding, c.encoding);
    // Cells a line lacks stay empty.
    QList<QStringList> expected = c.entries;
    for (QStringList& row : expected)
      while (row.size() < 12) row << "";
    EXPECT_EQ(Entries(schedule), expected);
  }
  EXPECT_EQ(ImportSummary(9750, 3), "Imported 9,750 entries, skipped 3 lines.");
  EXPECT_EQ(ImportSummary(1, 1), "Imported 1 entry, skipped 1 line.");
}

TEST(ScheduleReaderTest, WhatTheListCannotHoldIsSkippedAndCounted) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // The kHz and time fields of one line, and its frequency and window in the list; an empty
  // frequency when the line is skipped.
  const struct {
    const char* khz;
    const char* time;
    const char* frequency;
    const char* window;
  } cases[] = {
      {"10", "0600-0700", "10.000", "0600-0700"},
      {"9000000", "0600-0700", "9000000.000", "0600-0700"},
      {"9000000.000", "0600-0700", "9000000.000", "0600-0700"},
      {" 7100 ", "0600-0700", "7100.000", "0600-0700"},
      {"99999999", "0600-0700", "", ""},
      {"9000000.5", "0600-0700", "", ""},
      {"9000000.001", "0600-0700", "", ""},
      {"5", "0600-0700", "", ""},
      {"9.999", "0600-0700", "", ""},
      {"0.001", "0600-0700", "", ""},
      {"7100", " 0600-0700 ", "7100.000", "0600-0700"},
      {"7100", "\t0600-0700", "7100.000", "0600-0700"},
      {"7100", "0600 -0700", "", ""},
      {"7100", "0000-2400", "7100.000", "0000-2400"},
      {"7100", "2359-0000", "7100.000", "2359-0000"},
      {"7100", "2400-0100", "", ""},
      {"7100", "2400-2400", "", ""},
      {"7100", "2500-0100", "", ""},
      {"7100", "1200-2401", "", ""},
  };
  // Each file also holds one entry the list takes whatever the case.
  const QByteArray kept = "6000;0000-0100;;D;Kept;E;Eu;s\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.khz) + " " + c.time);
    const QString path = dir.filePath("sked.txt");
    ASSERT_NO_FATAL_FAILURE(
        WriteBytes(path, kHeader + kept + c.khz + ';' + c.time + ";;D;Case;E;Eu;s\r\n"));
    ScheduleCells schedule;
    QString error;
    ASSERT_TRUE(ReadScheduleCells(path, ModesR75, &schedule, &error)) << error.toStdString();
    const bool imported = c.frequency[0] != '\0';
    EXPECT_EQ(schedule.entries, imported ? 2 : 1);
    EXPECT_EQ(schedule.skipped, imported ? 0 : 1);
    const QList<QStringList> entries = Entries(schedule);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries[0].value(1), "Kept");
    if (imported) {
      ASSERT_EQ(entries.size(), 2);
      EXPECT_EQ(entries[1].value(0), c.frequency);
      EXPECT_EQ(entries[1].value(1), "Case");
      EXPECT_EQ(entries[1].value(3), c.window);
    }
  }
}

TEST_F(ScheduleImportTest, MemoryIsTakenForTheEntriesNotForTheLines) {
  // Three entries among a million blank lines: room for a million entries would be some
  // 110 MB, far past the limit.
  QByteArray bytes = kHeader + "6000;0000-0100;;D;A;E;Eu;s\n";
  bytes += QByteArray(500000, '\n') + "7100;0100-0200;;D;B;E;Eu;s\n";
  bytes += QByteArray(500000, '\n') + "9500;0200-0300;;D;C;E;Eu;s\n";
  WriteBytes(Path("sked.csv"), bytes);
  QString summary;
  {
    ScopedBlockLimit limit(size_t(8) << 20);
    ASSERT_TRUE(doc().ImportDocument(Path("sked.csv"), &summary))
        << view_.messages.join('|').toStdString();
  }
  EXPECT_EQ(summary, "Imported 3 entries, skipped 1,000,000 lines.");
  ASSERT_EQ(grid().Rows(), 4);
  EXPECT_EQ(Row(3).mid(0, 2), (QStringList{"9500.000", "C"}));
}

TEST_F(ScheduleImportTest, MemoryRunningOutIsRefusedWithTheListAsItWas) {
  ASSERT_TRUE(OpenBytes("a.CSV", "Freq (kHz);Station;Mode;UTC\r\n7100.000;a;AM;\r\n"));
  grid().WriteRowCells(1, {"", "7100.000", "mine", "AM", ""});
  // 20,000 entries need some 1.6 MB of cells, and 1 MB is all there is.
  QByteArray bytes = kHeader;
  for (int i = 0; i < 20000; ++i) bytes += "7100;0000-2400;;D;S\n";
  WriteBytes(Path("sked.csv"), bytes);
  view_.messages.clear();
  QString summary;
  {
    ScopedBlockLimit limit(size_t(1) << 20);
    EXPECT_FALSE(doc().ImportDocument(Path("sked.csv"), &summary));
  }
  EXPECT_EQ(view_.messages,
            QStringList{ListFileMessage(texts::kFileNoMemoryText, Path("sked.csv"))});
  EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
  EXPECT_TRUE(doc().IsModified());
  EXPECT_EQ(grid().Rows(), 2);
  EXPECT_EQ(Row(1), (QStringList{"7100.000", "mine", "AM", ""}));
}

TEST_F(ScheduleImportTest, AFileThatIsNoScheduleLeavesTheListAsItWas) {
  const QByteArray list = "Freq (kHz);Station;Mode;UTC;Extra\r\n7100.000;a;AM;0000-2400;x\r\n";
  const struct {
    const char* name;
    QByteArray bytes;
    const char* message;
  } cases[] = {
      {"a station list", list, texts::kNotAScheduleText},
      {"a text", "Dear listener,\r\nthank you for your report.\r\n", texts::kNotAScheduleText},
      {"an empty file", "", texts::kNotAScheduleText},
      {"a header alone", kHeader, texts::kEmptyScheduleText},
      {"nothing but comments", kHeader + "# 7100;0000-2400\r\n\r\n", texts::kEmptyScheduleText},
      {"binary data", kHeader + "7100;0000-2400;;D;S\r\n" + QByteArray("\0\x01", 2),
       texts::kFileBinaryText},
      {"an over-long line", kHeader + QByteArray(kMaxListLineBytes + 1, 'x') + "\r\n",
       texts::kFileLineTooLongText},
  };
  for (bool modified : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (modified ? ", modified" : ""));
      ASSERT_TRUE(OpenBytes("a.CSV", list));
      if (modified) grid().WriteRowCells(1, {"", "7100.000", "changed", "AM", "0000-2400", "x"});
      ASSERT_EQ(doc().IsModified(), modified);
      const QStringList before = Row(1);
      WriteBytes(Path("sked.csv"), c.bytes);
      view_.messages.clear();

      QString summary;
      EXPECT_FALSE(doc().ImportDocument(Path("sked.csv"), &summary));
      EXPECT_EQ(view_.messages, QStringList{ListFileMessage(c.message, Path("sked.csv"))});
      EXPECT_EQ(doc().m_listPath, Path("a.CSV"));
      EXPECT_EQ(doc().IsModified(), modified);
      EXPECT_EQ(grid().Rows(), 2);
      EXPECT_EQ(Row(0).join(';'), "Freq (kHz);Station;Mode;UTC;Extra");
      EXPECT_EQ(Row(1), before);
    }
  }
}

}  // namespace
