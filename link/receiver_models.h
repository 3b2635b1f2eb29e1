// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

// One operating mode of a radio: the name the user sees and the code sent to the radio.
// Only the low 16 bits of the code take part in comparisons and commands.
struct ModeEntry {
  const char* name;  // nullptr closes a table
  int32_t code;
};

// Network sits after None in value so that the stored meaning of 0, 1 and 2 stays.
enum ProtocolKind : uint8_t {
  kProtocolCiv = 0,
  kProtocolCat = 1,
  kProtocolNone = 2,
  kProtocolNetwork = 3,
};

// A model's own number, stored in the settings as "Rx" and kept whatever the order of the
// table. Its own type, so that it cannot be taken for a model index (a row of the table),
// which is what the settings and lookups pass around. The models without a name here are
// written ModelId{n}.
enum class ModelId : int32_t {
  kNone = 1,
  kR75 = 2,
  kR8500 = 3,
  kPerseus = 4,
  kNetwork = 100,
};

struct ReceiverModel {
  const char* name;  // nullptr closes the table
  ModelId id;
  uint32_t defaultAddress;
  const ModeEntry* modes;  // nullptr: no modes at all
  ProtocolKind protocol;
  uint8_t catCommandSet;  // 1: opcodes 0x01/0x07/0x03, else 0x0A/0x0C/0xFA
};

constexpr int kModelCount = 71;
constexpr const char* kUnknownModeName = "?";

extern const ModeEntry ModesR75[];
extern const ModeEntry ModesR8500[];
extern const ModeEntry ModesIC7200[];
extern const ModeEntry ModesIcom[];
extern const ModeEntry ModesPerseus[];
extern const ModeEntry ModesCat[];
// The network protocol's own mode names; the codes only number them.
extern const ModeEntry ModesNetwork[];

// kModelCount rows plus the closing all-zero row.
extern const ReceiverModel kReceiverModels[kModelCount + 1];

struct ModeLookup {
  bool found;
  uint16_t code;
};

// Unknown ids and names fall back to index 0, the first row.
int ModelIndexById(ModelId id);
int ModelIndexByName(std::string_view name);

// A null table behaves as an empty one: every lookup fails.
ModeLookup ModeCodeByName(const ModeEntry* table, std::string_view name);
const char* ModeNameByCode(const ModeEntry* table, int code);
int ModeCount(const ModeEntry* table);

// The row at a model index; an index outside the table gives the closing row.
const ReceiverModel& ModelAt(int index);

bool IsCatModel(int index);
bool IsCI_VModel(int index);
bool IsPerseusModel(int index);
bool IsNoneModel(int index);
bool IsNetworkModel(int index);

// The two radios whose mode command and mode reply carry a filter byte after the mode byte.
bool HasFilterByte(ModelId id);
