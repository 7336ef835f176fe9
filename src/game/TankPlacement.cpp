#include <algorithm>

#include "game/Battlefield.h"

// Placement arithmetic is signed and 64 bits wide: TrackSize is unsigned, and X - TrackSize
// must be able to go below zero instead of wrapping to a huge column.

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
  if (X - track < 0 || X + track > int64_t{UsedColumns()} - 1) {
    return false;
  }
  // Whole numbers throughout, so the double comparisons are exact.
  const auto left = static_cast<double>(X - track);
  const auto right = static_cast<double>(X + track);
  for (int32_t other = 0; other < Count; ++other) {
    if (other == Index || !Tanks[other]) {
      continue;
    }
    const double reach = static_cast<double>(Tanks[other]->TrackSize) + MinTankDist;
    const double lo = Tanks[other]->X - reach;
    const double hi = Tanks[other]->X + reach;
    if ((lo <= right && right <= hi) || (lo <= left && left <= hi)) {
      return false;
    }
  }
  return true;
}

bool TBattlefield::HasClearColumn(const TTankSlots& Tanks, int32_t Count, int32_t Index,
                                  int32_t MinTankDist) const {
  for (int32_t x = 0; x < UsedColumns(); ++x) {
    if (SpaceClear(Tanks, Count, Index, x, MinTankDist)) {
      return true;
    }
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
