#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "sim_radio.h"

// A simulated radio behind a pseudo-terminal: the program opens slavePath() as its serial
// port. Serves on its own thread from Start() until Stop() or destruction.
class PtyRadio {
 public:
  explicit PtyRadio(const SimRadioOptions& options);
  ~PtyRadio();

  // Opens the pseudo-terminal (and the symbolic link, when linkPath is not empty) and
  // starts serving. Returns false with a reason in error().
  bool Start(const std::string& linkPath = {});
  void Stop();

  const std::string& slavePath() const { return slavePath_; }
  const std::string& error() const { return error_; }

  // One line of the console language: "freq HZ", "mode NAME", "ng on|off",
  // "silent on|off", "split on|off", "noise N". Returns false with a reason for a bad line.
  bool Command(const std::string& line, std::string* reason = nullptr);

  // Everything received from the controller so far, for tests to check byte for byte.
  std::vector<uint8_t> received() const;
  void clearReceived();
  uint32_t frequency() const;
  int modeCode() const;

 private:
  std::string slavePath_;
  std::string error_;
};
