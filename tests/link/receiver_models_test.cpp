// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receiver_models.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const ModeEntry* ExpectedModes(const ReceiverModel& m) {
  std::string name = m.name;
  if (name == "IC-R75") return ModesR75;
  if (name == "IC-R8500") return ModesR8500;
  if (name == "IC-7200") return ModesIC7200;
  if (name == "Perseus") return ModesPerseus;
  if (name == "None") return nullptr;
  if (name == "rigctl") return ModesNetwork;
  if (m.protocol == kProtocolCat) return ModesCat;
  return ModesIcom;
}

}  // namespace

TEST(ReceiverModels, TableHoldsEveryModelOnceAndIsClosed) {
  std::set<int> ids;
  for (int i = 0; i < kModelCount; ++i) {
    const ReceiverModel& m = kReceiverModels[i];
    ASSERT_NE(m.name, nullptr) << i;
    const int id = static_cast<int>(m.id);
    EXPECT_TRUE(ids.insert(id).second) << "duplicate id " << id;
    EXPECT_EQ(m.catCommandSet, m.protocol == kProtocolCat ? 1 : 2) << m.name;
    bool filterTable = m.modes == ModesR75 || m.modes == ModesR8500;
    EXPECT_EQ(filterTable, HasFilterByte(m.id)) << m.name;
    EXPECT_EQ(m.modes, ExpectedModes(m)) << m.name;
    EXPECT_GE(m.defaultAddress, 0x01u);
    EXPECT_LE(m.defaultAddress, 0xEEu);
  }
  std::set<int> expected;
  for (int id = 1; id <= 76; ++id) {
    if (id != 28 && (id < 64 || id > 68)) expected.insert(id);
  }
  expected.insert(100);  // the network radio
  EXPECT_EQ(ids, expected);

  const ReceiverModel& end = kReceiverModels[kModelCount];
  EXPECT_EQ(end.name, nullptr);
  EXPECT_EQ(end.id, ModelId{0});
  EXPECT_EQ(end.defaultAddress, 0u);
  EXPECT_EQ(end.modes, nullptr);
  EXPECT_EQ(end.protocol, 0);
  EXPECT_EQ(end.catCommandSet, 0);
}

TEST(ReceiverModels, LookupsFallBackToTheFirstRow) {
  struct Case {
    int id;
    int index;
  };
  for (Case c : {Case{-1, 0},
                 {28, 0},
                 {64, 0},
                 {0, 0},
                 {40, 0},
                 {76, 51},
                 {1, 70},
                 {100, 69},
                 {2, 57},
                 {4, 64},
                 {63, 68}}) {
    EXPECT_EQ(ModelIndexById(ModelId{c.id}), c.index) << "id " << c.id;
  }
  EXPECT_STREQ(kReceiverModels[ModelIndexById(ModelId{76})].name, "IC-9100");
  EXPECT_EQ(ModelIndexByName("IC-R8500"), 60);
  EXPECT_EQ(ModelIndexByName("None"), 70);
  EXPECT_EQ(ModelIndexByName("rigctl"), 69);
  EXPECT_EQ(ModelIndexByName("ic-r8500"), 0);
  EXPECT_EQ(ModelIndexByName(""), 0);
}

TEST(ReceiverModels, ModeLookups) {
  struct NameCase {
    const ModeEntry* table;
    const char* name;
    bool found;
    uint16_t code;
  };
  for (NameCase c : {NameCase{ModesR75, "USB narrow", true, 0x0103},
                     {ModesR75, "usb narrow", false, 0},
                     {ModesR8500, "WFM", true, 0x0601},
                     {ModesCat, "FM", true, 8},
                     {ModesIcom, "WFM", false, 0},
                     {nullptr, "AM", false, 0}}) {
    ModeLookup r = ModeCodeByName(c.table, c.name);
    EXPECT_EQ(r.found, c.found) << c.name;
    EXPECT_EQ(r.code, c.code) << c.name;
  }

  struct CodeCase {
    const ModeEntry* table;
    int code;
    std::string name;
  };
  for (const CodeCase& c : {CodeCase{ModesIcom, 5, "FM"},
                            {ModesIcom, 7, "?"},
                            {ModesR8500, 0x0201, "AM narrow"},
                            {ModesR75, 0x10103, "USB narrow"},  // only the low 16 bits count
                            {ModesPerseus, 6, "S-AM"},
                            {nullptr, 0, "?"}}) {
    EXPECT_EQ(ModeNameByCode(c.table, c.code), c.name) << c.code;
  }
  EXPECT_EQ(ModeCount(nullptr), 0);
  EXPECT_EQ(ModeCount(ModesR75), 27);
  EXPECT_EQ(ModeCount(ModesR8500), 10);
}

TEST(ReceiverModels, AddressesDoNotIdentifyAModel) {
  int a = ModelIndexByName("IC-7850");
  int b = ModelIndexByName("IC-7851");
  EXPECT_NE(a, b);
  EXPECT_EQ(kReceiverModels[a].defaultAddress, 0x8Eu);
  EXPECT_EQ(kReceiverModels[b].defaultAddress, 0x8Eu);
}

TEST(ReceiverModels, Predicates) {
  struct Case {
    const char* name;
    bool cat, civ, perseus, none, network;
  };
  for (Case c : {Case{"IC-R75", false, true, false, false, false},
                 {"Perseus", false, true, true, false, false},
                 {"FT-857", true, false, false, false, false},
                 {"rigctl", false, false, false, false, true},
                 {"None", false, false, false, true, false}}) {
    int i = ModelIndexByName(c.name);
    EXPECT_EQ(IsCatModel(i), c.cat) << c.name;
    EXPECT_EQ(IsCI_VModel(i), c.civ) << c.name;
    EXPECT_EQ(IsPerseusModel(i), c.perseus) << c.name;
    EXPECT_EQ(IsNoneModel(i), c.none) << c.name;
    EXPECT_EQ(IsNetworkModel(i), c.network) << c.name;
  }
  // A damaged index reads the closing row: no protocol at all.
  for (int i : {-1, kModelCount, 1000}) {
    EXPECT_FALSE(IsCatModel(i) || IsCI_VModel(i) || IsPerseusModel(i) || IsNoneModel(i) ||
                 IsNetworkModel(i))
        << i;
  }
}
