// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/command_ids.h"
#include "link/link_events.h"
#include "tests/link/link_fixture.h"
#include "tests/link/pty.h"

namespace {

using namespace std::chrono_literals;

// A poll caught by the loss may still wait out its full second for a reply that cannot come.
constexpr auto kLossSettles = 5000ms;

const Bytes kStatusPoll{0x00, 0x00, 0x00, 0x00, 0x03};

// Whether the thread sleeps in poll(), as a write does while the line has no room for it.
bool SleepsInPoll(pid_t thread) {
  std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/syscall");
  std::string number;
  if (!(file >> number) || number == "running") return false;
  long call = std::stol(number);
#ifdef SYS_poll
  if (call == SYS_poll) return true;
#endif
  return call == SYS_ppoll;
}

class LostCatLineTest : public LinkControlTest {
 protected:
  // What every vanished line has to come to, however it went.
  void ExpectLostCleanly() {
    ASSERT_TRUE(Arrives([&] { return !link_.linkConnected; }, kLossSettles));
    ASSERT_FALSE(host_.indicators.empty());
    EXPECT_EQ(host_.indicators.back(), kIndicatorCommError);
    EXPECT_EQ(host_.boxes, std::vector<std::string>{});
    EXPECT_FALSE(link_.isTimerRunning(kTimerCatPoll));
    EXPECT_EQ(host_.disconnects, ++disconnects_);
  }

  void ExpectReconnects() {
    StartRadio(Radio("FT-817", 7055000));
    Connect();
    EXPECT_EQ(host_.boxes, std::vector<std::string>{});
    link_.ToggleConnect();
  }

  int disconnects_ = 0;
};

TEST_F(LostCatLineTest, RadioVanishingAroundAPollEndsInCommErrorWithoutABox) {
  struct Case {
    const char* when;
    std::function<void(int threadsWithoutLink)> kill;
  } cases[] = {
      {"between two polls", [&](int) { radio_->Stop(); }},
      // The write may fail with EIO before the receive thread has seen the hang-up.
      {"just before the poll's write",
       [&](int) {
         radio_->Stop();
         link_.OnTimer(kTimerCatPoll);
       }},
      {"just before the poll's write, again",
       [&](int) {
         radio_->Stop();
         link_.OnTimer(kTimerCatPoll);
       }},
      {"before the poll, once the receive thread has reported it",
       [&](int threadsWithoutLink) {
         radio_->Stop();
         ASSERT_TRUE(
             WaitUntil([&] { return CountEntries("/proc/self/task") == threadsWithoutLink; }));
         link_.OnTimer(kTimerCatPoll);
       }},
      {"after the poll's write, while it waits for the reply",
       [&](int) {
         ASSERT_TRUE(radio_->Command("silent on"));
         std::thread kill([&] {
           RadioReceived(kStatusPoll);
           radio_->Stop();
         });
         link_.OnTimer(kTimerCatPoll);
         kill.join();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.when);
    const int descriptors = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    StartRadio(Radio("FT-817"));
    Connect();
    radio_->clearReceived();
    host_.indicators.clear();

    c.kill(threads);
    ExpectLostCleanly();
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
  }
  ExpectReconnects();
}

// The write that waits for room when the line goes is the one a timed kill rarely hits.
TEST_F(LostCatLineTest, StalledLineIsAWriteErrorButOneThatVanishesUnderTheWriteIsNot) {
  const int descriptors = CountEntries("/proc/self/fd");
  {
    Pty line;
    ASSERT_TRUE(line.ready());
    MapComPort(line.path());
    UseModel(ModelIndexByName("FT-817"));
    std::thread probe([&] {
      line.Receive(kStatusPoll.size());
      line.Send({0x00, 0x70, 0x55, 0x00, 0x01});
    });
    Connect();
    probe.join();
    line.FillLine();

    // The radio is there but takes nothing: the poll's write gives up and says so.
    link_.OnTimer(kTimerCatPoll);
    EXPECT_EQ(host_.boxes, std::vector<std::string>{"Quilvar: WRITE:  ERROR 0"});
    ASSERT_TRUE(link_.linkConnected);
    host_.boxes.clear();

    const pid_t ui = gettid();
    bool writeWaited = false;
    std::thread kill([&] {
      writeWaited = WaitUntil([&] { return SleepsInPoll(ui); });
      line.CloseMaster();
    });
    link_.OnTimer(kTimerCatPoll);
    kill.join();
    EXPECT_TRUE(writeWaited);
    ExpectLostCleanly();
  }
  EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
  ExpectReconnects();
}

}  // namespace
