// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/list/list_fixture.h"
#include "tests/list/print_qt.h"

namespace {

// Ten columns: the five of every list and five of the user's.
const QByteArray kWideList =
    "Freq (kHz);Station;Mode;UTC;LNG;ITU;Target;Notes;Site\r\n"
    "7100.000;a;AM;0000-2400;E;G;Eu;n;s\r\n"
    "9500.000;b;USB;;F;F;Af;m;t\r\n";

class AppendRowTest : public ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    ASSERT_TRUE(OpenBytes("wide.CSV", kWideList));
    ASSERT_EQ(grid().Cols(), 10);
  }
};

// What the Operating Frequency dialog hands over: eight cells, whatever the list's width.
TEST_F(AppendRowTest, CellsFillTheNewRowBelowTheCurrentOneWhateverTheirNumber) {
  const struct {
    QStringList cells;
    QStringList row;
  } cases[] = {
      {{"", "6070", "", "usb", "0100-0200", "", "", ""},
       {"2", "6070.000", "", "USB", "0100-0200", "", "", "", "", ""}},
      {{"", "6070"}, {"2", "6070.000", "", "AM", "", "", "", "", "", ""}},
      {{"x", "6070", "s", "CW", "", "1", "2", "3", "4", "5", "beyond", "further"},
       {"2", "6070.000", "s", "CW", "", "1", "2", "3", "4", "5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells.join('|').toStdString());
    grid().SetRow(1);
    grid().SetCol(3);
    doc().SetModifiedFlag(false);
    const int rows = grid().Rows();
    EXPECT_EQ(editor_->AppendRow(c.cells), 2);
    EXPECT_EQ(grid().Rows(), rows + 1);
    EXPECT_EQ(grid().ReadRowCells(2), c.row);
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(grid().Col(), 3);
    // The rows below moved down and kept their texts under their new numbers.
    EXPECT_EQ(grid().ReadRowCells(rows).mid(0, 3),
              (QStringList{QString::number(rows), "9500.000", "b"}));
    EXPECT_TRUE(doc().IsModified());
    EXPECT_TRUE(view_.messages.isEmpty());
  }
}

}  // namespace
