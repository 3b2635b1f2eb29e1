#include "civ_codec.h"

std::vector<uint8_t> CivFrame(uint8_t to, uint8_t from, uint8_t command,
                              const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame{kCivPreamble, kCivPreamble, to, from, command};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kCivEnd);
  return frame;
}
