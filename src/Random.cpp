#include "Random.h"

uint32_t Random(TRandomSource& Source, uint32_t N) {
  // The high half of the 64-bit product: no modulo bias and no division.
  return static_cast<uint32_t>((static_cast<uint64_t>(Source.NextWord()) * N) >> 32);
}

double RandomReal(TRandomSource& Source) {
  constexpr double kTwoToMinus32 = 1.0 / 4294967296.0;
  return static_cast<double>(Source.NextWord()) * kTwoToMinus32;
}
