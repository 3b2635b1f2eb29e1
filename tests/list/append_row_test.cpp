#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "columns.h"
#include "fake_list_view.h"
#include "line_editor.h"
#include "list_control.h"
#include "print_qt.h"
#include "receiver_models.h"
#include "widget_app.h"

namespace {

// Ten columns: the five of every list and five of the user's.
const QByteArray kWideList =
    "Freq (kHz);Station;Mode;UTC;LNG;ITU;Target;Notes;Site\r\n"
    "7100.000;a;AM;0000-2400;E;G;Eu;n;s\r\n"
    "9500.000;b;USB;;F;F;Af;m;t\r\n";

class AppendRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBuiltInColumns();
    SetModeChoices(ModesR75);
    widget_.resize(1000, 600);
    list_ = std::make_unique<ListControl>(view_, view_, &widget_);
    view_.list = list_.get();
    editor_ = std::make_unique<LineEditor>(*list_, view_, &widget_);
    ASSERT_TRUE(dir_.isValid());
    QFile file(dir_.filePath("wide.CSV"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kWideList);
    file.close();
    ASSERT_TRUE(list_->doc().OpenDocument(file.fileName()));
    ASSERT_EQ(grid().Cols(), 10);
  }

  CEditGrid& grid() { return list_->grid(); }

  QApplication& app_ = WidgetApp();
  QTemporaryDir dir_;
  QWidget widget_;
  FakeListView view_;
  std::unique_ptr<ListControl> list_;
  std::unique_ptr<LineEditor> editor_;
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
    list_->doc().SetModifiedFlag(false);
    const int rows = grid().Rows();
    EXPECT_EQ(editor_->AppendRow(c.cells), 2);
    EXPECT_EQ(grid().Rows(), rows + 1);
    EXPECT_EQ(grid().ReadRowCells(2), c.row);
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(grid().Col(), 3);
    // The rows below moved down and kept their texts under their new numbers.
    EXPECT_EQ(grid().ReadRowCells(rows).mid(0, 3),
              (QStringList{QString::number(rows), "9500.000", "b"}));
    EXPECT_TRUE(list_->doc().IsModified());
    EXPECT_TRUE(view_.messages.isEmpty());
  }
}

}  // namespace
