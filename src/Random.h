// The game's random source: the 32-bit Mersenne Twister (MT19937) and the two kinds of draw
// that the battle is built from. One seed gives one battle, so everything that draws takes
// the source as a parameter and only the program body decides the seed.
#ifndef TUMULT2D_RANDOM_H_
#define TUMULT2D_RANDOM_H_

#include <array>
#include <cstdint>

// Anything that hands out 32-bit words. The game uses TMersenneTwister; tests script the
// words to pin down worked examples.
class TRandomSource {
 public:
  TRandomSource() = default;
  TRandomSource(const TRandomSource&) = delete;
  TRandomSource& operator=(const TRandomSource&) = delete;
  virtual ~TRandomSource() = default;

  virtual uint32_t NextWord() = 0;

 protected:
  TRandomSource(TRandomSource&&) = default;
  TRandomSource& operator=(TRandomSource&&) = default;
};

// Integer draw: floor(u * n / 2^32), a value from 0 to n - 1 (0 when n is 0).
uint32_t Random(TRandomSource& Source, uint32_t N);

// Real draw: u * 2^-32, a value in [0, 1). Exact in double precision.
double RandomReal(TRandomSource& Source);

// MT19937 with the published constants and the 2002 initialisation (init_genrand).
class TMersenneTwister final : public TRandomSource {
 public:
  explicit TMersenneTwister(uint32_t Seed);

  uint32_t NextWord() override;

 private:
  static constexpr int kStateSize = 624;
  void Twist();

  std::array<uint32_t, kStateSize> State_{};
  int Index_ = kStateSize;
};

#endif  // TUMULT2D_RANDOM_H_
