// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "bench/bench.h"
#include "bench/bench_list.h"
#include "link/receiver_models.h"
#include "sim/pty_radio.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kComPort = 7;

std::time_t At(int hour, int minute) { return hour * 3600 + minute * 60; }

void SendMouse(QWidget* target, QEvent::Type type, QPoint point) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, point, target->mapToGlobal(point), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Milliseconds from the press that completes a double click on a row's number to the first
// byte at the radio. The radio is watched from another thread, since the double click
// returns only after the whole transaction.
double DoubleClickToFirstByte(CEditGrid& grid, PtyRadio& radio, int row) {
  QHeaderView* numbers = grid.verticalHeader();
  QWidget* target = numbers->viewport();
  const QPoint point(numbers->width() / 2,
                     numbers->sectionViewportPosition(row - 1) + numbers->sectionSize(row - 1) / 2);
  radio.clearReceived();
  std::atomic<bool> done{false};
  std::atomic<Clock::rep> arrived{0};
  std::thread watcher([&] {
    while (!done) {
      if (!radio.received().empty()) {
        arrived = Clock::now().time_since_epoch().count();
        return;
      }
      std::this_thread::yield();
    }
  });
  SendMouse(target, QEvent::MouseButtonPress, point);
  SendMouse(target, QEvent::MouseButtonRelease, point);
  const Clock::time_point start = Clock::now();
  SendMouse(target, QEvent::MouseButtonPress, point);
  SendMouse(target, QEvent::MouseButtonDblClick, point);
  SendMouse(target, QEvent::MouseButtonRelease, point);
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
  while (arrived == 0 && Clock::now() < deadline) std::this_thread::yield();
  done = true;
  watcher.join();
  // Only a frequency write for this radio counts as the tuning's first byte.
  const std::vector<uint8_t> got = radio.received();
  const std::vector<uint8_t> head{0xFE, 0xFE, 0x5A, 0xE0, 0x00};
  if (arrived == 0 || got.size() < head.size() ||
      !std::equal(head.begin(), head.end(), got.begin()))
    return -1;
  return std::chrono::duration<double, std::milli>(
             Clock::time_point(Clock::duration(arrived.load())) - start)
      .count();
}

}  // namespace

void RunTuningBenchmarks(const BenchOptions& options) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.CSV");
  WriteList(path);
  SetMessageBoxFunction([](QWidget*, const QString&, const QString& text, QMessageBox::Icon,
                           QMessageBox::StandardButtons) {
    std::fprintf(stderr, "quilvar-bench: %s\n", qPrintable(text));
    return QMessageBox::No;
  });

  SimRadioOptions radioOptions;
  radioOptions.modelIndex = ModelIndexByName("IC-R75");
  PtyRadio radio(radioOptions);
  if (!radio.Start()) {
    std::fprintf(stderr, "quilvar-bench: %s\n", radio.error().c_str());
    return;
  }
  SavePortDevice(kComPort, QString::fromStdString(radio.slavePath()));

  CMainFrame frame;
  frame.resize(1100, 700);
  frame.show();
  QApplication::processEvents();
  CIcomView& view = frame.view();
  LinkSettings settings;
  settings.modelIndex = radioOptions.modelIndex;
  settings.address = 0x5A;
  settings.comPort = kComPort;
  view.ApplySettings(settings, 2);
  frame.OpenFile(path);
  QApplication::processEvents();
  CEditGrid& grid = view.list().grid();
  TuningControl& tuning = view.tuning();
  std::time_t now = At(0, 30);
  tuning.SetClock([&now] { return now; });

  // Every window that holds 00:30 or 12:30 changes colour between the two.
  std::vector<double> timing;
  tuning.ToggleTiming();
  for (int i = 0; i < options.repetitions; ++i) {
    now = i % 2 == 0 ? At(12, 30) : At(0, 30);
    timing.push_back(Milliseconds([&] {
      tuning.UpdateClock();
      QApplication::processEvents();
    }));
  }
  tuning.ToggleTiming();
  Report("timing_pass_100k_ms", Median(timing), "ms");

  // The whole list as the range; no radio is connected, so a newly scheduled row is
  // brought to normal form and nothing is sent.
  std::vector<double> schedule;
  grid.SetRow(1);
  grid.SetCol(1);
  now = At(0, 30);
  tuning.ToggleScheduleMode();
  for (int i = 0; i < options.repetitions; ++i) {
    now = i % 2 == 0 ? At(12, 30) : At(0, 30);
    schedule.push_back(Milliseconds([&] {
      tuning.ScheduleStep();
      QApplication::processEvents();
    }));
  }
  tuning.ToggleScheduleMode();
  Report("schedule_step_100k_ms", Median(schedule), "ms");

  // The same pass over a list whose rows name their days; the day changes along with the
  // hour, so the days count too. The schedule's normal forms are not to be saved.
  const QString daysPath = dir.filePath("days.CSV");
  WriteList(daysPath, kLines, true);
  view.doc().SetModifiedFlag(false);
  frame.OpenFile(daysPath);
  QApplication::processEvents();
  std::vector<double> timingDays;
  tuning.ToggleTiming();
  for (int i = 0; i < options.repetitions; ++i) {
    // Saturday 3 January 1970 at 12:30 and Monday 5 January at 00:30.
    now = i % 2 == 0 ? At(2 * 24 + 12, 30) : At(4 * 24, 30);
    timingDays.push_back(Milliseconds([&] {
      tuning.UpdateClock();
      QApplication::processEvents();
    }));
  }
  tuning.ToggleTiming();
  Report("timing_pass_days_100k_ms", Median(timingDays), "ms");

  // And over a list with the schedule's days, persistence and validity dates.
  const QString fullPath = dir.filePath("full.CSV");
  WriteList(fullPath, kLines, true, true);
  view.doc().SetModifiedFlag(false);
  frame.OpenFile(fullPath);
  QApplication::processEvents();
  std::vector<double> timingFull;
  tuning.ToggleTiming();
  for (int i = 0; i < options.repetitions; ++i) {
    now = i % 2 == 0 ? At(2 * 24 + 12, 30) : At(4 * 24, 30);
    timingFull.push_back(Milliseconds([&] {
      tuning.UpdateClock();
      QApplication::processEvents();
    }));
  }
  tuning.ToggleTiming();
  Report("timing_pass_full_100k_ms", Median(timingFull), "ms");

  view.link().ToggleConnect();
  if (!view.link().linkConnected) return;
  std::vector<double> latency;
  for (int i = 0; i < options.repetitions; ++i) {
    latency.push_back(DoubleClickToFirstByte(grid, radio, grid.TopRow() + 1 + i % 5));
    QApplication::processEvents();
  }
  view.link().ToggleConnect();
  Report("dblclick_to_byte_ms", Median(latency), "ms");
  SetMessageBoxFunction({});
}
