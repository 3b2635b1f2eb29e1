// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_radio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/civ_codec.h"
#include "link/receiver_models.h"

namespace {

using Bytes = std::vector<uint8_t>;

SimRadioOptions Options(const char* model, const char* mode = "USB") {
  SimRadioOptions options;
  options.modelIndex = ModelIndexByName(model);
  options.frequency = 14250000;
  options.modeCode = ModeCodeByName(ModelAt(options.modelIndex).modes, mode).code;
  return options;
}

Bytes Send(SimRadio& radio, const Bytes& bytes) {
  return radio.Receive(bytes.data(), static_cast<int>(bytes.size()));
}

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Cmd(uint8_t radio, uint8_t command, const Bytes& data = {}) {
  return CivFrame(radio, kCivControllerAddress, command, data);
}

Bytes Ans(uint8_t radio, uint8_t command, const Bytes& data = {}) {
  return CivFrame(kCivControllerAddress, radio, command, data);
}

const Bytes k14250{0x00, 0x00, 0x25, 0x14, 0x00};

}  // namespace

TEST(SimRadioCiv, AnswersAfterTheEchoAndChangesStateAsTheRadioDoes) {
  enum Fault { kNone, kNg, kSilent, kNoEcho, kOff };
  struct Case {
    const char* name;
    const char* model;  // starts at 14.250 MHz; R75 "USB" is 0x0102, IC-7200 "USB" is 1
    Fault fault;
    Bytes command;
    Bytes answer;  // after the echo
    uint32_t hz;   // state afterwards
    int code;
  };
  const Bytes ok = Ans(0x5A, kCivOk), ng = Ans(0x5A, kCivNg);
  const Bytes ok7200 = Ans(0x76, kCivOk), ng7200 = Ans(0x76, kCivNg);
  const uint32_t f0 = 14250000;
  const int usb = 0x0102;
  const Bytes f7055{0x00, 0x50, 0x05, 0x07, 0x00}, fMax{0x95, 0x72, 0x96, 0x94, 0x42};
  const Bytes readFreq = Cmd(0x5A, 0x03), freqAnswer = Ans(0x5A, 0x03, k14250);
  // clang-format off
  for (const Case& c : {
      Case{"read frequency", "IC-R75", kNone, readFreq, freqAnswer, f0, usb},
      {"read mode", "IC-R75", kNone, Cmd(0x5A, 0x04), Ans(0x5A, 0x04, {1, 2}), f0, usb},
      {"broadcast", "IC-7200", kNone, Cmd(0x00, 0x04), Ans(0x76, 0x04, {1, 1}), f0, 1},
      {"no bus echo", "IC-R75", kNoEcho, readFreq, freqAnswer, f0, usb},
      {"another radio", "IC-R75", kNone, Cmd(0x5B, 0x03), {}, f0, usb},
      {"own report back", "IC-R75", kNone, CivFrame(0x00, 0x5A, 0x00, f7055), {}, f0, usb},
      {"set frequency", "IC-R75", kNone, Cmd(0x5A, 0x00, f7055), {}, 7055000, usb},
      {"set frequency, ack", "IC-R75", kNone, Cmd(0x5A, 0x05, fMax), ok, 4294967295u, usb},
      {"beyond 32 bits", "IC-R75", kNone, Cmd(0x5A, 0x05, {0, 0, 0, 0, 0x43}), ng, f0, usb},
      {"not BCD", "IC-R75", kNone, Cmd(0x5A, 0x05, {0x0A, 0, 0, 0, 0}), ng, f0, usb},
      {"4 bytes", "IC-R75", kNone, Cmd(0x5A, 0x00, {0, 0, 0x25, 0x14}), ng, f0, usb},
      {"mode and filter", "IC-R75", kNone, Cmd(0x5A, 0x01, {0x02, 0x03}), {}, f0, 0x0203},
      {"mode alone: first filter", "IC-R75", kNone, Cmd(0x5A, 0x06, {0x00}), ok, f0, 0x0002},
      {"filter the table lacks", "IC-R75", kNone, Cmd(0x5A, 0x06, {0x06, 0x01}), ng, f0, usb},
      {"one-byte mode", "IC-7200", kNone, Cmd(0x76, 0x06, {0x08}), ok7200, f0, 8},
      {"mode the table lacks", "IC-7200", kNone, Cmd(0x76, 0x06, {0x05}), ng7200, f0, 1},
      {"filter out of range", "IC-7200", kNone, Cmd(0x76, 0x01, {0x03, 0x04}), ng7200, f0, 1},
      {"read with data", "IC-R75", kNone, Cmd(0x5A, 0x03, {0x00}), ng, f0, usb},
      {"unknown command", "IC-R75", kNone, Cmd(0x5A, 0x07), ng, f0, usb},
      {"power without data", "IC-R75", kNone, Cmd(0x5A, 0x18), ng, f0, usb},
      {"power off", "IC-R75", kNone, Cmd(0x5A, 0x18, {0x00}), ok, f0, usb},
      {"switched off", "IC-R75", kOff, readFreq, {}, f0, usb},
      {"power on", "IC-R75", kOff, Cmd(0x5A, 0x18, {0x01}), ok, f0, usb},
      {"ng read", "IC-R75", kNg, readFreq, ng, f0, usb},
      {"ng set", "IC-R75", kNg, Cmd(0x5A, 0x00, f7055), ng, f0, usb},
      {"silent read", "IC-R75", kSilent, readFreq, {}, f0, usb},
      {"silent radio obeys", "IC-R75", kSilent, Cmd(0x5A, 0x05, f7055), {}, 7055000, usb},
  }) {
    // clang-format on
    SimRadioOptions options = Options(c.model);
    options.echo = c.fault != kNoEcho;
    SimRadio radio(options);
    radio.SetNg(c.fault == kNg);
    radio.SetSilent(c.fault == kSilent);
    if (c.fault == kOff) Send(radio, Cmd(radio.address(), 0x18, {0x00}));
    Bytes echo = c.fault == kNoEcho ? Bytes{} : c.command;
    EXPECT_EQ(Send(radio, c.command), Join(echo, c.answer)) << c.name;
    EXPECT_EQ(radio.frequency(), c.hz) << c.name;
    EXPECT_EQ(radio.modeCode(), c.code) << c.name;
  }
}

TEST(SimRadioCiv, FramesAreFoundAcrossReadsAndThroughLineTrouble) {
  const Bytes answer = Ans(0x5A, 0x03, k14250);
  struct Case {
    const char* name;
    std::vector<Bytes> reads;
    Bytes replies;  // everything but the echo, in order
  };
  for (const Case& c : {
           Case{"split across reads", {{0xFE, 0xFE, 0x5A}, {0xE0, 0x03, 0xFD}}, answer},
           {"long wake-up preamble", {{0xFE, 0xFE, 0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD}}, answer},
           {"collision loses the first frame",
            {{0xFE, 0xFE, 0x5A, 0xE0, 0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD}},
            answer},
           {"no preamble", {{0x5A, 0xE0, 0x03, 0xFD}}, {}},
           {"two frames in one read",
            {Join(Cmd(0x5A, 0x03), Cmd(0x5A, 0x04))},
            Join(answer, Ans(0x5A, 0x04, {0x01, 0x02}))},
       }) {
    SimRadioOptions options = Options("IC-R75");
    options.echo = false;
    SimRadio radio(options);
    Bytes replies;
    for (const Bytes& read : c.reads) replies = Join(replies, Send(radio, read));
    EXPECT_EQ(replies, c.replies) << c.name;
  }
}

TEST(SimRadioCiv, TuningByHandSendsATransceiveReport) {
  struct Case {
    const char* model;
    const char* mode;
    Bytes modeData;
  };
  for (const Case& c : {
           Case{"IC-R75", "CW_R narrow", {0x07, 0x03}},
           {"IC-R8500", "WFM", {0x06, 0x01}},
           {"IC-7200", "CW_R", {0x07, 0x01}},
       }) {
    SimRadio radio(Options(c.model));
    EXPECT_EQ(radio.TuneByHand(9500000),
              CivFrame(0x00, radio.address(), 0x00, {0x00, 0x00, 0x50, 0x09, 0x00}));
    int code = ModeCodeByName(ModelAt(radio.modelIndex()).modes, c.mode).code;
    EXPECT_EQ(radio.SetModeByHand(code), CivFrame(0x00, radio.address(), 0x01, c.modeData));
    EXPECT_EQ(radio.modeCode(), code) << c.model;
    radio.SetSilent(true);
    EXPECT_TRUE(radio.TuneByHand(7000000).empty()) << c.model;
  }
}

TEST(SimRadioCat, CommandsAreAcknowledgedAndStatusIsReported) {
  enum Fault { kNone, kNg, kSilent };
  struct Case {
    const char* name;
    Fault fault;
    std::vector<Bytes> reads;
    Bytes answers;
    uint32_t hz;  // state afterwards; starts at 14.250 MHz USB
    int code;
  };
  const uint32_t f0 = 14250000;
  const Bytes status{0x01, 0x42, 0x50, 0x00, 0x01}, readStatus{0, 0, 0, 0, 0x03};
  const Bytes toggle{0, 0, 0, 0, 0x81};
  // clang-format off
  for (const Case& c : {
      Case{"set frequency", kNone, {{0x00, 0x70, 0x55, 0x00, 0x01}}, {0x00}, 7055000, 1},
      {"frequency not BCD", kNone, {{0x00, 0x7A, 0x55, 0x00, 0x01}}, {}, f0, 1},
      {"set mode", kNone, {{0x08, 0, 0, 0, 0x07}}, {0x00}, f0, 8},
      {"mode the radio lacks", kNone, {{0x05, 0, 0, 0, 0x07}}, {0x00}, f0, 1},
      {"status", kNone, {readStatus}, status, f0, 1},
      {"in pieces", kNone, {{0, 0, 0}, {0, 3, 0}, {0, 0, 0, 3}}, Join(status, status), f0, 1},
      {"rx, tx status", kNone, {{0, 0, 0, 0, 0xE7}, {0, 0, 0, 0, 0xF7}}, {0x00, 0xFF}, f0, 1},
      {"unknown opcode", kNone, {{0, 0, 0, 0, 0x0F}}, {}, f0, 1},
      {"VFO B", kNone, {{0, 0x70, 0, 0, 1}, toggle, {0, 0x54, 0, 0, 0xBB}}, {0, 0, 0, 1}, f0, 1},
      {"ng set", kNg, {{0x00, 0x70, 0x55, 0x00, 0x01}}, {}, f0, 1},
      {"ng read", kNg, {readStatus}, status, f0, 1},
      {"silent", kSilent, {{0x04, 0, 0, 0, 0x07}, readStatus}, {}, f0, 4},
  }) {
    // clang-format on
    SimRadio radio(Options("FT-817"));
    radio.SetNg(c.fault == kNg);
    radio.SetSilent(c.fault == kSilent);
    Bytes answers;
    for (const Bytes& read : c.reads) answers = Join(answers, Send(radio, read));
    EXPECT_EQ(answers, c.answers) << c.name;
    EXPECT_EQ(radio.frequency(), c.hz) << c.name;
    EXPECT_EQ(radio.modeCode(), c.code) << c.name;
    EXPECT_TRUE(radio.TuneByHand(7000000).empty()) << "a CAT radio never reports";
  }
}

TEST(SimRadioConsole, LinesAreCheckedAgainstTheModel) {
  struct Case {
    const char* model;
    const char* line;
    bool ok;
    int radioBytes;  // -1: nothing put on the line
    int lineBytes;
  };
  for (const Case& c : {
           Case{"IC-R75", "freq 9500000", true, 11, -1},
           {"IC-R75", "  mode   USB narrow ", true, 8, -1},
           {"IC-R75", "mode usb", false, -1, -1},
           {"IC-R75", "freq 4294967296", false, -1, -1},
           {"IC-R75", "freq 9.5", false, -1, -1},
           {"IC-7200", "mode FM", false, -1, -1},
           {"FT-817", "freq 999999999", true, -1, -1},
           {"FT-817", "freq 1000000000", false, -1, -1},
           {"IC-R75", "silent maybe", false, -1, -1},
           {"IC-R75", "split on", true, -1, -1},
           {"IC-R75", "noise 300", true, -1, 300},
           {"IC-R75", "noise 0", false, -1, -1},
           {"IC-R75", "volume 3", false, -1, -1},
       }) {
    SimRadio radio(Options(c.model));
    std::vector<LineOutput> out;
    std::string reason;
    EXPECT_EQ(radio.Console(c.line, &out, &reason), c.ok) << c.line;
    EXPECT_EQ(reason.empty(), c.ok) << c.line;
    int radioBytes = -1, lineBytes = -1;
    for (const LineOutput& piece : out) {
      (piece.fromRadio ? radioBytes : lineBytes) = static_cast<int>(piece.bytes.size());
    }
    EXPECT_EQ(radioBytes, c.radioBytes) << c.line;
    EXPECT_EQ(lineBytes, c.lineBytes) << c.line;
  }
}
