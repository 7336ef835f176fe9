#include "game/Battlefield.h"

#include <algorithm>
#include <optional>
#include <random>
#include <tuple>

#include "Rounding.h"
#include "TestSupport.h"

namespace {

TBattlefield FieldOf(std::vector<int32_t> Heights, std::optional<int32_t> Width = {}) {
  TBattlefield field;
  field.Width = Width.value_or(static_cast<int32_t>(Heights.size()));
  std::copy(Heights.begin(), Heights.end(), field.LandHeight.begin());
  return field;
}

using TReal = long double;

TEST(Battlefield, GenerateLandFollowsTheWorkedExamples) {
  // The draws, Highest, Lowest, Variation, the heights made, and the width if not their number.
  using TCase = std::tuple<std::vector<double>, int32_t, int32_t, int32_t, std::vector<int32_t>,
                           std::optional<int32_t>>;
  // 1 + Round(249.5) = 251; Round(251 + 45 - 30) = 266; Round(266 + 7.5 - 30) = 244.
  // 495 + 52.5 - 30 = 517.5 -> 518 is over the ceiling and redrawn: 0.25 gives 480.
  // 10 - 30 = -20 is clamped to Lowest with no further draw.
  // An odd Variation subtracts a half: 101 - 30.5 = 70.5 rounds to the even 70.
  // Lowest above Highest, or no columns: nothing changes and nothing is drawn. A width beyond
  // the heights is held to their 1025 columns.
  const TCase cases[] = {
      {{0.5, 0.75, 0.125}, 500, 1, 60, {251, 266, 244}, {}},
      {{0.99, 0.875, 0.25}, 500, 0, 60, {495, 480}, {}},
      {{9.0 / 499 + 1e-9, 0}, 500, 1, 60, {10, 1}, {}},
      {{100.0 / 499 + 1e-9, 0}, 500, 1, 61, {101, 70}, {}},
      {{0.3, 0.1, 0.2, 0.4}, 7, 7, 60, {7, 7, 7, 7}, {}},
      {{0.3, 0.9, 0.1, 0.7}, 500, 1, 0, {151, 151, 151, 151}, {}},
      // Every attempt over the ceiling: after a thousand the column keeps the height before it.
      {std::vector<double>(1001, 0.99), 10, 0, 2, {10, 10}, {}},
      {{}, 1, 500, 60, {0, 0, 0}, {}},
      {{}, 500, 1, 60, {}, 0},
      {{}, 500, 1, 60, {}, -5},
      {std::vector<double>(1025, 0.5), 500, 1, 60, std::vector<int32_t>(1025, 251), 100000},
  };
  for (const auto& [drawn, highest, lowest, variation, heights, width] : cases) {
    TBattlefield field = FieldOf(std::vector<int32_t>(heights.size()), width);
    std::vector<uint32_t> words;  // one real draw per attempt: R is the word R * 2^32
    for (double r : drawn) words.push_back(uint32_t(r * 4294967296.0));
    TScriptedDraws draws(words);
    field.GenerateLand(draws, highest, lowest, variation);
    EXPECT_EQ(std::vector(field.LandHeight.begin(), field.LandHeight.begin() + heights.size()),
              heights);
    EXPECT_EQ(draws.Taken(), drawn.size());
  }
}

// The terrain operations as they read, in extended precision and with the window summed
// afresh for every column. The game computes the same heights exactly in integers, with a
// running sum; these pin that they agree for any argument.
void ReferenceGenerate(TBattlefield& Field, TRandomSource& Draws, int32_t Highest, int32_t Lowest,
                       int32_t Variation) {
  const int32_t columns = Field.UsedColumns();
  if (columns == 0 || Lowest > Highest) return;
  const TReal first = Lowest + TReal(Round((TReal(Highest) - Lowest) * RandomReal(Draws)));
  Field.LandHeight[0] = int32_t(std::clamp<TReal>(first, Lowest, Highest));
  for (int32_t column = 1; column < columns; ++column) {
    const int32_t previous = Field.LandHeight[column - 1];
    Field.LandHeight[column] = previous;
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const TReal value = previous + TReal(Variation) * RandomReal(Draws) - TReal(Variation) / 2;
      const int32_t candidate = std::max(Round(value), Lowest);
      if (candidate <= Highest) {
        Field.LandHeight[column] = candidate;
        break;
      }
    }
  }
}

void ReferenceSmoothen(TBattlefield& Field, int32_t SmoothSize) {
  const int64_t columns = Field.UsedColumns();
  for (int64_t column = 0; SmoothSize >= 1 && column < columns; ++column) {
    int64_t mass = 0, samples = 0;
    for (int64_t j = std::max<int64_t>(1, column - SmoothSize);
         j <= std::min(columns - 2, column + SmoothSize); ++j, ++samples)
      mass += Field.LandHeight[j];
    if (samples > 0) Field.LandHeight[column] = Round(TReal(mass) / samples);
  }
}

TEST(Battlefield, IntegerTerrainGivesTheHeightsOfTheDefinition) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int32_t> small(-600, 600), any(INT32_MIN, INT32_MAX);
  const auto value = [&](int i) { return i % 5 == 4 ? any(random) : small(random); };
  for (int i = 0; i < 400; ++i) {
    const int32_t width = i % 40 == 0 ? 2000 : 1 + i * 7 % 1025;
    TBattlefield field = FieldOf({}, width), reference = FieldOf({}, width);
    const uint32_t seed = random();
    TMersenneTwister draws(seed), referenceDraws(seed);
    const int32_t lowest = i % 3 == 0 ? 1 : value(i), highest = i % 3 == 0 ? 500 : value(i + 1);
    const int32_t variation = i % 3 == 0 ? 60 : value(i + 2);
    field.GenerateLand(draws, highest, lowest, variation);
    ReferenceGenerate(reference, referenceDraws, highest, lowest, variation);
    ASSERT_EQ(field.LandHeight, reference.LandHeight) << "generate, case " << i;
    ASSERT_EQ(draws.NextWord(), referenceDraws.NextWord()) << "draws taken, case " << i;
    const int32_t size = i % 4 == 0 ? std::abs(small(random)) : 1 + i % 60;
    field.SmoothenLand(size);
    ReferenceSmoothen(reference, size);
    ASSERT_EQ(field.LandHeight, reference.LandHeight) << "smoothen " << size << ", case " << i;
  }
}

}  // namespace
