// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/net_codec.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

#include "link/receiver_models.h"

namespace {

constexpr size_t kShownLineLength = 40;
constexpr std::string_view kResultPrefix = "RPRT ";

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Whole hertz; some servers add a fraction, which no receiver tunes.
std::optional<uint64_t> ParseFrequency(std::string_view text) {
  const size_t dot = text.find('.');
  std::string_view whole = text.substr(0, dot);
  if (dot != std::string_view::npos && !IsDigits(text.substr(dot + 1))) return std::nullopt;
  if (!IsDigits(whole) || whole.size() > 12) return std::nullopt;
  uint64_t hz = 0;
  std::from_chars(whole.data(), whole.data() + whole.size(), hz);
  if (hz > kNetMaxFrequency) return std::nullopt;
  return hz;
}

std::optional<int> ParseInteger(std::string_view text) {
  const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
  if (!IsDigits(digits) || digits.size() > 9) return std::nullopt;
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// Mode names are upper-case letters and digits.
bool IsModeName(std::string_view text) {
  if (text.empty() || text.size() > 16) return false;
  for (char c : text) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// What a malformed answer showed, printable and short.
std::string Shown(std::string_view line) {
  std::string shown;
  for (char c : line.substr(0, kShownLineLength)) {
    const auto u = static_cast<unsigned char>(c);
    shown += u >= 0x20 && u < 0x7F ? c : '?';
  }
  if (line.size() > kShownLineLength) shown += "...";
  return shown;
}

}  // namespace

NetCodec::NetCodec(FrameSender& sender, ReplySink& sink, std::atomic<int>& pendingReplies)
    : sender_(sender), sink_(sink), pendingReplies_(pendingReplies) {}

void NetCodec::SetFrequency(uint64_t hz) {
  Send("F " + std::to_string(hz) + "\n", {Line::kResult});
}

// Passband 0 leaves the filter to the radio, which knows its own normal width for the mode.
void NetCodec::SetMode(const char* name) {
  Send("M " + std::string(name) + " 0\n", {Line::kResult});
}

void NetCodec::ReadFrequency() { Send("f\n", {Line::kFrequency}); }

void NetCodec::ReadMode() { Send("m\n", {Line::kMode, Line::kPassband}); }

void NetCodec::ReadStatus() { Send("f\nm\n", {Line::kFrequency, Line::kMode, Line::kPassband}); }

void NetCodec::Send(const std::string& text, std::vector<Line> lines) {
  {
    // Queued before the bytes leave: on loopback the answer may be back before Send returns.
    std::lock_guard lock(mutex_);
    pendingReplies_ = static_cast<int>(lines.size());
    commands_.push_back({std::move(lines), false});
  }
  sender_.SendFrame(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
}

void NetCodec::Abandon() {
  std::lock_guard lock(mutex_);
  for (Command& command : commands_) command.abandoned = true;
}

bool NetCodec::outOfStep() const {
  std::lock_guard lock(mutex_);
  return !commands_.empty() || !partial_.empty() || skipping_;
}

void NetCodec::Reset() {
  std::lock_guard lock(mutex_);
  commands_.clear();
  partial_.clear();
  skipping_ = false;
  fault_ = {};
}

NetFault NetCodec::TakeFault() {
  std::lock_guard lock(mutex_);
  return std::exchange(fault_, NetFault{});
}

void NetCodec::Parse(const uint8_t* bytes, int count) {
  std::lock_guard lock(mutex_);
  for (int i = 0; i < count; ++i) {
    const char c = static_cast<char>(bytes[i]);
    if (c != '\n') {
      if (skipping_) continue;
      partial_ += c;
      if (partial_.size() > kNetMaxLineLength) {
        const std::string start = std::exchange(partial_, std::string());
        skipping_ = true;
        OnLine(start);
      }
      continue;
    }
    if (skipping_) {
      skipping_ = false;
      continue;
    }
    std::string line = std::exchange(partial_, std::string());
    if (!line.empty() && line.back() == '\r') line.pop_back();
    OnLine(line);
  }
}

void NetCodec::OnLine(const std::string& line) {
  // Nobody asked: a stray line is not an answer to anything still to come.
  if (commands_.empty()) return;
  Command& command = commands_.front();
  if (!TakeLine(command, line) || command.lines.empty()) commands_.pop_front();
}

bool NetCodec::TakeLine(Command& command, const std::string& line) {
  const Line expected = command.lines.front();
  const bool live = !command.abandoned;
  std::string_view text = line;
  if (text.substr(0, kResultPrefix.size()) == kResultPrefix) {
    const std::optional<int> code = ParseInteger(text.substr(kResultPrefix.size()));
    // A result in place of a value ends the command: it is all the server will say.
    if (code && *code == 0 && expected == Line::kResult) {
      command.lines.erase(command.lines.begin());
      if (live) --pendingReplies_;
      return true;
    }
    if (live) {
      Fail(code && *code != 0 ? NetFault{NetFault::kServerError, *code, {}}
                              : NetFault{NetFault::kMalformed, 0, Shown(text)});
    }
    return false;
  }
  bool understood = false;
  switch (expected) {
    case Line::kResult:
      break;
    case Line::kFrequency:
      if (std::optional<uint64_t> hz = ParseFrequency(text)) {
        understood = true;
        if (live) sink_.OnFrequencyFound(*hz);
      }
      break;
    case Line::kMode:
      if (IsModeName(text)) {
        understood = true;
        // A mode the table does not name is the radio's business; there is nothing to show.
        const ModeLookup mode = ModeCodeByName(ModesNetwork, text);
        if (live && mode.found) sink_.OnModeFound(mode.code);
      }
      break;
    case Line::kPassband:
      understood = ParseInteger(text).has_value();
      break;
  }
  if (!understood) {
    if (live) Fail({NetFault::kMalformed, 0, Shown(text)});
    return false;
  }
  command.lines.erase(command.lines.begin());
  if (live) --pendingReplies_;
  return true;
}

void NetCodec::Fail(NetFault fault) {
  fault_ = std::move(fault);
  pendingReplies_ = kReplyError;
}
