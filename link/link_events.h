// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QString>

// Events the receive thread posts to the link, which emits them as signals on the
// user-interface thread; the numbers are those the program has always used.
constexpr QEvent::Type kFrequencyEvent = static_cast<QEvent::Type>(QEvent::User + 1);
constexpr QEvent::Type kModeEvent = static_cast<QEvent::Type>(QEvent::User + 2);
constexpr QEvent::Type kLinkIndicatorEvent = static_cast<QEvent::Type>(QEvent::User + 9);
// The line went away under the receive thread (adapter unplugged).
constexpr QEvent::Type kLinkLostEvent = static_cast<QEvent::Type>(QEvent::User + 10);

constexpr int kIndicatorClear = 0;
constexpr int kIndicatorOk = 0x100;
constexpr int kIndicatorReceiverError = 0x200;
constexpr int kIndicatorCommError = 0x300;

class LinkEvent : public QEvent {
 public:
  // Frequencies in hertz go past 32 bits on a network link.
  LinkEvent(Type type, quint64 value) : QEvent(type), value_(value) {}
  quint64 value() const { return value_; }

 private:
  quint64 value_;
};

// The link pane's text for an indicator code (only the low 16 bits count).
QString LinkIndicatorText(int code);
