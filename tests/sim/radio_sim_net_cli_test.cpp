// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "sim/net_radio.h"
#include "tests/sim/loopback_client.h"
#include "tests/sim/sim_cli_support.h"
#include "tests/test_support.h"

namespace {

using namespace std::chrono_literals;

// Runs the program to its end; returns the exit status and what it wrote to standard error.
int RunForError(const std::vector<std::string>& args, std::string* err) {
  FILE* pipe = popen((Command(args) + " 2>&1 >/dev/null </dev/null").c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) err->append(buffer, n);
  return pclose(pipe);
}

// The program started with its console on a pipe, once its start line is out.
class NetSim {
 public:
  explicit NetSim(const std::vector<std::string>& args, const std::string& timeout = "10")
      : out_(Temp("net-out")), err_(Temp("net-err")) {
    console_ =
        popen((Command(args, timeout) + " >" + Quote(out_) + " 2>" + Quote(err_)).c_str(), "w");
    WaitUntil([&] { return Slurp(out_).find('\n') != std::string::npos; }, 5000ms);
    std::smatch match;
    banner_ = Slurp(out_);
    if (std::regex_match(banner_, match,
                         std::regex("quilvar-radio-sim: rigctl on "
                                    "127\\.0\\.0\\.1:([0-9]+)\n"))) {
      port_ = static_cast<uint16_t>(std::stoi(match[1]));
    }
  }
  ~NetSim() {
    if (console_ != nullptr) pclose(console_);
    std::filesystem::remove(out_);
    std::filesystem::remove(err_);
  }

  void Type(const std::string& lines) {
    fputs(lines.c_str(), console_);
    fflush(console_);
  }
  int Wait() {
    int status = pclose(console_);
    console_ = nullptr;
    return status;
  }
  uint16_t port() const { return port_; }
  const std::string& banner() const { return banner_; }
  std::string out() const { return Slurp(out_); }
  std::string err() const { return Slurp(err_); }

 private:
  std::string out_, err_, banner_;
  FILE* console_ = nullptr;
  uint16_t port_ = 0;
};

}  // namespace

TEST(RadioSimNetCli, BadNetArgumentsGiveUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"--net"},
      {"--net", "65536"},
      {"--net", "-1"},
      {"--net", "http"},
      {"--net", "0", "--model", "IC-R75"},
      {"--net", "0", "--model", "RIGCTL"},
      {"--net", "0", "--address", "5A"},
      {"--net", "0", "--link", "/tmp/quilvar-never"},
      {"--net", "0", "--no-echo"},
      {"--net", "0", "--freq", "0"},
      {"--net", "0", "--freq", "1000000000000"},
      {"--net", "0", "--mode", "usb"},
      {"--net", "0", "--mode", "USB narrow"},
      {"--model", "rigctl"},  // a network radio has no pseudo-terminal
  };
  for (const std::vector<std::string>& args : cases) {
    std::string err;
    int status = RunForError(args, &err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args.back() << ": " << status;
    EXPECT_NE(err.find("quilvar-radio-sim --net PORT"), std::string::npos) << err;
  }
}

TEST(RadioSimNetCli, ServesOnThePortItNamesWithTheConsoleUntilQuit) {
  NetSim sim({"--net", "0", "--freq", "5000000000", "--mode", "CW"});
  ASSERT_NE(sim.port(), 0) << sim.banner();
  {
    LoopbackClient client(sim.port());
    ASSERT_TRUE(client.Send("f\nm\n"));
    EXPECT_EQ(client.Read(19), "5000000000\nCW\n2400\n");
    // In order, so once the client is dropped the lines before it have been taken.
    sim.Type("freq 7055000\nvolume up\nanswer 12\\x33\\n\nclose\n");
    EXPECT_TRUE(client.WaitEnded());
  }
  LoopbackClient again(sim.port());
  ASSERT_TRUE(again.Send("f\nf\n"));
  EXPECT_EQ(again.Read(12), "123\n7055000\n");
  sim.Type("quit\n");
  EXPECT_TRUE(again.WaitEnded());
  int status = sim.Wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(sim.out(), sim.banner()) << "one line only";
  EXPECT_NE(sim.err().find("volume up"), std::string::npos) << "bad lines are told";
}

TEST(RadioSimNetCli, SignalEndsItAndItsClient) {
  NetSim sim({"--model", "rigctl", "--net", "0"}, "-s TERM 1");
  ASSERT_NE(sim.port(), 0) << sim.banner();
  LoopbackClient client(sim.port());
  ASSERT_TRUE(client.Send("m\n"));
  EXPECT_EQ(client.Read(9), "USB\n2400\n");
  EXPECT_TRUE(client.WaitEnded(5000ms));
  EXPECT_EQ(WEXITSTATUS(sim.Wait()), 124);
}

TEST(RadioSimNetCli, PortInUseEndsWithTheReason) {
  NetRadio holder;
  ASSERT_TRUE(holder.Start(0)) << holder.error();
  std::string port = std::to_string(holder.port());
  std::string err;
  int status = RunForError({"--net", port}, &err);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(err.find("127.0.0.1:" + port), std::string::npos) << err;
}
