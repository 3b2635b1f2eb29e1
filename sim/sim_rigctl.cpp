// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_rigctl.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "link/receiver_models.h"
#include "sim/console_words.h"

namespace {

constexpr const char* kOk = "RPRT 0\n";
constexpr const char* kInvalid = "RPRT -1\n";
constexpr const char* kNotImplemented = "RPRT -4\n";
constexpr const char* kRejected = "RPRT -9\n";
constexpr int kDefaultModeCode = 4;  // USB

enum class Verb { kGetFreq, kSetFreq, kGetMode, kSetMode, kQuit, kUnknown };

Verb VerbOf(const std::string& word) {
  if (word == "f" || word == "\\get_freq") return Verb::kGetFreq;
  if (word == "F" || word == "\\set_freq") return Verb::kSetFreq;
  if (word == "m" || word == "\\get_mode") return Verb::kGetMode;
  if (word == "M" || word == "\\set_mode") return Verb::kSetMode;
  if (word == "q" || word == "Q") return Verb::kQuit;
  return Verb::kUnknown;
}

int ArgumentCount(Verb verb) { return verb == Verb::kSetFreq ? 1 : verb == Verb::kSetMode ? 2 : 0; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The daemon reads several commands from one line, separated by blanks, as a shell would.
std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  for (size_t i = 0; i < line.size();) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The daemon reads a floating-point number and keeps whole hertz, so a client that writes
// "14250000.000000" is understood; a sign, an exponent or a base prefix is not taken here.
std::optional<uint64_t> ParseHz(const std::string& text) {
  size_t dot = text.find('.');
  std::string whole = text.substr(0, dot);
  if (dot != std::string::npos && !AllDigits(text.substr(dot + 1))) return std::nullopt;
  uint64_t hz = 0;
  if (!ParseUnsigned(whole, &hz)) return std::nullopt;
  if (!SimRigctl::FrequencyFits(hz)) return std::nullopt;
  return hz;
}

std::optional<int> ParsePassband(const std::string& text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < -1 || value > SimRigctl::kMaxPassband) return std::nullopt;
  return value;
}

LineOutput Text(const std::string& text, bool fromRadio) {
  return {std::vector<uint8_t>(text.begin(), text.end()), fromRadio};
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<std::string> RigctlLines::Feed(const uint8_t* bytes, size_t count) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < count; ++i) {
    char c = static_cast<char>(bytes[i]);
    if (c == '\n') {
      if (!discarding_) lines.push_back(partial_);
      partial_.clear();
      discarding_ = false;
    } else if (discarding_) {
      continue;
    } else if (partial_.size() >= kMaxLine) {
      partial_.clear();
      discarding_ = true;
    } else {
      partial_ += c;
    }
  }
  return lines;
}

void RigctlLines::Clear() {
  partial_.clear();
  discarding_ = false;
}

SimRigctl::SimRigctl(const SimRigctlOptions& options)
    : frequency_(FrequencyFits(options.frequency) ? options.frequency
                                                  : SimRigctlOptions{}.frequency),
      modeCode_(kDefaultModeCode),
      passband_(options.passband > 0 ? options.passband : SimRigctlOptions{}.passband),
      noise_(std::random_device{}()) {
  if (options.modeCode >= 0 &&
      ModeNameByCode(ModesNetwork, options.modeCode) != std::string_view(kUnknownModeName)) {
    modeCode_ = options.modeCode;
  }
}

RigctlOutput SimRigctl::Exchange(const uint8_t* bytes, size_t count) {
  RigctlOutput out;
  for (const std::string& line : lines_.Feed(bytes, count)) {
    Line(line, &out);
    // What follows a quit in the same read is never read by the daemon.
    if (out.close) {
      lines_.Clear();
      break;
    }
  }
  return out;
}

RigctlOutput SimRigctl::Exchange(const std::string& bytes) {
  return Exchange(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void SimRigctl::Line(const std::string& line, RigctlOutput* out) {
  std::vector<std::string> tokens = Tokens(line);
  for (size_t next = 0; next < tokens.size() && !out->close;) {
    if (!Command(tokens, &next, out)) break;
  }
}

bool SimRigctl::Command(const std::vector<std::string>& tokens, size_t* next, RigctlOutput* out) {
  Verb verb = VerbOf(tokens[(*next)++]);
  if (verb == Verb::kQuit) {
    // The daemon, not the radio, ends the session, so a refusing radio does not stop it.
    Answer(kOk, out);
    out->close = true;
    return false;
  }
  size_t arguments = static_cast<size_t>(ArgumentCount(verb));
  bool complete = *next + arguments <= tokens.size();
  std::string answer;
  if (ng_) {
    answer = kRejected;
  } else if (verb == Verb::kUnknown) {
    answer = kNotImplemented;
  } else if (!complete) {
    answer = kInvalid;
  } else if (verb == Verb::kGetFreq) {
    answer = std::to_string(frequency_) + "\n";
  } else if (verb == Verb::kSetFreq) {
    answer = SetFrequency(tokens[*next]);
  } else if (verb == Verb::kGetMode) {
    answer = std::string(ModeNameByCode(ModesNetwork, modeCode_)) + "\n" +
             std::to_string(passband_) + "\n";
  } else {
    answer = SetMode(tokens[*next], tokens[*next + 1]);
  }
  Answer(answer, out);
  *next += arguments;
  // After a word it does not know, the daemon cannot tell where the next command starts.
  return verb != Verb::kUnknown && complete;
}

std::string SimRigctl::SetFrequency(const std::string& value) {
  std::optional<uint64_t> hz = ParseHz(value);
  if (!hz) return kInvalid;
  frequency_ = *hz;
  return kOk;
}

// Passband 0 asks for the radio's normal width and -1 for no change; this radio keeps the
// width it has for both.
std::string SimRigctl::SetMode(const std::string& name, const std::string& passband) {
  ModeLookup mode = ModeCodeByName(ModesNetwork, name);
  std::optional<int> width = ParsePassband(passband);
  if (!mode.found || !width) return kInvalid;
  modeCode_ = mode.code;
  if (*width > 0) passband_ = *width;
  return kOk;
}

// A replacement set from the console wins over every fault: it is how a test puts a
// particular wrong answer on the wire.
void SimRigctl::Answer(const std::string& text, RigctlOutput* out) {
  std::string sent = text;
  if (nextAnswer_) {
    sent = *nextAnswer_;
    nextAnswer_.reset();
  } else if (silent_) {
    return;
  }
  if (!sent.empty()) out->pieces.push_back(Text(sent, true));
}

std::optional<std::string> SimRigctl::DecodeEscapes(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      decoded += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case 'n':
        decoded += '\n';
        break;
      case 'r':
        decoded += '\r';
        break;
      case '\\':
        decoded += '\\';
        break;
      case 'x': {
        int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        decoded += static_cast<char>(high << 4 | low);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return decoded;
}

bool SimRigctl::Console(const std::string& line, RigctlOutput* out, std::string* reason) {
  std::string word, arg;
  SplitWord(line, &word, &arg);
  auto fail = [&](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return false;
  };
  bool on = false;
  uint64_t number = 0;

  if (word == "freq") {
    if (!ParseUnsigned(arg, &number) || !FrequencyFits(number)) {
      return fail("bad frequency \"" + arg + "\": 1 to " + std::to_string(kMaxHz));
    }
    frequency_ = number;
  } else if (word == "mode") {
    std::string name, width;
    SplitWord(arg, &name, &width);
    ModeLookup mode = ModeCodeByName(ModesNetwork, name);
    if (!mode.found) return fail("no mode \"" + name + "\" on rigctl");
    std::optional<int> passband = width.empty() ? std::optional<int>(0) : ParsePassband(width);
    if (!passband) return fail("bad passband \"" + width + "\"");
    modeCode_ = mode.code;
    if (*passband > 0) passband_ = *passband;
  } else if (word == "ng" || word == "silent" || word == "split") {
    if (!ParseOnOff(arg, &on)) return fail(word + " takes on or off");
    (word == "ng" ? ng_ : word == "silent" ? silent_ : split_) = on;
  } else if (word == "noise") {
    std::optional<std::vector<uint8_t>> noise = NoiseBytes(arg, noise_);
    if (!noise) return fail(NoiseCountReason());
    out->pieces.push_back({std::move(*noise), false});
  } else if (word == "answer") {
    std::optional<std::string> text = DecodeEscapes(arg);
    if (!text) return fail("bad escape in \"" + arg + "\": \\n \\r \\\\ \\xHH");
    nextAnswer_ = std::move(*text);
  } else if (word == "close" && arg.empty()) {
    out->close = true;
  } else {
    return fail("unknown command \"" + TrimSpace(line) + "\"");
  }
  return true;
}
