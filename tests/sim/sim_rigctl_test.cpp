// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_rigctl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/receiver_models.h"

namespace {

constexpr uint64_t kStartHz = 14250000;

SimRigctlOptions Start() {
  SimRigctlOptions options;
  options.frequency = kStartHz;
  options.modeCode = ModeCodeByName(ModesNetwork, "USB").code;
  return options;
}

std::string Flat(const RigctlOutput& output) {
  std::string text;
  for (const LineOutput& piece : output.pieces) text.append(piece.bytes.begin(), piece.bytes.end());
  return text;
}

// Byte by byte, as a slow network would deliver it.
RigctlOutput Trickle(SimRigctl& radio, const std::string& input) {
  RigctlOutput all;
  for (char c : input) {
    RigctlOutput part = radio.Exchange(std::string(1, c));
    all.pieces.insert(all.pieces.end(), part.pieces.begin(), part.pieces.end());
    all.close |= part.close;
    if (part.close) break;
  }
  return all;
}

std::string ModeName(const SimRigctl& radio) {
  return ModeNameByCode(ModesNetwork, radio.modeCode());
}

void Console(SimRigctl& radio, const std::string& line, RigctlOutput* out = nullptr) {
  RigctlOutput ignored;
  std::string reason;
  ASSERT_TRUE(radio.Console(line, out != nullptr ? out : &ignored, &reason))
      << line << ": " << reason;
}

}  // namespace

TEST(SimRigctl, AnswersEachCommandAsTheDaemonDoes) {
  struct Case {
    std::string input;  // from a radio at 14250000 Hz, USB 2400
    std::string answer;
    uint64_t hz = kStartHz;  // state afterwards
    const char* mode = "USB";
    int passband = 2400;
    bool close = false;
  };
  const std::string kBad = "RPRT -1\n", kOk = "RPRT 0\n";
  // clang-format off
  const std::vector<Case> cases = {
      {"f\n", "14250000\n"},
      {"\\get_freq\n", "14250000\n"},
      {"m\n", "USB\n2400\n"},
      {"\\get_mode\n", "USB\n2400\n"},
      {"F 5000000000\n", kOk, 5000000000},
      {"\\set_freq 7055000\n", kOk, 7055000},
      {"F 1\n", kOk, 1},
      {"F 999999999999\n", kOk, 999999999999},
      {"F 7055000.9\n", kOk, 7055000},  // the daemon keeps whole hertz
      {"F 0\n", kBad},
      {"F 1000000000000\n", kBad},
      {"F 18446744073709551616\n", kBad},
      {"F -7055000\n", kBad},
      {"F 7.055e6\n", kBad},
      {"F 0x10\n", kBad},
      {"F 7055kHz\n", kBad},
      {"F\n", kBad},
      {"M CW 500\n", kOk, kStartHz, "CW", 500},
      {"\\set_mode AM 6000\n", kOk, kStartHz, "AM", 6000},
      {"M LSB 0\n", kOk, kStartHz, "LSB"},
      {"M PKTUSB -1\n", kOk, kStartHz, "PKTUSB"},
      {"M XYZ 0\n", kBad},
      {"M usb 0\n", kBad},
      {"M CW\n", kBad},
      {"M CW -2\n", kBad},
      {"M CW 1000001\n", kBad},
      {"M CW wide\n", kBad},
      {"Z\n", "RPRT -4\n"},
      {"\\dump_state\n", "RPRT -4\n"},
      {"\n", ""},
      {" \t\r\n", ""},
      {"f\r\n", "14250000\n"},
      {"  f  \n", "14250000\n"},
      {"f", ""},  // not a line yet
      {"f m\n", "14250000\nUSB\n2400\n"},
      {"F 7000000 f\n", "RPRT 0\n7000000\n", 7000000},
      {"Z f\n", "RPRT -4\n"},  // the rest of the line has no known start
      {"f\nM FM 15000\nF 145500000\nm\nf\n", "14250000\nRPRT 0\nRPRT 0\nFM\n15000\n145500000\n",
       145500000, "FM", 15000},
      {"q\n", kOk, kStartHz, "USB", 2400, true},
      {"Q\n", kOk, kStartHz, "USB", 2400, true},
      {"F 7000000\nq\nF 9000000\n", "RPRT 0\nRPRT 0\n", 7000000, "USB", 2400, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    for (bool trickle : {false, true}) {
      SimRigctl radio(Start());
      RigctlOutput out = trickle ? Trickle(radio, c.input) : radio.Exchange(c.input);
      std::string shown = c.input + (trickle ? " (byte by byte)" : "");
      EXPECT_EQ(Flat(out), c.answer) << shown;
      EXPECT_EQ(radio.frequency(), c.hz) << shown;
      EXPECT_EQ(ModeName(radio), c.mode) << shown;
      EXPECT_EQ(radio.passband(), c.passband) << shown;
      EXPECT_EQ(out.close, c.close) << shown;
    }
  }
}

TEST(SimRigctl, EachAnswerIsOnePieceSoTheHostCanSplitIt) {
  SimRigctl radio(Start());
  RigctlOutput out = radio.Exchange("f\nm\nZ\n");
  ASSERT_EQ(out.pieces.size(), 3u);
  for (const LineOutput& piece : out.pieces) EXPECT_TRUE(piece.fromRadio);
  EXPECT_EQ(std::string(out.pieces[1].bytes.begin(), out.pieces[1].bytes.end()), "USB\n2400\n");
}

TEST(SimRigctl, OverlongLineIsDroppedWithoutGrowingMemory) {
  struct Case {
    size_t length;  // of a line of blanks ending in "f"
    std::string answer;
  };
  for (const Case& c : {Case{RigctlLines::kMaxLine, "14250000\n"},
                        Case{RigctlLines::kMaxLine + 1, ""}, Case{100000, ""}}) {
    SimRigctl radio(Start());
    std::string line = std::string(c.length - 1, ' ') + "f";
    std::string answers;
    for (size_t at = 0; at < line.size(); at += 700) {
      answers += Flat(radio.Exchange(line.substr(at, 700)));
      EXPECT_LE(radio.buffered(), RigctlLines::kMaxLine) << c.length;
    }
    answers += Flat(radio.Exchange("\nm\n"));
    EXPECT_EQ(answers, c.answer + "USB\n2400\n") << c.length;
  }
}

TEST(SimRigctl, NewConnectionForgetsTheHalfLineOfTheLast) {
  SimRigctl radio(Start());
  EXPECT_EQ(Flat(radio.Exchange("F 7")), "");
  radio.NewConnection();
  EXPECT_EQ(Flat(radio.Exchange("f\n")), "14250000\n");
}

TEST(SimRigctl, FaultsChangeTheAnswersButNotTheLineProtocol) {
  struct Case {
    const char* name;
    std::vector<std::string> console;
    std::string input;
    std::string answer;
    uint64_t hz;
    bool close = false;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"ng refuses reads", {"ng on"}, "f\nm\nZ\n", "RPRT -9\nRPRT -9\nRPRT -9\n", kStartHz},
      {"ng refuses a tuning", {"ng on"}, "F 7000000\n", "RPRT -9\n", kStartHz},
      {"ng still lets a client go", {"ng on"}, "q\n", "RPRT 0\n", kStartHz, true},
      {"ng off again", {"ng on", "ng off"}, "f\n", "14250000\n", kStartHz},
      {"silent still tunes", {"silent on"}, "F 7000000\nf\n", "", 7000000},
      {"silent quit", {"silent on"}, "q\n", "", kStartHz, true},
      {"answer replaces the next only", {"answer 1425\\r\\nxyz\\\\"}, "f\nf\n",
       "1425\r\nxyz\\14250000\n", kStartHz},
      {"answer of raw bytes", {"answer \\x00\\xfF\\x41"}, "m\n", std::string("\0\xff" "A", 3),
       kStartHz},
      {"answer without newline", {"answer 142"}, "f\n", "142", kStartHz},
      {"empty answer swallows one", {"answer"}, "f\nf\n", "14250000\n", kStartHz},
      {"blank line is no command", {"answer RPRT 0\\n"}, "\nf\n", "RPRT 0\n", kStartHz},
      {"answered wrongly, done rightly", {"answer RPRT -1\\n"}, "F 7000000\n", "RPRT -1\n",
       7000000},
      {"answer wins over ng", {"ng on", "answer 7\\n"}, "f\nf\n", "7\nRPRT -9\n", kStartHz},
      {"answer wins over silent", {"silent on", "answer 7\\n"}, "f\nf\n", "7\n", kStartHz},
      {"hand tuning is only polled", {"freq 5000000000", "mode CW 500"}, "f\nm\n",
       "5000000000\nCW\n500\n", 5000000000},
  };
  // clang-format on
  for (const Case& c : cases) {
    SimRigctl radio(Start());
    for (const std::string& line : c.console) Console(radio, line);
    RigctlOutput out = radio.Exchange(c.input);
    EXPECT_EQ(Flat(out), c.answer) << c.name;
    EXPECT_EQ(radio.frequency(), c.hz) << c.name;
    EXPECT_EQ(out.close, c.close) << c.name;
  }
}

TEST(SimRigctl, ConsoleLinesOutputAndRefusals) {
  struct Case {
    std::string line;
    bool accepted;
    size_t noise = 0;  // random bytes for the client
    bool close = false;
  };
  for (const Case& c : {
           Case{"freq 999999999999", true},
           {"freq 0", false},
           {"freq 1000000000000", false},
           {"freq 7.1e6", false},
           {"mode FAX", true},
           {"mode FAX 1200", true},
           {"mode fax", false},
           {"mode CW 0", true},
           {"mode CW -2", false},
           {"mode", false},
           {"split on", true},
           {"silent maybe", false},
           {"noise 40", true, 40},
           {"noise 4096", true, 4096},
           {"noise 0", false},
           {"noise 4097", false},
           {"answer \\q", false},
           {"answer \\x4", false},
           {"answer \\xg0", false},
           {"answer ends in \\", false},
           {"close", true, 0, true},
           {"close now", false},
           {"volume up", false},
       }) {
    SimRigctl radio(Start());
    RigctlOutput out;
    std::string reason;
    EXPECT_EQ(radio.Console(c.line, &out, &reason), c.accepted) << c.line;
    EXPECT_EQ(reason.empty(), c.accepted) << c.line << ": " << reason;
    EXPECT_EQ(Flat(out).size(), c.noise) << c.line;
    for (const LineOutput& piece : out.pieces) EXPECT_FALSE(piece.fromRadio) << c.line;
    EXPECT_EQ(out.close, c.close) << c.line;
  }
}

TEST(SimRigctl, StartsWithinItsRangeWhateverItIsGiven) {
  SimRigctlOptions wild;
  wild.frequency = 0;
  wild.modeCode = 99;
  wild.passband = -5;
  SimRigctl radio(wild);
  EXPECT_EQ(Flat(radio.Exchange("f\nm\n")), "7000000\nUSB\n2400\n");
}
