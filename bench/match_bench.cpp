// SPDX-License-Identifier: GPL-3.0-or-later
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <vector>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "bench/bench.h"
#include "bench/bench_list.h"
#include "link/receiver_models.h"
#include "list/columns.h"
#include "list/list_format.h"
#include "sim/net_radio.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// From a reported frequency to the chosen row, the index already built: the reports
// alternate between two rows far apart so that every one moves the list.
double MatchMicroseconds(CEditGrid& grid, TuningControl& tuning) {
  const uint64_t near = uint64_t(LeadingNumber(grid.TextMatrix(10, kColFrequency)) * 1000 + 0.5);
  const uint64_t far =
      uint64_t(LeadingNumber(grid.TextMatrix(grid.Rows() - 10, kColFrequency)) * 1000 + 0.5);
  tuning.MatchFrequency(near);
  constexpr int kReports = 2000;
  const auto start = Clock::now();
  for (int i = 0; i < kReports; ++i) tuning.MatchFrequency(i % 2 == 0 ? far : near);
  const auto end = Clock::now();
  return std::chrono::duration<double, std::micro>(end - start).count() / kReports;
}

// Auto Mode over the whole list, connected to the simulated network radio that the link
// polls every 750 ms, measured as the link's idle figures are.
double AutoModeIdleCpuPercent(CIcomView& view, double seconds) {
  NetRadio radio;
  if (!radio.Start()) return -1;
  LinkSettings settings;
  settings.modelIndex = ModelIndexByName("rigctl");
  settings.netHost = "127.0.0.1:" + std::to_string(radio.port());
  view.ApplySettings(settings, 2);
  view.link().ToggleConnect();
  if (!view.link().linkConnected) return -1;
  QApplication::processEvents();
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = Clock::now();
  QEventLoop loop;
  QTimer::singleShot(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds)),
      &loop, &QEventLoop::quit);
  loop.exec();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  view.link().ToggleConnect();
  return 100.0 * cpu / wall;
}

}  // namespace

void RunMatchBenchmarks(const BenchOptions& options) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.CSV");
  WriteList(path);
  AnswerBoxesNo();
  CMainFrame frame;
  ShowBenchWindow(frame);
  CIcomView& view = frame.view();
  frame.OpenFile(path);
  QApplication::processEvents();
  CEditGrid& grid = view.list().grid();
  TuningControl& tuning = view.tuning();
  if (!tuning.autoMode) tuning.ToggleAutoMode();

  std::vector<double> match, idle;
  for (int i = 0; i < options.repetitions; ++i) match.push_back(MatchMicroseconds(grid, tuning));
  Report("match_frequency_100k_us", Median(match), "us");
  for (int i = 0; i < options.repetitions; ++i)
    idle.push_back(AutoModeIdleCpuPercent(view, options.idleSeconds));
  Report("auto_mode_idle_cpu_100k_percent", Median(idle), "%");
  tuning.ToggleAutoMode();
}
