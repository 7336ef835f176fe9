#include <tuple>

#include "TestSupport.h"
#include "game/Battlefield.h"

namespace {

// Every slot holds a tank, the ones past the count too; the first ones get Tracks and X.
TTankSlots MakeTanks(const std::vector<uint32_t>& Tracks, const std::vector<double>& X) {
  TTankSlots tanks;
  for (size_t i = 0; i < tanks.size(); ++i) {
    tanks[i] = std::make_unique<TTank>();
    if (i < Tracks.size()) std::tie(tanks[i]->TrackSize, tanks[i]->X) = std::pair(Tracks[i], X[i]);
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
  for (int32_t column = 0; column < TBattlefield::kMaxColumns; ++column)
    field.LandHeight[column] = Bump(column);
  return field;
}

// A word whose integer draw over Width columns is Column.
uint32_t WordForColumn(uint32_t Column, uint32_t Width = 800) {
  return static_cast<uint32_t>((static_cast<uint64_t>(Column) << 32) / Width + 1);
}

// The tank stands in the field at the lowest ground under its track; the track and Gap
// columns on each side, and no others, are levelled to it (filled up or dug down). Columns
// from Width on are never touched.
TEST(TankPlacement, PlaceTankStandsInTheFieldAndLevelsExactlyItsPad) {
  // The field's width, the track size, X and Gap; the tank's X and Y; the levelled columns.
  const std::tuple<int32_t, uint32_t, int32_t, int32_t, double, double, int, int> cases[] = {
      {800, 13, 5, 3, 13, 100, 0, 29},        // moved right; the lowest is column 0
      {800, 13, 799, 0, 786, 134, 773, 799},  // moved left; no gap: the 27 track columns
      {20, 2, 4, 2, 4, 236, 0, 8},            // the margin's 100 and 119 are filled up
      {10, 13, 5, 3, -4, 100, 0, 9},          // a field narrower than the track
      {1, 0, 0, 0, 0, 100, 0, 0},             // a field of one column
      {800, UINT32_MAX, 400, INT32_MAX, 799.0 - UINT32_MAX, 100, 0, 799},  // no wrap in 32 bits
  };
  for (const auto& [width, trackSize, x, gap, tankX, tankY, padFrom, padTo] : cases) {
    TTank tank;
    tank.TrackSize = trackSize;
    TBattlefield field = Field(width);
    field.PlaceTank(x, gap, tank);
    EXPECT_EQ(std::make_pair(tank.X, tank.Y), std::make_pair(tankX, tankY));
    for (int column = 0; column <= width; ++column)
      EXPECT_EQ(field.LandHeight[column],
                column >= padFrom && column <= padTo ? tankY : Bump(column))
          << "column " << column << " of " << width;
  }
}

// Each attempt costs one draw: a column is taken when both ends of the track lie in the field
// and neither lies within MinTankDist of another tank's track, both bounds counting as within.
// An unplaced tank counts at the X it holds. With no clear column left, the tank and the ones
// after it stay where they are and no more draws are taken.
TEST(TankPlacement, ScatterTanksFollowsTheScriptedDrawsExactly) {
  // The tanks' track sizes and X, the field's width, MinTankDist, the draws as columns, whether
  // every tank was placed, and the tanks' X after.
  using TColumns = std::vector<uint32_t>;
  using TXs = std::vector<double>;
  const std::tuple<TColumns, TXs, int32_t, int32_t, TColumns, bool, TXs> cases[] = {
      // Next to a tank at 200 (reach 137 to 263): 124 ends on 137 and 276 starts on 263;
      // tank 1 then goes to 500.
      {{13, 13}, {0, 200}, 800, 50, {124, 276, 123, 500}, true, {123, 500}},
      // TrackSize is unsigned: X - TrackSize must not wrap to a huge column.
      {{13}, {0}, 800, 50, {0, 12, 787, 799, 13}, true, {13}},
      // A reach (195 to 205) narrower than the track: 208 starts on it, 192 ends on it.
      {{13, 0}, {0, 200}, 800, 5, {208, 192, 230, 212, 100}, true, {230, 100}},
      {{}, {}, 800, 50, {}, true, {}},
      {{13, 13, 13, 13}, {0, 0, 0, 0}, 300, 50, {150, 250}, false, {150, 250, 0, 0}},
      {{400}, {0}, 800, 50, {}, false, {0}},
      {{0}, {5}, 1, 50, {0}, true, {0}},  // column 0 is a column too
  };
  for (const auto& [tracks, startX, width, minTankDist, columns, placed, endX] : cases) {
    TTankSlots tanks = MakeTanks(tracks, startX);
    std::vector<uint32_t> words;
    for (uint32_t column : columns) words.push_back(WordForColumn(column, uint32_t(width)));
    TScriptedDraws draws(words);
    const auto count = int32_t(tracks.size());
    EXPECT_EQ(Field(width).ScatterTanks(draws, tanks, count, minTankDist, 3), placed);
    std::vector<double> x;
    for (int32_t i = 0; i < count; ++i) x.push_back(tanks[i]->X);
    EXPECT_EQ(x, endX);
    EXPECT_EQ(draws.Taken(), words.size());
  }
  // A count beyond the slots is held to them: none below, every slot above.
  TTankSlots tanks = MakeTanks({13, 13, 13, 13}, {0, 0, 0, 0});
  TScriptedDraws none({}),
      four({WordForColumn(100), WordForColumn(200), WordForColumn(300), WordForColumn(400)});
  EXPECT_TRUE(Field(800).ScatterTanks(none, tanks, -1, 50, 3));
  EXPECT_TRUE(Field(800).ScatterTanks(four, tanks, 5, 50, 3));
  EXPECT_EQ(four.Taken(), 4U);
}

}  // namespace
