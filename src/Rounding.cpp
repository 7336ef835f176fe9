#include "Rounding.h"

#include <cmath>

namespace {

// The nearest integer, ties to even, without depending on the floating-point environment's
// rounding mode (which a library could have changed under us).
long double NearestEven(long double Value) {
  const long double below = std::floor(Value);
  const long double fraction = Value - below;  // exact: both share the same binade or below
  if (fraction > 0.5L) {
    return below + 1.0L;
  }
  if (fraction < 0.5L) {
    return below;
  }
  const bool belowIsEven = std::fmod(below, 2.0L) == 0.0L;
  return belowIsEven ? below : below + 1.0L;
}

}  // namespace

int32_t Round(long double Value) {
  if (!std::isfinite(Value)) {
    return 0;
  }
  // fmod is exact, so this keeps the low 32 bits of any integral value, however large.
  constexpr long double kTwoTo32 = 4294967296.0L;
  long double low = std::fmod(NearestEven(Value), kTwoTo32);
  if (low < 0.0L) {
    low += kTwoTo32;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(low));
}
