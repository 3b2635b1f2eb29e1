// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

extern char** environ;

// The radio-control daemon with its built-in test radio, on a free loopback port. Killed
// and started again on the same port, it stands for a server that goes away and comes back.
class Rigctld {
 public:
  Rigctld() : port_(FreePort()) {}
  ~Rigctld() { Kill(); }
  Rigctld(const Rigctld&) = delete;
  Rigctld& operator=(const Rigctld&) = delete;

  // Starts the daemon and waits until it takes connections.
  bool Start() {
    const std::string port = std::to_string(port_);
    std::vector<std::string> args = {"rigctld", "-m", "1", "-T", "127.0.0.1", "-t", port};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, "rigctld", nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
      return false;
    }
    return WaitUntil([this] { return Reachable(); }, std::chrono::milliseconds(5000));
  }

  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

  // One command through the daemon's own client; its output without the last newline.
  std::string Ask(const std::string& command) const {
    const std::string line = "rigctl -m 2 -r " + host() + " " + command + " 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(line.c_str(), "r")) {
      char buffer[256];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
      ::pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
  }

 private:
  static int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
      port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
  }

  // Listening, read off the kernel's socket table: a test connection would be no help, as
  // the daemon may mix up a connection closed at once with the one that follows it.
  bool Reachable() const {
    std::ifstream table("/proc/net/tcp");
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, ":%04X", port_);
    for (std::string line; std::getline(table, line);) {
      std::istringstream fields(line);
      std::string slot, local, remote, state;
      fields >> slot >> local >> remote >> state;
      // 0A: listening.
      if (state == "0A" && local.size() > 5 && local.substr(local.size() - 5) == wanted) {
        return true;
      }
    }
    return false;
  }

  int port_;
  pid_t pid_ = -1;
};
