#pragma once

#include <cstdint>
#include <string>

// Where the command builders put their bytes. The link control implements it: it writes
// only while connected and reports a short write.
class FrameSender {
 public:
  virtual ~FrameSender() = default;
  virtual int SendFrame(const uint8_t* bytes, int count) = 0;
};

// What the reply recognisers find, called on the receive thread. The link control turns
// each call into a posted event, so the dialog and the list are only touched on the
// user-interface thread.
class ReplySink {
 public:
  virtual ~ReplySink() = default;
  virtual void OnFrequencyFound(uint32_t hz) = 0;
  virtual void OnModeFound(uint16_t code) = 0;
  // The radio answered NG.
  virtual void OnReceiverError() = 0;
};

// A modal error box (caption, text). Kept behind an interface so that code without
// widgets can report, and tests can capture what the user would see.
class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  virtual void ShowErrorBox(const std::string& caption, const std::string& text) = 0;
};
