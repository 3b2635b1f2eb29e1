// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reply_wait.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimerEvent>
#include <QWindow>

#include "link/idle_queue.h"
#include "link/link_events.h"

namespace {

// A held key goes where keys go when it is delivered: a menu or dialog the input before it
// opened gets the keys typed after that input. Sent, not spontaneous, a key press still runs
// through the shortcut map first.
void DeliverKey(const QPointer<QObject>& target, const std::shared_ptr<QEvent>& event) {
  QObject* receiver = QGuiApplication::focusWindow();
  if (receiver == nullptr) receiver = target;
  if (receiver != nullptr) QCoreApplication::sendEvent(receiver, event.get());
}

void Deliver(const QPointer<QObject>& target, const std::shared_ptr<QEvent>& event) {
  if (target != nullptr) QCoreApplication::sendEvent(target, event.get());
}

// The dragged data belongs to the drag, which ends with the drop: keep a copy.
std::function<void()> HeldDrop(QObject* target, const QDropEvent& drop) {
  auto data = std::make_shared<QMimeData>();
  for (const QString& format : drop.mimeData()->formats()) {
    data->setData(format, drop.mimeData()->data(format));
  }
  return
      [target = QPointer<QObject>(target), data, position = drop.position(),
       actions = drop.possibleActions(), buttons = drop.buttons(), modifiers = drop.modifiers()] {
        QDropEvent copy(position, actions, data.get(), buttons, modifiers);
        if (target != nullptr) QCoreApplication::sendEvent(target, &copy);
      };
}

}  // namespace

ReplyWaitFilter::ReplyWaitFilter(QObject* linkEvents, std::vector<QPointer<QObject>> timerOwners,
                                 IdleQueue& heldInput)
    : linkEvents_(linkEvents), timerOwners_(std::move(timerOwners)), heldInput_(heldInput) {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->installEventFilter(this);
}

ReplyWaitFilter::~ReplyWaitFilter() {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->removeEventFilter(this);
  if (linkEvents_ != nullptr) {
    for (const auto& [type, value] : heldEvents_) {
      QCoreApplication::postEvent(linkEvents_, new LinkEvent(type, value));
    }
  }
  // Like a message queue that keeps one pending tick per timer, a wait costs at most a delay,
  // never a tick.
  for (const auto& [owner, id] : heldTicks_) {
    if (owner != nullptr) QCoreApplication::postEvent(owner, new QTimerEvent(id));
  }
}

void ReplyWaitFilter::ProcessPending() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

bool ReplyWaitFilter::IsTimerOwner(QObject* object) const {
  for (const auto& owner : timerOwners_) {
    if (owner == object) return true;
  }
  return false;
}

void ReplyWaitFilter::HoldTick(QObject* owner, int timerId) {
  for (const auto& [held, id] : heldTicks_) {
    if (held == owner && id == timerId) return;
  }
  heldTicks_.emplace_back(owner, timerId);
}

// True when the event was input and is now held (or, for Esc, used up).
bool ReplyWaitFilter::HoldInput(QObject* watched, QEvent* event) {
  QPointer<QObject> target(watched);
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Taken as overridden, the key arrives as a key press that can be held; its shortcut
      // is looked up when the press is delivered.
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress) escapePressed_ = true;
        return true;
      }
      std::shared_ptr<QEvent> copy(event->clone());
      heldInput_.Hold([target, copy] { DeliverKey(target, copy); });
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::Shortcut: {
      std::shared_ptr<QEvent> copy(event->clone());
      heldInput_.Hold([target, copy] { Deliver(target, copy); });
      return true;
    }
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
      // Left unhandled, they come again as mouse input, which is held.
      event->ignore();
      return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      heldInput_.Hold(HeldDrop(watched, *drop));
      drop->acceptProposedAction();
      return true;
    }
    case QEvent::Close:
      // Only the window system's request is held; a widget closed by the program itself
      // (the held request being delivered, say) closes at once.
      if (!watched->isWindowType()) return false;
      event->ignore();
      heldInput_.Hold([window = QPointer<QWindow>(static_cast<QWindow*>(watched))] {
        if (window != nullptr) window->close();
      });
      return true;
    default:
      return false;
  }
}

bool ReplyWaitFilter::eventFilter(QObject* watched, QEvent* event) {
  if (HoldInput(watched, event)) return true;
  if (event->type() == QEvent::Timer) {
    if (!IsTimerOwner(watched)) return false;
    HoldTick(watched, static_cast<QTimerEvent*>(event)->timerId());
    return true;
  }
  if (watched == linkEvents_ &&
      (event->type() == kFrequencyEvent || event->type() == kModeEvent ||
       event->type() == kLinkIndicatorEvent || event->type() == kLinkLostEvent)) {
    heldEvents_.emplace_back(event->type(), static_cast<LinkEvent*>(event)->value());
    return true;
  }
  return false;
}
