// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <numeric>
#include <string>
#include <vector>

#include "tests/link/pty.h"
#include "tests/test_support.h"
#include "tests/without_root.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

int OpenRaw(SerialPort& port, const Pty& pty, int baudRate = 9600) {
  return port.OpenDevice(pty.path(), baudRate, 8, kParityNone, kStopBitsOne);
}

Bytes Sequence(size_t count) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  return bytes;
}

size_t OpenDescriptors() {
  auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

const char kNoSuchFile[] = "open failed: Error 2h (2)\n\nNo such file or directory";

}  // namespace

TEST(SerialPort, MissingDeviceFailsAtOpenWithOneMessage) {
  CapturedErrorBox errors;
  SerialPort port(errors, [](int) { return std::string("/dev/quilvar-no-such-line"); });
  EXPECT_EQ(port.Open(3, 9600, 8, kParityNone, kStopBitsOne), -2);
  EXPECT_FALSE(port.isOpen());
  ASSERT_EQ(errors.boxes.size(), 1u);
  EXPECT_EQ(errors.boxes[0].caption, "ERROR");
  EXPECT_EQ(errors.boxes[0].text, kNoSuchFile);

  SerialPort noDevice(errors, nullptr);  // COM98 has no device at all
  EXPECT_EQ(noDevice.Open(98, 9600, 8, kParityNone, kStopBitsOne), -2);
  ASSERT_EQ(errors.boxes.size(), 2u);
  EXPECT_EQ(errors.boxes[1].text, kNoSuchFile);
}

TEST(SerialPort, ErrorBoxGivesTheNumberInHexAndDecimal) {
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  port.ShowApiError("tcflush", EACCES);
  ASSERT_EQ(errors.boxes.size(), 1u);
  EXPECT_EQ(errors.boxes[0].caption, "ERROR");
  EXPECT_EQ(errors.boxes[0].text, "tcflush failed: Error Dh (13)\n\nPermission denied");
}

TEST(SerialPort, EachFailingStepHasItsOwnCodeAndMessage) {
  Pty pty;
  ASSERT_TRUE(pty.ready());
  struct Case {
    std::string path;
    int baudRate;
    int byteSize;
    int code;
    std::string text;
  };
  const Case cases[] = {
      {"/dev/null", 9600, 8, -3,
       "ioctl(TIOCEXCL) failed: Error 19h (25)\n\nInappropriate ioctl for device"},
      {pty.path(), 12345, 8, -5, "cfsetspeed failed: Error 16h (22)\n\nInvalid argument"},
      {pty.path(), 0, 8, -5, "cfsetspeed failed: Error 16h (22)\n\nInvalid argument"},
      {pty.path(), 9600, 9, -6, "tcsetattr failed: Error 16h (22)\n\nInvalid argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CapturedErrorBox errors;
    SerialPort port(errors, nullptr);
    EXPECT_EQ(port.OpenDevice(c.path, c.baudRate, c.byteSize, kParityNone, kStopBitsOne), c.code);
    EXPECT_FALSE(port.isOpen());
    ASSERT_EQ(errors.boxes.size(), 1u);
    EXPECT_EQ(errors.boxes[0].text, c.text);
    // What the failure left behind does not stand in the way of the next open.
    EXPECT_EQ(OpenRaw(port, pty), 0);
  }
}

TEST(SerialPort, OpensTheResolvedDeviceAndRefusesASecondOpen) {
  Pty pty;
  CapturedErrorBox errors;
  std::vector<int> asked;
  SerialPort port(errors, [&](int n) {
    asked.push_back(n);
    return n == 12 ? pty.path() : std::string();
  });
  ASSERT_EQ(port.Open(12, 9600, 8, kParityNone, kStopBitsOne), 0);
  EXPECT_EQ(port.devicePath(), pty.path());

  EXPECT_EQ(port.Open(12, 4800, 8, kParityNone, kStopBitsTwo), -1);
  EXPECT_EQ(port.OpenDevice("/dev/null", 4800, 8, kParityNone, kStopBitsTwo), -1);
  EXPECT_TRUE(errors.boxes.empty());
  EXPECT_EQ(asked, std::vector<int>{12});
  termios settings = pty.Settings();
  EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B9600));
  EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);
  const uint8_t byte = 0xFE;
  EXPECT_EQ(port.Write(&byte, 1), 1);
  EXPECT_EQ(pty.Receive(1), Bytes{0xFE});
}

TEST(SerialPort, AppliesRawLineSettings) {
  struct Case {
    int baudRate;
    speed_t speed;
    int stopBits;
    bool twoStopBits;
  };
  const Case cases[] = {
      {1200, B1200, kStopBitsOne, false},       {9600, B9600, kStopBitsTwo, true},
      {19200, B19200, kStopBitsOne, false},     {115200, B115200, kStopBitsTwo, true},
      {4800, B4800, kStopBitsOneAndHalf, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.baudRate);
    Pty pty;  // a fresh line each time starts out cooked
    CapturedErrorBox errors;
    SerialPort port(errors, nullptr);
    ASSERT_EQ(port.OpenDevice(pty.path(), c.baudRate, 8, kParityNone, c.stopBits), 0);
    termios s = pty.Settings();
    EXPECT_EQ(cfgetispeed(&s), c.speed);
    EXPECT_EQ(cfgetospeed(&s), c.speed);
    EXPECT_EQ((s.c_cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ(s.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(s.c_cflag & (PARENB | CRTSCTS), 0u);
    EXPECT_EQ(s.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(s.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(s.c_oflag & OPOST, 0u);
    EXPECT_EQ(s.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(s.c_cc[VMIN], 0);
    EXPECT_EQ(s.c_cc[VTIME], 0);
  }
}

TEST(SerialPort, EveryByteValuePassesUnchangedBothWays) {
  Pty pty;
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  const Bytes all = Sequence(256);

  ASSERT_EQ(port.Write(all.data(), 256), 256);
  EXPECT_EQ(pty.Receive(256), all);

  pty.Send(all);
  ASSERT_TRUE(WaitUntil([&] { return pty.Queued() == 256; }));
  Bytes got(300);
  ASSERT_EQ(port.Read(got.data(), 300), 256);
  got.resize(256);
  EXPECT_EQ(got, all);
}

TEST(SerialPort, ReadTakesAtMostTheMaximumAndLeavesTheRestQueued) {
  Pty pty;
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  const Bytes sent = Sequence(250);
  pty.Send(sent);
  ASSERT_TRUE(WaitUntil([&] { return pty.Queued() == 250; }));

  Bytes got(250);
  EXPECT_EQ(port.Read(got.data(), 100), 100);
  EXPECT_EQ(port.Read(got.data() + 100, 250), 150);
  EXPECT_EQ(got, sent);
  EXPECT_EQ(port.Read(got.data(), 250), 0);
  EXPECT_EQ(port.LastErrors(), 0u);
}

TEST(SerialPort, WriteGivesUpWhenTheLineStopsTakingBytes) {
  Pty pty;  // the master never reads, so the line fills up
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  const Bytes block(64 * 1024, 0x55);

  auto start = std::chrono::steady_clock::now();
  int written = port.Write(block.data(), static_cast<int>(block.size()));
  auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(block.size()));
  EXPECT_FALSE(port.lineGone());  // slow, not gone
  EXPECT_GE(elapsed, std::chrono::milliseconds(kWriteGiveUpMs - 50));
  EXPECT_LT(elapsed, std::chrono::milliseconds(5 * kWriteGiveUpMs));
}

TEST(SerialPort, ClosedPortTouchesNothing) {
  Pty pty;
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  EXPECT_EQ(port.Close(), 0);
  EXPECT_EQ(port.Close(), 0);
  EXPECT_FALSE(port.isOpen());
  uint8_t byte = 0;
  EXPECT_EQ(port.Read(&byte, 1), 0);
  EXPECT_EQ(port.Write(&byte, 1), -1);
  EXPECT_EQ(port.WaitForInput(0), -1);
  EXPECT_EQ(OpenRaw(port, pty), 0);
  EXPECT_TRUE(errors.boxes.empty());
}

TEST(SerialPort, WaitEndsOnInputOnWakeAndOnTimeout) {
  Pty pty;
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  EXPECT_EQ(port.WaitForInput(20), 0);

  auto waiting = std::async(std::launch::async, [&] { return port.WaitForInput(-1); });
  port.Wake();
  if (waiting.wait_for(5s) != std::future_status::ready) {
    pty.Send({0x00});  // let the thread go before failing
    FAIL() << "Wake did not end a wait without limit";
  }
  EXPECT_EQ(waiting.get(), 0);

  // The wake was used up: input is reported as input again.
  pty.Send({0x42});
  EXPECT_EQ(port.WaitForInput(2000), 1);
}

TEST(SerialPort, HangUpEndsTheLink) {
  Pty pty;
  CapturedErrorBox errors;
  SerialPort port(errors, nullptr);
  ASSERT_EQ(OpenRaw(port, pty), 0);
  pty.CloseMaster();

  EXPECT_EQ(port.WaitForInput(5000), -1);
  uint8_t bytes[8] = {};
  EXPECT_EQ(port.Read(bytes, 8), -1);
  EXPECT_EQ(port.Write(bytes, 8), 0);
  EXPECT_TRUE(port.lineGone());
  EXPECT_EQ(port.Close(), 0);
}

TEST(SerialPort, SecondOpenerOfALockedLineIsRefused) {
  Pty pty;
  // Open to everyone, so that only the lock can refuse the second opener.
  ASSERT_EQ(chmod(pty.path().c_str(), 0666), 0);
  CapturedErrorBox errors;
  SerialPort first(errors, nullptr);
  ASSERT_EQ(OpenRaw(first, pty), 0);
  // The lock does not hold against root, so the second opener is an ordinary user.
  const auto openAgain = [&] {
    return WithoutRootsRights([&] {
      CapturedErrorBox boxes;
      SerialPort second(boxes, nullptr);
      std::string report = std::to_string(OpenRaw(second, pty));
      for (const auto& box : boxes.boxes) report += " | " + box.text;
      return report;
    });
  };
  EXPECT_EQ(openAgain(), "-2 | open failed: Error 10h (16)\n\nDevice or resource busy");
  EXPECT_TRUE(errors.boxes.empty());
  first.Close();
  EXPECT_EQ(openAgain(), "0");
}

TEST(SerialPort, NoDescriptorOutlivesItsPort) {
  Pty pty;
  CapturedErrorBox errors;
  const size_t before = OpenDescriptors();
  for (int i = 0; i < 200; ++i) {
    SerialPort port(errors, nullptr);
    switch (i % 4) {
      case 0:
        ASSERT_EQ(OpenRaw(port, pty), 0);
        port.Close();
        break;
      case 1:
        ASSERT_EQ(OpenRaw(port, pty, 12345), -5);
        port.Close();
        break;
      case 2:
        ASSERT_EQ(OpenRaw(port, pty, 12345), -5);
        ASSERT_EQ(OpenRaw(port, pty), 0);
        break;
      default:
        ASSERT_EQ(OpenRaw(port, pty), 0);
        break;
    }
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(SerialPort, LineErrorMaskNamesEveryCounterThatMoved) {
  auto bumped = [](std::initializer_list<int LineErrorCounts::*> fields) {
    LineErrorCounts counts;
    for (auto field : fields) counts.*field += 1;
    return counts;
  };
  using C = LineErrorCounts;
  const std::pair<LineErrorCounts, uint32_t> cases[] = {
      {bumped({}), 0},
      {bumped({&C::frame}), kLineErrorFraming},
      {bumped({&C::overrun}), kLineErrorOverrun},
      {bumped({&C::bufferOverrun}), kLineErrorOverrun},
      {bumped({&C::parity}), kLineErrorParity},
      {bumped({&C::brk}), kLineErrorBreak},
      {bumped({&C::frame, &C::parity, &C::brk, &C::overrun}),
       kLineErrorFraming | kLineErrorParity | kLineErrorBreak | kLineErrorOverrun},
  };
  for (const auto& [now, mask] : cases) EXPECT_EQ(LineErrorsBetween(LineErrorCounts{}, now), mask);
}
