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
  double idleSeconds = 10;
};

void RunLinkBenchmarks(const BenchOptions& options);
void RunListBenchmarks(const BenchOptions& options);
void RunTuningBenchmarks(const BenchOptions& options);
