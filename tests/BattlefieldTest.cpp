#include "game/Battlefield.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "Rounding.h"
#include "TestSupport.h"

namespace {

TBattlefield FieldOf(std::vector<int32_t> Heights, std::optional<int32_t> Width = {}) {
  TBattlefield field;
  field.Width = Width.value_or(static_cast<int32_t>(Heights.size()));
  std::copy(Heights.begin(), Heights.end(), field.LandHeight.begin());
  return field;
}

std::vector<int32_t> Used(const TBattlefield& Field) {
  return {Field.LandHeight.begin(), Field.LandHeight.begin() + Field.UsedColumns()};
}

// Scripted real draws, one per attempt.
TScriptedDraws Reals(std::initializer_list<double> Values) {
  std::vector<uint32_t> words;
  for (double r : Values) {
    words.push_back(WordForReal(r));
  }
  return TScriptedDraws(words);
}

TEST(Battlefield, InitWithoutPictureLoadsNothingAndStartsFlat) {
  const auto field = TBattlefield::Init(800, 600, 0x229900, 0xEE, false, "DesertEclipse.bmp");
  EXPECT_EQ(std::tie(field->Width, field->Height, field->LandColor, field->SkyColor),
            std::make_tuple(800, 600, 0x229900U, 0xEEU));
  EXPECT_FALSE(field->IsBGImage);
  EXPECT_EQ(field->Background, nullptr);
  EXPECT_EQ(std::count(field->LandHeight.begin(), field->LandHeight.end(), 0), 1025);
}

TEST(GenerateLand, FollowsTheWorkedExamples) {
  struct TCase {
    std::initializer_list<double> Draws;
    int32_t Highest, Lowest, Variation;
    std::vector<int32_t> Heights;
  };
  // 1 + Round(249.5) = 251; Round(251 + 45 - 30) = 266; Round(266 + 7.5 - 30) = 244.
  // 495 + 52.5 - 30 = 517.5 -> 518 is over the ceiling and redrawn: 0.25 gives 480.
  // 10 - 30 = -20 is clamped to Lowest with no further draw.
  // An odd Variation subtracts a half: 100 - 30.5 = 69.5 rounds to the even 70.
  const TCase cases[] = {
      {{0.5, 0.75, 0.125}, 500, 1, 60, {251, 266, 244}},
      {{0.99, 0.875, 0.25}, 500, 0, 60, {495, 480}},
      {{9.0 / 499 + 1e-9, 0}, 500, 1, 60, {10, 1}},
      {{99.0 / 499 + 1e-9, 0}, 500, 1, 61, {100, 70}},
      {{0.3, 0.1, 0.2, 0.4}, 7, 7, 60, {7, 7, 7, 7}},
      {{0.3, 0.9, 0.1, 0.7}, 500, 1, 0, {151, 151, 151, 151}},
  };
  for (const TCase& c : cases) {
    TBattlefield field = FieldOf(std::vector<int32_t>(c.Heights.size()));
    TScriptedDraws draws = Reals(c.Draws);
    field.GenerateLand(draws, c.Highest, c.Lowest, c.Variation);
    EXPECT_EQ(Used(field), c.Heights);
    EXPECT_EQ(draws.Taken(), c.Draws.size());
  }
}

TEST(GenerateLand, StaysInsideItsRangeAndStepsAtMostHalfTheVariation) {
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    TBattlefield field = FieldOf({}, 800);
    TMersenneTwister source(seed);
    field.GenerateLand(source, 500, 1, 60);
    for (int32_t column = 0; column < 800; ++column) {
      ASSERT_TRUE(field.LandHeight[column] >= 1 && field.LandHeight[column] <= 500);
      ASSERT_TRUE(column == 0 ||
                  std::abs(field.LandHeight[column] - field.LandHeight[column - 1]) <= 30);
    }
    ASSERT_EQ(std::count(field.LandHeight.begin() + 800, field.LandHeight.end(), 0), 225);
  }
}

TEST(GenerateLand, ArgumentsOutsideTheLimitsAreSafe) {
  TMersenneTwister source(1);
  // Lowest above Highest, or no columns: nothing changes and nothing is drawn.
  for (int32_t width : {3, 0, -5}) {
    TBattlefield field = FieldOf({5, 5, 5}, width);
    TScriptedDraws none({});
    field.GenerateLand(none, width > 0 ? 1 : 500, width > 0 ? 500 : 1, 60);
    EXPECT_EQ(field.LandHeight[0], 5);
  }
  // A width beyond the array is held to its 1025 columns.
  TBattlefield wide = FieldOf({}, 100000);
  wide.GenerateLand(source, 500, 1, 60);
  EXPECT_GE(*std::min_element(wide.LandHeight.begin(), wide.LandHeight.end()), 1);
  // Values that wrap in 32 bits still finish, with every height in range.
  TBattlefield steep = FieldOf({}, 20);
  steep.GenerateLand(source, 0, INT32_MIN + 10, INT32_MAX);
  EXPECT_LE(*std::max_element(steep.LandHeight.begin(), steep.LandHeight.begin() + 20), 0);
}

TEST(SmoothenLand, AveragesInPlaceLeftToRight) {
  TBattlefield ramp = FieldOf({10, 20, 30, 40, 50});
  ramp.SmoothenLand(1);
  EXPECT_EQ(Used(ramp), (std::vector<int32_t>{20, 25, 32, 36, 36}));
  // Column 1 averages 0 and 9 to 4.5, rounded to the even 4; column 2 then sees the new 4.
  TBattlefield spike = FieldOf({0, 0, 9, 0, 0});
  spike.SmoothenLand(1);
  EXPECT_EQ(Used(spike), (std::vector<int32_t>{0, 4, 4, 2, 2}));
}

TEST(SmoothenLand, LeavesFlatLandUnusedColumnsAndBadSizesAlone) {
  TBattlefield flat = FieldOf(std::vector<int32_t>(1025, -9), 300);
  std::fill(flat.LandHeight.begin(), flat.LandHeight.begin() + 300, 123);
  for (int32_t size : {1, 50, 299, INT32_MAX}) {
    flat.SmoothenLand(size);
  }
  EXPECT_EQ(Used(flat), std::vector<int32_t>(300, 123));
  EXPECT_EQ(std::count(flat.LandHeight.begin() + 300, flat.LandHeight.end(), -9), 725);

  // No sample column (Width below 3) or a size below 1: nothing changes.
  TBattlefield narrow = FieldOf({7, 9});
  narrow.SmoothenLand(1);
  EXPECT_EQ(Used(narrow), (std::vector<int32_t>{7, 9}));
  TBattlefield ramp = FieldOf({10, 20, 30});
  ramp.SmoothenLand(0);
  ramp.SmoothenLand(-3);
  EXPECT_EQ(Used(ramp), (std::vector<int32_t>{10, 20, 30}));

  // Huge heights do not overflow the sum.
  TBattlefield tall = FieldOf(std::vector<int32_t>(1025, INT32_MAX));
  tall.SmoothenLand(INT32_MAX);
  EXPECT_EQ(tall.LandHeight[512], INT32_MAX);
}

// The terrain operations as they read, in extended precision and with the window summed
// afresh for every column. The game computes the same heights exactly in integers, with a
// running sum; these pin that they agree for any argument.
void ReferenceGenerate(TBattlefield& Field, TRandomSource& Draws, int32_t Highest, int32_t Lowest,
                       int32_t Variation) {
  const int32_t columns = Field.UsedColumns();
  if (columns == 0 || Lowest > Highest) return;
  const long double first =
      Lowest + static_cast<long double>(
                   Round((static_cast<long double>(Highest) - Lowest) * RandomReal(Draws)));
  Field.LandHeight[0] = static_cast<int32_t>(std::clamp<long double>(first, Lowest, Highest));
  for (int32_t column = 1; column < columns; ++column) {
    const int32_t previous = Field.LandHeight[column - 1];
    Field.LandHeight[column] = previous;
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const long double value = previous + static_cast<long double>(Variation) * RandomReal(Draws) -
                                static_cast<long double>(Variation) / 2;
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
         j <= std::min(columns - 2, column + SmoothSize); ++j, ++samples) {
      mass += Field.LandHeight[j];
    }
    if (samples > 0) Field.LandHeight[column] = Round(static_cast<long double>(mass) / samples);
  }
}

TEST(Terrain, IntegerArithmeticGivesTheHeightsOfTheDefinition) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int32_t> small(-600, 600), any(INT32_MIN, INT32_MAX);
  const auto value = [&](int i) { return i % 5 == 4 ? any(random) : small(random); };
  for (int i = 0; i < 400; ++i) {
    const int32_t width = i % 40 == 0 ? 2000 : 1 + i * 7 % 1025;
    TBattlefield field = FieldOf({}, width);
    TBattlefield reference = FieldOf({}, width);
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
