// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/command_ids.h"
#include "link/receiver_models.h"
#include "sim/pty_radio.h"
#include "tests/test_support.h"
#include "tests/widget_app.h"

// The main window over a nine-station list (1000 to 9000 kHz, every window open all day),
// with a simulated radio behind COM9. Message boxes are recorded and answered No.
class RadioWindowTest : public ::testing::Test {
 protected:
  static constexpr int kComPort = 9;
  using Bytes = std::vector<uint8_t>;

  void SetUp() override {
    WidgetApp();
    ASSERT_TRUE(dir_.isValid());
    previous_ = SetMessageBoxFunction([this](QWidget*, const QString&, const QString& text,
                                             QMessageBox::Icon, QMessageBox::StandardButtons) {
      boxes_.push_back(text);
      return QMessageBox::No;
    });
    QByteArray list = "Freq (kHz);Station;Mode;UTC\r\n";
    for (int i = 1; i <= 9; ++i) list += QByteArray::number(1000 * i) + ";s;AM;0000-2400\r\n";
    QFile file(listPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(list);
  }

  void TearDown() override {
    frame_.reset();
    radio_.reset();
    SetMessageBoxFunction(previous_);
  }

  // A fresh window with the list open; a model other than "None" gets its simulated radio.
  void OpenWindow(const char* model) {
    frame_.reset();
    radio_.reset();
    const int modelIndex = ModelIndexByName(model);
    if (!IsNoneModel(modelIndex)) {
      SimRadioOptions options;
      options.modelIndex = modelIndex;
      radio_ = std::make_unique<PtyRadio>(options);
      ASSERT_TRUE(radio_->Start()) << radio_->error();
      SavePortDevice(kComPort, QString::fromStdString(radio_->slavePath()));
    }
    frame_ = std::make_unique<CMainFrame>();
    LinkSettings settings;
    settings.modelIndex = modelIndex;
    settings.address = static_cast<int>(ModelAt(modelIndex).defaultAddress);
    settings.comPort = kComPort;
    frame_->view().ApplySettings(settings, 1);
    ASSERT_TRUE(frame_->OpenFile(listPath()));
    frame_->resize(900, 600);
    frame_->show();
  }

  QString listPath() const { return dir_.filePath("nine.CSV"); }
  void Trigger(int id) { frame_->action(id)->trigger(); }
  // Enables a command that its rule has disabled and chooses it: only the gate stands in
  // the way then.
  void ForceTrigger(int id) {
    frame_->action(id)->setEnabled(true);
    frame_->action(id)->trigger();
  }
  void Connect() {
    Trigger(ID_CONNECT);
    ASSERT_TRUE(frame_->view().link().linkConnected) << boxes_.join("|").toStdString();
  }
  CEditGrid& grid() { return frame_->view().list().grid(); }
  TuningControl& tuning() { return frame_->view().tuning(); }
  bool Enabled(int id) {
    frame_->UpdateCommandStates();
    return frame_->action(id)->isEnabled();
  }
  int TimesReceived(const Bytes& frame) const {
    const Bytes got = radio_->received();
    int count = 0;
    for (auto it = got.begin();
         (it = std::search(it, got.end(), frame.begin(), frame.end())) != got.end(); ++it) {
      ++count;
    }
    return count;
  }
  bool RadioReceived(const Bytes& frame, int times = 1) {
    return WaitUntil([&] { return TimesReceived(frame) >= times; });
  }

  QTemporaryDir dir_;
  std::unique_ptr<PtyRadio> radio_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList boxes_;
  MessageBoxFunction previous_;
};
