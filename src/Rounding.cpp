#include "Rounding.h"

#include <cmath>

int32_t Round(long double Value) {
  if (!std::isfinite(Value)) {
    return 0;
  }
  // The IEEE remainder rounds its quotient half to even whatever the rounding mode (which a
  // library could have changed under us), and both it and fmod are exact.
  const long double nearest = Value - std::remainder(Value, 1.0L);
  constexpr long double kTwoTo32 = 4294967296.0L;
  long double low = std::fmod(nearest, kTwoTo32);
  if (low < 0.0L) {
    low += kTwoTo32;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(low));
}
