#include "reply_wait.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimerEvent>

#include "link_events.h"

ReplyWaitFilter::ReplyWaitFilter(QObject* linkEvents, std::vector<QPointer<QObject>> timerOwners)
    : linkEvents_(linkEvents), timerOwners_(std::move(timerOwners)) {
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

bool ReplyWaitFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) escapePressed_ = true;
      return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    case QEvent::Timer:
      if (!IsTimerOwner(watched)) return false;
      HoldTick(watched, static_cast<QTimerEvent*>(event)->timerId());
      return true;
    default:
      break;
  }
  if (watched == linkEvents_ &&
      (event->type() == kFrequencyEvent || event->type() == kModeEvent ||
       event->type() == kLinkIndicatorEvent || event->type() == kLinkLostEvent)) {
    heldEvents_.emplace_back(event->type(), static_cast<LinkEvent*>(event)->value());
    return true;
  }
  return false;
}
