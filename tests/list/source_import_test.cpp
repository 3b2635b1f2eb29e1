// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/texts.h"
#include "link/receiver_models.h"
#include "list/aoki_import.h"
#include "list/hfcc_import.h"
#include "list/schedule_import.h"
#include "list/schedule_rows.h"
#include "tests/list/file_bytes.h"
#include "tests/list/print_qt.h"

namespace {

const QString kHfccPath = QStringLiteral(QUILVAR_TEST_DATA "/hfcc-a26-excerpt.TXT");
const QString kAokiPath = QStringLiteral(QUILVAR_TEST_DATA "/aoki-a26-excerpt.txt");

// Columns 1 and on of every entry.
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

class SourceImportTest : public testing::Test {
 protected:
  // The schedule read from bytes; false with the message when it was refused.
  bool Read(const QByteArray& bytes, const ModeEntry* modes = ModesR75) {
    const QString path = dir_.filePath("schedule.txt");
    WriteBytes(path, bytes);
    schedule_ = ScheduleCells();
    error_.clear();
    return ReadScheduleCells(path, modes, &schedule_, &error_);
  }

  QTemporaryDir dir_;
  ScheduleCells schedule_;
  QString error_;
};

// The sample files' lines, header lines first; entries are the lines after them.
const QByteArray kHfcc = ReadBytes(kHfccPath);
const QByteArray kAoki = ReadBytes(kAokiPath);
const QList<QByteArray> kHfccLines = kHfcc.split('\n');
const QList<QByteArray> kAokiLines = kAoki.split('\n');

QByteArray HfccHead() { return kHfccLines.mid(0, 5).join('\n') + '\n'; }
QByteArray AokiHead() { return kAokiLines.mid(0, 2).join('\n') + '\n'; }

// A sample line with columns [at, at + text's size) replaced.
QByteArray WithColumns(QByteArray line, int at, const QByteArray& text) {
  line.chop(line.endsWith('\r') ? 1 : 0);
  return line.replace(at, text.size(), text);
}

TEST_F(SourceImportTest, TheSampleFilesBecomeEntries) {
  const struct {
    QString path;
    const ModeEntry* modes;
    ListEncoding encoding;
    QList<QStringList> entries;
  } cases[] = {
      {kHfccPath,
       ModesR75,
       ListEncoding::kUtf8,
       {{"3955.000", "BBC", "", "0459-0600", "", "Eng", "G", "27SE,28NW", "WOF DRM_EUR", "",
         "010926", "251026"},
        {"21630.000", "UAE", "AM", "1400-1430", "12345", "Hau", "UAE", "46SE", "DHA UAE", "",
         "290326", "251026"}}},
      {kHfccPath,
       ModesPerseus,
       ListEncoding::kUtf8,
       {{"3955.000", "BBC", "DRM", "0459-0600", "", "Eng", "G", "27SE,28NW", "WOF DRM_EUR", "",
         "010926", "251026"},
        {"21630.000", "UAE", "AM", "1400-1430", "12345", "Hau", "UAE", "46SE", "DHA UAE", "",
         "290326", "251026"}}},
      {kAokiPath,
       ModesR75,
       ListEncoding::kUtf8,
       {{"198.000", "BBC R4", "AM", "0500-0100", "12345", "English", "G", "", "Droitwich, BBC R4",
         "", "", ""},
        {"225.000", "Polskie Radio 1", "AM", "0440-0450", "123456", "Belarussian", "POL", "",
         "Solec Kujawski, POR", "", "", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    ScheduleCells schedule;
    QString error;
    ASSERT_TRUE(ReadScheduleCells(c.path, c.modes, &schedule, &error)) << error.toStdString();
    EXPECT_EQ(schedule.list.header, kScheduleListHeaderWithDates);
    EXPECT_EQ(schedule.list.encoding, c.encoding);
    EXPECT_EQ(schedule.list.lineCount, c.entries.size() + 1);
    EXPECT_EQ(schedule.skipped, 0);
    EXPECT_EQ(Entries(schedule), c.entries);
  }
}

TEST_F(SourceImportTest, EachFormatIsToldByItsFirstLines) {
  const QByteArray hfccEntries = kHfccLines.mid(5).join('\n');
  const QByteArray aokiEntries = kAokiLines.mid(2).join('\n');
  const struct {
    const char* name;
    QByteArray bytes;
    bool hfcc, aoki;
  } cases[] = {
      {"HFCC", kHfcc, true, false},
      {"HFCC of another notifier", QByteArray(kHfcc).replace("ALL", "BBC"), true, false},
      {"HFCC of a B season", QByteArray(kHfcc).replace("; A26", "; B25"), true, false},
      {"HFCC without its ruler", kHfccLines.mid(0, 2).join('\n') + '\n' + hfccEntries, false,
       false},
      {"HFCC of a C season", QByteArray(kHfcc).replace("; A26", "; C26"), false, false},
      {"HFCC without the blank after the season", QByteArray(kHfcc).replace("; A26 ", ";A26 "),
       false, false},
      {"HFCC's entries alone", hfccEntries, false, false},
      {"Aoki", kAoki, false, true},
      {"Aoki after blank lines", "\r\n  \r\n" + kAoki, false, true},
      {"Aoki spelt right", QByteArray(kAoki).replace("Frequecy", "Frequency"), false, true},
      {"Aoki without Su-W-Sa", QByteArray(kAoki).replace("Su-W-Sa", "Days   "), false, false},
      {"Aoki without its title", kAokiLines.mid(1).join('\n'), false, false},
      {"Aoki's title not first", "Shortwave\r\n" + kAoki, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string_view text(c.bytes.constData(), size_t(c.bytes.size()));
    EXPECT_EQ(IsHfccSchedule(text), c.hfcc);
    EXPECT_EQ(IsAokiList(text), c.aoki);
    // Neither is refused as a file of no schedule, as any other text is.
    EXPECT_EQ(Read(c.bytes), c.hfcc || c.aoki) << error_.toStdString();
    if (!c.hfcc && !c.aoki) {
      EXPECT_EQ(error_, ListFileMessage(texts::kNotAScheduleText, dir_.filePath("schedule.txt")));
    }
  }
}

TEST_F(SourceImportTest, DaysAreConvertedToMondayFirst) {
  // HFCC's DAYS (columns 72-78) and Aoki's Su-W-Sa positions (48-54), both Sunday-first.
  const struct {
    const char* hfcc;
    const char* hfccDays;
    const char* aoki;
    const char* aokiDays;
  } cases[] = {
      {"1234567", "", "1234567", ""},       {"23456  ", "12345", " 23456 ", "12345"},
      {"1      ", "7", "1......", "7"},     {"7      ", "6", "......7", "6"},
      {"17     ", "67", "1.....7", "67"},   {"36     ", "25", "..3..6.", "25"},
      {"       ", "", ".......", ""},       {"2345   ", "1234", ".2345..", "1234"},
      {"167    ", "567", "1....67", "567"}, {"1 3 5  ", "247", "   1   ", "7"},
      {"6543   ", "2345", "x.x....", "27"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.hfcc) + "|" + c.aoki);
    ASSERT_TRUE(Read(HfccHead() + WithColumns(kHfccLines[6], 72, c.hfcc) + '\n'))
        << error_.toStdString();
    ASSERT_EQ(schedule_.entries, 1);
    EXPECT_EQ(Entries(schedule_)[0][4], c.hfccDays);
    ASSERT_TRUE(Read(AokiHead() + WithColumns(kAokiLines[2], 48, c.aoki) + '\n'))
        << error_.toStdString();
    ASSERT_EQ(schedule_.entries, 1);
    EXPECT_EQ(Entries(schedule_)[0][4], c.aokiDays);
  }
  // The title may count from Monday.
  ASSERT_TRUE(Read(QByteArray(AokiHead()).replace("Day 1 = Sunday", "Day 1 = Monday") +
                   WithColumns(kAokiLines[2], 48, "1.3....") + '\n'));
  EXPECT_EQ(Entries(schedule_).value(0).value(4), "13");
}

TEST_F(SourceImportTest, LinesThatAreNoEntryAreSkippedAndCounted) {
  const QByteArray hfccLine = WithColumns(kHfccLines[6], 0, "");
  const QByteArray aokiLine = WithColumns(kAokiLines[2], 0, "");
  const struct {
    const char* name;
    QByteArray head, line;
    bool entry;
  } cases[] = {
      {"HFCC band", HfccHead(), WithColumns(hfccLine, 0, "    6"), false},
      {"HFCC 99 kHz", HfccHead(), WithColumns(hfccLine, 0, "   99"), false},
      {"HFCC 100 kHz", HfccHead(), WithColumns(hfccLine, 0, "  100"), true},
      {"HFCC no frequency", HfccHead(), WithColumns(hfccLine, 0, "     "), false},
      {"HFCC start 2400", HfccHead(), WithColumns(hfccLine, 6, "2400"), false},
      {"HFCC stop 2400", HfccHead(), WithColumns(hfccLine, 11, "2400"), true},
      {"HFCC stop 1260", HfccHead(), WithColumns(hfccLine, 11, "1260"), false},
      {"HFCC day 8", HfccHead(), WithColumns(hfccLine, 72, "8"), false},
      {"HFCC comment", HfccHead(), "; a comment", false},
      {"HFCC blank", HfccHead(), "", false},
      {"Aoki no kHz", AokiHead(), WithColumns(aokiLine, 0, "     "), false},
      {"Aoki 68.5 kHz", AokiHead(), WithColumns(aokiLine, 0, " 68.5"), true},
      {"Aoki bad time", AokiHead(), WithColumns(aokiLine, 38, "0500 0100"), false},
      {"Aoki repeated header", AokiHead(), WithColumns(kAokiLines[1], 0, ""), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // A kept entry beside the case, so the file is never empty.
    const QByteArray kept = c.head == HfccHead() ? hfccLine : aokiLine;
    ASSERT_TRUE(Read(c.head + kept + "\r\n" + c.line + "\r\n")) << error_.toStdString();
    EXPECT_EQ(schedule_.entries, c.entry ? 2 : 1);
    EXPECT_EQ(schedule_.skipped, c.entry ? 0 : 1);
  }
  EXPECT_FALSE(Read(HfccHead()));
  EXPECT_EQ(error_, ListFileMessage(texts::kEmptyScheduleText, dir_.filePath("schedule.txt")));
}

TEST_F(SourceImportTest, LineEndsMarksShortLinesAndFlags) {
  const QByteArray hfccLine = WithColumns(kHfccLines[5], 0, "");
  const QByteArray aokiLine = WithColumns(kAokiLines[2], 0, "");
  const QByteArray bom = "\xEF\xBB\xBF";
  const QByteArray kWideName = "R\xC3\xA1" + QByteArray(30, 'd');  // 32 characters
  // One entry each; the cells asked about, by column (1 = the frequency).
  const struct {
    const char* name;
    QByteArray bytes;
    ListEncoding encoding;
    QList<std::pair<int, QString>> cells;
  } cases[] = {
      {"HFCC, LF ends",
       QByteArray(HfccHead()).replace("\r\n", "\n") + hfccLine + "\n",
       ListEncoding::kUtf8,
       {{1, "3955.000"}, {9, "WOF DRM_EUR"}, {12, "251026"}}},
      {"HFCC, its mark",
       bom + HfccHead() + hfccLine,
       ListEncoding::kUtf8WithBom,
       {{1, "3955.000"}, {2, "BBC"}}},
      {"HFCC, Latin-1 note",
       HfccHead() + hfccLine.left(151) + "Caf\xE9",
       ListEncoding::kLatin1,
       {{9, QString::fromLatin1("WOF Caf\xE9")}}},
      {"HFCC, short of the notes",
       HfccHead() + hfccLine.left(94),
       ListEncoding::kUtf8,
       {{3, "AM"}, {6, ""}, {7, ""}, {9, "WOF"}, {12, "251026"}}},
      {"HFCC, short of the dates",
       HfccHead() + hfccLine.left(80),
       ListEncoding::kUtf8,
       {{5, ""}, {11, ""}, {12, ""}}},
      {"HFCC, short of its days",
       HfccHead() + hfccLine.left(15),
       ListEncoding::kUtf8,
       {{1, "3955.000"}, {4, "0459-0600"}, {5, ""}, {3, "AM"}}},
      {"HFCC, T on a receiver with USB",
       HfccHead() + WithColumns(hfccLine, 94, "T"),
       ListEncoding::kUtf8,
       {{3, "USB"}}},
      {"HFCC, an unknown MOD",
       HfccHead() + WithColumns(hfccLine, 94, "Q"),
       ListEncoding::kUtf8,
       {{3, ""}}},
      {"HFCC, a separator in the notes",
       HfccHead() + hfccLine.left(151) + "a;b",
       ListEncoding::kUtf8,
       {{9, "WOF a,b"}}},
      {"Aoki, LF ends",
       QByteArray(AokiHead()).replace("\r\n", "\n") + aokiLine + "\n",
       ListEncoding::kUtf8,
       {{2, "BBC R4"}, {9, "Droitwich, BBC R4"}}},
      {"Aoki, off the air",
       AokiHead() + WithColumns(aokiLine, 5, "x"),
       ListEncoding::kUtf8,
       {{1, "198.000"}, {9, "Droitwich, BBC R4"}, {10, "8"}}},
      {"Aoki, starred",
       AokiHead() + WithColumns(aokiLine, 5, "*"),
       ListEncoding::kUtf8,
       {{9, "* Droitwich, BBC R4"}, {10, ""}}},
      {"Aoki, DRM",
       AokiHead() + WithColumns(aokiLine, 6, "BBC (DRM)"),
       ListEncoding::kUtf8,
       {{3, ""}}},
      {"Aoki, digital",
       AokiHead() + WithColumns(aokiLine, 56, "Hind(Digital)"),
       ListEncoding::kUtf8,
       {{3, ""}, {6, "Hind(Digital)"}}},
      {"Aoki, USB",
       AokiHead() + aokiLine.left(129) + "Navy USB",
       ListEncoding::kUtf8,
       {{3, "USB"}, {9, "Droitwich, Navy USB"}}},
      {"Aoki, short of location",
       AokiHead() + aokiLine.left(56),
       ListEncoding::kUtf8,
       {{6, ""}, {7, ""}, {9, ""}, {5, "12345"}}},
      // A name filling its column: counted in bytes, the time would start inside it.
      {"Aoki, UTF-8 counts characters",
       bom + AokiHead() + QByteArray(aokiLine).replace(6, 32, kWideName),
       ListEncoding::kUtf8WithBom,
       {{2, QString::fromUtf8(kWideName)}, {4, "0500-0100"}, {7, "G"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Read(c.bytes)) << error_.toStdString();
    ASSERT_EQ(schedule_.entries, 1);
    EXPECT_EQ(schedule_.skipped, 0);
    EXPECT_EQ(schedule_.list.encoding, c.encoding);
    const QStringList entry = Entries(schedule_)[0];
    for (const auto& [column, text] : c.cells) EXPECT_EQ(entry.value(column - 1), text) << column;
  }
}

}  // namespace
