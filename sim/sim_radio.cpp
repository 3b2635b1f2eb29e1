// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_radio.h"

#include "link/civ_codec.h"
#include "sim/console_words.h"

namespace {

constexpr uint64_t kMaxCivHz = 4294967295u;  // the link carries hertz in 32 bits
constexpr uint64_t kMaxCatHz = 999999999u;   // 8 digits of tens of hertz

}  // namespace

SimRadio::SimRadio(const SimRadioOptions& options)
    : model_(ModelAt(options.modelIndex)),
      modelIndex_(options.modelIndex),
      address_(static_cast<uint8_t>(options.address < 0 ? model_.defaultAddress : options.address)),
      frequency_(0),
      echo_(options.echo && !IsCatModel(options.modelIndex)),
      noise_(std::random_device{}()) {
  TuneByHand(options.frequency);
  if (options.modeCode < 0 || !SetModeCode(options.modeCode)) {
    if (model_.modes != nullptr && model_.modes[0].name != nullptr) {
      SetModeCode(model_.modes[0].code);
    }
  }
  otherFrequency_ = frequency_;
  otherMode_ = modeByte_;
}

bool SimRadio::isCat() const { return model_.protocol == kProtocolCat; }

bool SimRadio::hasFilter() const { return HasFilterByte(model_.id); }

int SimRadio::modeCode() const { return hasFilter() ? (modeByte_ << 8 | filterByte_) : modeByte_; }

bool SimRadio::FrequencyFits(int modelIndex, uint64_t hz) {
  return hz <= (IsCatModel(modelIndex) ? kMaxCatHz : kMaxCivHz);
}

// Only codes of the model's own table, so the console cannot put the radio in a mode the
// program has no name for; the wire has its own, wider rules.
bool SimRadio::SetModeCode(int code) {
  code &= 0xFFFF;
  if (ModeNameByCode(model_.modes, code) == std::string_view(kUnknownModeName)) return false;
  if (hasFilter()) {
    modeByte_ = static_cast<uint8_t>(code >> 8);
    filterByte_ = static_cast<uint8_t>(code & 0xFF);
  } else {
    modeByte_ = static_cast<uint8_t>(code);
  }
  return true;
}

std::vector<LineOutput> SimRadio::Exchange(const uint8_t* bytes, int count) {
  std::vector<LineOutput> out;
  if (isCat()) {
    for (int i = 0; i < count; ++i) CatByte(bytes[i], &out);
    return out;
  }
  std::vector<uint8_t> echo;
  for (int i = 0; i < count; ++i) {
    if (echo_) echo.push_back(bytes[i]);
    CivByte(bytes[i], &out, &echo);
  }
  if (!echo.empty()) out.push_back({std::move(echo), false});
  return out;
}

std::vector<uint8_t> SimRadio::Receive(const uint8_t* bytes, int count) {
  std::vector<uint8_t> flat;
  for (const LineOutput& piece : Exchange(bytes, count)) {
    flat.insert(flat.end(), piece.bytes.begin(), piece.bytes.end());
  }
  return flat;
}

std::vector<uint8_t> SimRadio::TuneByHand(uint32_t hz) {
  // The CAT radios tune in steps of 10 Hz, the finest their status can show.
  frequency_ = isCat() ? hz - hz % 10 : hz;
  if (isCat() || silent_ || !powerOn_) return {};
  return CivFrameTo(kCivBroadcastAddress, kCivCmdReportFrequency, CivFrequencyBytes());
}

std::vector<uint8_t> SimRadio::SetModeByHand(int code) {
  if (!SetModeCode(code) || isCat() || silent_ || !powerOn_) return {};
  return CivFrameTo(kCivBroadcastAddress, kCivCmdReportMode, {modeByte_, filterByte_});
}

bool SimRadio::Console(const std::string& line, std::vector<LineOutput>* out, std::string* reason) {
  std::string word, arg;
  SplitWord(line, &word, &arg);
  auto fail = [&](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return false;
  };
  bool on = false;
  uint64_t number = 0;

  if (word == "freq") {
    if (!ParseUnsigned(arg, &number) || !FrequencyFits(modelIndex_, number)) {
      return fail("bad frequency \"" + arg + "\" for " + model_.name);
    }
    std::vector<uint8_t> report = TuneByHand(static_cast<uint32_t>(number));
    if (!report.empty()) out->push_back({std::move(report), true});
  } else if (word == "mode") {
    ModeLookup mode = ModeCodeByName(model_.modes, arg);
    if (!mode.found) return fail("no mode \"" + arg + "\" on " + model_.name);
    std::vector<uint8_t> report = SetModeByHand(mode.code);
    if (!report.empty()) out->push_back({std::move(report), true});
  } else if (word == "ng" || word == "silent" || word == "split") {
    if (!ParseOnOff(arg, &on)) return fail(word + " takes on or off");
    if (word == "ng") ng_ = on;
    if (word == "silent") silent_ = on;
    if (word == "split") split_ = on;
  } else if (word == "noise") {
    std::optional<std::vector<uint8_t>> noise = NoiseBytes(arg, noise_);
    if (!noise) return fail(NoiseCountReason());
    out->push_back({std::move(*noise), false});
  } else {
    return fail("unknown command \"" + TrimSpace(line) + "\"");
  }
  return true;
}
