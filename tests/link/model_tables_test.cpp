// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ios>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "link/receiver_models.h"

// Every value of the model and mode tables, written out by hand rather than derived from
// the code, so that a wrong address or two swapped ids or mode codes fail.
namespace {

struct Mode {
  std::string name;
  int code;
};

std::vector<Mode> Entries(const ModeEntry* table) {
  std::vector<Mode> entries;
  for (int i = 0; table != nullptr && table[i].name != nullptr; ++i) {
    entries.push_back({table[i].name, table[i].code});
  }
  return entries;
}

bool operator==(const Mode& a, const Mode& b) { return a.name == b.name && a.code == b.code; }

void PrintTo(const Mode& m, std::ostream* os) {
  *os << '"' << m.name << "\" = 0x" << std::hex << m.code << std::dec;
}

}  // namespace

TEST(ModelTable, EveryRowHoldsItsNameIdAddressModesProtocolAndFilterByte) {
  struct Row {
    const char* name;
    int id;
    uint32_t address;
    const ModeEntry* modes;
    uint8_t protocol;
    uint8_t catCommandSet;
    bool filterByte;
  } rows[] = {
      {"IC-78", 40, 0x62, ModesIcom, kProtocolCiv, 2, false},
      {"IC-271", 43, 0x20, ModesIcom, kProtocolCiv, 2, false},
      {"IC-275A/E/H", 32, 0x10, ModesIcom, kProtocolCiv, 2, false},
      {"IC-375A", 33, 0x12, ModesIcom, kProtocolCiv, 2, false},
      {"IC-471A/E/H", 34, 0x22, ModesIcom, kProtocolCiv, 2, false},
      {"IC-475A/E/H", 35, 0x14, ModesIcom, kProtocolCiv, 2, false},
      {"IC-575A/E/H", 36, 0x16, ModesIcom, kProtocolCiv, 2, false},
      {"IC-703", 5, 0x68, ModesIcom, kProtocolCiv, 2, false},
      {"IC-703a", 6, 0x68, ModesIcom, kProtocolCiv, 2, false},
      {"IC-706", 7, 0x48, ModesIcom, kProtocolCiv, 2, false},
      {"IC-706II", 8, 0x4E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-706IIG", 9, 0x58, ModesIcom, kProtocolCiv, 2, false},
      {"IC-707", 44, 0x3E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-718", 10, 0x5E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-725", 11, 0x28, ModesIcom, kProtocolCiv, 2, false},
      {"IC-725A", 12, 0x3E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-726", 41, 0x30, ModesIcom, kProtocolCiv, 2, false},
      {"IC-728", 13, 0x38, ModesIcom, kProtocolCiv, 2, false},
      {"IC-729", 42, 0x3A, ModesIcom, kProtocolCiv, 2, false},
      {"IC-735", 14, 0x04, ModesIcom, kProtocolCiv, 2, false},
      {"IC-736", 45, 0x40, ModesIcom, kProtocolCiv, 2, false},
      {"IC-737", 15, 0x3C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-738", 46, 0x44, ModesIcom, kProtocolCiv, 2, false},
      {"IC-746", 16, 0x56, ModesIcom, kProtocolCiv, 2, false},
      {"IC-746pro", 17, 0x66, ModesIcom, kProtocolCiv, 2, false},
      {"IC-751", 18, 0x1C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-751A", 37, 0x1C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-756", 19, 0x50, ModesIcom, kProtocolCiv, 2, false},
      {"IC-756pro", 20, 0x5C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-756proII", 21, 0x64, ModesIcom, kProtocolCiv, 2, false},
      {"IC-756proIII", 22, 0x6E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-761", 23, 0x1E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-765", 24, 0x2C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-775", 25, 0x46, ModesIcom, kProtocolCiv, 2, false},
      {"IC-781", 26, 0x26, ModesIcom, kProtocolCiv, 2, false},
      {"IC-820", 47, 0x42, ModesIcom, kProtocolCiv, 2, false},
      {"IC-821", 48, 0x4C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-910", 49, 0x60, ModesIcom, kProtocolCiv, 2, false},
      {"IC-970", 50, 0x2E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-1271A/E", 38, 0x24, ModesIcom, kProtocolCiv, 2, false},
      {"IC-1275", 51, 0x18, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7000", 27, 0x70, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7100", 70, 0x88, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7200", 69, 0x76, ModesIC7200, kProtocolCiv, 2, false},
      {"IC-7400", 52, 0x66, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7410", 71, 0x80, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7600", 72, 0x7A, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7700", 73, 0x74, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7800", 29, 0x6A, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7850", 74, 0x8E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-7851", 75, 0x8E, ModesIcom, kProtocolCiv, 2, false},
      {"IC-9100", 76, 0x7C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R2", 59, 0xEE, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R10", 53, 0x52, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R20", 54, 0x6C, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R71A/E/D", 39, 0x1A, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R72", 55, 0x32, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R75", 2, 0x5A, ModesR75, kProtocolCiv, 2, true},
      {"IC-R7000", 31, 0x08, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R7100", 56, 0x34, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R8500", 3, 0x4A, ModesR8500, kProtocolCiv, 2, true},
      {"IC-R9000", 57, 0x2A, ModesIcom, kProtocolCiv, 2, false},
      {"IC-R9500", 58, 0x72, ModesIcom, kProtocolCiv, 2, false},
      {"IC-generic", 30, 0x01, ModesIcom, kProtocolCiv, 2, false},
      {"Perseus", 4, 0x01, ModesPerseus, kProtocolCiv, 2, false},
      {"FT-817", 60, 0x01, ModesCat, kProtocolCat, 1, false},
      {"FT-847", 61, 0x01, ModesCat, kProtocolCat, 1, false},
      {"FT-857", 62, 0x01, ModesCat, kProtocolCat, 1, false},
      {"FT-897", 63, 0x01, ModesCat, kProtocolCat, 1, false},
      {"rigctl", 100, 0x01, ModesNetwork, kProtocolNetwork, 2, false},
      {"None", 1, 0x01, nullptr, kProtocolNone, 2, false},
  };
  ASSERT_EQ(std::size(rows), static_cast<size_t>(kModelCount));
  for (int i = 0; i < kModelCount; ++i) {
    const Row& want = rows[i];
    const ReceiverModel& got = kReceiverModels[i];
    SCOPED_TRACE(testing::Message() << "row " << i << " " << want.name);
    ASSERT_NE(got.name, nullptr);
    EXPECT_STREQ(got.name, want.name);
    EXPECT_EQ(got.id, ModelId{want.id});
    EXPECT_EQ(got.defaultAddress, want.address);
    EXPECT_EQ(got.modes, want.modes);
    EXPECT_EQ(got.protocol, want.protocol);
    EXPECT_EQ(got.catCommandSet, want.catCommandSet);
    EXPECT_EQ(HasFilterByte(got.id), want.filterByte);
  }
  EXPECT_EQ(kReceiverModels[kModelCount].name, nullptr);
}

TEST(ModeTables, EveryEntryInItsOrder) {
  struct Table {
    const char* name;
    const ModeEntry* table;
    std::vector<Mode> entries;
  } tables[] = {
      {"ModesR75",
       ModesR75,
       {{"AM", 0x0202},     {"AM narrow", 0x0203},     {"AM wide", 0x0201},
        {"LSB", 0x0002},    {"LSB narrow", 0x0003},    {"LSB wide", 0x0001},
        {"USB", 0x0102},    {"USB narrow", 0x0103},    {"USB wide", 0x0101},
        {"CW", 0x0302},     {"CW narrow", 0x0303},     {"CW wide", 0x0301},
        {"RTTY", 0x0402},   {"RTTY narrow", 0x0403},   {"RTTY wide", 0x0401},
        {"FM", 0x0502},     {"FM narrow", 0x0503},     {"FM wide", 0x0501},
        {"CW_R", 0x0702},   {"CW_R narrow", 0x0703},   {"CW_R wide", 0x0701},
        {"RTTY_R", 0x0802}, {"RTTY_R narrow", 0x0803}, {"RTTY_R wide", 0x0801},
        {"S_AM", 0x1102},   {"S_AM narrow", 0x1103},   {"S_AM wide", 0x1101}}},
      {"ModesR8500",
       ModesR8500,
       {{"AM", 0x0202},
        {"AM narrow", 0x0201},
        {"AM wide", 0x0203},
        {"LSB", 0x0001},
        {"USB", 0x0101},
        {"CW", 0x0301},
        {"CW narrow", 0x0302},
        {"FM", 0x0501},
        {"FM narrow", 0x0502},
        {"WFM", 0x0601}}},
      {"ModesIC7200",
       ModesIC7200,
       {{"AM", 2}, {"LSB", 0}, {"USB", 1}, {"CW", 3}, {"RTTY", 4}, {"CW_R", 7}, {"RTTY_R", 8}}},
      {"ModesIcom", ModesIcom, {{"AM", 2}, {"LSB", 0}, {"USB", 1}, {"CW", 3}, {"FM", 5}}},
      {"ModesPerseus",
       ModesPerseus,
       {{"LSB", 0},
        {"USB", 1},
        {"AM", 2},
        {"CW", 3},
        {"RTTY", 4},
        {"FM", 5},
        {"S-AM", 6},
        {"DRM", 7},
        {"USER", 8}}},
      {"ModesCat", ModesCat, {{"LSB", 0}, {"USB", 1}, {"CW", 2}, {"AM", 4}, {"FM", 8}}},
      {"ModesNetwork",
       ModesNetwork,
       {{"AM", 0},
        {"AMS", 1},
        {"SAM", 2},
        {"LSB", 3},
        {"USB", 4},
        {"CW", 5},
        {"CWR", 6},
        {"RTTY", 7},
        {"RTTYR", 8},
        {"FM", 9},
        {"FMN", 10},
        {"WFM", 11},
        {"DSB", 12},
        {"PKTLSB", 13},
        {"PKTUSB", 14},
        {"PKTFM", 15},
        {"ECSSUSB", 16},
        {"ECSSLSB", 17},
        {"FAX", 18}}},
  };
  for (const Table& t : tables) {
    EXPECT_EQ(Entries(t.table), t.entries) << t.name;
    // The closing entry: no name, code 0.
    EXPECT_EQ(t.table[t.entries.size()].code, 0) << t.name;
  }
}
