// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/sim_cli_support.h"
#include "tests/test_support.h"

namespace {
using namespace std::chrono_literals;
}  // namespace

TEST(RadioSimCli, BadArgumentsGiveUsageOnStderrAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--model"},
      {"--model", "IC-999"},
      {"--model", "ic-r75"},
      {"--model", "None"},
      {"--model", "IC-R75", "--address", "0"},
      {"--model", "IC-R75", "--address", "E0"},
      {"--model", "IC-R75", "--address", "0xF0"},
      {"--model", "IC-R75", "--address", "1FF"},
      {"--model", "FT-817", "--address", "5A"},
      {"--model", "IC-R75", "--freq", "7.055"},
      {"--model", "IC-R75", "--freq", "4294967296"},
      {"--model", "FT-817", "--freq", "1000000000"},
      {"--model", "IC-R75", "--mode", "WFM"},
      {"--model", "IC-R75", "--link", ""},
      {"--model", "IC-R75", "--echo"},
      {"--model", "IC-R75", "IC-R8500"},
  };
  for (const std::vector<std::string>& args : cases) {
    // Standard error into the pipe, standard output away: a usage must not go to stdout.
    FILE* pipe = popen((Command(args) + " 2>&1 >/dev/null </dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string err;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) err.append(buffer, n);
    int status = pclose(pipe);
    std::string shown = args.empty() ? "(none)" : args.back();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << shown << ": " << status;
    EXPECT_NE(err.find("usage: quilvar-radio-sim --model NAME"), std::string::npos) << err;
  }
}

TEST(RadioSimCli, StartsWithOneLineAndEndsOnQuitEndOfInputOrSignal) {
  struct Case {
    std::vector<std::string> args;
    std::string input;     // written once the start line is out
    std::string timeout;   // "-s TERM 1": ended by that signal, not by its input
    std::string expected;  // the start line up to the device
  };
  const std::string link = Temp("link");
  for (const Case& c : {
           Case{{"--model", "IC-R75", "--link", link},
                "freq 9500000\nvolume up\nquit\n",
                "10",
                "quilvar-radio-sim: IC-R75 at 0x5A on /dev/pts/"},
           {{"--model", "IC-R8500", "--address", "0x0c", "--no-echo", "--link", link},
            "",
            "10",
            "quilvar-radio-sim: IC-R8500 at 0x0C on /dev/pts/"},
           {{"--mode", "USB narrow", "--model", "IC-R75", "--freq", "9500000", "--address", "EE",
             "--link", link},
            "",
            "-s INT 1",
            "quilvar-radio-sim: IC-R75 at 0xEE on /dev/pts/"},
           {{"--model", "FT-817", "--freq", "999999999", "--mode", "FM", "--link", link},
            "",
            "-s TERM 1",
            "quilvar-radio-sim: FT-817 at CAT on /dev/pts/"},
       }) {
    const std::string out = Temp("out"), err = Temp("err");
    FILE* input =
        popen((Command(c.args, c.timeout) + " >" + Quote(out) + " 2>" + Quote(err)).c_str(), "w");
    ASSERT_NE(input, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Slurp(out).find('\n') != std::string::npos; }, 5000ms));
    std::string line = Slurp(out);
    EXPECT_EQ(line.rfind(c.expected, 0), 0u) << line;
    EXPECT_EQ(std::filesystem::read_symlink(link).string() + "\n",
              line.substr(line.rfind(' ') + 1));
    bool bySignal = c.timeout != "10";
    fputs(c.input.c_str(), input);
    fflush(input);
    // Standard input stays open until the signal has done its work.
    if (bySignal) {
      EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::is_symlink(link); }));
    }
    int status = pclose(input);
    EXPECT_EQ(WEXITSTATUS(status), bySignal ? 124 : 0) << line;
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << line;
    EXPECT_EQ(Slurp(out), line) << "one line only";
    if (!c.input.empty()) {
      EXPECT_NE(Slurp(err).find("volume up"), std::string::npos) << "bad lines are told";
    }
    std::filesystem::remove(out);
    std::filesystem::remove(err);
  }
}
