#include "game/Battlefield.h"

#include <algorithm>

#include "Rounding.h"
#include "game/GameImages.h"

namespace {

// Each attempt is accepted with probability at least one half unless an extreme argument
// wraps the 32-bit arithmetic, so no real column comes near this bound (the odds are 2^-1000);
// it is there so that such arguments cannot stall the game.
constexpr int kMaxAttemptsPerColumn = 1000;

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
  if (UseBGImage) {
    field->Background = LoadGameImage(BGImageFile, false);
  }
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
  // Column 0: the rounding applies to the product alone, before Lowest is added.
  const long double range = static_cast<long double>(Highest) - Lowest;
  const int64_t first = int64_t{Lowest} + Round(range * RandomReal(Draws));
  LandHeight[0] = static_cast<int32_t>(std::clamp<int64_t>(first, Lowest, Highest));

  const long double halfVariation = static_cast<long double>(Variation) / 2.0L;
  for (int32_t column = 1; column < columns; ++column) {
    const int32_t previous = LandHeight[column - 1];
    int32_t height = previous;  // what a column keeps if every attempt fails
    for (int attempt = 0; attempt < kMaxAttemptsPerColumn; ++attempt) {
      const double rand = RandomReal(Draws);
      const long double step = static_cast<long double>(Variation) * rand - halfVariation;
      const int32_t candidate = std::max(Round(previous + step), Lowest);
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
  // The end columns are never samples, but they are rewritten from their neighbours.
  const int64_t firstSample = 1;
  const int64_t lastSample = int64_t{columns} - 2;
  for (int32_t column = 0; column < columns; ++column) {
    const int64_t from = std::max(firstSample, int64_t{column} - SmoothSize);
    const int64_t to = std::min(lastSample, int64_t{column} + SmoothSize);
    if (from > to) {
      continue;
    }
    int64_t mass = 0;
    for (int64_t sample = from; sample <= to; ++sample) {
      mass += LandHeight[sample];
    }
    const auto samples = static_cast<long double>(to - from + 1);
    LandHeight[column] = Round(static_cast<long double>(mass) / samples);
  }
}
