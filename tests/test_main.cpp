// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/test_support.h"

// Fontconfig keeps what it loads until the process ends; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

// Every test program gets a settings folder of its own, so no test reads or writes the
// user's real settings, and runs without a display.
int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quilvar-test-XXXXXX").string();
  const char* dir = mkdtemp(pattern.data());
  if (dir == nullptr) return 1;
  setenv("XDG_CONFIG_HOME", dir, 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return result;
}
