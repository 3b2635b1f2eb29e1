// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/link_control.h"
#include "link/receiver_models.h"
#include "sim/pty_radio.h"
#include "tests/test_support.h"

using Bytes = std::vector<uint8_t>;

constexpr int kComPort = 7;

inline QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "link_control_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = [] {
    auto* created = new QCoreApplication(argc, argv);
    // Key events made on another thread would otherwise create the keyboard device there.
    QInputDevice::primaryKeyboard();
    return created;
  }();
  return *app;
}

inline int CountEntries(const char* folder) {
  int n = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir) != nullptr) ++n;
    closedir(dir);
  }
  return n;
}

// Everything the link shows, in the order it showed it, and what it reports.
class RecordingHost : public LinkHost {
 public:
  void SetPaneText(StatusPane pane, const QString& text) override {
    if (pane == StatusPane::kMessage) messagePane = text;
    if (pane == StatusPane::kLink) linkPane = text;
    if (pane == StatusPane::kConnection) connectionPane = text;
  }
  void ShowMessageBox(const QString& caption, const QString& text, BoxIcon) override {
    boxes.push_back((caption + ": " + text).toStdString());
    if (insideBox) insideBox();
  }
  void ShowMessageDialog(const QString& text) override {
    dialogs.push_back(text.toStdString());
    if (insideBox) insideBox();
  }
  void SetWaitCursor(bool on) override { waitCursor = on; }
  PortMap MappedPorts() override { return ports; }

  void Follow(LinkControl& link) {
    QObject::connect(&link, &LinkControl::frequencyReported,
                     [this](uint64_t hz) { frequencies.push_back(hz); });
    QObject::connect(&link, &LinkControl::indicatorChanged,
                     [this](int code) { indicators.push_back(code); });
    QObject::connect(&link, &LinkControl::disconnected, [this] { ++disconnects; });
    QObject::connect(&link, &LinkControl::connectionChanged, [this] { ++connectionChanges; });
  }

  QString messagePane, linkPane, connectionPane;
  std::vector<std::string> boxes, dialogs;
  std::vector<uint64_t> frequencies;
  std::vector<int> indicators;
  // Runs while a box is up, as the box's own event loop would.
  std::function<void()> insideBox;
  bool waitCursor = false;
  int disconnects = 0;
  int connectionChanges = 0;
  PortMap ports;
};

inline SimRadioOptions Radio(const char* model, uint32_t hz = 14250000) {
  SimRadioOptions options;
  options.modelIndex = ModelIndexByName(model);
  options.frequency = hz;
  return options;
}

// A link with a recording host, and a simulated radio behind COM7 when a test starts one.
class LinkControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    host_.Follow(link_);
  }

  // Points COM7 at the device, as a mapping the user saved would.
  void MapComPort(const std::string& device) { host_.ports[kComPort] = device; }

  // Points the link at the given model on COM7, whatever is behind it.
  void UseModel(int modelIndex) {
    LinkSettings settings;
    settings.modelIndex = modelIndex;
    settings.address = ModelAt(modelIndex).defaultAddress;
    settings.comPort = kComPort;
    settings.baudRate = 9600;
    link_.SetSettings(settings);
  }

  // Starts a simulated radio behind the COM port and points the link at it.
  void StartRadio(const SimRadioOptions& options) {
    radio_ = std::make_unique<PtyRadio>(options);
    ASSERT_TRUE(radio_->Start()) << radio_->error();
    MapComPort(radio_->slavePath());
    UseModel(options.modelIndex);
  }

  void Connect() {
    link_.ToggleConnect();
    ASSERT_TRUE(link_.linkConnected) << (host_.boxes.empty() ? "" : host_.boxes.back());
  }

  // Lets posted link events arrive until the condition holds.
  bool Arrives(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(2000)) {
    return WaitUntil(
        [&] {
          QCoreApplication::processEvents();
          return condition();
        },
        deadline);
  }

  // Posts Esc to the application after a delay, as a key press during a wait would arrive.
  std::thread PressEscapeAfter(std::chrono::milliseconds delay) {
    QObject* target = &link_;
    return std::thread([target, delay] {
      std::this_thread::sleep_for(delay);
      QCoreApplication::postEvent(target,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
  }

  bool RadioReceived(const Bytes& frame) {
    return WaitUntil([&] {
      Bytes got = radio_->received();
      return std::search(got.begin(), got.end(), frame.begin(), frame.end()) != got.end();
    });
  }

  RecordingHost host_;
  LinkControl link_{host_};
  std::unique_ptr<PtyRadio> radio_;
};
