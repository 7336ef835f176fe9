// The game's random source and the two kinds of draw that a battle is built from. One seed
// gives one battle, so everything that draws takes the source as a parameter and only the
// program body decides the seed.
#ifndef TUMULT2D_RANDOM_H_
#define TUMULT2D_RANDOM_H_

#include <cstdint>
#include <random>

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

// MT19937 with the published 2002 seeding (init_genrand): std::mt19937's own parameters, with
// 32-bit state words where std::mt19937 keeps 64-bit ones on x86-64, which would double the
// time a battle takes to build.
using TMt19937 =
    std::mersenne_twister_engine<uint32_t, 32, 624, 397, 31, 0x9908B0DFU, 11, 0xFFFFFFFFU, 7,
                                 0x9D2C5680U, 15, 0xEFC60000U, 18, 1812433253U>;

class TMersenneTwister final : public TRandomSource {
 public:
  explicit TMersenneTwister(uint32_t Seed) : Engine_(Seed) {}

  uint32_t NextWord() override { return Engine_(); }

 private:
  TMt19937 Engine_;
};

#endif  // TUMULT2D_RANDOM_H_
