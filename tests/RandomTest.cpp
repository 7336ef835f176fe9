#include "Random.h"

#include <gtest/gtest.h>

#include <random>

#include "Rounding.h"
#include "TestSupport.h"

namespace {

TEST(MersenneTwister, MatchesThePublishedSequence) {
  TMersenneTwister generator(5489);
  EXPECT_EQ(generator.NextWord(), 3499211612U);
  EXPECT_EQ(generator.NextWord(), 581869302U);
  EXPECT_EQ(generator.NextWord(), 3890346734U);
  for (int i = 4; i < 10000; ++i) {
    generator.NextWord();
  }
  // The 10000th output of the default seed, which every conforming MT19937 reproduces.
  EXPECT_EQ(generator.NextWord(), 4123659995U);
}

TEST(MersenneTwister, AgreesWithTheStandardEngineForEveryGameSeed) {
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    TMersenneTwister ours(seed);
    std::mt19937 reference(seed);
    for (int i = 0; i < 700; ++i) {  // past the first twist of the 624-word state
      ASSERT_EQ(ours.NextWord(), reference()) << "seed " << seed << " word " << i;
    }
  }
}

TEST(Draws, IntegerDrawTakesTheHighHalfOfTheProduct) {
  TScriptedDraws draws({0, 0x80000000U, 0xFFFFFFFFU, 0xFFFFFFFFU, 0x12345678U});
  EXPECT_EQ(Random(draws, 800), 0U);
  EXPECT_EQ(Random(draws, 800), 400U);
  EXPECT_EQ(Random(draws, 800), 799U);
  EXPECT_EQ(Random(draws, 0), 0U);
  // 0x12345678 * 1000 / 2^32 = 71.1..., floored.
  EXPECT_EQ(Random(draws, 1000), 71U);
}

TEST(Draws, RealDrawIsTheWordOverTwoToThe32) {
  TScriptedDraws draws({0, 0x80000000U, 0x20000000U, 0xFFFFFFFFU});
  EXPECT_EQ(RandomReal(draws), 0.0);
  EXPECT_EQ(RandomReal(draws), 0.5);
  EXPECT_EQ(RandomReal(draws), 0.125);
  const double top = RandomReal(draws);
  EXPECT_LT(top, 1.0);
  EXPECT_EQ(top, 4294967295.0 / 4294967296.0);
}

TEST(Rounding, TiesGoToTheEvenNeighbour) {
  // Every one of these ties would go the other way with half-away-from-zero rounding.
  EXPECT_EQ(Round(0.5L), 0);
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(-2.5L), -2);
  EXPECT_EQ(Round(-0.5L), 0);
  EXPECT_EQ(Round(249.5L), 250);
  EXPECT_EQ(Round(243.5L), 244);
  EXPECT_EQ(Round(4.5L), 4);
  EXPECT_EQ(Round(1.5L), 2);
  EXPECT_EQ(Round(3.5L), 4);
  EXPECT_EQ(Round(-3.5L), -4);
}

TEST(Rounding, NonTiesGoToTheNearest) {
  EXPECT_EQ(Round(2.4999L), 2);
  EXPECT_EQ(Round(2.5001L), 3);
  EXPECT_EQ(Round(-2.6L), -3);
  EXPECT_EQ(Round(-2.4L), -2);
  EXPECT_EQ(Round(0.0L), 0);
  // The largest double below one half must not be nudged to 1 by the arithmetic.
  EXPECT_EQ(Round(0.49999999999999994L), 0);
}

TEST(Rounding, KeepsTheLowThirtyTwoBits) {
  EXPECT_EQ(Round(4294967296.0L + 5.0L), 5);
  EXPECT_EQ(Round(2147483648.0L), INT32_MIN);
  EXPECT_EQ(Round(-2147483649.0L), INT32_MAX);
  EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()), 0);
}

}  // namespace
