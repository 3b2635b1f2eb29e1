// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_radio.h"

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

#include "link/receiver_models.h"
#include "tests/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

SimRadioOptions Model(const char* name) {
  SimRadioOptions options;
  options.modelIndex = ModelIndexByName(name);
  options.frequency = 14250000;
  return options;
}

const Bytes kRead{0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD};
const Bytes kEchoAndAnswer{0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD, 0xFE, 0xFE, 0xE0,
                           0x5A, 0x03, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD};

// The program's end of the line, opened the way a serial program would.
int OpenLine(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios t{};
  if (fd < 0 || tcgetattr(fd, &t) != 0) return fd;
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
  tcflush(fd, TCIOFLUSH);
  return fd;
}

// Each read as it came, until `count` bytes or the deadline.
std::vector<Bytes> ReadChunks(int fd, size_t count) {
  std::vector<Bytes> chunks;
  auto end = std::chrono::steady_clock::now() + 3s;
  for (size_t total = 0; total < count && std::chrono::steady_clock::now() < end;) {
    pollfd p{fd, POLLIN, 0};
    uint8_t buffer[8192];
    ssize_t n = poll(&p, 1, 100) > 0 ? read(fd, buffer, sizeof(buffer)) : 0;
    if (n <= 0) continue;
    chunks.emplace_back(buffer, buffer + n);
    total += static_cast<size_t>(n);
  }
  return chunks;
}

Bytes Read(int fd, size_t count) {
  Bytes all;
  for (const Bytes& chunk : ReadChunks(fd, count))
    all.insert(all.end(), chunk.begin(), chunk.end());
  return all;
}

void Write(int fd, const Bytes& bytes) {
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

}  // namespace

TEST(PtyRadio, ServesThroughItsLinkUntilStop) {
  std::string link =
      (std::filesystem::temp_directory_path() / ("quilvar-sim-link-" + std::to_string(getpid())))
          .string();
  std::filesystem::create_symlink("/nonexistent", link);  // left by an earlier run
  PtyRadio radio(Model("IC-R75"));
  ASSERT_TRUE(radio.Start(link)) << radio.error();
  EXPECT_EQ(std::filesystem::read_symlink(link), radio.slavePath());
  int fd = OpenLine(link);
  ASSERT_GE(fd, 0);
  Write(fd, kRead);
  EXPECT_EQ(Read(fd, kEchoAndAnswer.size()), kEchoAndAnswer);
  EXPECT_EQ(radio.received(), kRead);
  ASSERT_TRUE(radio.Command("noise 40"));
  EXPECT_EQ(Read(fd, 40).size(), 40u);
  close(fd);
  radio.Stop();
  EXPECT_FALSE(std::filesystem::is_symlink(link));

  std::ofstream(link) << "not a link";
  PtyRadio second(Model("IC-R75"));
  EXPECT_FALSE(second.Start(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(link)) << "a file is never replaced";
  std::filesystem::remove(link);
}

TEST(PtyRadio, ControllerLockEndsWithItsCloseAndTheLineStaysUp) {
  PtyRadio radio(Model("IC-R75"));
  ASSERT_TRUE(radio.Start()) << radio.error();
  int first = OpenLine(radio.slavePath());
  ASSERT_EQ(ioctl(first, TIOCEXCL), 0);
  close(first);
  // A lock that outlived its owner would keep everyone but root out.
  EXPECT_TRUE(WaitUntil([&] {
    int fd = open(radio.slavePath().c_str(), O_RDWR | O_NOCTTY);
    int locked = 1;
    if (fd >= 0) ioctl(fd, TIOCGEXCL, &locked), close(fd);
    return locked == 0;
  }));
  int second = OpenLine(radio.slavePath());
  Write(second, kRead);
  EXPECT_EQ(Read(second, kEchoAndAnswer.size()), kEchoAndAnswer);
  close(second);
}

TEST(PtyRadio, SplitAnswerArrivesInTwoReads) {
  struct Case {
    const char* model;
    Bytes command;
    size_t echo;
    Bytes expected;
  };
  for (const Case& c : {
           Case{"IC-R75", kRead, kRead.size(), kEchoAndAnswer},
           {"FT-817", {0, 0, 0, 0, 0x03}, 0, {0x01, 0x42, 0x50, 0x00, 0x00}},
       }) {
    PtyRadio radio(Model(c.model));
    radio.SetSplitGap(200ms);  // so the parts cannot merge on a busy host
    ASSERT_TRUE(radio.Start()) << radio.error();
    ASSERT_TRUE(radio.Command("split on"));
    int fd = OpenLine(radio.slavePath());
    Write(fd, c.command);
    Bytes all;
    bool cutInsideAnswer = false;
    for (const Bytes& chunk : ReadChunks(fd, c.expected.size())) {
      all.insert(all.end(), chunk.begin(), chunk.end());
      cutInsideAnswer |= all.size() > c.echo && all.size() < c.expected.size();
    }
    close(fd);
    EXPECT_EQ(all, c.expected) << c.model;
    EXPECT_TRUE(cutInsideAnswer) << c.model;
  }
}

TEST(PtyRadio, ConsoleFromAnotherThreadWhileServing) {
  PtyRadio radio(Model("IC-R75"));
  ASSERT_TRUE(radio.Start()) << radio.error();
  int fd = OpenLine(radio.slavePath());
  constexpr int kTunings = 50;
  std::thread console([&] {
    for (int i = 1; i <= kTunings; ++i) radio.Command("freq " + std::to_string(7000000 + i));
  });
  for (int i = 0; i < kTunings; ++i) Write(fd, kRead);
  console.join();
  // Every read echoed and answered (17 bytes), every tuning reported (11), interleaved.
  Bytes all = Read(fd, kTunings * (17 + 11));
  close(fd);
  EXPECT_EQ(all.size(), size_t{kTunings * (17 + 11)});
  int reports = 0;
  for (size_t i = 0; i + 4 < all.size(); ++i) {
    reports += all[i] == 0xFE && all[i + 1] == 0xFE && all[i + 2] == 0x00 && all[i + 4] == 0x00;
  }
  EXPECT_EQ(reports, kTunings);
  EXPECT_EQ(radio.frequency(), 7000000u + kTunings);
}

TEST(PtyRadio, StopReturnsWhileNobodyReadsTheLine) {
  PtyRadio radio(Model("IC-R75"));
  ASSERT_TRUE(radio.Start()) << radio.error();
  // More than the line holds, so the serving thread is waiting to write when Stop comes.
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(radio.Command("noise 4096"));
  auto start = std::chrono::steady_clock::now();
  radio.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}
