// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/line_editor.h"
#include "list/list_control.h"
#include "list/memory_block.h"
#include "tests/list/fake_list_view.h"
#include "tests/widget_app.h"

// While it lives, blocks of the list over limit bytes fail as when memory runs out.
class ScopedBlockLimit {
 public:
  explicit ScopedBlockLimit(size_t limit) { SetBlockLimit(limit); }
  ~ScopedBlockLimit() { SetBlockLimit(0); }
  ScopedBlockLimit(const ScopedBlockLimit&) = delete;
  ScopedBlockLimit& operator=(const ScopedBlockLimit&) = delete;
};

// A list control and its line commands in a plain window, without a view or a radio; lists
// are written to a temporary folder and opened from there.
class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBuiltInColumns();
    SetModeChoices(ModesR75);
    widget_.resize(1000, 600);
    list_ = std::make_unique<ListControl>(view_, view_, &widget_);
    view_.list = list_.get();
    editor_ = std::make_unique<LineEditor>(*list_, view_, &widget_);
    ASSERT_TRUE(dir_.isValid());
  }

  QString Path(const char* name) const { return dir_.filePath(name); }
  CIcomDoc& doc() { return list_->doc(); }
  CEditGrid& grid() { return list_->grid(); }

  // Writes bytes as a list file and opens it.
  bool OpenBytes(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
    file.close();
    return doc().OpenDocument(file.fileName());
  }

  QApplication& app_ = WidgetApp();
  QTemporaryDir dir_;
  QWidget widget_;
  FakeListView view_;
  std::unique_ptr<ListControl> list_;
  std::unique_ptr<LineEditor> editor_;
};
