// SPDX-License-Identifier: GPL-3.0-or-later
#include <map>

#include "list/list_format.h"
#include "tests/tuning/tuning_fixture.h"

namespace {

struct PreferenceCase {
  const char* name;
  std::map<int, OnAir> states;  // rows not named are off
  int startRow;
  uint64_t reportedHz;
  int expectedRow;
};

// Rows 2, 4 and 5 share 5000 kHz; row 1 is 6000 kHz and row 3 is 7000 kHz.
const PreferenceCase kPreferenceCases[] = {
    {"OnBeatsMaybeAndOff", {{2, OnAir::kOff}, {4, OnAir::kMaybe}, {5, OnAir::kOn}}, 1, 5000000, 5},
    {"OnFirstStaysFirst", {{2, OnAir::kOn}, {4, OnAir::kOn}, {5, OnAir::kMaybe}}, 1, 5000000, 2},
    {"MaybeBeatsOff", {{2, OnAir::kOff}, {4, OnAir::kComingUp}, {5, OnAir::kMaybe}}, 1, 5000000, 5},
    {"FirstMaybeOfTwo", {{4, OnAir::kMaybe}, {5, OnAir::kMaybe}}, 1, 5000000, 4},
    {"NoneOnTakesTheFirst", {{4, OnAir::kComingUp}}, 1, 5000000, 2},
    {"CurrentRowAlreadyMatches", {{5, OnAir::kOn}}, 4, 5000000, 4},
    {"NoExactMatchStays", {{5, OnAir::kOn}}, 3, 5000500, 3},
    {"OtherFrequencyIsExact", {{5, OnAir::kOn}}, 2, 7000000, 3},
};

void PrintTo(const PreferenceCase& c, std::ostream* out) { *out << c.name; }

class MatchFrequencyTest : public TuningControlTest,
                           public ::testing::WithParamInterface<PreferenceCase> {};

TEST_P(MatchFrequencyTest, PrefersTheRowOnTheAir) {
  const PreferenceCase& c = GetParam();
  Load({"6000;A;AM;;;;", "5000;B;AM;;;;", "7000;C;AM;;;;", "5000;D;AM;;;;", "5000.000;E;AM;;;;"},
       c.startRow);
  tuning_.SetRowOnAir([&c](int row) {
    const auto found = c.states.find(row);
    return found == c.states.end() ? OnAir::kOff : found->second;
  });
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(c.reportedHz);
  EXPECT_EQ(grid().Row(), c.expectedRow);
}

INSTANTIATE_TEST_SUITE_P(Table, MatchFrequencyTest, ::testing::ValuesIn(kPreferenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TuningControlTest, OnlyUnderAutoMode) {
  Load({"6000;A;AM;;;;", "5000;B;AM;;;;"});
  tuning_.MatchFrequency(5000000);
  EXPECT_EQ(grid().Row(), 1);
}

// Without an injected state, the UTC and Days cells decide.
TEST_F(TuningControlTest, DefaultStateReadsTheUtcColumn) {
  Load({"6000;A;AM;;;;", "5000;B;AM;0000-0600;;;", "5000;C;AM;1000-1200;;;"});
  At(11, 0);
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(5000000);
  EXPECT_EQ(grid().Row(), 3);
}

// The index is built on the first report; each change of the list below must be seen by the
// next report, never a row chosen from the list as it was.
TEST_F(TuningControlTest, EditedFrequencyIsFoundAndTheOldOneIsNot) {
  LoadNumbered(6);
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(1003000);
  ASSERT_EQ(grid().Row(), 3);
  grid().SetTextMatrix(5, kColFrequency, "2222.000");
  tuning_.MatchFrequency(2222000);
  EXPECT_EQ(grid().Row(), 5);
  grid().SetRow(1);
  tuning_.MatchFrequency(1005000);
  EXPECT_EQ(grid().Row(), 1);
}

TEST_F(TuningControlTest, InsertedRowMovesTheOthersDown) {
  LoadNumbered(6);
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(1004000);
  ASSERT_EQ(grid().Row(), 4);
  grid().AddItem(QString(), 2);
  grid().SetTextMatrix(2, kColFrequency, "3333.000");
  tuning_.MatchFrequency(1004000);
  EXPECT_EQ(grid().Row(), 5);
  tuning_.MatchFrequency(3333000);
  EXPECT_EQ(grid().Row(), 2);
}

TEST_F(TuningControlTest, DeletedRowIsNotChosen) {
  LoadNumbered(6);
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(1005000);
  ASSERT_EQ(grid().Row(), 5);
  grid().RemoveItem(3);
  grid().SetRow(1);
  tuning_.MatchFrequency(1003000);
  EXPECT_EQ(grid().Row(), 1);  // no row has 1003 kHz any more
  tuning_.MatchFrequency(1006000);
  EXPECT_EQ(grid().Row(), 5);
}

TEST_F(TuningControlTest, SortedListIsReadAgain) {
  Load({"9000;A;AM;;;;", "7000;B;AM;;;;", "8000;C;AM;;;;"});
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(7000000);
  ASSERT_EQ(grid().Row(), 2);
  Go(1, kColFrequency);
  grid().SetRowSel(grid().Rows() - 1);
  grid().Sort();
  ASSERT_EQ(LeadingNumber(grid().TextMatrix(1, kColFrequency)), 7000);
  grid().SetRow(3);
  tuning_.MatchFrequency(7000000);
  EXPECT_EQ(grid().Row(), 1);
}

TEST_F(TuningControlTest, OffsetColumnChangeIsReadAgain) {
  Load({"6000;A;AM;;;;", "5000;B;AM;;;;"});
  grid().SetTextMatrix(1, kOffsetColumn, "1");
  tuning_.ToggleAutoMode();
  tuning_.MatchFrequency(6000000);
  ASSERT_EQ(grid().Row(), 1);
  grid().SetRow(2);
  tuning_.offsetColumn = kOffsetColumn;
  tuning_.MatchFrequency(6001000);
  EXPECT_EQ(grid().Row(), 1);
}

}  // namespace
