// A tiny fixed-seed generator so that every run of the tool writes byte-identical images; the
// standard engines' distributions are not guaranteed identical across library vendors.
#ifndef TUMULT2D_IMAGEGEN_XORSHIFT_H_
#define TUMULT2D_IMAGEGEN_XORSHIFT_H_

#include <cstdint>

class TXorshift32 {
 public:
  explicit TXorshift32(uint32_t Seed) : State_(Seed != 0 ? Seed : 0x9E3779B9U) {}

  uint32_t Next() {
    State_ ^= State_ << 13;
    State_ ^= State_ >> 17;
    State_ ^= State_ << 5;
    return State_;
  }

  // Uniform in [0, 1), from the top 24 bits, which are the best mixed.
  double Unit() { return static_cast<double>(Next() >> 8) * (1.0 / 16777216.0); }

  double Range(double Lo, double Hi) { return Lo + (Hi - Lo) * Unit(); }

  // Triangular in (-1, 1): the classic dither that hides banding without visible grain.
  double Triangular() {
    const double first = Unit();  // two statements: the order of the draws is fixed
    return first - Unit();
  }

 private:
  uint32_t State_;
};

#endif  // TUMULT2D_IMAGEGEN_XORSHIFT_H_
