#include "Rounding.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace {

TEST(Rounding, TiesGoToTheEvenNeighbourAndTheLowThirtyTwoBitsStay) {
  // Ties whose even neighbour is the one nearer zero (0.5, 2.5, -2.5, -0.5) tell Round from
  // half away from zero (std::lround); the other ties and values near a tie round alike.
  const std::pair<long double, int32_t> cases[] = {
      {0.5L, 0},    {2.5L, 2},     {-2.5L, -2},   {-0.5L, 0},
      {1.5L, 2},    {249.5L, 250}, {243.5L, 244}, {69.5L, 70},
      {2.4999L, 2}, {2.5001L, 3},  {-2.6L, -3},   {0.49999999999999994L, 0}};
  for (const auto& [value, rounded] : cases)
    EXPECT_EQ(Round(value), rounded) << static_cast<double>(value);
  EXPECT_EQ(Round(4294967296.0L + 5.0L), 5);
  EXPECT_EQ(Round(2147483648.0L), INT32_MIN);
  EXPECT_EQ(Round(-2147483649.0L), INT32_MAX);
  EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()), 0);
}

}  // namespace
