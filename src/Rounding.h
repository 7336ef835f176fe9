// Rounding as the battle is built with it: to the nearest integer, a tie going to the even
// neighbour (banker's rounding), and only the low 32 bits of the result kept. Half away from
// zero (std::lround) would move terrain columns by one and break every saved battle.
#ifndef TUMULT2D_ROUNDING_H_
#define TUMULT2D_ROUNDING_H_

#include <cstdint>

// Round(0.5) = 0, Round(1.5) = 2, Round(2.5) = 2, Round(-2.5) = -2. Values outside the 32-bit
// range wrap as their low 32 bits; a NaN or an infinity gives 0.
int32_t Round(long double Value);

// The same rounding done exactly in integers, for the values the terrain is built from. They
// sit in the terrain's inner loops, so they are defined here, where calls can be inlined.

// 1 for true and 0 for false, as a number to add.
inline int64_t OneIf(bool Condition) {
  return Condition ? 1 : 0;
}

// The low 32 bits of a whole number, as Round keeps them.
inline int32_t LowWord(int64_t Value) {
  return static_cast<int32_t>(static_cast<uint32_t>(Value));
}

// Rounds Whole + Fraction / 2^32. REQUIRES Whole < INT64_MAX.
inline int32_t RoundFixedPoint(int64_t Whole, uint32_t Fraction) {
  constexpr uint32_t kHalf = uint32_t{1} << 31;
  // Which way a value rounds is a coin toss, so it is worked out without a branch.
  const int64_t up = OneIf(Fraction > kHalf) | (OneIf(Fraction == kHalf) & Whole & 1);
  return LowWord(Whole + up);
}

// Rounds Numerator / Denominator. REQUIRES Denominator > 0.
inline int32_t RoundQuotient(int64_t Numerator, int64_t Denominator) {
  // Floor division first: C++ division truncates towards zero.
  int64_t quotient = Numerator / Denominator;
  int64_t remainder = Numerator % Denominator;
  if (remainder < 0) {
    quotient -= 1;
    remainder += Denominator;
  }
  const int64_t twice = 2 * remainder;
  const int64_t up = OneIf(twice > Denominator) | (OneIf(twice == Denominator) & quotient & 1);
  return LowWord(quotient + up);
}

#endif  // TUMULT2D_ROUNDING_H_
