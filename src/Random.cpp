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
  // Word i mixes with words i + 1 and i + 397, counted round the ring of 624. The loop is split
  // where those wrap, so no index needs a remainder, and the matrix is applied with a mask
  // rather than a branch: the low bit it depends on is a coin toss.
  const auto twistOne = [this](int i, int next, int far) {
    const uint32_t mixed = (State_[i] & kUpperMask) | (State_[next] & kLowerMask);
    const uint32_t matrix = (0U - (mixed & 1U)) & kMatrixA;
    State_[i] = State_[far] ^ (mixed >> 1) ^ matrix;
  };
  int i = 0;
  for (; i < kStateSize - kShift; ++i) {
    twistOne(i, i + 1, i + kShift);
  }
  for (; i < kStateSize - 1; ++i) {
    twistOne(i, i + 1, i + kShift - kStateSize);
  }
  twistOne(kStateSize - 1, 0, kShift - 1);
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
