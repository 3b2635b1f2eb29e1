// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/bench.h"

// quilvar-bench [--quick]: every figure, each the median of several repetitions.
int main(int argc, char** argv) {
  // The grid is measured the same way on every machine: headless.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (argc == 3 && std::strcmp(argv[1], kChildOpenArgument) == 0) return RunChildOpen(argc, argv);

  BenchOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      options.idleSeconds = 2;
      options.bigListRepetitions = 1;
    } else {
      std::fprintf(stderr, "usage: quilvar-bench [--quick]\n");
      return 2;
    }
  }
  // Port mappings go to a settings folder of the benchmark's own, not the user's.
  std::string pattern = (std::filesystem::temp_directory_path() / "quilvar-bench-XXXXXX").string();
  const char* dir = mkdtemp(pattern.data());
  if (dir == nullptr) return 1;
  setenv("XDG_CONFIG_HOME", dir, 1);

  QApplication app(argc, argv);
  RunListBenchmarks(options);
  RunImportBenchmarks(options);
  RunProcessBenchmarks(options);
  RunTuningBenchmarks(options);
  RunMatchBenchmarks(options);
  RunLinkBenchmarks(options);

  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return 0;
}
