// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "common/texts.h"
#include "list/columns.h"
#include "list/list_format.h"
#include "list/save_file.h"
#include "tests/list/failing_save_calls.h"
#include "tests/list/file_bytes.h"
#include "tests/list/print_qt.h"

namespace {

class ListReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // The cell reader must see every file exactly as the line reader does: the same refusal,
  // or the same encoding, lines, header and fields (cut to the grid's columns).
  void ExpectSameAsLineReader(const QByteArray& bytes) {
    const QString path = Path("in.csv");
    WriteBytes(path, bytes);
    ListFileText lines;
    QString lineError;
    const bool linesRead = ReadListFile(path, &lines, &lineError);
    ListFileCells cells;
    QString cellError;
    const bool cellsRead = ReadListCells(path, &cells, &cellError);
    ASSERT_EQ(cellsRead, linesRead);
    if (!linesRead) {
      EXPECT_EQ(cellError, lineError);
      return;
    }
    EXPECT_EQ(cells.encoding, lines.encoding);
    ASSERT_EQ(cells.lineCount, lines.lines.size());
    if (lines.lines.isEmpty()) return;
    EXPECT_EQ(cells.header, lines.lines[0]);
    const int cols = ColumnsForHeader(int(SplitFields(lines.lines[0], kFieldSeparator).size()));
    ASSERT_EQ(cells.cells.cols, cols);
    ASSERT_EQ(cells.cells.rows, std::max(cells.lineCount, 2));
    ASSERT_EQ(cells.cells.cells.size(), size_t(cells.cells.rows) * size_t(cols));
    for (int row = 1; row < cells.lineCount; ++row) {
      const QStringList fields =
          SplitFieldsFixed(kFieldSeparator + lines.lines[row], kFieldSeparator, cols);
      for (int col = 1; col < cols; ++col) {
        const TextStore::Cell cell = cells.cells.cells[size_t(row) * size_t(cols) + size_t(col)];
        ASSERT_EQ(cells.cells.text.Text(cell), fields[col]) << "row " << row << " col " << col;
      }
    }
  }

  QTemporaryDir dir_;
};

TEST_F(ListReaderTest, CutsEveryFileAsTheLineReaderReadsIt) {
  const QByteArray longLine(kMaxListLineBytes, 'x');
  const QByteArray cases[] = {
      "",
      "\n",
      "\r\n\r\n",
      "F;S;M;U\r\n7100;a;AM;0000-2400\r\n",
      "F;S;M;U\n7100;a\r9500;b;;\r\n\r\n15000",
      // A last line that ends in separators, without a line end.
      "F;S;M;U;X\r\n7100;a;;;",
      "F;S\r\n;;;;;;;;;;;;;\r\n;",
      // Fields past the grid's columns are dropped, missing ones are empty.
      "F;S;M;U;A;B\r\n1;2;3;4;5;6;7;8;9\r\n1\r\n",
      // Marks: a mark alone is an empty UTF-8 file; with Latin-1 after it, it is text.
      "\xEF\xBB\xBF",
      "\xEF\xBB\xBF"
      "F;S\r\n7100;R\xC3\xA1"
      "dio\r\n",
      "\xEF\xBB\xBF"
      "F;S\r\n7100;R\xE1"
      "dio\r\n",
      "\xEF\xBB\xBF\xEF\xBB\xBF"
      "F;S\r\n",
      // A mark inside the file is a character, also at the start of a field.
      "F;S\r\n7100;\xEF\xBB\xBF"
      "a\xC3\xA9;\xEF\xBB\xBF\r\n",
      // UTF-8 beyond Latin-1, and bytes that are not UTF-8 after valid UTF-8.
      "F;S\r\n7100;\xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x93\xBB\r\n",
      "F;S\r\n7100;\xC3\xA9\r\n9500;\xE9\r\n",
      // Overlong forms, surrogates, past U+10FFFF, cut sequences and stray continuations.
      "F;S\r\n1;\xC0\xAF\r\n",
      "F;S\r\n1;\xE0\x80\xAF\r\n",
      "F;S\r\n1;\xED\xA0\x80\r\n",
      "F;S\r\n1;\xF4\x90\x80\x80\r\n",
      "F;S\r\n1;\xF0\x8F\xBF\xBF\r\n",
      "F;S\r\n1;\xE2\x82",
      "F;S\r\n1;\xE2\x82;x\r\n",
      "F;S\r\n1;\x80\r\n",
      "F;S\r\n1;\xF5\x80\x80\x80\r\n",
      // Non-characters and the last code points are valid UTF-8.
      "F;S\r\n1;\xEF\xBF\xBE\xEF\xBF\xBF\xF4\x8F\xBF\xBF\r\n",
      // Binary data and over-long lines, whichever comes first in the file.
      QByteArray("F;S\r\n1;a\0b\r\n", 12),
      "F;S\r\n" + longLine + "\r\n",
      "F;S\r\n" + longLine + "x\r\n",
      "F;S\r\n" + longLine + "x",
      "F;S\r\n" + longLine + "x\r\n" + QByteArray("\0", 1),
  };
  for (const QByteArray& bytes : cases) {
    SCOPED_TRACE(bytes.left(60).toStdString());
    ExpectSameAsLineReader(bytes);
  }
}

TEST_F(ListReaderTest, RandomFilesAreCutAsTheLineReaderReadsThem) {
  // Bytes that matter to the cutter, parts of UTF-8 sequences among them.
  const char alphabet[] = {';',    '\n',   '\r',   'a',    ' ',    '\xC3', '\xA9',
                           '\xE2', '\x82', '\xAC', '\xF0', '\x9F', '\x93', '\xBB',
                           '\xFF', '\xEF', '\xBF', '\xED', '\xA0', '\x80'};
  std::mt19937 random(12);
  for (int round = 0; round < 400; ++round) {
    QByteArray bytes;
    const int length = int(random() % 80);
    for (int i = 0; i < length; ++i) bytes += alphabet[random() % sizeof alphabet];
    SCOPED_TRACE(bytes.toHex().toStdString());
    ExpectSameAsLineReader(bytes);
    if (HasFatalFailure()) return;
  }
}

TEST_F(ListReaderTest, FilesThatCannotBeReadAreRefusedAsBefore) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
  const QString cases[] = {Path("missing.csv"), Path("folder")};
  for (const QString& path : cases) {
    SCOPED_TRACE(path.toStdString());
    ListFileText lines;
    QString lineError, cellError;
    ListFileCells cells;
    cells.lineCount = 7;
    EXPECT_FALSE(ReadListFile(path, &lines, &lineError));
    EXPECT_FALSE(ReadListCells(path, &cells, &cellError));
    EXPECT_EQ(cellError, lineError);
    // Nothing of a refused file reaches the caller.
    EXPECT_EQ(cells.lineCount, 7);
  }
}

// A list much longer than the writer's block, so it goes out in several pieces.
QByteArray LongList(int lines, const char* station) {
  QByteArray bytes = "Freq (kHz);Station;Mode;UTC\r\n";
  for (int i = 0; i < lines; ++i)
    bytes += QByteArray::number(1000 + i) + ".000;" + station + " " + QByteArray::number(i) +
             ";AM;0000-2400\r\n";
  return bytes;
}

TEST_F(ListReaderTest, AStreamedSaveWritesWhatACollectedOneWould) {
  const QByteArray latin1 = LongList(100000,
                                     "R\xE1"
                                     "dio");
  ASSERT_GT(latin1.size(), 3 << 20);
  const QStringList lines = QString::fromLatin1(latin1).split("\r\n", Qt::SkipEmptyParts);
  for (ListEncoding encoding :
       {ListEncoding::kLatin1, ListEncoding::kUtf8, ListEncoding::kUtf8WithBom}) {
    SCOPED_TRACE(int(encoding));
    ListFileWriter collected(encoding);
    for (const QString& line : lines) collected.AddLine(line);
    const QString path = Path("streamed.csv");
    ListFileWriter streamed(encoding, path);
    for (const QString& line : lines) streamed.AddLine(line);
    QString error;
    ASSERT_TRUE(streamed.Save(path, &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(path), collected.bytes().toByteArray());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"streamed.csv"});
  }
}

TEST_F(ListReaderTest, AStreamedLatin1ListCannotTurnIntoUtf8HalfWay) {
  const QString path = Path("list.csv");
  WriteBytes(path, "old");
  QString error;
  {
    ListFileWriter writer(ListEncoding::kLatin1, path);
    for (int i = 0; i < 150000; ++i)
      writer.AddLine(
          QString::fromLatin1("7100.000;R\xE1"
                              "dio"));
    // Blocks in Latin-1 are on their way: this line could only make a mixed file.
    writer.AddLine(QString::fromUtf8("7100.000;\xE2\x82\xAC"));
    EXPECT_FALSE(writer.Save(path, &error));
  }
  EXPECT_EQ(error, ListFileMessage(texts::kFileWriteErrorText, path));
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.csv"});

  // Settled before the first line, the same list goes out whole as UTF-8.
  ListFileWriter writer(ListEncoding::kLatin1, path);
  writer.UseUtf8();
  writer.AddLine(
      QString::fromLatin1("7100.000;R\xE1"
                          "dio"));
  writer.AddLine(QString::fromUtf8("7100.000;\xE2\x82\xAC"));
  ASSERT_TRUE(writer.Save(path, &error));
  EXPECT_EQ(writer.encoding(), ListEncoding::kUtf8);
  EXPECT_EQ(ReadBytes(path),
            "7100.000;R\xC3\xA1"
            "dio\r\n7100.000;\xE2\x82\xAC\r\n");
}

TEST_F(ListReaderTest, AStreamedSaveThatFailsOrIsAbandonedLeavesTheOldFile) {
  const QString path = Path("list.csv");
  const struct {
    FailingSaveCalls::Call call;
    int after;
    bool commit;
  } cases[] = {
      {FailingSaveCalls::kWrite, 0, true},
      // Halfway: earlier blocks are already in the new file.
      {FailingSaveCalls::kWrite, 20000, true},
      {FailingSaveCalls::kSync, 0, true},
      {FailingSaveCalls::kNone, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "call " << c.call << " after " << c.after);
    WriteBytes(path, "old");
    FailingSaveCalls calls(c.call, EIO, c.after);
    ScopedSaveCalls installed(calls);
    {
      FileReplacement file(path);
      const QByteArray block(256 << 10, 'x');
      for (int i = 0; i < 3; ++i) file.Write(block);
      if (c.commit) {
        EXPECT_EQ(file.Commit(), EIO);
      }
    }
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.csv"});
  }
}

TEST(NormalFrequencyTest, TextsAlreadyInNormalFormAndTheirNeighbours) {
  // What the full conversion gives; the texts in normal form are recognised without it.
  const struct {
    const char* text;
    const char* normal;
  } cases[] = {
      {"10.000", "10.000"},
      {"9000000.000", "9000000.000"},
      {"9000000.001", "9000000.000"},
      {"9999999.999", "9000000.000"},
      {"9.999", "10.000"},
      {"0010.000", "10.000"},
      {"07100.000", "7100.000"},
      {"1234.5670", "1234.567"},
      {"1234.56", "1234.560"},
      {"1234.", "1234.000"},
      {"12a4.567", "12.000"},
      {" 123.456", "123.456"},
      {"123.456 ", "123.456"},
      {"+123.456", "123.456"},
      {"-123.456", "10.000"},
      {"1e3", "1000.000"},
      {"123,456", "123.000"},
      {"12345678.000", "9000000.000"},
      {"7100.0005", "7100.001"},
      {"14230.125", "14230.125"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FrequencyChars buffer;
    EXPECT_EQ(NormalFrequency(QLatin1StringView(c.text), buffer), QLatin1StringView(c.normal));
    EXPECT_EQ(NormalFrequency(QString::fromLatin1(c.text), buffer), QLatin1StringView(c.normal));
  }
  // What the full conversion makes of any frequency (a leading blank forces it) is exactly
  // what is recognised as normal.
  std::mt19937 random(3);
  for (int i = 0; i < 20000; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, " %u.%03u", 10 + unsigned(random() % 8999990u),
                  unsigned(random() % 1000u));
    FrequencyChars buffer;
    const QString converted = NormalFrequency(QLatin1StringView(text), buffer);
    ASSERT_EQ(converted, QLatin1StringView(text + 1));
    ASSERT_EQ(NormalFrequency(converted, buffer), converted);
  }
}

}  // namespace
