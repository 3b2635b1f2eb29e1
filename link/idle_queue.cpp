// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/idle_queue.h"

#include <QCoreApplication>

namespace {

const QEvent::Type kRunIdleWork = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

void IdleQueue::RunWhenIdle(int key, std::function<void()> work) {
  if (!busy() && items_.empty()) {
    work();
    return;
  }
  if (key != 0) {
    for (const Item& item : items_) {
      if (item.key == key) return;
    }
  }
  items_.push_back({key, std::move(work)});
  if (!busy()) PostRun();
}

void IdleQueue::Hold(std::function<void()> work) {
  items_.push_back({0, std::move(work)});
  if (!busy()) PostRun();
}

void IdleQueue::Leave() {
  if (--depth_ == 0 && !items_.empty()) PostRun();
}

void IdleQueue::PostRun() {
  if (runPosted_) return;
  runPosted_ = true;
  QCoreApplication::postEvent(this, new QEvent(kRunIdleWork));
}

bool IdleQueue::event(QEvent* event) {
  if (event->type() != kRunIdleWork) return QObject::event(event);
  runPosted_ = false;
  // Leave() posts again when the link becomes idle.
  if (busy() || items_.empty()) return true;
  Item item = std::move(items_.front());
  items_.pop_front();
  // Posted before the item runs, so a modal loop the item opens takes the next one.
  if (!items_.empty()) PostRun();
  item.work();
  return true;
}
