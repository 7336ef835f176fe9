#include "Random.h"

uint32_t Random(TRandomSource& Source, uint32_t N) {
  // The high half of the 64-bit product: no modulo bias and no division.
  return static_cast<uint32_t>((static_cast<uint64_t>(Source.NextWord()) * N) >> 32);
}

double RandomReal(TRandomSource& Source) {
  constexpr double kTwoToMinus32 = 1.0 / 4294967296.0;
  return static_cast<double>(Source.NextWord()) * kTwoToMinus32;
}

TMersenneTwister::TMersenneTwister(uint32_t Seed) {
  State_[0] = Seed;
  for (int i = 1; i < kStateSize; ++i) {
    const uint32_t previous = State_[i - 1];
    State_[i] = 1812433253U * (previous ^ (previous >> 30)) + static_cast<uint32_t>(i);
  }
}

void TMersenneTwister::Twist() {
  constexpr int kShift = 397;
  constexpr uint32_t kMatrixA = 0x9908B0DFU;
  constexpr uint32_t kUpperMask = 0x80000000U;
  constexpr uint32_t kLowerMask = 0x7FFFFFFFU;
  for (int i = 0; i < kStateSize; ++i) {
    const uint32_t mixed = (State_[i] & kUpperMask) | (State_[(i + 1) % kStateSize] & kLowerMask);
    const uint32_t twisted = (mixed >> 1) ^ ((mixed & 1U) != 0 ? kMatrixA : 0U);
    State_[i] = State_[(i + kShift) % kStateSize] ^ twisted;
  }
  Index_ = 0;
}

uint32_t TMersenneTwister::NextWord() {
  if (Index_ >= kStateSize) {
    Twist();
  }
  uint32_t y = State_[Index_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680U;
  y ^= (y << 15) & 0xEFC60000U;
  y ^= y >> 18;
  return y;
}
