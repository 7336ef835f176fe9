#include "game/Battlefield.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "TestSupport.h"

namespace {

TBattlefield FieldOfWidth(int32_t Width, std::initializer_list<int32_t> Heights = {}) {
  TBattlefield field;
  field.Width = Width;
  field.Height = 600;
  std::copy(Heights.begin(), Heights.end(), field.LandHeight.begin());
  return field;
}

std::vector<int32_t> Heights(const TBattlefield& Field, int32_t Count) {
  return {Field.LandHeight.begin(), Field.LandHeight.begin() + Count};
}

std::vector<uint32_t> RealWords(std::initializer_list<double> Reals) {
  std::vector<uint32_t> words;
  for (double r : Reals) {
    words.push_back(WordForReal(r));
  }
  return words;
}

TEST(Battlefield, InitWithoutPictureLoadsNothingAndStartsFlat) {
  const auto field = TBattlefield::Init(800, 600, 0x229900, 0xEE, false, "DesertEclipse.bmp");
  EXPECT_EQ(field->Width, 800);
  EXPECT_EQ(field->Height, 600);
  EXPECT_EQ(field->LandColor, 0x229900U);
  EXPECT_EQ(field->SkyColor, 0xEEU);
  EXPECT_FALSE(field->IsBGImage);
  EXPECT_EQ(field->Background, nullptr);
  EXPECT_TRUE(std::all_of(field->LandHeight.begin(), field->LandHeight.end(),
                          [](int32_t h) { return h == 0; }));
}

TEST(GenerateLand, WalksAsTheWorkedExampleShows) {
  // Column 0: 1 + Round(249.5) = 251; column 1: Round(251 + 45 - 30) = 266;
  // column 2: Round(266 + 7.5 - 30) = Round(243.5) = 244.
  TBattlefield field = FieldOfWidth(3);
  TScriptedDraws draws(RealWords({0.5, 0.75, 0.125}));
  field.GenerateLand(draws, 500, 1, 60);
  EXPECT_EQ(Heights(field, 3), (std::vector<int32_t>{251, 266, 244}));
  EXPECT_EQ(draws.Taken(), 3U);
}

TEST(GenerateLand, RedrawsAboveTheCeilingAndClampsAtTheFloor) {
  // 500 * 0.99 rounds to 495. Then 495 + 52.5 - 30 = 517.5 -> 518 is over the ceiling and
  // redrawn; 0.25 gives 480. From 480 a draw of 0 gives 450; 0 again, 420...
  TBattlefield field = FieldOfWidth(2);
  TScriptedDraws draws({WordForReal(0.99), WordForReal(0.875), WordForReal(0.25)});
  field.GenerateLand(draws, 500, 0, 60);
  EXPECT_EQ(Heights(field, 2), (std::vector<int32_t>{495, 480}));
  EXPECT_EQ(draws.Taken(), 3U);

  // From 10 a draw of 0 gives -20, clamped to 1 with no further draw.
  TBattlefield low = FieldOfWidth(2);
  TScriptedDraws lowDraws({WordForReal(18.0 / 499.0 + 1e-9), 0});
  low.GenerateLand(lowDraws, 500, 1, 60);
  EXPECT_EQ(Heights(low, 2), (std::vector<int32_t>{19, 1}));
  EXPECT_EQ(lowDraws.Taken(), 2U);
}

TEST(GenerateLand, OddVariationSubtractsAHalf) {
  // From 100 with Variation 61, a draw of 0 gives 69.5, rounded to the even 70.
  TBattlefield field = FieldOfWidth(2);
  TScriptedDraws draws({WordForReal(99.0 / 499.0 + 1e-9), 0});
  field.GenerateLand(draws, 500, 1, 61);
  EXPECT_EQ(Heights(field, 2), (std::vector<int32_t>{100, 70}));
}

TEST(GenerateLand, DegenerateRangesGiveFlatLand) {
  TBattlefield fixed = FieldOfWidth(50);
  TMersenneTwister source(7);
  fixed.GenerateLand(source, 7, 7, 60);
  EXPECT_EQ(Heights(fixed, 50), std::vector<int32_t>(50, 7));

  TBattlefield still = FieldOfWidth(50);
  still.GenerateLand(source, 500, 1, 0);
  EXPECT_EQ(Heights(still, 50), std::vector<int32_t>(50, still.LandHeight[0]));
}

TEST(GenerateLand, StaysInsideItsRangeAndStepsAtMostHalfTheVariation) {
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    TBattlefield field = FieldOfWidth(800);
    TMersenneTwister source(seed);
    field.GenerateLand(source, 500, 1, 60);
    for (int32_t column = 0; column < 800; ++column) {
      ASSERT_GE(field.LandHeight[column], 1) << "seed " << seed;
      ASSERT_LE(field.LandHeight[column], 500) << "seed " << seed;
      if (column > 0) {
        ASSERT_LE(std::abs(field.LandHeight[column] - field.LandHeight[column - 1]), 30);
      }
    }
    ASSERT_TRUE(std::all_of(field.LandHeight.begin() + 800, field.LandHeight.end(),
                            [](int32_t h) { return h == 0; }));
  }
}

TEST(GenerateLand, ArgumentsOutsideTheLimitsAreSafe) {
  TMersenneTwister source(1);
  // Lowest above Highest: nothing changes and nothing is drawn.
  TBattlefield inverted = FieldOfWidth(10, {5, 5, 5});
  TCountingDraws counted(source);
  inverted.GenerateLand(counted, 1, 500, 60);
  EXPECT_EQ(counted.Taken(), 0U);
  EXPECT_EQ(Heights(inverted, 3), (std::vector<int32_t>{5, 5, 5}));

  // A width beyond the array is held to its 1025 columns.
  TBattlefield wide = FieldOfWidth(100000);
  wide.GenerateLand(source, 500, 1, 60);
  EXPECT_GE(*std::min_element(wide.LandHeight.begin(), wide.LandHeight.end()), 1);
  for (int32_t width : {0, -5}) {
    TBattlefield empty = FieldOfWidth(width);
    TCountingDraws none(source);
    empty.GenerateLand(none, 500, 1, 60);
    EXPECT_EQ(none.Taken(), 0U);
  }

  // Extreme values that wrap in 32 bits still finish and keep every height in range.
  TBattlefield extreme = FieldOfWidth(20);
  extreme.GenerateLand(source, INT32_MAX, INT32_MIN, INT32_MAX);
  TBattlefield steep = FieldOfWidth(20);
  steep.GenerateLand(source, 0, INT32_MIN + 10, INT32_MAX);
  for (int32_t column = 0; column < 20; ++column) {
    EXPECT_LE(steep.LandHeight[column], 0);
  }
}

TEST(SmoothenLand, AveragesInPlaceLeftToRight) {
  TBattlefield ramp = FieldOfWidth(5, {10, 20, 30, 40, 50});
  ramp.SmoothenLand(1);
  EXPECT_EQ(Heights(ramp, 5), (std::vector<int32_t>{20, 25, 32, 36, 36}));

  // Column 1 averages 0 and 9 to 4.5, rounded to the even 4; column 2 then sees the new 4.
  TBattlefield spike = FieldOfWidth(5, {0, 0, 9, 0, 0});
  spike.SmoothenLand(1);
  EXPECT_EQ(Heights(spike, 5), (std::vector<int32_t>{0, 4, 4, 2, 2}));
}

TEST(SmoothenLand, LeavesFlatLandAndUnusedColumnsAlone) {
  TBattlefield flat = FieldOfWidth(300);
  std::fill(flat.LandHeight.begin(), flat.LandHeight.begin() + 300, 123);
  std::fill(flat.LandHeight.begin() + 300, flat.LandHeight.end(), -9);
  for (int32_t size : {1, 50, 299, 5000}) {
    flat.SmoothenLand(size);
  }
  EXPECT_EQ(Heights(flat, 300), std::vector<int32_t>(300, 123));
  EXPECT_TRUE(std::all_of(flat.LandHeight.begin() + 300, flat.LandHeight.end(),
                          [](int32_t h) { return h == -9; }));
}

TEST(SmoothenLand, ArgumentsOutsideTheLimitsAreSafe) {
  TBattlefield field = FieldOfWidth(5, {10, 20, 30, 40, 50});
  field.SmoothenLand(0);
  field.SmoothenLand(-3);
  EXPECT_EQ(Heights(field, 5), (std::vector<int32_t>{10, 20, 30, 40, 50}));

  // Too narrow to have any sample column: nothing to average, nothing changes.
  TBattlefield narrow = FieldOfWidth(2, {7, 9});
  narrow.SmoothenLand(1);
  EXPECT_EQ(Heights(narrow, 2), (std::vector<int32_t>{7, 9}));

  // A huge window costs no more than the whole field, and huge heights do not overflow.
  TBattlefield tall = FieldOfWidth(1025);
  std::fill(tall.LandHeight.begin(), tall.LandHeight.end(), INT32_MAX);
  tall.SmoothenLand(INT32_MAX);
  EXPECT_EQ(tall.LandHeight[512], INT32_MAX);
}

}  // namespace
