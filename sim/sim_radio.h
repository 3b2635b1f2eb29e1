// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "link/receiver_models.h"

struct SimRadioOptions {
  int modelIndex = 0;  // index into kReceiverModels; must be a CI-V or CAT row
  int address = -1;    // CI-V address; -1: the model's default address
  uint32_t frequency = 7000000;
  int modeCode = -1;  // -1: the first entry of the model's mode table
  bool echo = true;   // CI-V bus echo of every received byte
};

// A piece of what goes back on the line. The radio's own words (answers, reports) are kept
// apart from what the line itself carries (the bus echo, noise), because faults such as
// silence or split delivery touch only the radio's words.
struct LineOutput {
  std::vector<uint8_t> bytes;
  bool fromRadio = false;
};

// The radio's behaviour as bytes in, bytes out, with no I/O of its own, so it can be
// tested byte for byte and driven by the pseudo-terminal host. Not thread-safe.
class SimRadio {
 public:
  explicit SimRadio(const SimRadioOptions& options);

  // Bytes from the controller; returns what goes back, in line order.
  std::vector<LineOutput> Exchange(const uint8_t* bytes, int count);
  // The same, flattened into one stream.
  std::vector<uint8_t> Receive(const uint8_t* bytes, int count);

  // Tuning by hand; a CI-V radio reports the change on the bus (transceive), a CAT radio
  // says nothing. Returns the report, empty when there is none.
  std::vector<uint8_t> TuneByHand(uint32_t hz);
  std::vector<uint8_t> SetModeByHand(int code);

  // One console line: "freq HZ", "mode NAME", "ng on|off", "silent on|off",
  // "split on|off", "noise N". Returns false with a reason for a bad line; otherwise
  // *out receives what goes on the line because of it.
  bool Console(const std::string& line, std::vector<LineOutput>* out, std::string* reason);

  void SetNg(bool on) { ng_ = on; }
  void SetSilent(bool on) { silent_ = on; }
  void SetSplit(bool on) { split_ = on; }
  bool split() const { return split_; }

  uint32_t frequency() const { return frequency_; }
  int modeCode() const;
  bool powerOn() const { return powerOn_; }
  uint8_t address() const { return address_; }
  int modelIndex() const { return modelIndex_; }
  bool isCat() const;

  // Whether a frequency can be shown by this model's protocol: 10 digits of hertz for
  // CI-V, 8 digits of tens of hertz for CAT.
  static bool FrequencyFits(int modelIndex, uint64_t hz);

 private:
  bool hasFilter() const;
  bool SetModeCode(int code);

  // CI-V
  void CivByte(uint8_t b, std::vector<LineOutput>* out, std::vector<uint8_t>* echo);
  std::vector<uint8_t> CivAnswer(const std::vector<uint8_t>& body);
  std::vector<uint8_t> CivCommand(uint8_t command, const std::vector<uint8_t>& data);
  bool CivSetMode(const std::vector<uint8_t>& data);
  std::vector<uint8_t> CivFrameTo(uint8_t to, uint8_t command, const std::vector<uint8_t>& data);
  std::vector<uint8_t> CivFrequencyBytes() const;

  // CAT
  void CatByte(uint8_t b, std::vector<LineOutput>* out);
  std::vector<uint8_t> CatCommand(const uint8_t* command);

  const ReceiverModel& model_;
  int modelIndex_;
  uint8_t address_;
  uint32_t frequency_;
  uint8_t modeByte_ = 0;
  uint8_t filterByte_ = 1;
  bool echo_;
  bool ng_ = false;
  bool silent_ = false;
  bool split_ = false;
  bool powerOn_ = true;

  // A CI-V frame being assembled: 0 waiting for FE, 1 after one FE, 2 in the preamble,
  // 3 in the body (destination, source, command, data).
  int civState_ = 0;
  std::vector<uint8_t> civBody_;

  // A CAT command may arrive a byte at a time.
  uint8_t catCommand_[5] = {};
  int catFill_ = 0;
  // The CAT radios' second VFO, swapped in by the toggle command.
  uint32_t otherFrequency_ = 0;
  uint8_t otherMode_ = 0;
  bool vfoB_ = false;

  std::mt19937 noise_;
};
