// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "link/link_interfaces.h"

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

// Records the files opened inside one folder from its making on; the folder itself and the
// folders in it do not count.
class OpenedFiles {
 public:
  explicit OpenedFiles(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0 && inotify_add_watch(fd_, folder.c_str(), IN_OPEN) < 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~OpenedFiles() {
    if (fd_ >= 0) close(fd_);
  }
  OpenedFiles(const OpenedFiles&) = delete;
  OpenedFiles& operator=(const OpenedFiles&) = delete;

  bool ready() const { return fd_ >= 0; }
  // The names opened since the last call; the kernel queues the event at the open itself.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[4096];
    ssize_t length;
    while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len > 0 && !(event->mask & IN_ISDIR)) names.emplace_back(event->name);
        at += sizeof(inotify_event) + event->len;
      }
    }
    return names;
  }

 private:
  int fd_;
};
