// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "list/schedule_rows.h"
#include "tests/list/file_bytes.h"
#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"

namespace {

class SourceImportDocTest : public ListFixture {
 protected:
  QStringList Row(int row) { return grid().ReadRowCells(row).mid(1); }
};

TEST_F(SourceImportDocTest, AnHfccFileBecomesAnUntitledListWithDates) {
  ASSERT_TRUE(OpenBytes("a.CSV", "Freq (kHz);Station;Mode;UTC\r\n7100.000;a;AM;\r\n"));
  QString summary;
  ASSERT_TRUE(doc().ImportDocument(QUILVAR_TEST_DATA "/hfcc-a26-excerpt.TXT", &summary))
      << view_.messages.join('|').toStdString();
  EXPECT_EQ(summary, "Imported 2 entries, skipped 0 lines.");
  EXPECT_EQ(doc().title(), "Untitled");
  EXPECT_TRUE(doc().IsModified());
  ASSERT_EQ(grid().Rows(), 3);
  EXPECT_EQ(Row(0).join(';'), kScheduleListHeaderWithDates);
  EXPECT_EQ(Row(2).join(';'),
            "21630.000;UAE;AM;1400-1430;12345;Hau;UAE;46SE;DHA UAE;;290326;251026");

  ASSERT_TRUE(doc().SaveDocument(Path("hfcc.CSV")));
  const QByteArray saved = ReadBytes(Path("hfcc.CSV"));
  EXPECT_TRUE(saved.startsWith(QByteArray(kScheduleListHeaderWithDates) + "\r\n"));
  // The grid puts a mode the receiver has in place of the empty one.
  EXPECT_EQ(QString(saved.split('\n').value(1)),
            "3955.000;BBC;AM;0459-0600;;Eng;G;27SE,28NW;WOF DRM_EUR;;010926;251026\r");
}

TEST_F(SourceImportDocTest, AnAokiListImportsThroughTheDocument) {
  QString summary;
  ASSERT_TRUE(doc().ImportDocument(QUILVAR_TEST_DATA "/aoki-a26-excerpt.txt", &summary))
      << view_.messages.join('|').toStdString();
  EXPECT_EQ(summary, "Imported 2 entries, skipped 0 lines.");
  ASSERT_EQ(grid().Rows(), 3);
  EXPECT_EQ(Row(1).join(';'), "198.000;BBC R4;AM;0500-0100;12345;English;G;;Droitwich, BBC R4;;;");
}

}  // namespace
