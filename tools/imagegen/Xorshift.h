// A tiny fixed-seed generator so every run of the tool writes byte-identical images; the
// standard engines' distributions are not guaranteed identical across library vendors.
#pragma once

#include <cstdint>

namespace imagegen {

class Xorshift32 {
 public:
  explicit Xorshift32(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}

  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

  // Uniform in [0, 1), from the top 24 bits which are the best mixed.
  double unit() { return static_cast<double>(next() >> 8) * (1.0 / 16777216.0); }

  double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

  // Triangular in (-1, 1): the classic dither that hides banding without visible grain.
  double triangular() { return unit() - unit(); }

 private:
  std::uint32_t state_;
};

}  // namespace imagegen
