#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "link_interfaces.h"

// Waits for a condition with a deadline instead of sleeping a fixed time.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds deadline = std::chrono::milliseconds(2000)) {
  auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Captures the error boxes a piece of code would show.
class CapturedErrorBox : public ErrorBox {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };
  void ShowErrorBox(const std::string& caption, const std::string& text) override {
    boxes.push_back({caption, text});
  }
  std::vector<Box> boxes;
};
