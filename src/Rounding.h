// Rounding as the battle is built with it: to the nearest integer, a tie going to the even
// neighbour (banker's rounding), and only the low 32 bits of the result kept. Half away from
// zero (std::lround) would move terrain columns by one and break every saved battle.
#ifndef TUMULT2D_ROUNDING_H_
#define TUMULT2D_ROUNDING_H_

#include <cstdint>

// Round(0.5) = 0, Round(1.5) = 2, Round(2.5) = 2, Round(-2.5) = -2. Values outside the 32-bit
// range wrap as their low 32 bits; a NaN or an infinity gives 0.
int32_t Round(long double Value);

#endif  // TUMULT2D_ROUNDING_H_
