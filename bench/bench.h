// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

// One figure per line, "NAME VALUE UNIT", so runs can be compared by script.
inline void Report(const char* name, double value, const char* unit) {
  std::printf("%s %.3g %s\n", name, value, unit);
  std::fflush(stdout);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

template <typename F>
double Milliseconds(F&& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e6;
}

struct BenchOptions {
  int repetitions = 5;
  // Each opens the 2,000,000-line list in a process of its own, which takes a while.
  int bigListRepetitions = 3;
  double idleSeconds = 10;
};

// The hidden mode in which the benchmark runs as its own child: quilvar-bench
// --child-open PATH opens PATH in a main window, prints "MS RSS_MB" and exits.
constexpr char kChildOpenArgument[] = "--child-open";
int RunChildOpen(int argc, char** argv);

class CMainFrame;
// Message boxes answer No, so no figure waits for someone at the keyboard; the main window
// is shown at one size, so every run draws the same cells.
void AnswerBoxesNo();
void ShowBenchWindow(CMainFrame& frame);

// The resident set of this process, in MB.
double ResidentMegabytes();

void RunImportBenchmarks(const BenchOptions& options);
void RunLinkBenchmarks(const BenchOptions& options);
void RunListBenchmarks(const BenchOptions& options);
void RunMatchBenchmarks(const BenchOptions& options);
void RunProcessBenchmarks(const BenchOptions& options);
void RunTuningBenchmarks(const BenchOptions& options);
