// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receiver_models.h"

// Filter tables carry mode byte * 256 + filter byte; the two radios number their filters
// differently.
const ModeEntry ModesR75[] = {
    {"AM", 0x0202},     {"AM narrow", 0x0203},     {"AM wide", 0x0201},
    {"LSB", 0x0002},    {"LSB narrow", 0x0003},    {"LSB wide", 0x0001},
    {"USB", 0x0102},    {"USB narrow", 0x0103},    {"USB wide", 0x0101},
    {"CW", 0x0302},     {"CW narrow", 0x0303},     {"CW wide", 0x0301},
    {"RTTY", 0x0402},   {"RTTY narrow", 0x0403},   {"RTTY wide", 0x0401},
    {"FM", 0x0502},     {"FM narrow", 0x0503},     {"FM wide", 0x0501},
    {"CW_R", 0x0702},   {"CW_R narrow", 0x0703},   {"CW_R wide", 0x0701},
    {"RTTY_R", 0x0802}, {"RTTY_R narrow", 0x0803}, {"RTTY_R wide", 0x0801},
    {"S_AM", 0x1102},   {"S_AM narrow", 0x1103},   {"S_AM wide", 0x1101},
    {nullptr, 0},
};

const ModeEntry ModesR8500[] = {
    {"AM", 0x0202},        {"AM narrow", 0x0201}, {"AM wide", 0x0203},   {"LSB", 0x0001},
    {"USB", 0x0101},       {"CW", 0x0301},        {"CW narrow", 0x0302}, {"FM", 0x0501},
    {"FM narrow", 0x0502}, {"WFM", 0x0601},       {nullptr, 0},
};

const ModeEntry ModesIC7200[] = {
    {"AM", 2},   {"LSB", 0},  {"USB", 1},    {"CW", 3},
    {"RTTY", 4}, {"CW_R", 7}, {"RTTY_R", 8}, {nullptr, 0},
};

const ModeEntry ModesIcom[] = {
    {"AM", 2}, {"LSB", 0}, {"USB", 1}, {"CW", 3}, {"FM", 5}, {nullptr, 0},
};

const ModeEntry ModesPerseus[] = {
    {"LSB", 0}, {"USB", 1},  {"AM", 2},  {"CW", 3},   {"RTTY", 4},
    {"FM", 5},  {"S-AM", 6}, {"DRM", 7}, {"USER", 8}, {nullptr, 0},
};

const ModeEntry ModesCat[] = {
    {"LSB", 0}, {"USB", 1}, {"CW", 2}, {"AM", 4}, {"FM", 8}, {nullptr, 0},
};

const ModeEntry ModesNetwork[] = {
    {"AM", 0},     {"AMS", 1},      {"SAM", 2},      {"LSB", 3},     {"USB", 4},
    {"CW", 5},     {"CWR", 6},      {"RTTY", 7},     {"RTTYR", 8},   {"FM", 9},
    {"FMN", 10},   {"WFM", 11},     {"DSB", 12},     {"PKTLSB", 13}, {"PKTUSB", 14},
    {"PKTFM", 15}, {"ECSSUSB", 16}, {"ECSSLSB", 17}, {"FAX", 18},    {nullptr, 0},
};

// Table order is what the Settings dialog shows, so it is not sorted by id.
const ReceiverModel kReceiverModels[kModelCount + 1] = {
    {"IC-78", ModelId{40}, 0x62, ModesIcom, kProtocolCiv, 2},
    {"IC-271", ModelId{43}, 0x20, ModesIcom, kProtocolCiv, 2},
    {"IC-275A/E/H", ModelId{32}, 0x10, ModesIcom, kProtocolCiv, 2},
    {"IC-375A", ModelId{33}, 0x12, ModesIcom, kProtocolCiv, 2},
    {"IC-471A/E/H", ModelId{34}, 0x22, ModesIcom, kProtocolCiv, 2},
    {"IC-475A/E/H", ModelId{35}, 0x14, ModesIcom, kProtocolCiv, 2},
    {"IC-575A/E/H", ModelId{36}, 0x16, ModesIcom, kProtocolCiv, 2},
    {"IC-703", ModelId{5}, 0x68, ModesIcom, kProtocolCiv, 2},
    {"IC-703a", ModelId{6}, 0x68, ModesIcom, kProtocolCiv, 2},
    {"IC-706", ModelId{7}, 0x48, ModesIcom, kProtocolCiv, 2},
    {"IC-706II", ModelId{8}, 0x4E, ModesIcom, kProtocolCiv, 2},
    {"IC-706IIG", ModelId{9}, 0x58, ModesIcom, kProtocolCiv, 2},
    {"IC-707", ModelId{44}, 0x3E, ModesIcom, kProtocolCiv, 2},
    {"IC-718", ModelId{10}, 0x5E, ModesIcom, kProtocolCiv, 2},
    {"IC-725", ModelId{11}, 0x28, ModesIcom, kProtocolCiv, 2},
    {"IC-725A", ModelId{12}, 0x3E, ModesIcom, kProtocolCiv, 2},
    {"IC-726", ModelId{41}, 0x30, ModesIcom, kProtocolCiv, 2},
    {"IC-728", ModelId{13}, 0x38, ModesIcom, kProtocolCiv, 2},
    {"IC-729", ModelId{42}, 0x3A, ModesIcom, kProtocolCiv, 2},
    {"IC-735", ModelId{14}, 0x04, ModesIcom, kProtocolCiv, 2},
    {"IC-736", ModelId{45}, 0x40, ModesIcom, kProtocolCiv, 2},
    {"IC-737", ModelId{15}, 0x3C, ModesIcom, kProtocolCiv, 2},
    {"IC-738", ModelId{46}, 0x44, ModesIcom, kProtocolCiv, 2},
    {"IC-746", ModelId{16}, 0x56, ModesIcom, kProtocolCiv, 2},
    {"IC-746pro", ModelId{17}, 0x66, ModesIcom, kProtocolCiv, 2},
    {"IC-751", ModelId{18}, 0x1C, ModesIcom, kProtocolCiv, 2},
    {"IC-751A", ModelId{37}, 0x1C, ModesIcom, kProtocolCiv, 2},
    {"IC-756", ModelId{19}, 0x50, ModesIcom, kProtocolCiv, 2},
    {"IC-756pro", ModelId{20}, 0x5C, ModesIcom, kProtocolCiv, 2},
    {"IC-756proII", ModelId{21}, 0x64, ModesIcom, kProtocolCiv, 2},
    {"IC-756proIII", ModelId{22}, 0x6E, ModesIcom, kProtocolCiv, 2},
    {"IC-761", ModelId{23}, 0x1E, ModesIcom, kProtocolCiv, 2},
    {"IC-765", ModelId{24}, 0x2C, ModesIcom, kProtocolCiv, 2},
    {"IC-775", ModelId{25}, 0x46, ModesIcom, kProtocolCiv, 2},
    {"IC-781", ModelId{26}, 0x26, ModesIcom, kProtocolCiv, 2},
    {"IC-820", ModelId{47}, 0x42, ModesIcom, kProtocolCiv, 2},
    {"IC-821", ModelId{48}, 0x4C, ModesIcom, kProtocolCiv, 2},
    {"IC-910", ModelId{49}, 0x60, ModesIcom, kProtocolCiv, 2},
    {"IC-970", ModelId{50}, 0x2E, ModesIcom, kProtocolCiv, 2},
    {"IC-1271A/E", ModelId{38}, 0x24, ModesIcom, kProtocolCiv, 2},
    {"IC-1275", ModelId{51}, 0x18, ModesIcom, kProtocolCiv, 2},
    {"IC-7000", ModelId{27}, 0x70, ModesIcom, kProtocolCiv, 2},
    {"IC-7100", ModelId{70}, 0x88, ModesIcom, kProtocolCiv, 2},
    {"IC-7200", ModelId{69}, 0x76, ModesIC7200, kProtocolCiv, 2},
    {"IC-7400", ModelId{52}, 0x66, ModesIcom, kProtocolCiv, 2},
    {"IC-7410", ModelId{71}, 0x80, ModesIcom, kProtocolCiv, 2},
    {"IC-7600", ModelId{72}, 0x7A, ModesIcom, kProtocolCiv, 2},
    {"IC-7700", ModelId{73}, 0x74, ModesIcom, kProtocolCiv, 2},
    {"IC-7800", ModelId{29}, 0x6A, ModesIcom, kProtocolCiv, 2},
    {"IC-7850", ModelId{74}, 0x8E, ModesIcom, kProtocolCiv, 2},
    {"IC-7851", ModelId{75}, 0x8E, ModesIcom, kProtocolCiv, 2},
    {"IC-9100", ModelId{76}, 0x7C, ModesIcom, kProtocolCiv, 2},
    {"IC-R2", ModelId{59}, 0xEE, ModesIcom, kProtocolCiv, 2},
    {"IC-R10", ModelId{53}, 0x52, ModesIcom, kProtocolCiv, 2},
    {"IC-R20", ModelId{54}, 0x6C, ModesIcom, kProtocolCiv, 2},
    {"IC-R71A/E/D", ModelId{39}, 0x1A, ModesIcom, kProtocolCiv, 2},
    {"IC-R72", ModelId{55}, 0x32, ModesIcom, kProtocolCiv, 2},
    {"IC-R75", ModelId::kR75, 0x5A, ModesR75, kProtocolCiv, 2},
    {"IC-R7000", ModelId{31}, 0x08, ModesIcom, kProtocolCiv, 2},
    {"IC-R7100", ModelId{56}, 0x34, ModesIcom, kProtocolCiv, 2},
    {"IC-R8500", ModelId::kR8500, 0x4A, ModesR8500, kProtocolCiv, 2},
    {"IC-R9000", ModelId{57}, 0x2A, ModesIcom, kProtocolCiv, 2},
    {"IC-R9500", ModelId{58}, 0x72, ModesIcom, kProtocolCiv, 2},
    {"IC-generic", ModelId{30}, 0x01, ModesIcom, kProtocolCiv, 2},
    {"Perseus", ModelId::kPerseus, 0x01, ModesPerseus, kProtocolCiv, 2},
    {"FT-817", ModelId{60}, 0x01, ModesCat, kProtocolCat, 1},
    {"FT-847", ModelId{61}, 0x01, ModesCat, kProtocolCat, 1},
    {"FT-857", ModelId{62}, 0x01, ModesCat, kProtocolCat, 1},
    {"FT-897", ModelId{63}, 0x01, ModesCat, kProtocolCat, 1},
    {"rigctl", ModelId::kNetwork, 0x01, ModesNetwork, kProtocolNetwork, 2},
    {"None", ModelId::kNone, 0x01, nullptr, kProtocolNone, 2},
    // No name: IsCI_VModel does not take it for a CI-V radio.
    {nullptr, ModelId{0}, 0, nullptr, kProtocolCiv, 0},
};

int ModelIndexById(ModelId id) {
  for (int i = 0; i < kModelCount; ++i) {
    if (kReceiverModels[i].id == id) return i;
  }
  return 0;
}

int ModelIndexByName(std::string_view name) {
  for (int i = 0; i < kModelCount; ++i) {
    if (name == kReceiverModels[i].name) return i;
  }
  return 0;
}

ModeLookup ModeCodeByName(const ModeEntry* table, std::string_view name) {
  if (table == nullptr) return {false, 0};
  for (const ModeEntry* e = table; e->name != nullptr; ++e) {
    if (name == e->name) return {true, static_cast<uint16_t>(e->code & 0xFFFF)};
  }
  return {false, 0};
}

const char* ModeNameByCode(const ModeEntry* table, int code) {
  if (table != nullptr) {
    for (const ModeEntry* e = table; e->name != nullptr; ++e) {
      if ((e->code & 0xFFFF) == (code & 0xFFFF)) return e->name;
    }
  }
  return kUnknownModeName;
}

int ModeCount(const ModeEntry* table) {
  int n = 0;
  if (table != nullptr) {
    while (table[n].name != nullptr) ++n;
  }
  return n;
}

const ReceiverModel& ModelAt(int index) {
  // An index from outside the table (a damaged setting) reads the closing row, which speaks
  // no protocol, rather than memory beyond the table.
  if (index < 0 || index >= kModelCount) return kReceiverModels[kModelCount];
  return kReceiverModels[index];
}

bool IsCatModel(int index) { return ModelAt(index).protocol == kProtocolCat; }

bool IsCI_VModel(int index) {
  const ReceiverModel& m = ModelAt(index);
  return m.name != nullptr && m.protocol == kProtocolCiv;
}

bool IsPerseusModel(int index) { return ModelAt(index).id == ModelId::kPerseus; }

bool IsNoneModel(int index) { return ModelAt(index).id == ModelId::kNone; }

bool IsNetworkModel(int index) { return ModelAt(index).protocol == kProtocolNetwork; }

bool HasFilterByte(ModelId id) { return id == ModelId::kR75 || id == ModelId::kR8500; }
