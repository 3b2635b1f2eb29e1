// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Running quilvar-radio-sim from a test through the shell.

inline std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char ch : s) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return quoted + "'";
}

// The program under `timeout`, so a hang ends the test instead of the suite.
inline std::string Command(const std::vector<std::string>& args,
                           const std::string& timeout = "10") {
  std::string command = "timeout " + timeout + " " + Quote(QUILVAR_RADIO_SIM);
  for (const std::string& a : args) command += " " + Quote(a);
  return command;
}

inline std::string Temp(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("quilvar-sim-cli-" + std::to_string(getpid()) + "-" + name))
      .string();
}

inline std::string Slurp(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}
