// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <functional>

#include "common/texts.h"
#include "list/list_file.h"
#include "tests/list/file_bytes.h"
#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"

namespace {

// Each line followed by CR LF, as every list is saved.
QByteArray Lines(const QByteArrayList& lines) { return lines.join("\r\n") + "\r\n"; }

// Where two files part, instead of printing a megabyte of each.
testing::AssertionResult SameBytes(const QByteArray& saved, const QByteArray& expected) {
  if (saved == expected) return testing::AssertionSuccess();
  qsizetype at = 0;
  while (at < saved.size() && at < expected.size() && saved[at] == expected[at]) ++at;
  const auto around = [at](const QByteArray& bytes) {
    return bytes.mid(std::max<qsizetype>(at - 24, 0), 64)
        .toPercentEncoding(" ;:.()-?")
        .toStdString();
  };
  return testing::AssertionFailure()
         << saved.size() << " bytes saved, " << expected.size() << " expected; first difference at "
         << at << "\n  saved:    " << around(saved) << "\n  expected: " << around(expected);
}

const QByteArray kHeader = "Freq (kHz);Station;Mode;UTC;Notes";
// The rows of kList in their file order; names mix cases so a sort by station shows.
const QByteArray kD = "9500.000;Delta;USB;0000-2400;d";
const QByteArray kA = "15000.000;alpha;AM;;a";
const QByteArray kC = "7100.000;Charlie;LSB narrow;1200-1300;c";
const QByteArray kB = "690.000;bravo;AM;;b";
const QByteArray kE = "9500.000;echo;CW;;e";
const QByteArray kF = "12000.000;Foxtrot;FM;;f";
// In normal form: saved untouched it gives back these very bytes.
const QByteArray kList = Lines({kHeader, kD, kA, kC, kB, kE, kF});

class ListRoundTripTest : public ListFixture {
 protected:
  // Saves the list on screen under a name of its own and returns the bytes written.
  QByteArray Saved() {
    const QString path = Path("saved.CSV");
    EXPECT_TRUE(doc().SaveDocument(path)) << view_.messages.join('\n').toStdString();
    return ReadBytes(path);
  }

  // The grid with (row, col) current and the selection's corner at (rowSel, colSel).
  CEditGrid& Selected(int row, int col, int rowSel, int colSel) {
    grid().SetRow(row);
    grid().SetCol(col);
    grid().SetRowSel(rowSel);
    grid().SetColSel(colSel);
    return grid();
  }

  void ExpectNumbered() {
    for (int row = 1; row < grid().Rows(); ++row)
      EXPECT_EQ(grid().TextMatrix(row, 0), QString::number(row)) << "row " << row;
  }

  struct Case {
    const char* name;
    std::function<void()> change;
    QByteArrayList rows;  // the saved lines below the header
  };

  // Opens kList afresh for each case, changes it, renumbers and saves.
  void RunOnList(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      view_.receiverNone = false;
      SetModeChoices(ModesR75);
      ASSERT_TRUE(OpenBytes("list.CSV", kList));
      c.change();
      list_->RenumberRows();
      ExpectNumbered();
      EXPECT_TRUE(SameBytes(Saved(), Lines(QByteArrayList{kHeader} + c.rows)));
    }
    SetModeChoices(ModesR75);
  }
};

TEST_F(ListRoundTripTest, FieldsAroundTheSeparatorsAreKeptPaddedOrDropped) {
  const struct {
    const char* name;
    QByteArray in;
    QByteArray out;
  } cases[] = {
      {"empty fields", Lines({kHeader, "7100.000;;AM;;", "7200.000;x;AM;;"}),
       Lines({kHeader, "7100.000;;AM;;", "7200.000;x;AM;;"})},
      {"separators beyond the last column",
       Lines({kHeader, "7100.000;a;AM;;n;", "7200.000;b;AM;;n;;;"}),
       Lines({kHeader, "7100.000;a;AM;;n", "7200.000;b;AM;;n"})},
      // An empty Mode takes the receiver's first mode.
      {"fewer fields than columns", Lines({kHeader, "7100.000;a;USB", "7200.000"}),
       Lines({kHeader, "7100.000;a;USB;;", "7200.000;;AM;;"})},
      {"more fields than columns", Lines({kHeader, "7100.000;a;AM;0000-2400;n;extra;more"}),
       Lines({kHeader, "7100.000;a;AM;0000-2400;n"})},
      // Blanks are no number: the frequency drops to the lowest there is.
      {"fields of blanks",
       Lines({kHeader, "7100.000; ;AM;   ;  ", "7200.000;x;  ;;", "   ;y;AM;;"}),
       Lines({kHeader, "7100.000; ;AM;   ;  ", "7200.000;x;AM;;", "10.000;y;AM;;"})},
      // A line without a frequency is no station: it is saved empty, whatever else it held.
      {"lines without a frequency", Lines({kHeader, ";orphan;AM;;n", "", ";;;;;;", kA}),
       Lines({kHeader, ";;;;", ";;;;", ";;;;", kA})},
      {"frequencies and modes as loaded",
       Lines({kHeader, "690;a;usb;;", "7100.12345;b;am narrow;;", "6e3;c;CW;;", " 15000 kHz;d;AM;;",
              "5;e;AM;;", "123456789;f;AM;;"}),
       Lines({kHeader, "690.000;a;USB;;", "7100.123;b;AM narrow;;", "6000.000;c;CW;;",
              "15000.000;d;AM;;", "10.000;e;AM;;", "9000000.000;f;AM;;"})},
      // The built-in columns keep the program's captions; a nameless one is shown as "?".
      {"header with a nameless column and a separator at its end",
       Lines({"F;S;M;U;;Notes;", "7100.000;a;AM;;x;y;z;w", "7200.000;b;AM"}),
       Lines(
           {"Freq (kHz);Station;Mode;UTC;?;Notes;?", "7100.000;a;AM;;x;y;z", "7200.000;b;AM;;;;"})},
      {"header shorter than the built-in columns", Lines({"Freq", "7100;a;AM;u;extra"}),
       Lines({"Freq (kHz);Station;Mode;UTC", "7100.000;a;AM;u"})},
      {"LF and CR line ends, none after the last line",
       kHeader + "\n7100.000;a;AM;;\r7200.000;b;AM;;\n\n7300.000;c;AM;;",
       Lines({kHeader, "7100.000;a;AM;;", "7200.000;b;AM;;", ";;;;", "7300.000;c;AM;;"})},
      // The grid always keeps a line; nothing of the list before may show in it.
      {"header alone", Lines({kHeader}), Lines({kHeader, ";;;;"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenBytes("in.CSV", c.in));
    EXPECT_TRUE(SameBytes(Saved(), c.out));
  }
}

TEST_F(ListRoundTripTest, AHeaderOfManyFieldsIsCutAtTheColumnLimit) {
  // Grid columns 0 .. kMaxColumns-1, column 0 being the row numbers: one field fewer saved.
  const int savedFields = kMaxColumns - 1;
  QByteArray named = "Freq (kHz);Station;Mode;UTC", row = "7100.000;s;AM;u";
  QByteArray namedOut = named, rowOut = row, unnamedOut = named, paddedOut = row;
  for (int field = 5; field <= 300; ++field) {
    const QByteArray n = QByteArray::number(field);
    named += ";c" + n;
    row += ";v" + n;
    if (field > savedFields) continue;
    namedOut += ";c" + n;
    rowOut += ";v" + n;
    unnamedOut += ";?";
    paddedOut += ";";
  }
  const struct {
    const char* name;
    QByteArray in;
    QByteArray out;
  } cases[] = {
      {"300 named fields", Lines({named, row}), Lines({namedOut, rowOut})},
      {"nothing but separators", Lines({QByteArray(1000, ';'), "7100.000;s;AM;u"}),
       Lines({unnamedOut, paddedOut})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenBytes("wide.CSV", c.in));
    EXPECT_EQ(grid().Cols(), kMaxColumns);
    EXPECT_TRUE(SameBytes(Saved(), c.out));
  }
}

TEST_F(ListRoundTripTest, LongCellsSurviveAndLinesOverTheLimitAreRefused) {
  // Patterned, so a cell cut short or shifted shows.
  QByteArray name;
  while (name.size() < 500000) name += char('a' + name.size() % 26);
  const QByteArray longList = Lines({kHeader, kD, "7100.000;" + name + ";AM;;x", kF});
  ASSERT_TRUE(OpenBytes("long.CSV", longList));
  EXPECT_EQ(grid().TextMatrix(2, kColStation), QString::fromLatin1(name));
  EXPECT_EQ(grid().TextMatrix(3, kColStation), "Foxtrot");
  EXPECT_TRUE(SameBytes(Saved(), longList));

  // The limit counts bytes, not characters: two-byte ones fill the line up to it exactly.
  const QByteArray head = "7100.000;", tail = ";AM;;x";
  QByteArray fill;
  while (head.size() + fill.size() + tail.size() + 2 <= kMaxListLineBytes) fill += "\xC3\xA9";
  if (head.size() + fill.size() + tail.size() < kMaxListLineBytes) fill += 'e';
  const QByteArray atLimit = head + fill + tail;
  ASSERT_EQ(atLimit.size(), kMaxListLineBytes);
  const QByteArray atLimitList = Lines({kHeader, atLimit, kF});
  ASSERT_TRUE(OpenBytes("limit.CSV", atLimitList));
  EXPECT_TRUE(SameBytes(Saved(), atLimitList));

  const QByteArray over = head + fill + "e" + tail;
  const struct {
    const char* name;
    QByteArray bytes;
  } refused[] = {
      {"as the header", Lines({over, kD})},
      {"between others", Lines({kHeader, kD, over, kF})},
      {"last, without a line end", Lines({kHeader, kD}) + over},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenBytes("list.CSV", kList));
    grid().SetTextMatrix(1, kColStation, "edited");
    doc().SetModifiedFlag(true);
    view_.messages.clear();

    EXPECT_FALSE(OpenBytes("over.CSV", c.bytes));
    EXPECT_EQ(view_.messages,
              QStringList{QString(texts::kFileLineTooLongText).arg(Path("over.CSV"))});
    EXPECT_EQ(doc().m_listPath, Path("list.CSV"));
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(grid().Cols(), 6);
    EXPECT_TRUE(SameBytes(Saved(),
                          Lines({kHeader, "9500.000;edited;USB;0000-2400;d", kA, kC, kB, kE, kF})));
  }
}

TEST_F(ListRoundTripTest, InsertedDeletedMovedAndSortedRowsAreSavedInTheirNewPlaces) {
  const QByteArray added = "6000.000;new;LSB;;n";
  RunOnList({
      {"a line added between others",
       [&] { grid().AddItem("\t6000\tnew\tlsb\t\tn", 3); },
       {kD, kA, added, kC, kB, kE, kF}},
      // Column 0's text is a row number, never saved; an empty Mode takes the first mode.
      {"a line added at the end",
       [&] { grid().AddItem("99\t5000.5\tlast", grid().Rows()); },
       {kD, kA, kC, kB, kE, kF, "5000.500;last;AM;;"}},
      {"a line inserted by the line editor",
       [&] {
         Selected(2, 1, 2, 1);
         EXPECT_EQ(editor_->InsertLine(), 3);
       },
       {kD, kA, ";;;;", kC, kB, kE, kF}},
      {"lines removed upwards, then one above them, then a cell below edited",
       [&] {
         grid().RemoveItem(4);
         grid().RemoveItem(3);
         grid().RemoveItem(1);
         grid().SetTextMatrix(2, kColStation, "echo 2");
       },
       {kA, "9500.000;echo 2;CW;;e", kF}},
      {"a line removed, then cells below it edited",
       [&] {
         grid().RemoveItem(2);
         grid().SetTextMatrix(3, kColStation, "BRAVO");
         grid().SetTextMatrix(4, kColUtc, "0100-0200");
       },
       {kD, kC, "690.000;BRAVO;AM;;b", "9500.000;echo;CW;0100-0200;e", kF}},
      {"a line removed, then one added below it",
       [&] {
         grid().RemoveItem(2);
         grid().AddItem("\t1000\tadded\tam", 4);
       },
       {kD, kC, kB, "1000.000;added;AM;;", kE, kF}},
      {"lines deleted by the line editor, selected upwards",
       [&] {
         Selected(4, 1, 2, 1);
         editor_->DeleteLines();
       },
       {kD, kE, kF}},
      {"lines moved down",
       [&] { Selected(2, 1, 3, 4).MoveLines(MoveDirection::kDown); },
       {kD, kB, kA, kC, kE, kF}},
      {"lines moved up",
       [&] { Selected(5, 1, 6, 4).MoveLines(MoveDirection::kUp); },
       {kD, kA, kC, kE, kF, kB}},
      {"station cells moved down as a block",
       [&] { Selected(1, kColStation, 2, kColStation).MoveBlock(MoveDirection::kDown); },
       {"9500.000;Charlie;USB;0000-2400;d", "15000.000;Delta;AM;;a",
        "7100.000;alpha;LSB narrow;1200-1300;c", kB, kE, kF}},
      {"frequencies swapped",
       [&] { grid().SwapCells(1, kColFrequency, 6, kColFrequency); },
       {"12000.000;Delta;USB;0000-2400;d", kA, kC, kB, kE, "9500.000;Foxtrot;FM;;f"}},
      {"sorted by station, case aside",
       [&] { Selected(1, kColStation, 1, kColStation).Sort(); },
       {kA, kB, kC, kD, kE, kF}},
      // By value: 15000 after 9500; equal rows keep their order.
      {"lines 2 to 5 sorted by frequency",
       [&] { Selected(2, kColFrequency, 5, kColFrequency).Sort(); },
       {kD, kB, kC, kE, kA, kF}},
      {"sorted by mode and UTC by the line editor",
       [&] {
         Selected(1, kColMode, 1, kColUtc);
         editor_->SortLines();
       },
       {kA, kB, kE, kF, kC, kD}},
      {"lines removed, then sorted, then one added",
       [&] {
         grid().RemoveItem(3);
         grid().RemoveItem(3);
         Selected(1, kColStation, 1, kColStation);
         grid().Sort();
         grid().AddItem("\t6000\tnew\tlsb\t\tn", 2);
       },
       {kA, added, kD, kE, kF}},
  });
}

TEST_F(ListRoundTripTest, EditedCellsAreSavedInNormalFormWhereverTheirRowWent) {
  const QByteArray longNotes(1000, 'n');
  RunOnList({
      {"cells made longer, then one of them shorter",
       [&] {
         grid().SetTextMatrix(2, kColStation, QString(300, 'x'));
         grid().SetTextMatrix(3, 5, QString::fromLatin1(longNotes));
         grid().SetTextMatrix(2, kColStation, "al");
         grid().SetTextMatrix(1, kColUtc, "");
       },
       {"9500.000;Delta;USB;;d", "15000.000;al;AM;;a",
        "7100.000;Charlie;LSB narrow;1200-1300;" + longNotes, kB, kE, kF}},
      {"frequencies typed in other forms",
       [&] {
         grid().SetTextMatrix(2, kColFrequency, "690");
         grid().SetTextMatrix(5, kColFrequency, " 7100.5 kHz");
         grid().SetTextMatrix(6, kColFrequency, "5");
         grid().SetTextMatrix(1, kColFrequency, "12345678");
       },
       {"9000000.000;Delta;USB;0000-2400;d", "690.000;alpha;AM;;a", kC, kB, "7100.500;echo;CW;;e",
        "10.000;Foxtrot;FM;;f"}},
      {"a frequency emptied",
       [&] { grid().SetTextMatrix(3, kColFrequency, ""); },
       {kD, kA, ";;;;", kB, kE, kF}},
      {"modes typed in other forms",
       [&] {
         grid().SetTextMatrix(1, kColMode, "usb narrow");
         grid().SetTextMatrix(2, kColMode, "nonsense");
       },
       {"9500.000;Delta;USB narrow;0000-2400;d", kA, kC, kB, kE, kF}},
      {"a whole row written",
       [&] {
         grid().WriteRowCells(4, {"", "6000", "new", "fm", "", "z"});
       },
       {kD, kA, kC, "6000.000;new;FM;;z", kE, kF}},
      {"an edited row moved by a sort",
       [&] {
         grid().SetTextMatrix(6, kColFrequency, "100");
         Selected(1, kColFrequency, 1, kColFrequency);
         grid().Sort();
       },
       {"100.000;Foxtrot;FM;;f", kB, kC, kD, kE, kA}},
      {"an edited row below a removed one",
       [&] {
         grid().SetTextMatrix(4, kColFrequency, "800");
         grid().RemoveItem(1);
       },
       {kA, kC, "800.000;bravo;AM;;b", kE, kF}},
      {"an edited row below an added one",
       [&] {
         grid().SetTextMatrix(2, kColFrequency, "1e3");
         grid().AddItem("\t6000\tnew\tam", 1);
       },
       {"6000.000;new;AM;;", kD, "1000.000;alpha;AM;;a", kC, kB, kE, kF}},
      // Rows nobody touched follow the receiver chosen since the list was opened.
      {"the \"None\" receiver chosen since",
       [&] {
         view_.receiverNone = true;
         SetModeChoices(nullptr);
       },
       {"9500.000;Delta;;0000-2400;d", "15000.000;alpha;;;a", "7100.000;Charlie;;1200-1300;c",
        "690.000;bravo;;;b", "9500.000;echo;;;e", "12000.000;Foxtrot;;;f"}},
      {"a receiver without LSB narrow chosen since",
       [&] { SetModeChoices(ModesR8500); },
       {kD, kA, "7100.000;Charlie;AM;1200-1300;c", kB, kE, kF}},
  });
  // The grid shows each row as the file received it.
  ASSERT_TRUE(OpenBytes("list.CSV", kList));
  grid().SetTextMatrix(2, kColFrequency, "690");
  grid().SetTextMatrix(3, kColMode, "cw");
  Saved();
  EXPECT_EQ(grid().TextMatrix(2, kColFrequency), "690.000");
  EXPECT_EQ(grid().TextMatrix(3, kColMode), "CW");
}

TEST_F(ListRoundTripTest, EncodingsRoundTripAndFollowWhatWasTyped) {
  QByteArray high;
  for (int byte = 0x80; byte <= 0xFF; ++byte) high += char(byte);
  const QByteArray highUtf8 = QString::fromLatin1(high).toUtf8();
  const QByteArray radio = QByteArray("R\xE1") + "dio", radioUtf8 = QByteArray("R\xC3\xA1") + "dio";
  const QByteArray latin1 =
      Lines({kHeader, "690.000;" + radio + ";AM;;\xA3", "7100.000;" + high + ";AM;;"});
  const QByteArray utf8 =
      Lines({kHeader, "690.000;" + radioUtf8 + " Clube do Par\xC3\xA1;AM;;\xE2\x82\xAC 5",
             "9500.000;\xE5\x8C\x97\xE4\xBA\xAC;USB;;\xF0\x9F\x93\xBB"});
  const QByteArray bom = "\xEF\xBB\xBF";
  const struct {
    const char* name;
    QByteArray in;
    std::function<void()> edit;
    QByteArray out;
    ListEncoding encoding;
    int row, col;
    QString shown;
  } cases[] = {
      {"Latin-1", latin1, [] {}, latin1, ListEncoding::kLatin1, 1, kColStation,
       QString::fromUtf8("Rádio")},
      {"Latin-1 with a Latin-1 character typed", latin1,
       [&] { grid().SetTextMatrix(1, 5, QString::fromUtf8("ß")); },
       Lines({kHeader, "690.000;" + radio + ";AM;;\xDF", "7100.000;" + high + ";AM;;"}),
       ListEncoding::kLatin1, 2, kColStation, QString::fromLatin1(high)},
      // Latin-1 cannot hold the euro sign: the whole list, lines before it included, turns UTF-8.
      {"Latin-1 with a euro sign typed in the first line", latin1,
       [&] { grid().SetTextMatrix(1, 5, QString::fromUtf8("5 €")); },
       Lines({kHeader, "690.000;" + radioUtf8 + ";AM;;5 \xE2\x82\xAC",
              "7100.000;" + highUtf8 + ";AM;;"}),
       ListEncoding::kUtf8, 1, kColStation, QString::fromUtf8("Rádio")},
      {"Latin-1 with a euro sign typed in the last line", latin1,
       [&] { grid().SetTextMatrix(2, 5, QString::fromUtf8("€")); },
       Lines({kHeader, "690.000;" + radioUtf8 + ";AM;;\xC2\xA3",
              "7100.000;" + highUtf8 + ";AM;;\xE2\x82\xAC"}),
       ListEncoding::kUtf8, 2, kColStation, QString::fromLatin1(high)},
      {"UTF-8", utf8, [] {}, utf8, ListEncoding::kUtf8, 2, 5, QString::fromUtf8("📻")},
      {"UTF-8 with a byte-order mark", bom + utf8, [] {}, bom + utf8, ListEncoding::kUtf8WithBom, 2,
       kColStation, QString::fromUtf8("北京")},
      {"UTF-8 with a byte-order mark and text typed", bom + utf8,
       [&] { grid().SetTextMatrix(2, kColStation, QString::fromUtf8("東京 é")); },
       bom + Lines({kHeader, "690.000;" + radioUtf8 + " Clube do Par\xC3\xA1;AM;;\xE2\x82\xAC 5",
                    "9500.000;\xE6\x9D\xB1\xE4\xBA\xAC \xC3\xA9;USB;;\xF0\x9F\x93\xBB"}),
       ListEncoding::kUtf8WithBom, 1, kColStation, QString::fromUtf8("Rádio Clube do Pará")},
      // Plain ASCII reads as UTF-8, so what is typed into it is saved as UTF-8.
      {"ASCII with a Latin-1 character typed", kList,
       [&] { grid().SetTextMatrix(1, kColStation, QString::fromUtf8("Dé")); },
       Lines({kHeader, "9500.000;D\xC3\xA9;USB;0000-2400;d", kA, kC, kB, kE, kF}),
       ListEncoding::kUtf8, 1, kColStation, QString::fromUtf8("Dé")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenBytes("in.CSV", c.in));
    c.edit();
    EXPECT_EQ(grid().TextMatrix(c.row, c.col), c.shown);
    EXPECT_TRUE(SameBytes(Saved(), c.out));
    EXPECT_EQ(doc().encoding(), c.encoding);
    EXPECT_EQ(grid().TextMatrix(c.row, c.col), c.shown);
  }
  // Frequencies come into normal form while the list is read, before anything is saved.
  ASSERT_TRUE(OpenBytes("in.CSV", Lines({kHeader, "690;" + radio + ";am;;"})));
  EXPECT_EQ(grid().ReadRowCells(1),
            (QStringList{"1", "690.000", QString::fromUtf8("Rádio"), "AM", "", ""}));
}

TEST_F(ListRoundTripTest, ASecondListReplacesTheFirstWhole) {
  const QByteArray bom = "\xEF\xBB\xBF", wideHeader = "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes";
  const QByteArray w2 = "9500.000;b;USB;;F;F;n2", w3 = "6000.000;c;CW;;S;D;n3";
  const QByteArray w4 = "12000.000;d;FM;;I;J;n4";
  const QByteArray wide = bom + Lines({wideHeader, "7100.000;a;AM;;E;G;n1", w2, w3, w4});
  const QByteArray narrowHeader = "Freq (kHz);Station;Mode;UTC;Target", n2 = "1000.000;z;LSB;;As";
  const QByteArray narrow = Lines({narrowHeader, "690.000;Par\xE1;AM;;Eu", n2});
  const struct {
    const char* name;
    QByteArray first, second, secondWithoutItsFirstLine;
    int cols;
    ListEncoding encoding;
  } cases[] = {
      {"fewer columns and lines", wide, narrow, Lines({narrowHeader, n2}), 6,
       ListEncoding::kLatin1},
      {"more columns and lines", narrow, wide, bom + Lines({wideHeader, w2, w3, w4}), 8,
       ListEncoding::kUtf8WithBom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenBytes("first.CSV", c.first));
    // Leave the first list edited, sorted and with a line removed last, as a sort would
    // close the gap the removal leaves in the grid's store.
    grid().SetTextMatrix(1, kColStation, "changed");
    Selected(1, kColStation, 1, kColStation).Sort();
    grid().RemoveItem(2);
    doc().SetModifiedFlag(true);
    ASSERT_TRUE(OpenBytes("second.CSV", c.second));
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(grid().Cols(), c.cols);
    EXPECT_TRUE(SameBytes(Saved(), c.second));
    EXPECT_EQ(doc().encoding(), c.encoding);
    // Nothing of the first list's store may linger to upset a later change.
    grid().RemoveItem(1);
    list_->RenumberRows();
    EXPECT_TRUE(SameBytes(Saved(), c.secondWithoutItsFirstLine));
  }
}

}  // namespace
