// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "list/columns.h"
#include "tests/app/radio_window.h"
#include "tests/list/print_qt.h"

// The main window over ten stations, no two lines alike, for the editing commands. Every
// message box is kept with its title and buttons and answered with answer_.
class EditWindowTest : public RadioWindowTest {
 protected:
  struct Box {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
  };

  static constexpr int kLines = 10;

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(RadioWindowTest::SetUp());
    SetMessageBoxFunction([this](QWidget*, const QString& title, const QString& text,
                                 QMessageBox::Icon, QMessageBox::StandardButtons buttons) {
      asked_.push_back({title, text, buttons});
      return answer_;
    });
    QByteArray list = "Freq (kHz);Station;Mode;UTC\r\n";
    for (int line = 1; line <= kLines; ++line) list += Line(line).join(';').toUtf8() + "\r\n";
    ASSERT_NO_FATAL_FAILURE(WriteList("ten.CSV", list));
    ASSERT_NO_FATAL_FAILURE(OpenWindow("IC-R75"));
    ASSERT_TRUE(frame_->OpenFile(dir_.filePath("ten.CSV")));
    ASSERT_EQ(grid().Rows(), kLines + 1);
    ASSERT_EQ(grid().Cols(), 5);
    ASSERT_FALSE(doc().IsModified());
  }

  // Frequency, station, mode and UTC of line 1 .. 10 of the list as it was opened.
  static QStringList Line(int line) {
    static const char* const kCells[kLines][4] = {
        {"6000.000", "Radio A", "USB", "0600-0700"}, {"7100.000", "usb net", "LSB", "0700-0800"},
        {"800.000", "Cuba", "AM", "0800-0900"},      {"15000.000", "Oscar", "CW", "0900-1000"},
        {"9000.000", "Zulu", "AM", "1000-1100"},     {"7100.000", "Bravo", "FM", "1100-1200"},
        {"3000.000", "Echo", "RTTY", "1200-1300"},   {"500.000", "Delta", "AM", "1300-1400"},
        {"12000.000", "Kilo", "USB", "1400-1500"},   {"2000.000", "Lima", "AM", "2200-2300"},
    };
    QStringList cells;
    for (const char* cell : kCells[line - 1]) cells << cell;
    return cells;
  }

  void WriteList(const QString& name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  CIcomDoc& doc() { return frame_->view().doc(); }
  LineEditor& editor() { return frame_->view().editor(); }

  // Columns 1 and on of a row.
  QStringList Cells(int row) { return grid().ReadRowCells(row).mid(1); }
  // Every line as opened, except the rows the caller names.
  void ExpectLinesAsOpened(int except1 = 0, int except2 = 0) {
    for (int row = 1; row <= kLines; ++row) {
      if (row == except1 || row == except2) continue;
      EXPECT_EQ(Cells(row), Line(row)) << "row " << row;
    }
  }
  // One column of every line, top to bottom.
  QStringList Column(int col) {
    QStringList texts;
    for (int row = 1; row < grid().Rows(); ++row) texts << grid().TextMatrix(row, col);
    return texts;
  }
  QStringList Numbers(int count) {
    QStringList numbers;
    for (int i = 1; i <= count; ++i) numbers << QString::number(i);
    return numbers;
  }

  // The current cell first, the corner after: setting Row or Col collapses the selection.
  // The commands' states follow, as they do after the user's own selection.
  void Select(int row, int col, int rowSel, int colSel) {
    grid().SetRow(row);
    grid().SetCol(col);
    grid().SetRowSel(rowSel);
    grid().SetColSel(colSel);
    frame_->UpdateCommandStates();
  }
  struct Selection {
    int row, col, rowSel, colSel;
    bool operator==(const Selection&) const = default;
  };
  Selection Selected() { return {grid().Row(), grid().Col(), grid().RowSel(), grid().ColSel()}; }

  // Keys reach the window as the user's would: it must be shown and active, the grid
  // holding the keyboard focus.
  void ShowAndActivate() {
    frame_->show();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    grid().setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid().hasFocus(); }));
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }

  // The centre of a cell in the grid widget's coordinates; the selection stays as it was.
  QPoint CellCentre(int row, int col) {
    const Selection kept = Selected();
    grid().SetRow(row);
    grid().SetCol(col);
    const QPoint centre(grid().CellLeft() + grid().CellWidth() / 2,
                        grid().CellTop() + grid().CellHeight() / 2);
    Select(kept.row, kept.col, kept.rowSel, kept.colSel);
    return centre;
  }

  // Right-clicks a cell of the grid and returns the items of the popup menu that opened,
  // "-" for a separator; none when no menu opened. While the menu is open, choose (if set)
  // is handed the menu, then it is closed.
  QStringList RightClick(int row, int col, std::function<void(QMenu*)> choose = {}) {
    const QPoint point = CellCentre(row, col);
    QWidget* target = grid().childAt(point);
    if (target == nullptr) target = &grid();
    QStringList items;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      poll.stop();
      for (QAction* item : menu->actions()) items << (item->isSeparator() ? "-" : item->text());
      if (choose) choose(menu);
      menu->close();
    });
    poll.start();
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, target->mapFrom(&grid(), point));
    // The grid posts the click to the view; a menu opens when that is taken from the queue.
    QCoreApplication::processEvents();
    return items;
  }

  QMessageBox::StandardButton answer_ = QMessageBox::Yes;
  std::vector<Box> asked_;
};
