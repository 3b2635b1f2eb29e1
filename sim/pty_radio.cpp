// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_radio.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "sim/serve_waits.h"

namespace {

bool MakeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string ReadLink(const std::string& path) {
  char target[PATH_MAX];
  ssize_t n = readlink(path.c_str(), target, sizeof(target) - 1);
  if (n < 0) return {};
  return std::string(target, static_cast<size_t>(n));
}

}  // namespace

PtyRadio::PtyRadio(const SimRadioOptions& options) : radio_(options) {}

PtyRadio::~PtyRadio() { Stop(); }

bool PtyRadio::Fail(const std::string& what) {
  error_ = what + ": " + std::strerror(errno);
  CloseAll();
  return false;
}

bool PtyRadio::Start(const std::string& linkPath) {
  if (serving_) return true;
  error_.clear();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) return Fail("posix_openpt");
  if (grantpt(master_) != 0) return Fail("grantpt");
  if (unlockpt(master_) != 0) return Fail("unlockpt");
  char name[PATH_MAX];
  if (ptsname_r(master_, name, sizeof(name)) != 0) return Fail("ptsname_r");
  slavePath_ = name;
  if (!MakeRaw(master_)) return Fail("tcsetattr " + slavePath_);
  // Raw from the start, so a controller that opens the line without setting it up itself
  // still gets the bytes unchanged (no echo, no CR/LF translation).
  slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return Fail("open " + slavePath_);
  if (!MakeRaw(slave_)) return Fail("tcsetattr " + slavePath_);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_ < 0) return Fail("eventfd");
  // Without it a controller's exclusive lock would outlive its close, and only root could
  // open the line again; serving goes on without it.
  closes_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (closes_ >= 0 &&
      inotify_add_watch(closes_, slavePath_.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
    close(closes_);
    closes_ = -1;
  }

  if (!linkPath.empty()) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        errno = EEXIST;
        return Fail(linkPath + " is not a symbolic link");
      }
      if (unlink(linkPath.c_str()) != 0) return Fail("unlink " + linkPath);
    }
    if (symlink(slavePath_.c_str(), linkPath.c_str()) != 0) return Fail("symlink " + linkPath);
    linkPath_ = linkPath;
  }

  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
  }
  stopping_ = false;
  serving_ = true;
  thread_ = std::thread(&PtyRadio::Serve, this);
  return true;
}

void PtyRadio::Stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    uint64_t one = 1;
    (void)!write(wake_, &one, sizeof(one));
    thread_.join();
  }
  serving_ = false;
  // Console output queued just before the stop (a tuning, then "quit") still goes out, as
  // far as the line takes it without waiting.
  std::lock_guard<std::mutex> lock(mutex_);
  for (const LineOutput& piece : pending_) {
    if (master_ >= 0) (void)!write(master_, piece.bytes.data(), piece.bytes.size());
  }
  pending_.clear();
  CloseAll();
}

void PtyRadio::CloseAll() {
  // Leave a link that someone else has pointed elsewhere in the meantime.
  if (!linkPath_.empty() && ReadLink(linkPath_) == slavePath_) unlink(linkPath_.c_str());
  linkPath_.clear();
  for (int* fd : {&closes_, &wake_, &slave_, &master_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool PtyRadio::Command(const std::string& line, std::string* reason) {
  std::vector<LineOutput> out;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!radio_.Console(line, &out, reason)) return false;
  if (!serving_ || out.empty()) return true;
  for (LineOutput& piece : out) pending_.push_back(std::move(piece));
  // Under the lock, so Stop cannot close the descriptor in between.
  uint64_t one = 1;
  (void)!write(wake_, &one, sizeof(one));
  return true;
}

std::vector<uint8_t> PtyRadio::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void PtyRadio::clearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
}

uint32_t PtyRadio::frequency() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radio_.frequency();
}

int PtyRadio::modeCode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return radio_.modeCode();
}

void PtyRadio::Serve() {
  while (!stopping_) {
    bool pendingOutput = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pendingOutput = !pending_.empty();
    }
    // Waits for a wake-up may have been consumed while writing, so queued console output
    // is looked at before blocking rather than left to the next wake-up.
    pollfd fds[3] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}, {closes_, POLLIN, 0}};
    if (poll(fds, 3, pendingOutput ? 0 : -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents & POLLIN) DrainWake(wake_);
    if (fds[2].revents & POLLIN) ReleaseLock();
    if (stopping_) return;
    // The slave is held open here, so a hang-up means the line itself is gone.
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return;

    std::vector<LineOutput> out;
    bool split = false;
    if (fds[0].revents & POLLIN) {
      uint8_t buffer[4096];
      ssize_t n = read(master_, buffer, sizeof(buffer));
      if (n > 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.insert(received_.end(), buffer, buffer + n);
        out = radio_.Exchange(buffer, static_cast<int>(n));
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        return;
      }
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      while (!pending_.empty()) {
        out.push_back(std::move(pending_.front()));
        pending_.pop_front();
      }
      split = radio_.split();
    }
    Deliver(out, split);
  }
}

// A real serial device forgets its exclusive lock with its last close; the line here is
// held open by this end, so the lock is dropped when a controller closes it.
void PtyRadio::ReleaseLock() {
  alignas(inotify_event) char events[4096];
  while (read(closes_, events, sizeof(events)) > 0) {
  }
  ioctl(slave_, TIOCNXCL);
}

void PtyRadio::Deliver(const std::vector<LineOutput>& pieces, bool split) {
  for (const LineOutput& piece : pieces) {
    const uint8_t* bytes = piece.bytes.data();
    size_t count = piece.bytes.size();
    if (split && piece.fromRadio && count >= 2) {
      size_t first = count / 2;
      if (!WriteAllUnlessStopped(master_, wake_, stopping_, bytes, first, false) ||
          !PauseUnlessStopped(wake_, stopping_, splitGap_))
        return;
      bytes += first;
      count -= first;
    }
    if (!WriteAllUnlessStopped(master_, wake_, stopping_, bytes, count, false)) return;
    if (piece.fromRadio) {
      lastAnswerWritten_ = std::chrono::steady_clock::now().time_since_epoch().count();
    }
  }
}

// Waits only while the controller leaves its input queue full; a stop ends the wait.
