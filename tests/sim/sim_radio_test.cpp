#include "sim_radio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "civ_codec.h"
#include "receiver_models.h"

namespace {

using Bytes = std::vector<uint8_t>;

SimRadioOptions Options(const char* model, uint32_t hz = 14250000, const char* mode = nullptr) {
  SimRadioOptions options;
  options.modelIndex = ModelIndexByName(model);
  options.frequency = hz;
  if (mode != nullptr) {
    ModeLookup lookup = ModeCodeByName(ModelAt(options.modelIndex).modes, mode);
    EXPECT_TRUE(lookup.found) << mode;
    options.modeCode = lookup.code;
  }
  return options;
}

Bytes Send(SimRadio& radio, const Bytes& bytes) {
  return radio.Receive(bytes.data(), static_cast<int>(bytes.size()));
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes FromController(uint8_t to, uint8_t command, const Bytes& data = {}) {
  return CivFrame(to, kCivControllerAddress, command, data);
}

}  // namespace

TEST(SimRadioCiv, ReadsAreAnsweredAfterTheEchoOfTheCommand) {
  struct Case {
    const char* model;
    const char* mode;
    uint8_t to;  // the radio's address or broadcast
    uint8_t command;
    Bytes answerData;  // command byte first
  };
  for (const Case& c : {
           Case{"IC-R75", "USB narrow", 0x5A, 0x03, {0x03, 0x00, 0x00, 0x25, 0x14, 0x00}},
           {"IC-R75", "USB narrow", 0x5A, 0x04, {0x04, 0x01, 0x03}},
           {"IC-R75", "S_AM wide", 0x00, 0x04, {0x04, 0x11, 0x01}},
           {"IC-R8500", "AM narrow", 0x4A, 0x04, {0x04, 0x02, 0x01}},
           {"IC-7200", "RTTY", 0x76, 0x04, {0x04, 0x04, 0x01}},
           {"Perseus", "DRM", 0x01, 0x04, {0x04, 0x07, 0x01}},
           {"IC-7851", "FM", 0x8E, 0x03, {0x03, 0x00, 0x00, 0x25, 0x14, 0x00}},
       }) {
    SimRadio radio(Options(c.model, 14250000, c.mode));
    Bytes command = FromController(c.to, c.command);
    Bytes answer = CivFrame(kCivControllerAddress, radio.address(), c.answerData[0],
                            Bytes(c.answerData.begin() + 1, c.answerData.end()));
    EXPECT_EQ(Send(radio, command), Concat(command, answer)) << c.model << " " << int(c.command);
  }
}

TEST(SimRadioCiv, NoEchoLeavesOnlyTheAnswer) {
  SimRadioOptions options = Options("IC-R75");
  options.echo = false;
  SimRadio radio(options);
  EXPECT_EQ(Send(radio, FromController(0x5A, 0x03)),
            CivFrame(0xE0, 0x5A, 0x03, {0x00, 0x00, 0x25, 0x14, 0x00}));
}

TEST(SimRadioCiv, FramesNotForThisRadioAreOnlyEchoed) {
  SimRadioOptions options = Options("IC-R75");
  options.address = 0x20;
  SimRadio radio(options);
  for (const Bytes& bytes : {
           FromController(0x5A, 0x03),                             // the model's default address
           CivFrame(0x00, 0x20, 0x00, {0, 0, 0, 0, 0}),            // its own report coming back
           Bytes{0xFE, 0xFE, 0x20, 0xFD},                          // too short to have a sender
           Bytes{0x12, 0x34, 0xFD, 0xFE, 0x20, 0xE0, 0x03, 0xFD},  // no preamble
       }) {
    EXPECT_EQ(Send(radio, bytes), bytes);
  }
  EXPECT_EQ(radio.frequency(), 14250000u);
}

TEST(SimRadioCiv, CommandsChangeStateAndAnswerAsTheRadioDoes) {
  const Bytes ok = CivFrame(0xE0, 0x5A, kCivOk);
  const Bytes ng = CivFrame(0xE0, 0x5A, kCivNg);
  struct Case {
    const char* name;
    const char* model;
    Bytes command;
    Bytes answer;  // after the echo; empty: none
    uint32_t hz;   // state afterwards
    int mode;
  };
  const uint32_t hz0 = 14250000;
  // The IC-R75 starts at "USB" (0x0102), the IC-7200 (address 0x76) at "USB" (1).
  for (const Case& c : {
           Case{"set frequency",
                "IC-R75",
                FromController(0x5A, 0x00, {0x00, 0x50, 0x05, 0x07, 0x00}),
                {},
                7055000,
                0x0102},
           {"set frequency, acknowledged", "IC-R75",
            FromController(0x5A, 0x05, {0x95, 0x72, 0x96, 0x94, 0x42}), ok, 4294967295u, 0x0102},
           {"frequency beyond 32 bits", "IC-R75",
            FromController(0x5A, 0x05, {0x00, 0x00, 0x00, 0x00, 0x43}), ng, hz0, 0x0102},
           {"frequency not BCD", "IC-R75", FromController(0x5A, 0x05, {0x0A, 0, 0, 0, 0}), ng, hz0,
            0x0102},
           {"frequency of 4 bytes", "IC-R75", FromController(0x5A, 0x00, {0, 0, 0x25, 0x14}), ng,
            hz0, 0x0102},
           {"set mode and filter",
            "IC-R75",
            FromController(0x5A, 0x01, {0x02, 0x03}),
            {},
            hz0,
            0x0203},
           {"mode alone takes its normal filter", "IC-R75", FromController(0x5A, 0x06, {0x00}),
            CivFrame(0xE0, 0x5A, kCivOk), hz0, 0x0002},
           {"filter the table lacks", "IC-R75", FromController(0x5A, 0x06, {0x06, 0x01}), ng, hz0,
            0x0102},
           {"mode of one byte", "IC-7200", FromController(0x76, 0x06, {0x08}),
            CivFrame(0xE0, 0x76, kCivOk), hz0, 8},
           {"mode the table lacks", "IC-7200", FromController(0x76, 0x06, {0x05}),
            CivFrame(0xE0, 0x76, kCivNg), hz0, 1},
           {"filter out of range", "IC-7200", FromController(0x76, 0x01, {0x03, 0x04}),
            CivFrame(0xE0, 0x76, kCivNg), hz0, 1},
           {"read with data", "IC-R75", FromController(0x5A, 0x03, {0x00}), ng, hz0, 0x0102},
           {"unknown command", "IC-R75", FromController(0x5A, 0x07), ng, hz0, 0x0102},
           {"extended command", "IC-R75", FromController(0x5A, 0x1A, {0x03}), ng, hz0, 0x0102},
           {"power with no data", "IC-R75", FromController(0x5A, 0x18), ng, hz0, 0x0102},
       }) {
    SimRadio radio(Options(c.model, hz0, "USB"));
    EXPECT_EQ(Send(radio, c.command), Concat(c.command, c.answer)) << c.name;
    EXPECT_EQ(radio.frequency(), c.hz) << c.name;
    EXPECT_EQ(radio.modeCode(), c.mode) << c.name;
  }
}

TEST(SimRadioCiv, FilterOfOneByteModelsIsKeptForTheModeReply) {
  SimRadio radio(Options("IC-706", 7000000, "CW"));
  Send(radio, FromController(0x48, 0x01, {0x03, 0x02}));
  Bytes read = FromController(0x48, 0x04);
  EXPECT_EQ(Send(radio, read), Concat(read, CivFrame(0xE0, 0x48, 0x04, {0x03, 0x02})));
}

TEST(SimRadioCiv, SwitchedOffRadioListensOnlyForPowerOn) {
  SimRadio radio(Options("IC-R75"));
  const Bytes off = FromController(0x5A, 0x18, {0x00});
  const Bytes on = FromController(0x5A, 0x18, {0x01});
  const Bytes read = FromController(0x5A, 0x03);
  EXPECT_EQ(Send(radio, off), Concat(off, CivFrame(0xE0, 0x5A, kCivOk)));
  EXPECT_FALSE(radio.powerOn());
  EXPECT_EQ(Send(radio, read), read);
  EXPECT_TRUE(radio.TuneByHand(7000000).empty());
  EXPECT_EQ(Send(radio, on), Concat(on, CivFrame(0xE0, 0x5A, kCivOk)));
  EXPECT_TRUE(radio.powerOn());
  EXPECT_EQ(Send(radio, read).size(), read.size() + 11);
}

TEST(SimRadioCiv, FrameSplitAcrossReadsIsAnsweredWhenComplete) {
  SimRadio radio(Options("IC-R75"));
  const Bytes first{0xFE, 0xFE, 0x5A};
  const Bytes second{0xE0, 0x03, 0xFD};
  EXPECT_EQ(Send(radio, first), first);
  EXPECT_EQ(Send(radio, second),
            Concat(second, CivFrame(0xE0, 0x5A, 0x03, {0x00, 0x00, 0x25, 0x14, 0x00})));
}

TEST(SimRadioCiv, LongPreambleIsTakenAndACollisionLosesTheFrame) {
  SimRadio radio(Options("IC-R75"));
  const Bytes answer = CivFrame(0xE0, 0x5A, 0x03, {0x00, 0x00, 0x25, 0x14, 0x00});
  const Bytes wake{0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD};
  EXPECT_EQ(Send(radio, wake), Concat(wake, answer));
  const Bytes collided{0xFE, 0xFE, 0x5A, 0xE0, 0xFE, 0xFE, 0x5A, 0xE0, 0x03, 0xFD};
  EXPECT_EQ(Send(radio, collided), Concat(collided, answer));
}

TEST(SimRadioCiv, TwoFramesInOneReadAreAnsweredInTurn) {
  SimRadio radio(Options("IC-R75", 14250000, "AM"));
  const Bytes freq = FromController(0x5A, 0x03);
  const Bytes mode = FromController(0x5A, 0x04);
  std::vector<LineOutput> out = radio.Exchange(Concat(freq, mode).data(), 12);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].bytes, freq);
  EXPECT_FALSE(out[0].fromRadio);
  EXPECT_EQ(out[1].bytes, CivFrame(0xE0, 0x5A, 0x03, {0x00, 0x00, 0x25, 0x14, 0x00}));
  EXPECT_TRUE(out[1].fromRadio);
  EXPECT_EQ(out[2].bytes, mode);
  EXPECT_EQ(out[3].bytes, CivFrame(0xE0, 0x5A, 0x04, {0x02, 0x02}));
}

TEST(SimRadioCiv, TuningByHandSendsATransceiveReport) {
  struct Case {
    const char* model;
    const char* mode;
    Bytes modeReport;
  };
  for (const Case& c : {
           Case{"IC-R75", "CW_R narrow", CivFrame(0x00, 0x5A, 0x01, {0x07, 0x03})},
           {"IC-R8500", "WFM", CivFrame(0x00, 0x4A, 0x01, {0x06, 0x01})},
           {"IC-7200", "CW_R", CivFrame(0x00, 0x76, 0x01, {0x07, 0x01})},
       }) {
    SimRadio radio(Options(c.model));
    EXPECT_EQ(radio.TuneByHand(9500000),
              CivFrame(0x00, radio.address(), 0x00, {0x00, 0x00, 0x50, 0x09, 0x00}));
    EXPECT_EQ(radio.frequency(), 9500000u);
    ModeLookup mode = ModeCodeByName(ModelAt(radio.modelIndex()).modes, c.mode);
    EXPECT_EQ(radio.SetModeByHand(mode.code), c.modeReport) << c.model;
    EXPECT_EQ(radio.modeCode(), mode.code) << c.model;
  }
}

TEST(SimRadioCiv, NgRefusesEveryCommandAndSilenceKeepsOnlyTheEcho) {
  SimRadio radio(Options("IC-R75"));
  const Bytes set = FromController(0x5A, 0x00, {0x00, 0x50, 0x05, 0x07, 0x00});
  const Bytes read = FromController(0x5A, 0x03);
  radio.SetNg(true);
  EXPECT_EQ(Send(radio, set), Concat(set, CivFrame(0xE0, 0x5A, kCivNg)));
  EXPECT_EQ(Send(radio, read), Concat(read, CivFrame(0xE0, 0x5A, kCivNg)));
  EXPECT_EQ(radio.frequency(), 14250000u);

  radio.SetNg(false);
  radio.SetSilent(true);
  EXPECT_EQ(Send(radio, read), read);
  EXPECT_EQ(Send(radio, set), set);
  EXPECT_EQ(radio.frequency(), 7055000u) << "a silent radio still obeys";
  EXPECT_TRUE(radio.TuneByHand(9000000).empty());
}

TEST(SimRadioCat, CommandsAreAcknowledgedAndStatusIsReported) {
  struct Case {
    const char* name;
    Bytes command;
    Bytes answer;
    uint32_t hz;  // state afterwards
    int mode;
  };
  // Starts at 14.250 MHz USB.
  for (const Case& c : {
           Case{"set frequency", {0x00, 0x70, 0x55, 0x00, 0x01}, {0x00}, 7055000, 1},
           {"frequency not BCD", {0x00, 0x7A, 0x55, 0x00, 0x01}, {}, 14250000, 1},
           {"set mode", {0x08, 0x00, 0x00, 0x00, 0x07}, {0x00}, 14250000, 8},
           {"mode the radio lacks", {0x05, 0x00, 0x00, 0x00, 0x07}, {0x00}, 14250000, 1},
           {"read status",
            {0x00, 0x00, 0x00, 0x00, 0x03},
            {0x01, 0x42, 0x50, 0x00, 0x01},
            14250000,
            1},
           {"read receive status", {0x00, 0x00, 0x00, 0x00, 0xE7}, {0x00}, 14250000, 1},
           {"read transmit status", {0x00, 0x00, 0x00, 0x00, 0xF7}, {0xFF}, 14250000, 1},
           {"read memory", {0x00, 0x54, 0x00, 0x00, 0xBB}, {0x00, 0x00}, 14250000, 1},
           {"unknown opcode", {0x00, 0x00, 0x00, 0x00, 0x0F}, {}, 14250000, 1},
       }) {
    SimRadio radio(Options("FT-817", 14250000, "USB"));
    EXPECT_EQ(Send(radio, c.command), c.answer) << c.name;
    EXPECT_EQ(radio.frequency(), c.hz) << c.name;
    EXPECT_EQ(radio.modeCode(), c.mode) << c.name;
  }
}

TEST(SimRadioCat, CommandArrivingInPiecesIsAnsweredAfterItsFifthByte) {
  SimRadio radio(Options("FT-897", 7000000, "CW"));
  EXPECT_TRUE(Send(radio, {0x00, 0x00, 0x00}).empty());
  EXPECT_EQ(Send(radio, {0x00, 0x03, 0x00}), (Bytes{0x00, 0x70, 0x00, 0x00, 0x02}));
  // The third byte began the next command.
  EXPECT_EQ(Send(radio, {0x00, 0x00, 0x00, 0x03}), (Bytes{0x00, 0x70, 0x00, 0x00, 0x02}));
}

TEST(SimRadioCat, VfoToggleSwapsFrequencyAndModeAndShowsInMemory) {
  SimRadio radio(Options("FT-817", 14250000, "USB"));
  const Bytes toggle{0x00, 0x00, 0x00, 0x00, 0x81};
  const Bytes vfoByte{0x00, 0x54, 0x00, 0x00, 0xBB};
  EXPECT_EQ(Send(radio, toggle), Bytes{0x00});
  EXPECT_EQ(Send(radio, vfoByte), (Bytes{0x00, 0x01}));
  Send(radio, {0x00, 0x70, 0x00, 0x00, 0x01});
  Send(radio, {0x04, 0x00, 0x00, 0x00, 0x07});
  Send(radio, toggle);
  EXPECT_EQ(Send(radio, vfoByte), (Bytes{0x00, 0x00}));
  EXPECT_EQ(radio.frequency(), 14250000u);
  EXPECT_EQ(radio.modeCode(), 1);
  Send(radio, toggle);
  EXPECT_EQ(radio.frequency(), 7000000u);
  EXPECT_EQ(radio.modeCode(), 4);
}

TEST(SimRadioCat, NgWithholdsAcknowledgementAndSilenceEveryAnswer) {
  SimRadio radio(Options("FT-857", 14250000, "USB"));
  const Bytes set{0x00, 0x70, 0x55, 0x00, 0x01};
  const Bytes status{0x00, 0x00, 0x00, 0x00, 0x03};
  radio.SetNg(true);
  EXPECT_TRUE(Send(radio, set).empty());
  EXPECT_EQ(radio.frequency(), 14250000u);
  EXPECT_EQ(Send(radio, status).size(), 5u) << "reads are still answered";
  radio.SetNg(false);
  radio.SetSilent(true);
  EXPECT_TRUE(Send(radio, status).empty());
  EXPECT_TRUE(Send(radio, set).empty());
  EXPECT_EQ(radio.frequency(), 7055000u);
  EXPECT_TRUE(radio.TuneByHand(9000000).empty()) << "a CAT radio never reports";
}

TEST(SimRadioConsole, LinesAreCheckedAgainstTheModel) {
  struct Case {
    const char* model;
    const char* line;
    bool ok;
    size_t outputs;  // pieces put on the line
  };
  for (const Case& c : {
           Case{"IC-R75", "freq 9500000", true, 1},
           {"IC-R75", "  mode   USB narrow ", true, 1},
           {"IC-R75", "mode usb", false, 0},
           {"IC-R75", "mode FM", true, 1},
           {"IC-R75", "freq 4294967295", true, 1},
           {"IC-R75", "freq 4294967296", false, 0},
           {"IC-R75", "freq 9.5", false, 0},
           {"IC-R75", "freq", false, 0},
           {"IC-7200", "mode FM", false, 0},
           {"FT-817", "freq 999999999", true, 0},
           {"FT-817", "freq 1000000000", false, 0},
           {"FT-817", "mode AM", true, 0},
           {"IC-R75", "ng on", true, 0},
           {"IC-R75", "silent maybe", false, 0},
           {"IC-R75", "split off", true, 0},
           {"IC-R75", "noise 7", true, 1},
           {"IC-R75", "noise 0", false, 0},
           {"IC-R75", "noise 5000", false, 0},
           {"IC-R75", "volume 3", false, 0},
       }) {
    SimRadio radio(Options(c.model));
    std::vector<LineOutput> out;
    std::string reason;
    EXPECT_EQ(radio.Console(c.line, &out, &reason), c.ok) << c.model << " " << c.line;
    EXPECT_EQ(reason.empty(), c.ok) << c.line;
    EXPECT_EQ(out.size(), c.outputs) << c.line;
  }
}

TEST(SimRadioConsole, NoiseIsLineBytesAndSplitIsRemembered) {
  SimRadio radio(Options("IC-R75"));
  std::vector<LineOutput> out;
  ASSERT_TRUE(radio.Console("noise 300", &out, nullptr));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes.size(), 300u);
  EXPECT_FALSE(out[0].fromRadio) << "noise is not the radio's, so no fault touches it";
  ASSERT_TRUE(radio.Console("split on", &out, nullptr));
  EXPECT_TRUE(radio.split());
  out.clear();
  ASSERT_TRUE(radio.Console("freq 14250000", &out, nullptr));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0].fromRadio);
  EXPECT_EQ(radio.frequency(), 14250000u);
}
