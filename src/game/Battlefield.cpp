#include "game/Battlefield.h"

#include <algorithm>

#include "Rounding.h"

namespace {

// An attempt fails at most half the time unless an extreme argument wraps 32 bits, so only
// such arguments reach this bound, which keeps them from stalling the game.
constexpr int kMaxAttemptsPerColumn = 1000;

constexpr int64_t kHalfWord = int64_t{1} << 31;

// Value / 2^32 rounded down: the whole part of a 32.32 fixed-point number.
int64_t FloorWords(int64_t Value) {
  static_assert((-1 >> 1) == -1, "right shifts of negative numbers must be arithmetic");
  return Value >> 32;
}

}  // namespace

std::unique_ptr<TBattlefield> TBattlefield::Init(int32_t ScreenWidth, int32_t ScreenHeight,
                                                 uint32_t Land, uint32_t Sky, bool UseBGImage,
                                                 const std::string& BGImageFile) {
  auto field = std::make_unique<TBattlefield>();
  field->Width = ScreenWidth;
  field->Height = ScreenHeight;
  field->LandColor = Land;
  field->SkyColor = Sky;
  field->IsBGImage = UseBGImage;
  field->BGImageFile = BGImageFile;
  return field;
}

int32_t TBattlefield::UsedColumns() const {
  return std::clamp(Width, 0, kMaxColumns);
}

void TBattlefield::GenerateLand(TRandomSource& Draws, int32_t Highest, int32_t Lowest,
                                int32_t Variation) {
  const int32_t columns = UsedColumns();
  if (columns == 0 || Lowest > Highest) {
    return;
  }
  // A draw is a word over 2^32, so every value here is a whole number of 2^-32 steps and is
  // rounded exactly in integers, the same on every platform. Column 0 rounds the product
  // alone, before Lowest is added; both factors are below 2^32.
  const auto range = static_cast<uint64_t>(int64_t{Highest} - Lowest);
  const uint64_t first = range * Draws.NextWord();
  const int64_t firstHeight = int64_t{Lowest} + RoundFixedPoint(static_cast<int64_t>(first >> 32),
                                                                static_cast<uint32_t>(first));
  LandHeight[0] = static_cast<int32_t>(std::clamp<int64_t>(firstHeight, Lowest, Highest));

  for (int32_t column = 1; column < columns; ++column) {
    const int32_t previous = LandHeight[column - 1];
    int32_t height = previous;  // what a column keeps if every attempt fails
    for (int attempt = 0; attempt < kMaxAttemptsPerColumn; ++attempt) {
      // Variation * r - Variation / 2 = Variation * (u - 2^31) / 2^32, within 2^62 in size.
      const int64_t step = int64_t{Variation} * (int64_t{Draws.NextWord()} - kHalfWord);
      const int32_t rounded =
          RoundFixedPoint(previous + FloorWords(step), static_cast<uint32_t>(step));
      const int32_t candidate = std::max(rounded, Lowest);
      if (candidate <= Highest) {
        height = candidate;
        break;
      }
    }
    LandHeight[column] = height;
  }
}

void TBattlefield::SmoothenLand(int32_t SmoothSize) {
  if (SmoothSize < 1) {
    return;
  }
  const int32_t columns = UsedColumns();
  // A running sum follows the window, whose bounds only move right. A rewritten column still
  // in the window changes the sum by its change, so left neighbours count with their new
  // heights and right ones with their old, as the in-place order requires.
  const int64_t size = SmoothSize;
  const int64_t lastSample = int64_t{columns} - 2;
  int64_t windowFrom = 1;
  int64_t windowTo = 0;  // empty
  int64_t mass = 0;
  const auto smoothColumn = [&](int64_t column) {
    const int64_t from = std::max<int64_t>(1, column - size);
    const int64_t to = std::min(lastSample, column + size);
    while (windowTo < to) {
      ++windowTo;
      if (windowTo >= windowFrom) {
        mass += LandHeight[windowTo];
      }
    }
    while (windowFrom < from) {
      if (windowFrom <= windowTo) {
        mass -= LandHeight[windowFrom];
      }
      ++windowFrom;
    }
    if (windowFrom > windowTo) {
      return;  // no sample: the column keeps its height
    }
    const int32_t smoothed = RoundQuotient(mass, windowTo - windowFrom + 1);
    if (column >= windowFrom && column <= windowTo) {
      mass += int64_t{smoothed} - LandHeight[column];
    }
    LandHeight[column] = smoothed;
  };

  // Where the window is whole (most of the profile) one sample enters, one leaves and the
  // divisor stays, which takes a short way.
  int64_t column = 0;
  const int64_t innerFrom = std::min<int64_t>(columns, size + 2);
  for (; column < innerFrom; ++column) {
    smoothColumn(column);
  }
  const int64_t samples = 2 * size + 1;
  for (; column + size <= lastSample; ++column) {
    mass += LandHeight[column + size] - int64_t{LandHeight[column - size - 1]};
    const int32_t smoothed = RoundQuotient(mass, samples);
    mass += int64_t{smoothed} - LandHeight[column];
    LandHeight[column] = smoothed;
  }
  if (column > innerFrom) {
    windowFrom = column - 1 - size;  // where the short way left the window
    windowTo = column - 1 + size;
  }
  for (; column < columns; ++column) {
    smoothColumn(column);
  }
}
