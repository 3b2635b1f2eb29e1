// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/command_ids.h"
#include "link/link_control.h"
#include "link/link_host.h"
#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/grid_owner.h"
#include "list/list_control.h"
#include "list/list_host.h"
#include "sim/pty_radio.h"
#include "tests/test_support.h"
#include "tests/widget_app.h"
#include "tuning/colours.h"
#include "tuning/edit_freq.h"
#include "tuning/tuning_control.h"

// Readable failures for texts of the grid and the panes.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

constexpr int kComPort = 7;
constexpr int kOffsetColumn = 5;

// Stands in for the view: passes the grid's, the list's and the link's requests on to the
// tuning control, the way the program's view does, and notes what it is shown.
class FakeView : public ListHost, public GridOwner, public LinkHost, public TuningHost {
 public:
  // ListHost and GridOwner
  void ShowListMessage(const QString& text) override { messages << text; }
  bool AskYesNo(const QString&) override { return false; }
  bool AnyModeOn() override { return tuning->AnyModeOn(); }
  void OnRowChanged() override {
    if (tuning != nullptr) tuning->TuneCurrentRow(false);
  }
  bool ReceiverIsNone() override { return false; }
  bool CanEdit() override { return !tuning->AnyModeOn(); }
  void OnCellCommitted(QString&) override {}
  bool OnGridDoubleClick() override {
    doubleClickAnswer = tuning->OnGridDoubleClick();
    return *doubleClickAnswer;
  }
  void OnGridRightButton(const QPoint&) override {}
  void SetModifiedFlag(bool modified) override { list->doc().SetModifiedFlag(modified); }

  // LinkHost
  void SetPaneText(StatusPane pane, const QString& text) override {
    if (pane == StatusPane::kLink) linkPane = text;
  }
  void ShowMessageBox(const QString&, const QString& text, BoxIcon) override { messages << text; }
  void ShowMessageDialog(const QString& text) override { messages << text; }
  void SetWaitCursor(bool) override {}

  // The link's reports, as the program's view takes them: the dialog first, then the list.
  void Follow(LinkControl& link) {
    QObject::connect(&link, &LinkControl::frequencyReported, [this](uint64_t hz) {
      if (frequencyDialog) frequencyDialog->ShowFrequency(hz);
      matched.push_back(hz);
      tuning->MatchFrequency(hz);
    });
    QObject::connect(&link, &LinkControl::modeReported, [this](int code) {
      if (frequencyDialog) frequencyDialog->ShowMode(code);
    });
    QObject::connect(&link, &LinkControl::indicatorChanged,
                     [this](int code) { indicators.push_back(code); });
    QObject::connect(&link, &LinkControl::disconnected, [this] { tuning->TurnOffTimedModes(); });
  }
  PortMap MappedPorts() override { return ports; }

  // TuningHost
  void SetClockPane(const QString& text) override { clockPane = text; }
  void RefreshFrequencyDialog() override {
    ++dialogRefreshes;
    // Once, as a box shown at the end of a step would run its own event loop there.
    if (auto inside = std::exchange(insideStep, nullptr)) inside();
  }
  void OnTuningStateChanged() override {}

  TuningControl* tuning = nullptr;
  QPointer<CEditFreq> frequencyDialog;
  ListControl* list = nullptr;
  QStringList messages;
  QString linkPane, clockPane;
  std::vector<uint64_t> matched;
  std::vector<int> indicators;
  std::function<void()> insideStep;
  std::optional<bool> doubleClickAnswer;
  int dialogRefreshes = 0;
  PortMap ports;
};

// One CI-V frame the radio received from the program, read as "freq HZ", "mode CODE" or
// "cmd N".
inline std::string Describe(const Bytes& frame) {
  const uint8_t command = frame[4];
  if (command == 0x00 && frame.size() == 11) {
    uint64_t hz = 0;
    for (int i = 9; i >= 5; --i) hz = hz * 100 + (frame[i] >> 4) * 10 + (frame[i] & 0x0F);
    return "freq " + std::to_string(hz);
  }
  if (command == 0x01 && frame.size() == 8)
    return "mode " + std::to_string(frame[5] * 256 + frame[6]);
  return "cmd " + std::to_string(command);
}

inline std::vector<Bytes> SplitFrames(const Bytes& bytes) {
  std::vector<Bytes> frames;
  Bytes frame;
  for (uint8_t b : bytes) {
    frame.push_back(b);
    if (b == 0xFD) {
      frames.push_back(frame);
      frame.clear();
    }
  }
  return frames;
}

class TuningControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBuiltInColumns();
    SetModeChoices(ModesR75);
    host_.tuning = &tuning_;
    host_.list = &list_;
    host_.Follow(link_);
    tuning_.SetClock([this] { return now_; });
    // Scan ticks are given by hand; the real timer must never add one.
    tuning_.SetScanInterval(3600);
    auto* layout = new QVBoxLayout(&view_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&grid());
    view_.resize(900, 500);
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  }

  void TearDown() override {
    if (link_.linkConnected) link_.CloseLink();
  }

  CEditGrid& grid() { return list_.grid(); }

  void At(int hour, int minute) { now_ = hour * 3600 + minute * 60; }

  // Opens a list of the given lines (after the header) and makes (row, 1) current.
  void Load(const QStringList& lines, int row = 1) {
    const QString path = dir_.filePath("list.CSV");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        ("Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n" + lines.join("\r\n") + "\r\n").toUtf8());
    file.close();
    ASSERT_TRUE(list_.doc().OpenDocument(path));
    Go(row, 1);
  }

  // Rows numbered by their frequency: row r tunes (1000 + r) kHz.
  void LoadNumbered(int rows, int row = 1) {
    QStringList lines;
    for (int r = 1; r <= rows; ++r) lines << QString("%1.000;S%2;AM;;;;").arg(1000 + r).arg(r);
    Load(lines, row);
  }

  void Go(int row, int col) {
    grid().SetRow(row);
    grid().SetCol(col);
  }

  void StartRadio(const char* model) {
    SimRadioOptions options;
    options.modelIndex = ModelIndexByName(model);
    radio_ = std::make_unique<PtyRadio>(options);
    ASSERT_TRUE(radio_->Start()) << radio_->error();
    host_.ports[kComPort] = radio_->slavePath();
    LinkSettings link;
    link.modelIndex = options.modelIndex;
    link.address = ModelAt(options.modelIndex).defaultAddress;
    link.comPort = kComPort;
    link_.SetSettings(link);
    link_.ToggleConnect();
    ASSERT_TRUE(link_.linkConnected) << host_.messages.join("; ").toStdString();
    radio_->clearReceived();
  }

  // What the CI-V radio received since the last call. A read-mode request closes the
  // record, so nothing sent before it can still be on its way.
  Texts Sent() {
    link_.ReadMode();
    std::vector<Bytes> frames;
    const bool closed = WaitUntil([&] {
      frames = SplitFrames(radio_->received());
      return !frames.empty() && frames.back().size() == 6 && frames.back()[4] == 0x04;
    });
    EXPECT_TRUE(closed);
    radio_->clearReceived();
    if (closed) frames.pop_back();
    Texts texts;
    for (const Bytes& frame : frames) texts.push_back(Describe(frame));
    return texts;
  }

  // Only the frequency writes, as list rows of LoadNumbered.
  std::vector<int> TunedRows() {
    std::vector<int> rows;
    for (const std::string& text : Sent()) {
      if (text.rfind("freq ", 0) == 0) rows.push_back(std::stoi(text.substr(5)) / 1000 - 1000);
    }
    return rows;
  }

  // The mark of every data row (index 0 is row 1); the current cell stays where it is.
  std::vector<QColor> Marks() {
    const int row = grid().Row(), col = grid().Col(), rowSel = grid().RowSel(),
              colSel = grid().ColSel();
    std::vector<QColor> marks;
    for (int r = 1; r < grid().Rows(); ++r) {
      Go(r, 0);
      marks.push_back(grid().CellBackColor());
    }
    Go(row, col);
    grid().SetRowSel(rowSel);
    grid().SetColSel(colSel);
    return marks;
  }

  QColor Plain() {
    const int row = grid().Row(), col = grid().Col();
    Go(0, 0);
    const QColor colour = grid().CellBackColor();
    Go(row, col);
    return colour;
  }

  std::vector<int> Current() { return {grid().Row(), grid().Col()}; }

  QApplication& app_ = WidgetApp();  // before any widget
  QTemporaryDir dir_;
  std::unique_ptr<PtyRadio> radio_;  // outlives the link that talks to it
  QWidget view_;
  FakeView host_;
  ListControl list_{host_, host_, &view_};
  LinkControl link_{host_};
  TuningControl tuning_{list_, link_, host_};
  std::time_t now_ = 0;
};
