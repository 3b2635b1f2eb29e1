#include "pty_radio.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "civ_codec.h"
#include "receiver_models.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

SimRadioOptions R75() {
  SimRadioOptions options;
  options.modelIndex = ModelIndexByName("IC-R75");
  options.frequency = 14250000;
  return options;
}

const Bytes kReadFrequency{0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD};
const Bytes kFrequencyAnswer{0xFE, 0xFE, 0xE0, 0x5A, 0x03, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD};

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The program's end of the line, opened the way any serial program would.
class Controller {
 public:
  explicit Controller(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
    tcflush(fd_, TCIOFLUSH);
  }
  ~Controller() { Close(); }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  void Write(const Bytes& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Each read as it came, until `count` bytes or the deadline.
  std::vector<Bytes> ReadChunks(size_t count, std::chrono::milliseconds deadline = 2000ms) {
    std::vector<Bytes> chunks;
    size_t total = 0;
    auto end = std::chrono::steady_clock::now() + deadline;
    while (total < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      uint8_t buffer[8192];
      ssize_t n = read(fd_, buffer, sizeof(buffer));
      if (n <= 0) continue;
      chunks.emplace_back(buffer, buffer + n);
      total += static_cast<size_t>(n);
    }
    return chunks;
  }

  Bytes Read(size_t count, std::chrono::milliseconds deadline = 2000ms) {
    Bytes all;
    for (const Bytes& chunk : ReadChunks(count, deadline)) all = Concat(all, chunk);
    return all;
  }

 private:
  int fd_ = -1;
};

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          (name + "-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name()))
      .string();
}

}  // namespace

TEST(PtyRadio, AnswersOverThePseudoTerminalAndKeepsWhatItReceived) {
  PtyRadio radio(R75());
  ASSERT_TRUE(radio.Start()) << radio.error();
  Controller line(radio.slavePath());
  ASSERT_TRUE(line.ok());
  line.Write(kReadFrequency);
  EXPECT_EQ(line.Read(17), Concat(kReadFrequency, kFrequencyAnswer));
  EXPECT_EQ(radio.received(), kReadFrequency);

  ASSERT_TRUE(radio.Command("noise 40"));
  EXPECT_EQ(line.Read(40).size(), 40u);
  radio.clearReceived();
  EXPECT_TRUE(radio.received().empty());
}

TEST(PtyRadio, LineSurvivesTheControllerClosingAndReleasesItsLock) {
  PtyRadio radio(R75());
  ASSERT_TRUE(radio.Start()) << radio.error();
  {
    Controller first(radio.slavePath());
    ASSERT_TRUE(first.ok());
    ASSERT_EQ(ioctl(first.fd(), TIOCEXCL), 0);
  }
  // An exclusive lock that outlived its owner would keep every other user out.
  EXPECT_TRUE(WaitUntil([&] {
    int fd = open(radio.slavePath().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return false;
    int locked = 1;
    ioctl(fd, TIOCGEXCL, &locked);
    close(fd);
    return locked == 0;
  }));
  Controller second(radio.slavePath());
  ASSERT_TRUE(second.ok());
  second.Write(kReadFrequency);
  EXPECT_EQ(second.Read(17), Concat(kReadFrequency, kFrequencyAnswer));
}

TEST(PtyRadio, SplitAnswerArrivesInTwoReads) {
  SimRadioOptions ft817;
  ft817.modelIndex = ModelIndexByName("FT-817");
  ft817.frequency = 14250000;
  ft817.modeCode = 1;
  struct Case {
    SimRadioOptions options;
    Bytes command;
    Bytes echo;
    Bytes answer;
  };
  for (const Case& c : {
           Case{R75(), kReadFrequency, kReadFrequency, kFrequencyAnswer},
           {ft817, {0x00, 0x00, 0x00, 0x00, 0x03}, {}, {0x01, 0x42, 0x50, 0x00, 0x01}},
       }) {
    PtyRadio radio(c.options);
    // Far longer than the reader needs to wake, so the parts cannot merge on a busy host.
    radio.SetSplitGap(200ms);
    ASSERT_TRUE(radio.Start()) << radio.error();
    ASSERT_TRUE(radio.Command("split on"));
    Controller line(radio.slavePath());
    ASSERT_TRUE(line.ok());
    line.Write(c.command);
    const Bytes expected = Concat(c.echo, c.answer);
    std::vector<Bytes> chunks = line.ReadChunks(expected.size());
    Bytes all;
    bool cutInsideAnswer = false;
    for (const Bytes& chunk : chunks) {
      all = Concat(all, chunk);
      cutInsideAnswer |= all.size() > c.echo.size() && all.size() < expected.size();
    }
    EXPECT_EQ(all, expected);
    EXPECT_TRUE(cutInsideAnswer) << chunks.size() << " reads";
  }
}

TEST(PtyRadio, LinkPointsAtTheLineUntilStop) {
  std::string link = TempPath("quilvar-sim-link");
  std::filesystem::create_symlink("/nonexistent", link);  // left by an earlier run
  {
    PtyRadio radio(R75());
    ASSERT_TRUE(radio.Start(link)) << radio.error();
    EXPECT_EQ(std::filesystem::read_symlink(link), radio.slavePath());
    Controller line(link);
    ASSERT_TRUE(line.ok());
    line.Write(kReadFrequency);
    EXPECT_EQ(line.Read(17).size(), 17u);
    radio.Stop();
    EXPECT_FALSE(std::filesystem::is_symlink(link));
  }

  std::ofstream(link) << "not a link";
  PtyRadio radio(R75());
  EXPECT_FALSE(radio.Start(link));
  EXPECT_NE(radio.error().find(link), std::string::npos) << radio.error();
  EXPECT_TRUE(std::filesystem::is_regular_file(link)) << "a file is never replaced";
  std::filesystem::remove(link);
}

TEST(PtyRadio, ConsoleFromAnotherThreadWhileServing) {
  PtyRadio radio(R75());
  ASSERT_TRUE(radio.Start()) << radio.error();
  Controller line(radio.slavePath());
  ASSERT_TRUE(line.ok());
  constexpr int kTunings = 50;
  std::thread console([&] {
    for (int i = 1; i <= kTunings; ++i) radio.Command("freq " + std::to_string(7000000 + i));
  });
  for (int i = 0; i < kTunings; ++i) line.Write(kReadFrequency);
  console.join();
  // Every read is echoed and answered, and every tuning is reported: 6 + 11 bytes for each
  // read, 11 for each report, in some interleaving.
  Bytes all = line.Read(kTunings * (17 + 11));
  EXPECT_EQ(all.size(), static_cast<size_t>(kTunings * (17 + 11)));
  int reports = 0;
  for (size_t i = 0; i + 4 < all.size(); ++i) {
    reports += all[i] == 0xFE && all[i + 1] == 0xFE && all[i + 2] == 0x00 && all[i + 4] == 0x00;
  }
  EXPECT_EQ(reports, kTunings);
  EXPECT_EQ(radio.frequency(), 7000000u + kTunings);
  EXPECT_EQ(radio.received().size(), kTunings * kReadFrequency.size());
}

TEST(PtyRadio, StopReturnsWhileNobodyReadsTheLine) {
  PtyRadio radio(R75());
  ASSERT_TRUE(radio.Start()) << radio.error();
  // More than the line holds, so the serving thread waits to write when Stop comes.
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(radio.Command("noise 4096"));
  auto start = std::chrono::steady_clock::now();
  radio.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  radio.Stop();
}
