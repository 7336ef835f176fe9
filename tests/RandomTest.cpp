#include "Random.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "Rounding.h"
#include "TestSupport.h"

namespace {

TEST(MersenneTwister, MatchesThePublishedSequence) {
  TMersenneTwister generator(5489);
  EXPECT_EQ(generator.NextWord(), 3499211612U);
  EXPECT_EQ(generator.NextWord(), 581869302U);
  for (int i = 3; i < 10000; ++i) {
    generator.NextWord();
  }
  EXPECT_EQ(generator.NextWord(), 4123659995U);  // the 10000th word, as the C++ standard has it
}

TEST(Draws, IntegerDrawsTakeTheHighHalfAndRealDrawsDivideBy2To32) {
  TScriptedDraws draws({0x80000000U, 0xFFFFFFFFU, 0x12345678U, 0x20000000U, 0xFFFFFFFFU});
  EXPECT_EQ(Random(draws, 800), 400U);
  EXPECT_EQ(Random(draws, 800), 799U);
  EXPECT_EQ(Random(draws, 1000), 71U);  // 0x12345678 * 1000 / 2^32 = 71.1, floored
  EXPECT_EQ(RandomReal(draws), 0.125);
  EXPECT_EQ(RandomReal(draws), 4294967295.0 / 4294967296.0);
}

TEST(Rounding, TiesGoToTheEvenNeighbourAndTheLowThirtyTwoBitsStay) {
  // Each tie here would go the other way with half-away-from-zero rounding (std::lround).
  const std::pair<long double, int32_t> cases[] = {
      {0.5L, 0},    {1.5L, 2},     {2.5L, 2},     {-2.5L, -2},
      {-0.5L, 0},   {249.5L, 250}, {243.5L, 244}, {69.5L, 70},
      {2.4999L, 2}, {2.5001L, 3},  {-2.6L, -3},   {0.49999999999999994L, 0}};
  for (const auto& [value, rounded] : cases) {
    EXPECT_EQ(Round(value), rounded) << static_cast<double>(value);
  }
  EXPECT_EQ(Round(4294967296.0L + 5.0L), 5);
  EXPECT_EQ(Round(2147483648.0L), INT32_MIN);
  EXPECT_EQ(Round(-2147483649.0L), INT32_MAX);
  EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()), 0);
}

}  // namespace
