// SPDX-License-Identifier: GPL-3.0-or-later
// The link to a network radio, against the simulated server on loopback: what goes over the
// connection byte for byte, and how refused, silent, garbled and vanishing servers end.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

#include "common/command_ids.h"
#include "common/texts.h"
#include "link/link_events.h"
#include "sim/net_radio.h"
#include "tests/link/link_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

uint16_t NetworkMode(const char* name) { return ModeCodeByName(ModesNetwork, name).code; }

// Takes every connection on 127.0.0.1 and closes it at once, as a server does that has no
// radio to serve.
class AcceptAndClose {
 public:
  AcceptAndClose() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      for (int fd; (fd = accept(listener_, nullptr, nullptr)) >= 0;) close(fd);
    });
  }
  ~AcceptAndClose() {
    // Wakes the accept, which then fails.
    shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  bool ready() const { return port_ != 0; }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
};

class NetLinkTest : public LinkControlTest {
 protected:
  void SetUp() override {
    LinkControlTest::SetUp();
    ASSERT_TRUE(server_.Start()) << server_.error();
    UseHost(Host());
  }

  std::string Host() const { return "127.0.0.1:" + std::to_string(server_.port()); }

  void UseHost(const std::string& host) {
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("rigctl");
    settings.netHost = host;
    link_.SetSettings(settings);
  }

  void Console(const std::string& line) {
    std::string reason;
    ASSERT_TRUE(server_.Command(line, &reason)) << line << ": " << reason;
  }

  bool ServerGot(const std::string& text) {
    return WaitUntil([&] { return server_.received().find(text) != std::string::npos; });
  }

  QString Says(const char* text) const { return QString(text).arg(QString::fromStdString(Host())); }

  std::string Boxes() const {
    std::string all;
    for (const std::string& box : host_.boxes) all += box + " | ";
    return all;
  }

  NetRadio server_;
};

TEST_F(NetLinkTest, ConnectShowsReceiverAndHostAndPollsTheRadio) {
  Connect();
  EXPECT_EQ(host_.connectionPane, QString::fromStdString(" rigctl  " + Host()));
  EXPECT_TRUE(link_.isTimerRunning(kTimerCatPoll));
  EXPECT_FALSE(link_.CanPower());
  EXPECT_EQ(server_.received(), "f\nm\n") << "one probe, frequency and mode";

  // Tuned by hand past 32 bits of hertz: the poll brings it to the list.
  Console("freq 5760000000");
  EXPECT_TRUE(Arrives(
      [&] { return !host_.frequencies.empty() && host_.frequencies.back() == 5760000000u; }));
  EXPECT_TRUE(host_.boxes.empty()) << Boxes();
}

TEST_F(NetLinkTest, TransactionsByteForByte) {
  Connect();
  server_.clearReceived();
  EXPECT_EQ(link_.WriteFrequency(5760000000ULL), TransactionResult::kAcknowledged);
  EXPECT_EQ(host_.linkPane, texts::kWriteFreqOk);
  EXPECT_EQ(server_.frequency(), 5760000000ULL);
  EXPECT_EQ(link_.WriteMode(NetworkMode("LSB")), TransactionResult::kAcknowledged);
  EXPECT_EQ(host_.linkPane, texts::kWriteModeOk);
  EXPECT_EQ(server_.modeCode(), NetworkMode("LSB"));
  // No name for the code: nothing to send.
  EXPECT_EQ(link_.WriteMode(999), TransactionResult::kNotSent);
  link_.PowerOn();
  link_.PowerOff();
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kAnswered);
  EXPECT_EQ(link_.ReadMode(), TransactionResult::kAnswered);
  EXPECT_EQ(server_.received(), "F 5760000000\nM LSB 0\nf\nm\n");
  // Beyond twelve digits no server takes it; the list never holds such a row anyway.
  EXPECT_EQ(link_.WriteFrequency(kNetMaxFrequency + 1), TransactionResult::kNotSent);
  EXPECT_EQ(host_.linkPane, texts::kWriteFreqOutOfRange);
  EXPECT_TRUE(host_.boxes.empty()) << Boxes();
}

TEST_F(NetLinkTest, AnswersSplitAcrossReadsAreOneAnswer) {
  server_.SetSplitGap(std::chrono::milliseconds(20));
  Connect();
  Console("split on");
  Console("freq 14250000");
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kAnswered);
  EXPECT_EQ(link_.WriteFrequency(7100000), TransactionResult::kAcknowledged);
  EXPECT_TRUE(Arrives([&] {
    const std::vector<uint64_t>& seen = host_.frequencies;
    return std::find(seen.begin(), seen.end(), 14250000u) != seen.end();
  }));
}

TEST_F(NetLinkTest, SilentServerTimesOutAndTheNextCommandStartsAfresh) {
  Connect();
  Console("silent on");
  EXPECT_EQ(link_.WriteFrequency(7100000), TransactionResult::kFailed);
  EXPECT_EQ(host_.linkPane, texts::kWriteFreqFailed);
  EXPECT_TRUE(link_.linkConnected) << "a slow answer is no reason to hang up";

  // Its answer may still come; a new connection keeps it from passing for the next one's.
  Console("silent off");
  EXPECT_EQ(link_.WriteFrequency(9500000), TransactionResult::kAcknowledged);
  EXPECT_EQ(server_.frequency(), 9500000u);
  EXPECT_EQ(server_.clients(), 2);
  EXPECT_TRUE(host_.boxes.empty()) << Boxes();
}

TEST_F(NetLinkTest, SilentServerIsNotConnected) {
  Console("silent on");
  link_.ToggleConnect();
  EXPECT_FALSE(link_.linkConnected);
  EXPECT_EQ(host_.boxes,
            std::vector<std::string>{"Quilvar: " + Says(texts::kNetNoAnswer).toStdString()});
  EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll));
}

TEST_F(NetLinkTest, PartialAnswerTimesOutWithoutSpoilingTheNext) {
  Connect();
  Console("freq 3500000");
  Console("answer 1425");
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kTimedOut);
  EXPECT_EQ(host_.linkPane, texts::kReadFailed);
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kAnswered);
  EXPECT_TRUE(Arrives([&] { return host_.frequencies.back() == 3500000u; }));
  for (uint64_t hz : host_.frequencies) EXPECT_NE(std::to_string(hz).substr(0, 4), "1425");
}

TEST_F(NetLinkTest, MalformedAnswerOrServerErrorGivesOneMessageAndACleanDisconnect) {
  struct Case {
    const char* console;
    std::string box;
    int indicator;
  } cases[] = {
      {"answer 14.250.000\\n",
       QString(texts::kNetMalformed)
           .arg(QString::fromStdString(Host()), "14.250.000")
           .toStdString(),
       kIndicatorCommError},
      {"ng on", (Says(texts::kNetServerError).arg(-9).arg("rejected by the radio")).toStdString(),
       kIndicatorReceiverError},
  };
  for (const Case& c : cases) {
    Console("ng off");
    host_.boxes.clear();
    host_.indicators.clear();
    Connect();
    const int disconnects = host_.disconnects;
    Console(c.console);
    EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kFailed) << c.console;
    EXPECT_TRUE(Arrives([&] { return !link_.linkConnected; })) << c.console;
    EXPECT_EQ(host_.boxes, std::vector<std::string>{"Quilvar: " + c.box});
    EXPECT_EQ(host_.indicators, std::vector<int>{c.indicator}) << c.console;
    EXPECT_EQ(host_.disconnects, disconnects + 1) << c.console;
    EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll)) << c.console;
  }
}

TEST_F(NetLinkTest, ServerClosingTheConnectionIsToldAndReconnectWorks) {
  Connect();
  Console("close");
  ASSERT_TRUE(Arrives([&] { return !link_.linkConnected; }));
  EXPECT_EQ(host_.boxes,
            std::vector<std::string>{"Quilvar: " + Says(texts::kNetClosed).toStdString()});
  EXPECT_EQ(host_.indicators.back(), kIndicatorCommError);
  Connect();
  EXPECT_EQ(link_.WriteFrequency(7100000), TransactionResult::kAcknowledged);
}

TEST_F(NetLinkTest, ConnectionClosedDuringAWaitEndsItAtOnceAndSaysSo) {
  AcceptAndClose closing;
  ASSERT_TRUE(closing.ready());
  // Closes the server's connections once the command is in, so the link is waiting.
  auto closeOnceReceived = [&](const std::string& command) {
    return std::thread([this, command] {
      if (ServerGot(command)) Console("close");
    });
  };
  struct Case {
    const char* what;
    std::function<void()> run;
    std::string host;
  } cases[] = {
      {"the probe, against a server that accepts and closes", [&] { link_.ToggleConnect(); },
       closing.host()},
      {"the probe, closed while it waits",
       [&] {
         Console("silent on");
         std::thread close = closeOnceReceived("f\n");
         link_.ToggleConnect();
         close.join();
       },
       Host()},
      {"a poll",
       [&] {
         Connect();
         Console("silent on");
         server_.clearReceived();
         std::thread close = closeOnceReceived("f\n");
         link_.OnTimer(kTimerCatPoll);
         close.join();
       },
       Host()},
      {"a write",
       [&] {
         Connect();
         Console("silent on");
         std::thread close = closeOnceReceived("F 7100000\n");
         EXPECT_EQ(link_.WriteFrequency(7100000), TransactionResult::kFailed);
         close.join();
         EXPECT_EQ(host_.linkPane, texts::kWriteFreqFailed);
       },
       Host()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Console("silent off");
    host_.boxes.clear();
    host_.indicators.clear();
    host_.messagePane.clear();
    server_.clearReceived();
    UseHost(c.host);
    const auto start = Clock::now();
    c.run();
    // Well short of the second a reply may take, even on a loaded machine.
    EXPECT_LT(Clock::now() - start, 500ms);
    ASSERT_TRUE(Arrives([&] { return !link_.linkConnected; }));
    const QString host = QString::fromStdString(c.host);
    EXPECT_EQ(host_.boxes, std::vector<std::string>{
                               "Quilvar: " + QString(texts::kNetClosed).arg(host).toStdString()});
    EXPECT_NE(host_.messagePane, texts::kTimeout);
    EXPECT_TRUE(Arrives([&] {
      return !host_.indicators.empty() && host_.indicators.back() == kIndicatorCommError;
    }));
    EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll));
  }
}

// Whole seconds from the "for N s." of the silence message, or -1.
int SilentSeconds(const std::string& box) {
  std::smatch match;
  if (!std::regex_search(box, match, std::regex(" for ([0-9]+) s\\.$"))) return -1;
  return std::stoi(match[1]);
}

TEST_F(NetLinkTest, ServerGoneSilentIsToldOnceAfterThreePollsAndTheLinkStaysUp) {
  // The whole seconds told: at least the three waits of a second, at most what the test saw.
  auto expectTold = [&](const std::string& box, Clock::time_point lastAnswer) {
    const int seconds = SilentSeconds(box);
    EXPECT_EQ(box, "Quilvar: " + Says(texts::kNetSilent).arg(seconds).toStdString());
    EXPECT_GE(seconds, 3);
    EXPECT_LE(seconds,
              std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - lastAnswer).count());
  };
  const auto beforeAnswer = Clock::now();
  Connect();
  Console("silent on");
  for (int poll = 1; poll <= 4; ++poll) {
    link_.OnTimer(kTimerCatPoll);
    ASSERT_EQ(host_.boxes.size(), poll < 3 ? 0u : 1u) << "poll " << poll << ": " << Boxes();
    if (poll == 3) expectTold(host_.boxes[0], beforeAnswer);
    EXPECT_TRUE(link_.linkConnected) << "poll " << poll;
  }
  EXPECT_EQ(host_.messagePane, texts::kTimeout) << "as for a silent CAT radio";

  // An answer ends the silence; the next one is told again.
  Console("silent off");
  const auto beforeNextAnswer = Clock::now();
  link_.OnTimer(kTimerCatPoll);
  Console("silent on");
  for (int poll = 1; poll <= 3; ++poll) link_.OnTimer(kTimerCatPoll);
  ASSERT_EQ(host_.boxes.size(), 2u) << Boxes();
  expectTold(host_.boxes[1], beforeNextAnswer);
  EXPECT_TRUE(link_.linkConnected);
}

TEST_F(NetLinkTest, RefusedUnknownAndBadHostsGiveTheirMessages) {
  const std::string closed = Host();
  server_.Stop();
  struct Case {
    std::string host;
    std::string boxStart;
  } cases[] = {
      {closed, "Quilvar: Cannot connect to " + closed + ": Connection refused."},
      {"no-such-host.invalid:4532", "Quilvar: Cannot connect to no-such-host.invalid:4532: "},
      {"a b", "Quilvar: " + QString(texts::kNetBadHost).arg("a b").toStdString()},
  };
  for (const Case& c : cases) {
    host_.boxes.clear();
    UseHost(c.host);
    link_.ToggleConnect();
    EXPECT_FALSE(link_.linkConnected) << c.host;
    ASSERT_EQ(host_.boxes.size(), 1u) << c.host << ": " << Boxes();
    EXPECT_EQ(host_.boxes[0].substr(0, c.boxStart.size()), c.boxStart);
  }
}

TEST_F(NetLinkTest, EscapeEndsTheWaitAndTheLinkGoesOn) {
  Connect();
  Console("silent on");
  std::thread escape = PressEscapeAfter(std::chrono::milliseconds(50));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link_.WriteFrequency(7100000), TransactionResult::kFailed);
  escape.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_EQ(host_.dialogs, std::vector<std::string>{texts::kInterrupted});
  Console("silent off");
  EXPECT_EQ(link_.WriteFrequency(7200000), TransactionResult::kAcknowledged);
}

TEST_F(NetLinkTest, RandomBytesFromTheServerNeitherCrashNorStopTheLink) {
  Connect();
  for (int i = 0; i < 25; ++i) Console("noise 4000");  // 100,000 bytes
  // Noise taken for an answer ends the link with a message; noise between answers is
  // passed over, and what it left half received makes the next command start afresh.
  TransactionResult result = TransactionResult::kNotSent;
  for (int attempt = 0; attempt < 3 && result != TransactionResult::kAcknowledged; ++attempt) {
    QCoreApplication::processEvents();
    if (!link_.linkConnected) Connect();
    result = link_.WriteFrequency(7300000);
  }
  EXPECT_EQ(result, TransactionResult::kAcknowledged);
  EXPECT_EQ(server_.frequency(), 7300000u);
}

}  // namespace
