// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QObject>
#include <deque>
#include <functional>

// Work that must wait until nothing is using the link: input held back during a reply wait,
// timer ticks and a lost line's disconnect that arrived while a transaction or a tuning step
// ran (a message box of the link runs its own event loop, so they could otherwise start
// inside it). Items run in the order they came, one per pass of the event loop, so that an
// item that opens a modal dialog still lets the next held key reach that dialog.
class IdleQueue : public QObject {
 public:
  // Keeps the link busy for as long as it lives; scopes nest.
  class BusyScope {
   public:
    explicit BusyScope(IdleQueue& queue) : queue_(queue) { queue_.Enter(); }
    ~BusyScope() { queue_.Leave(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    IdleQueue& queue_;
  };

  explicit IdleQueue(QObject* parent = nullptr) : QObject(parent) {}

  bool busy() const { return depth_ > 0; }
  bool empty() const { return items_.empty(); }

  // Runs the work at once when the link is idle and nothing waits before it; otherwise keeps
  // it. A key other than 0 keeps at most one item of that key waiting, as a message queue
  // keeps one pending tick per timer.
  void RunWhenIdle(int key, std::function<void()> work);
  // Always keeps the work for later, behind what already waits.
  void Hold(std::function<void()> work);

 protected:
  bool event(QEvent* event) override;

 private:
  struct Item {
    int key;
    std::function<void()> work;
  };

  void Enter() { ++depth_; }
  void Leave();
  void PostRun();

  std::deque<Item> items_;
  int depth_ = 0;
  bool runPosted_ = false;
};
