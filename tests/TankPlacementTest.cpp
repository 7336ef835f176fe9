#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestSupport.h"
#include "game/Battlefield.h"

namespace {

TTankSlots MakeTanks(int Count, uint32_t TrackSize = 13) {
  TTankSlots tanks;
  for (int i = 0; i < Count; ++i) {
    tanks[i] = std::make_unique<TTank>();
    tanks[i]->TrackSize = TrackSize;
  }
  return tanks;
}

// A bumpy field whose columns all differ, so that levelling shows.
int32_t Bump(int32_t Column) {
  return 100 + Column * 389 % 1031;
}

TBattlefield Field(int32_t Width) {
  TBattlefield field;
  field.Width = Width;
  for (int32_t column = 0; column < TBattlefield::kMaxColumns; ++column) {
    field.LandHeight[column] = Bump(column);
  }
  return field;
}

// A word whose integer draw over Width columns is Column.
uint32_t WordForColumn(uint32_t Column, uint32_t Width = 800) {
  return static_cast<uint32_t>((static_cast<uint64_t>(Column) << 32) / Width + 1);
}

// Exactly the columns First..Last stand at Height.
void ExpectPad(const TBattlefield& Field, int First, int Last, double Height) {
  for (int column = 0; column < Field.Width; ++column) {
    EXPECT_EQ(Field.LandHeight[column] == Height, column >= First && column <= Last) << column;
  }
}

TEST(PlaceTank, KeepsTheTrackInsideTheFieldAndLevelsItsPad) {
  TTankSlots tanks = MakeTanks(1);
  TBattlefield left = Field(800);
  left.PlaceTank(5, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->X, 13.0);
  EXPECT_EQ(tanks[0]->Y, 100.0);  // the lowest of the track columns 0..26 is column 0
  ExpectPad(left, 0, 29, tanks[0]->Y);

  TBattlefield right = Field(800);
  right.PlaceTank(799, 0, *tanks[0]);  // with no gap, exactly the 27 track columns
  EXPECT_EQ(tanks[0]->X, 786.0);
  EXPECT_EQ(right.LandHeight[800], Bump(800));  // beyond Width: untouched
  ExpectPad(right, 773, 799, tanks[0]->Y);
}

TEST(PlaceTank, OnlyTrackColumnsDecideTheHeight) {
  TTankSlots tanks = MakeTanks(1, 2);
  TBattlefield field = Field(20);
  std::fill(field.LandHeight.begin(), field.LandHeight.end(), 50);
  field.LandHeight[7] = 10;   // a margin column lower than the track is filled up
  field.LandHeight[10] = 60;  // a track column higher than the rest is dug down
  field.PlaceTank(10, 2, *tanks[0]);
  EXPECT_EQ(tanks[0]->Y, 50.0);
  EXPECT_EQ(std::count(field.LandHeight.begin(), field.LandHeight.begin() + 20, 50), 20);
}

TEST(PlaceTank, FieldsNarrowerThanTheTrackStayInBounds) {
  TTankSlots tanks = MakeTanks(1);
  TBattlefield narrow = Field(10);
  narrow.PlaceTank(5, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->Y, 100.0);  // the lowest of columns 0..9
  EXPECT_EQ(narrow.LandHeight[10], Bump(10));
  TTankSlots huge = MakeTanks(1, UINT32_MAX);
  TBattlefield field = Field(800);
  field.PlaceTank(400, INT32_MAX, *huge[0]);
  EXPECT_EQ(field.LandHeight[800], Bump(800));
}

TEST(ScatterTanks, FollowsTheScriptedDrawsExactly) {
  // Next to a tank at 200 (lo = 200 - 13 - 50 = 137): 124 ends on 137 and is rejected, 123
  // is taken. Tank 1, not yet placed, still counts at the column it holds; it then goes to
  // 500. Each attempt costs one draw.
  TTankSlots tanks = MakeTanks(2);
  tanks[1]->X = 200;
  TBattlefield field = Field(800);
  TScriptedDraws draws({WordForColumn(124), WordForColumn(123), WordForColumn(500)});
  ASSERT_TRUE(field.ScatterTanks(draws, tanks, 2, 50, 3));
  EXPECT_EQ(tanks[0]->X, 123.0);
  EXPECT_EQ(tanks[1]->X, 500.0);
  EXPECT_EQ(draws.Taken(), 3U);

  // TrackSize is unsigned: X - TrackSize must not wrap to a huge column. 0, 12 and 787 lie
  // partly off the field and are rejected; 13 is the first column accepted.
  TTankSlots one = MakeTanks(1);
  TScriptedDraws edges({WordForColumn(0), WordForColumn(12), WordForColumn(787), WordForColumn(799),
                        WordForColumn(13)});
  ASSERT_TRUE(Field(800).ScatterTanks(edges, one, 1, 50, 3));
  EXPECT_EQ(one[0]->X, 13.0);
  EXPECT_EQ(edges.Taken(), 5U);

  TScriptedDraws none({});
  EXPECT_TRUE(field.ScatterTanks(none, tanks, 0, 50, 3));
  EXPECT_EQ(none.Taken(), 0U);
}

TEST(ScatterTanks, StopsWithoutDrawingWhenNoColumnIsClear) {
  // Four tanks 50 columns apart cannot fit in 300: the first two are placed, then no column
  // is left for the third, which stays where it was and costs no draw.
  TTankSlots tanks = MakeTanks(4);
  TScriptedDraws draws({WordForColumn(150, 300), WordForColumn(250, 300)});
  EXPECT_FALSE(Field(300).ScatterTanks(draws, tanks, 4, 50, 3));
  EXPECT_EQ(tanks[1]->X, 250.0);
  EXPECT_EQ(tanks[2]->X, 0.0);
  EXPECT_EQ(draws.Taken(), 2U);

  TTankSlots wide = MakeTanks(1, 400);
  TScriptedDraws never({});
  EXPECT_FALSE(Field(800).ScatterTanks(never, wide, 1, 50, 3));
  EXPECT_EQ(never.Taken(), 0U);
}

TEST(ScatterTanks, EveryGameSeedGivesWellSpacedTanksOnLevelPads) {
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    TMersenneTwister source(seed);
    TBattlefield field = Field(800);
    field.GenerateLand(source, 500, 1, 60);
    field.SmoothenLand(50);
    TTankSlots tanks = MakeTanks(4);
    ASSERT_TRUE(field.ScatterTanks(source, tanks, 4, 50, 3));
    for (int i = 0; i < 4; ++i) {
      const auto x = static_cast<int>(tanks[i]->X);
      // An unplaced tank at 0 keeps tanks 0-2 off the left; the last may stand at 13.
      ASSERT_GE(x, i < 3 ? 77 : 13) << "seed " << seed;
      ASSERT_LE(x, 786);
      for (int column = x - 13; column <= x + 13; ++column) {
        ASSERT_EQ(field.LandHeight[column], tanks[i]->Y) << "seed " << seed;
      }
      for (int j = 0; j < i; ++j) {
        ASSERT_GE(std::abs(x - static_cast<int>(tanks[j]->X)) - 27, 50) << "seed " << seed;
      }
    }
  }
}

}  // namespace
