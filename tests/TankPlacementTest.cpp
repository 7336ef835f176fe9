#include <gtest/gtest.h>

#include <algorithm>

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

TBattlefield Field(int32_t Width) {
  TBattlefield field;
  field.Width = Width;
  field.Height = 600;
  for (int32_t column = 0; column < TBattlefield::kMaxColumns; ++column) {
    field.LandHeight[column] = 100 + column % 37;  // bumpy, so levelling shows
  }
  return field;
}

// A word whose integer draw over 800 columns is Column.
uint32_t WordForColumn(uint32_t Column) {
  return static_cast<uint32_t>((static_cast<uint64_t>(Column) << 32) / 800 + 1);
}

// [first, last] all hold Height, and the columns just outside do not.
void ExpectLevelled(const TBattlefield& Field, int First, int Last, int32_t Height) {
  for (int column = First; column <= Last; ++column) {
    EXPECT_EQ(Field.LandHeight[column], Height) << "column " << column;
  }
  if (First > 0) {
    EXPECT_NE(Field.LandHeight[First - 1], Height);
  }
  if (Last + 1 < Field.Width) {
    EXPECT_NE(Field.LandHeight[Last + 1], Height);
  }
}

TEST(PlaceTank, KeepsTheTrackInsideTheFieldAndLevelsItsPad) {
  TTankSlots tanks = MakeTanks(1);
  TBattlefield left = Field(800);
  const int32_t lowestLeft = *std::min_element(&left.LandHeight[0], &left.LandHeight[27]);
  left.PlaceTank(5, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->X, 13.0);
  EXPECT_EQ(tanks[0]->Y, lowestLeft);
  ExpectLevelled(left, 0, 29, lowestLeft);

  TBattlefield right = Field(800);
  const int32_t lowestRight = *std::min_element(&right.LandHeight[773], &right.LandHeight[800]);
  right.PlaceTank(799, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->X, 786.0);
  ExpectLevelled(right, 770, 799, lowestRight);
  EXPECT_EQ(right.LandHeight[800], 100 + 800 % 37);  // beyond Width: untouched
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

  // With Gap 0 exactly the 2 * TrackSize + 1 track columns are set.
  TBattlefield exact = Field(800);
  exact.PlaceTank(400, 0, *tanks[0]);
  ExpectLevelled(exact, 398, 402, static_cast<int32_t>(tanks[0]->Y));
}

TEST(PlaceTank, FieldsNarrowerThanTheTrackStayInBounds) {
  TTankSlots tanks = MakeTanks(1, 13);
  TBattlefield narrow = Field(10);
  narrow.PlaceTank(5, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->Y, 100.0);  // the lowest of columns 0..9
  EXPECT_EQ(narrow.LandHeight[10], 100 + 10);

  TBattlefield none = Field(0);
  tanks[0]->Y = 77;
  none.PlaceTank(5, 3, *tanks[0]);
  EXPECT_EQ(tanks[0]->Y, 77.0);
  EXPECT_EQ(none.LandHeight[0], 100);

  TTankSlots huge = MakeTanks(1, UINT32_MAX);
  TBattlefield field = Field(800);
  field.PlaceTank(400, INT32_MAX, *huge[0]);
  EXPECT_EQ(field.LandHeight[800], 100 + 800 % 37);
}

TEST(ScatterTanks, TrackEndsOnTheWidenedBoundsAreRejected) {
  // Next to a tank at 200 (TrackSize 13, MinTankDist 50, so lo = 137): a candidate at 123 has
  // its right end at 136 and is taken; 124 ends on 137 and is not. Tank 1, not yet placed by
  // this call, still counts at the column it holds; it then goes to 500.
  TTankSlots tanks = MakeTanks(2);
  tanks[1]->X = 200;
  TBattlefield field = Field(800);
  TScriptedDraws draws({WordForColumn(124), WordForColumn(123), WordForColumn(500)});
  ASSERT_TRUE(field.ScatterTanks(draws, tanks, 2, 50, 3));
  EXPECT_EQ(tanks[0]->X, 123.0);
  EXPECT_EQ(tanks[1]->X, 500.0);
  EXPECT_EQ(draws.Taken(), 3U);
}

TEST(ScatterTanks, ColumnsTooCloseToAnEdgeAreRejectedWithoutWrapping) {
  // Unsigned TrackSize must not turn X - TrackSize into a huge column: 0, 12 and 787 lie
  // partly off the field and cost one draw each; 13 is the first column accepted.
  TTankSlots tanks = MakeTanks(1);
  TBattlefield field = Field(800);
  TScriptedDraws draws({WordForColumn(0), WordForColumn(12), WordForColumn(787), WordForColumn(799),
                        WordForColumn(13)});
  ASSERT_TRUE(field.ScatterTanks(draws, tanks, 1, 50, 3));
  EXPECT_EQ(tanks[0]->X, 13.0);
  EXPECT_EQ(draws.Taken(), 5U);
}

TEST(ScatterTanks, ZeroTanksDrawNothing) {
  TTankSlots tanks = MakeTanks(4);
  TBattlefield field = Field(800);
  TScriptedDraws draws({});
  EXPECT_TRUE(field.ScatterTanks(draws, tanks, 0, 50, 3));
  EXPECT_EQ(draws.Taken(), 0U);
}

TEST(ScatterTanks, StopsWithoutDrawingWhenNoColumnIsClear) {
  TMersenneTwister source(3);
  TCountingDraws draws(source);
  TTankSlots tanks = MakeTanks(4);
  TBattlefield crowded = Field(300);  // four tanks 50 apart cannot fit in 300 columns
  EXPECT_FALSE(crowded.ScatterTanks(draws, tanks, 4, 50, 3));
  EXPECT_EQ(tanks[3]->X, 0.0);

  TTankSlots wide = MakeTanks(1, 400);
  TCountingDraws none(source);
  EXPECT_FALSE(Field(800).ScatterTanks(none, wide, 1, 50, 3));
  EXPECT_EQ(none.Taken(), 0U);
}

TEST(ScatterTanks, EveryGameSeedGivesWellSpacedTanksOnLevelPads) {
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    TMersenneTwister source(seed);
    TBattlefield field = Field(800);
    field.GenerateLand(source, 500, 1, 60);
    field.SmoothenLand(50);
    TTankSlots tanks = MakeTanks(4);
    TCountingDraws draws(source);
    ASSERT_TRUE(field.ScatterTanks(draws, tanks, 4, 50, 3));

    size_t attempts = 0;
    for (int i = 0; i < 4; ++i) {
      const auto x = static_cast<int>(tanks[i]->X);
      ASSERT_GE(x, 13);
      ASSERT_LE(x, 786);
      if (i < 3) {
        ASSERT_GE(x, 77) << "an unplaced tank at 0 keeps tanks 0-2 off the left, seed " << seed;
      }
      for (int column = x - 13; column <= x + 13; ++column) {
        ASSERT_EQ(field.LandHeight[column], tanks[i]->Y) << "seed " << seed;
      }
      for (int j = 0; j < i; ++j) {
        const int gap = std::abs(x - static_cast<int>(tanks[j]->X)) - 27;
        ASSERT_GE(gap, 50) << "free columns between tanks " << j << " and " << i;
      }
    }
    // Each tank needs at least one draw; re-running from the same seed counts the attempts.
    TMersenneTwister replay(seed);
    TBattlefield again = Field(800);
    again.GenerateLand(replay, 500, 1, 60);
    again.SmoothenLand(50);
    TTankSlots others = MakeTanks(4);
    for (int i = 0; i < 4; ++i) {
      do {
        ++attempts;
        const uint32_t x = Random(replay, 800);
        const bool inside = x >= 13 && x <= 786;
        bool clear = inside;
        for (int j = 0; j < 4; ++j) {
          if (j != i) {
            const double lo = others[j]->X - 63;
            const double hi = others[j]->X + 63;
            if ((lo <= x + 13.0 && x + 13.0 <= hi) || (lo <= x - 13.0 && x - 13.0 <= hi)) {
              clear = false;
            }
          }
        }
        if (clear) {
          others[i]->X = x;
          break;
        }
      } while (true);
    }
    ASSERT_EQ(draws.Taken(), attempts) << "seed " << seed;
  }
}

}  // namespace
