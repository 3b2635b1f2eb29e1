// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "link/link_interfaces.h"

using Bytes = std::vector<uint8_t>;

class RecordingSender : public FrameSender {
 public:
  int SendFrame(const uint8_t* bytes, int count) override {
    frames.emplace_back(bytes, bytes + count);
    return count;
  }
  std::vector<Bytes> frames;
};

// One entry per call, in call order, so tests can check what came first.
class RecordingSink : public ReplySink {
 public:
  enum Kind { kFrequency, kMode, kError };
  struct Event {
    Kind kind;
    uint64_t value;
    bool operator==(const Event&) const = default;
    friend void PrintTo(const Event& e, std::ostream* os) {
      static const char* const kNames[] = {"Frequency", "Mode", "ReceiverError"};
      *os << kNames[e.kind] << "(" << e.value << ")";
    }
  };
  void OnFrequencyFound(uint64_t hz) override { events.push_back({kFrequency, hz}); }
  void OnModeFound(uint16_t code) override { events.push_back({kMode, code}); }
  void OnReceiverError() override { events.push_back({kError, 0}); }
  std::vector<Event> events;
};

inline RecordingSink::Event Frequency(uint64_t hz) { return {RecordingSink::kFrequency, hz}; }
inline RecordingSink::Event Mode(uint32_t code) { return {RecordingSink::kMode, code}; }
inline RecordingSink::Event ReceiverError() { return {RecordingSink::kError, 0}; }
