// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>
#include <QTimer>

#include "common/command_ids.h"
#include "tests/link/link_fixture.h"

namespace {

using namespace std::chrono_literals;

// Notes the keys it is sent and whether the link was busy when each came.
class KeyRecorder : public QObject {
 public:
  explicit KeyRecorder(const LinkControl& link) : link_(link) {}
  bool event(QEvent* e) override {
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return QObject::event(e);
    const auto* key = static_cast<QKeyEvent*>(e);
    keys.push_back((e->type() == QEvent::KeyPress ? "down " : "up ") + key->text().toStdString());
    if (link_.IsBusy()) ++deliveredWhileBusy;
    return true;
  }
  std::vector<std::string> keys;
  int deliveredWhileBusy = 0;

 private:
  const LinkControl& link_;
};

void PostKey(QObject* target, QEvent::Type type, Qt::Key key, const QString& text) {
  QCoreApplication::postEvent(target, new QKeyEvent(type, key, Qt::NoModifier, text));
}

TEST_F(LinkControlTest, InputDuringAWaitArrivesInOrderOnceTheLinkIsIdle) {
  StartRadio(Radio("IC-R75"));
  Connect();
  KeyRecorder recorder(link_);
  size_t keysDuringBox = 99;
  host_.insideBox = [&] {
    // The interruption notice is up: the held keys still wait for the transaction to end.
    QCoreApplication::processEvents();
    keysDuringBox = recorder.keys.size();
  };
  link_.ExpectReply();
  ASSERT_TRUE(radio_->Command("silent on"));
  std::thread typing([&recorder, target = static_cast<QObject*>(&link_)] {
    std::this_thread::sleep_for(50ms);
    PostKey(&recorder, QEvent::KeyPress, Qt::Key_A, "a");
    PostKey(&recorder, QEvent::KeyRelease, Qt::Key_A, "a");
    PostKey(&recorder, QEvent::KeyPress, Qt::Key_B, "b");
    PostKey(&recorder, QEvent::KeyRelease, Qt::Key_B, "b");
    // Anything after Esc would reach the notice that follows the wait, as the user's keys do.
    PostKey(target, QEvent::KeyPress, Qt::Key_Escape, QString());
  });
  EXPECT_EQ(link_.ReadFrequency(), TransactionResult::kInterrupted);
  typing.join();
  EXPECT_EQ(host_.dialogs, std::vector<std::string>{"Interrupted by user."});
  EXPECT_EQ(keysDuringBox, 0u);
  EXPECT_TRUE(recorder.keys.empty());

  ASSERT_TRUE(Arrives([&] { return recorder.keys.size() >= 4; }));
  EXPECT_EQ(recorder.keys, (std::vector<std::string>{"down a", "up a", "down b", "up b"}));
  EXPECT_EQ(recorder.deliveredWhileBusy, 0);
}

TEST_F(LinkControlTest, APollDueWhileABoxIsUpFollowsTheTransaction) {
  StartRadio(Radio("FT-817"));
  Connect();
  ASSERT_TRUE(link_.isTimerRunning(kTimerCatPoll));
  size_t sentDuringBox = 0;
  host_.insideBox = [&] {
    const size_t before = radio_->received().size();
    link_.OnTimer(kTimerCatPoll);
    sentDuringBox = radio_->received().size() - before;
  };
  ASSERT_TRUE(radio_->Command("silent on"));
  std::thread escape = PressEscapeAfter(50ms);
  EXPECT_EQ(link_.WriteFrequency(7000000), TransactionResult::kFailed);
  escape.join();
  EXPECT_EQ(sentDuringBox, 0u);
  EXPECT_FALSE(link_.idle().empty());
  host_.insideBox = nullptr;
  ASSERT_TRUE(radio_->Command("silent off"));
  radio_->clearReceived();
  // The held poll reads the radio's status.
  ASSERT_TRUE(Arrives([&] { return link_.idle().empty(); }));
  EXPECT_TRUE(RadioReceived({0x00, 0x00, 0x00, 0x00, 0x03}));
}

}  // namespace
