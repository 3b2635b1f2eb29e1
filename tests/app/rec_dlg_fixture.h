// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "app/rec_dlg.h"
#include "app/serial_devices.h"
#include "app/settings_store.h"
#include "link/receiver_models.h"
#include "tests/app/shown_boxes.h"
#include "tests/test_support.h"
#include "tests/tty_tree.h"
#include "tests/widget_app.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// The Settings dialog as the user meets it, over the settings store of this test program.
class RecDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->remove("Settings");
    store->remove("Ports");
  }

  // The stored form itself, as a user editing the file by hand would see it.
  static void Seed(const QString& key, const QVariant& value) {
    OpenSettingsStore()->setValue(key, value);
  }
  static QVariant Stored(const QString& key) { return OpenSettingsStore()->value(key); }

  // Opens the dialog on what the store holds, the way the Setup command does.
  void Open(int offsetColumn = 1) {
    dlg_ = std::make_unique<CRecDlg>(LoadSettings(), offsetColumn, nullptr, folders_);
    dlg_->show();
  }
  QComboBox* Combo(const char* name) { return dlg_->findChild<QComboBox*>(name); }
  QLineEdit* Edit(const char* name) { return dlg_->findChild<QLineEdit*>(name); }
  QString Shown(const char* name) { return Combo(name)->currentText(); }
  QStringList Items(const char* name) {
    QStringList items;
    for (int i = 0; i < Combo(name)->count(); ++i) items << Combo(name)->itemText(i);
    return items;
  }

  // Opens the drop-down, moves to the entry and presses Enter, as a user does.
  void Choose(const char* name, const QString& text) {
    QComboBox* combo = Combo(name);
    combo->showPopup();
    int row = combo->findText(text);
    if (row < 0) row = combo->findText(text + "  (detected)");
    ASSERT_GE(row, 0) << text.toStdString();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_FALSE(combo->view()->isVisible());
  }
  void OpenAndLeave(const char* name) {
    Combo(name)->showPopup();
    QTest::keyClick(Combo(name)->view(), Qt::Key_Escape);
  }
  void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  void Press(const char* button) {
    QTest::mouseClick(dlg_->findChild<QPushButton*>(button), Qt::LeftButton);
  }

  // Where the dialog looks for serial lines.
  DeviceFolders folders_;
  std::unique_ptr<CRecDlg> dlg_;
};
