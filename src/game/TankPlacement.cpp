#include <algorithm>
#include <cmath>

#include "game/Battlefield.h"

// Placement arithmetic is signed and 64 bits wide: TrackSize is unsigned, and X - TrackSize
// must be able to go below zero instead of wrapping to a huge column.

namespace {

// The stretch [Lo, Hi] around another tank where no end of a track may fall: its own track
// widened by MinTankDist on either side, both bounds inside.
struct TReach {
  double Lo;
  double Hi;
};

// Calls Action with the reach of every tank of the set but Tanks[Index].
template <typename TAction>
void ForEachOtherReach(const TTankSlots& Tanks, int32_t Count, int32_t Index, int32_t MinTankDist,
                       TAction&& Action) {
  for (int32_t other = 0; other < Count; ++other) {
    if (other == Index || !Tanks[other]) {
      continue;
    }
    const TTank& tank = *Tanks[other];
    const double reach = static_cast<double>(tank.TrackSize) + MinTankDist;
    Action(TReach{tank.X - reach, tank.X + reach});
  }
}

}  // namespace

void TBattlefield::PlaceTank(int32_t X, int32_t Gap, TTank& Tank) {
  const int64_t lastColumn = int64_t{UsedColumns()} - 1;
  if (lastColumn < 0) {
    return;
  }
  const int64_t track = Tank.TrackSize;
  int64_t x = X;
  if (x - track < 0) {
    x = track;
  }
  if (x + track > lastColumn) {
    x = lastColumn - track;
  }
  // Only the track columns decide the height; the margin is filled or dug to it.
  const int64_t trackFrom = std::max<int64_t>(0, x - track);
  const int64_t trackTo = std::min(lastColumn, x + track);
  int32_t lowest = LandHeight[std::clamp<int64_t>(x, trackFrom, trackTo)];
  for (int64_t column = trackFrom; column <= trackTo; ++column) {
    lowest = std::min(lowest, LandHeight[column]);
  }
  const int64_t padFrom = std::max<int64_t>(0, x - track - Gap);
  const int64_t padTo = std::min(lastColumn, x + track + Gap);
  for (int64_t column = padFrom; column <= padTo; ++column) {
    LandHeight[column] = lowest;
  }
  Tank.X = static_cast<double>(x);
  Tank.Y = lowest;
}

bool TBattlefield::SpaceClear(const TTankSlots& Tanks, int32_t Count, int32_t Index, int64_t X,
                              int32_t MinTankDist) const {
  const int64_t track = Tanks[Index]->TrackSize;
  bool clear = X - track >= 0 && X + track <= int64_t{UsedColumns()} - 1;
  // The candidate's two track ends may not fall into another tank's track widened by
  // MinTankDist; both bounds count as inside. Whole numbers throughout, so the double
  // comparisons are exact.
  const auto left = static_cast<double>(X - track);
  const auto right = static_cast<double>(X + track);
  ForEachOtherReach(Tanks, Count, Index, MinTankDist, [&](const TReach& Reach) {
    if ((Reach.Lo <= right && right <= Reach.Hi) || (Reach.Lo <= left && left <= Reach.Hi)) {
      clear = false;
    }
  });
  return clear;
}

bool TBattlefield::HasClearColumn(const TTankSlots& Tanks, int32_t Count, int32_t Index,
                                  int32_t MinTankDist) const {
  // The other tanks stay put while this one is tried, so the clear columns are fixed. Columns
  // are looked at from the left; where one is blocked because an end of the track falls
  // into another tank's reach, every column up to where that end leaves the reach is blocked
  // too, so the search jumps there. Each jump passes one reach for good, so there are at most
  // two per other tank.
  const int64_t track = Tanks[Index]->TrackSize;
  const int64_t lastX = int64_t{UsedColumns()} - 1 - track;
  int64_t x = track;
  while (x <= lastX) {
    auto next = static_cast<double>(x);
    ForEachOtherReach(Tanks, Count, Index, MinTankDist, [&](const TReach& Reach) {
      for (const int64_t end : {x - track, x + track}) {
        const auto at = static_cast<double>(end);
        if (Reach.Lo <= at && at <= Reach.Hi) {
          // The first column whose end lies past the reach.
          next = std::max(next, std::floor(Reach.Hi) + 1.0 + static_cast<double>(x - end));
        }
      }
    });
    if (next == static_cast<double>(x)) {
      return true;
    }
    if (next > static_cast<double>(lastX)) {
      return false;
    }
    x = static_cast<int64_t>(next);
  }
  return false;
}

bool TBattlefield::ScatterTanks(TRandomSource& Draws, TTankSlots& Tanks, int32_t NumberOfTanks,
                                int32_t MinTankDist, int32_t DirtGap) {
  const int32_t count = std::clamp(NumberOfTanks, 0, static_cast<int32_t>(Tanks.size()));
  for (int32_t index = 0; index < count; ++index) {
    if (!Tanks[index]) {
      continue;
    }
    if (!HasClearColumn(Tanks, count, index, MinTankDist)) {
      return false;
    }
    int64_t x = 0;
    do {
      x = Random(Draws, static_cast<uint32_t>(UsedColumns()));
    } while (!SpaceClear(Tanks, count, index, x, MinTankDist));
    PlaceTank(static_cast<int32_t>(x), DirtGap, *Tanks[index]);
  }
  return true;
}
