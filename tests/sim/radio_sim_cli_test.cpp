#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The simulator program run with its three standard streams on pipes.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
      return;
    }
    std::vector<char*> argv{const_cast<char*>(QUILVAR_RADIO_SIM)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }

  ~SimProcess() {
    CloseStdin();
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {stdout_, stderr_}) {
      if (fd >= 0) close(fd);
    }
  }

  void Write(const std::string& text) {
    ASSERT_EQ(write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseStdin() {
    if (stdin_ >= 0) close(stdin_);
    stdin_ = -1;
  }

  // The first line on standard output, or what came before the deadline.
  std::string ReadLine(std::chrono::milliseconds deadline = 5000ms) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (out_.find('\n') == std::string::npos && Pump(end)) {
    }
    size_t newline = out_.find('\n');
    std::string line = out_.substr(0, newline);
    out_.erase(0, newline == std::string::npos ? newline : newline + 1);
    return line;
  }

  // Reads both streams to their end and reaps the process; the wait status, or -1 when
  // the deadline passed.
  int Wait(std::chrono::milliseconds deadline = 5000ms) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (Pump(end)) {
    }
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exited_ = true;
        return status;
      }
      pollfd none{-1, 0, 0};
      poll(&none, 1, 5);
    }
    return -1;
  }

  pid_t pid() const { return pid_; }
  const std::string& err() const { return err_; }
  const std::string& out() const { return out_; }

 private:
  // Takes what either stream has; false once both are closed or the deadline passed.
  bool Pump(std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0 || (stdout_ < 0 && stderr_ < 0)) return false;
    pollfd fds[2] = {{stdout_, POLLIN, 0}, {stderr_, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left.count())) <= 0) return true;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      int& fd = i == 0 ? stdout_ : stderr_;
      char buffer[4096];
      ssize_t n = read(fd, buffer, sizeof(buffer));
      if (n <= 0) {
        close(fd);
        fd = -1;
      } else {
        (i == 0 ? out_ : err_).append(buffer, static_cast<size_t>(n));
      }
    }
    return true;
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
  std::string out_, err_;
};

std::string TempLink() {
  return (std::filesystem::temp_directory_path() /
          ("quilvar-sim-cli-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name()))
      .string();
}

}  // namespace

TEST(RadioSimCli, BadArgumentsGiveUsageAndExitTwo) {
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
      {"--model", "IC-R75", "--address", "5G"},
      {"--model", "FT-817", "--address", "5A"},
      {"--model", "IC-R75", "--freq", "7.055"},
      {"--model", "IC-R75", "--freq", "-1"},
      {"--model", "IC-R75", "--freq", "4294967296"},
      {"--model", "FT-817", "--freq", "1000000000"},
      {"--model", "IC-R75", "--mode", "WFM"},
      {"--model", "IC-7200", "--mode", "FM"},
      {"--model", "IC-R75", "--link"},
      {"--model", "IC-R75", "--link", ""},
      {"--model", "IC-R75", "--echo"},
      {"--model", "IC-R75", "IC-R8500"},
  };
  for (const std::vector<std::string>& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += " " + a;
    SimProcess sim(args);
    sim.CloseStdin();
    int status = sim.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << shown << ": " << status;
    EXPECT_NE(sim.err().find("usage: quilvar-radio-sim --model NAME"), std::string::npos)
        << shown << ": " << sim.err();
    EXPECT_EQ(sim.out(), "") << shown;
  }
}

TEST(RadioSimCli, StartLineNamesRadioAddressAndDevice) {
  struct Case {
    std::vector<std::string> args;
    std::string expected;  // the line up to the device
  };
  for (const Case& c : {
           Case{{"--model", "IC-R75"}, "quilvar-radio-sim: IC-R75 at 0x5A on "},
           {{"--model", "IC-R8500", "--address", "0x0c", "--no-echo"},
            "quilvar-radio-sim: IC-R8500 at 0x0C on "},
           {{"--mode", "USB narrow", "--model", "IC-R75", "--freq", "9500000", "--address", "EE"},
            "quilvar-radio-sim: IC-R75 at 0xEE on "},
           {{"--model", "FT-817", "--freq", "999999999", "--mode", "FM"},
            "quilvar-radio-sim: FT-817 at CAT on "},
       }) {
    SimProcess sim(c.args);
    std::string line = sim.ReadLine();
    ASSERT_EQ(line.substr(0, c.expected.size()), c.expected) << line;
    std::string device = line.substr(c.expected.size());
    EXPECT_EQ(device.rfind("/dev/pts/", 0), 0u) << line;
    EXPECT_GT(device.size(), 9u) << line;
    EXPECT_EQ(device.find_first_not_of("0123456789", 9), std::string::npos) << line;
    sim.CloseStdin();  // the end of input ends the program as "quit" does
    int status = sim.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << line << ": " << status;
  }
}

TEST(RadioSimCli, ConsoleTunesTheRadioAndQuitRemovesTheLink) {
  std::string link = TempLink();
  SimProcess sim({"--model", "IC-R75", "--link", link});
  std::string line = sim.ReadLine();
  ASSERT_NE(line.find(" on /dev/pts/"), std::string::npos) << line;
  std::string device = line.substr(line.rfind(' ') + 1);
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  tcflush(fd, TCIOFLUSH);
  sim.Write("freq 9500000\nvolume up\nquit\n");
  const std::vector<uint8_t> report{0xFE, 0xFE, 0x00, 0x5A, 0x00, 0x00,
                                    0x00, 0x50, 0x09, 0x00, 0xFD};
  std::vector<uint8_t> got;
  auto end = std::chrono::steady_clock::now() + 5s;
  while (got.size() < report.size() && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    uint8_t buffer[64];
    ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n > 0) got.insert(got.end(), buffer, buffer + n);
  }
  close(fd);
  EXPECT_EQ(got, report);

  int status = sim.Wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(sim.err().find("volume up"), std::string::npos) << sim.err();
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(RadioSimCli, TerminationSignalStillRemovesTheLink) {
  for (int signal : {SIGTERM, SIGINT}) {
    std::string link = TempLink();
    SimProcess sim({"--model", "FT-817", "--link", link});
    ASSERT_NE(sim.ReadLine().find("FT-817 at CAT"), std::string::npos);
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    kill(sim.pid(), signal);
    int status = sim.Wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << signal;
  }
}
