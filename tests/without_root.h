// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>

// Permission bits and exclusive locks do not stop root, and the tests run as root in CI:
// there, `what` runs in a child process that has given up root's rights for those of
// "nobody", and its report comes back through a pipe. Anyone else runs it right here.
// Empty when the child could not be run or failed to report.
inline std::optional<std::string> WithoutRootsRights(const std::function<std::string()>& what) {
  if (::geteuid() != 0) return what();
  constexpr uid_t kNobody = 65534;
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::close(pipeEnds[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(2);
    }
    // A marker first, so that an empty report still counts as one.
    const std::string report = "+" + what();
    const bool sent =
        ::write(pipeEnds[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
    ::_exit(sent ? 0 : 3);
  }
  ::close(pipeEnds[1]);
  std::string report;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) report.append(buffer, static_cast<size_t>(n));
    if (n < 0 && errno != EINTR) break;
  }
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.empty()) return std::nullopt;
  return report.substr(1);
}
