#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SimRadioOptions {
  int modelIndex = 0;    // index into kReceiverModels; must not be the None row
  int address = -1;      // CI-V address; -1: the model's default address
  uint32_t frequency = 7000000;
  int modeCode = -1;     // -1: the first entry of the model's mode table
  bool echo = true;      // CI-V bus echo of every received byte
};

// The radio's behaviour as bytes in, bytes out, with no I/O of its own, so it can be
// tested byte for byte and driven by the pseudo-terminal host.
class SimRadio {
 public:
  explicit SimRadio(const SimRadioOptions& options);

  // Bytes from the controller; returns what the radio (and the bus echo) sends back.
  std::vector<uint8_t> Receive(const uint8_t* bytes, int count);

  // Tuning by hand; a CI-V radio reports the change on the bus (transceive).
  std::vector<uint8_t> TuneByHand(uint32_t hz);
  std::vector<uint8_t> SetModeByHand(int code);

  void SetNg(bool on) { ng_ = on; }
  void SetSilent(bool on) { silent_ = on; }

  uint32_t frequency() const { return frequency_; }
  int modeCode() const { return modeCode_; }
  bool powerOn() const { return powerOn_; }
  uint8_t address() const { return address_; }
  int modelIndex() const { return modelIndex_; }
  bool isCat() const;

 private:
  // Implementation state is the helper's choice.
  int modelIndex_;
  uint8_t address_;
  uint32_t frequency_;
  int modeCode_;
  bool echo_;
  bool ng_ = false;
  bool silent_ = false;
  bool powerOn_ = true;
};
