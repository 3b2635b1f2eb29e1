// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

class IdleQueue;

// Held while a transaction waits for the radio on the user-interface thread. The wait still
// lets the window repaint, but no command, timer tick or second transaction may run inside
// it: Esc ends the wait and is consumed; every other keyboard and mouse input, and every
// close and drop request, is handed to the idle queue in order and delivered once the link is
// idle again; ticks of the given timer owners are held back and delivered once afterwards;
// and the link's own events are re-posted afterwards, so a reply that arrives during the wait
// is handled after the transaction returns.
class ReplyWaitFilter : public QObject {
 public:
  ReplyWaitFilter(QObject* linkEvents, std::vector<QPointer<QObject>> timerOwners,
                  IdleQueue& heldInput);
  ~ReplyWaitFilter() override;

  bool escapePressed() const { return escapePressed_; }

  // Runs what is queued for the window (paint, expose) without waiting.
  void ProcessPending();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsTimerOwner(QObject* object) const;
  void HoldTick(QObject* owner, int timerId);
  bool HoldInput(QObject* watched, QEvent* event);

  QPointer<QObject> linkEvents_;
  std::vector<QPointer<QObject>> timerOwners_;
  IdleQueue& heldInput_;
  std::vector<std::pair<QEvent::Type, quint64>> heldEvents_;
  std::vector<std::pair<QPointer<QObject>, int>> heldTicks_;
  bool escapePressed_ = false;
};
