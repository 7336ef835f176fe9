// Shared pieces of the tests: scripted random draws, a headless SDL display on the dummy
// video driver, and small makers and readers of surfaces.
#ifndef TUMULT2D_TESTS_TESTSUPPORT_H_
#define TUMULT2D_TESTS_TESTSUPPORT_H_

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "Random.h"
#include "graphics/GraphicsUnit.h"

// Hands out a fixed list of words and counts what was taken; running past the end aborts the
// test.
class TScriptedDraws final : public TRandomSource {
 public:
  explicit TScriptedDraws(std::vector<uint32_t> Words) : Words_(std::move(Words)) {}

  uint32_t NextWord() override;
  size_t Taken() const { return Taken_; }

 private:
  std::vector<uint32_t> Words_;
  size_t Taken_ = 0;
};

// The word whose real draw is R (R * 2^32), for scripting real draws such as 0.5 or 0.125.
uint32_t WordForReal(double R);

// SDL started on the dummy driver with an 800x600 32-bit display, as the game opens it.
class DummyDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  SDL_Surface* Screen() const { return Screen_; }

 private:
  SDL_Surface* Screen_ = nullptr;
};

// A plain 32-bit software surface (0x00RRGGBB), filled with Fill.
TSurfacePtr MakeSurface(int Width, int Height, uint32_t Fill = 0);

// A software surface of the given pixel size whose bytes, row padding included, are all 0xAB.
TSurfacePtr MakeRawSurface(int Width, int Height, int Bits);

// Every byte of a surface's rows, padding included.
std::vector<uint8_t> Bytes(const SDL_Surface* Surface);

// The 32-bit pixel word at (X, Y) of a 32-bit surface.
uint32_t PixelAt(const SDL_Surface* Surface, int X, int Y);

// Every (x, y) whose pixel equals Value.
std::set<std::pair<int, int>> PixelsEqualTo(const SDL_Surface* Surface, uint32_t Value);

// FNV-1a over Size bytes, continuing from Hash.
uint64_t Checksum(const void* Bytes, size_t Size, uint64_t Hash = 14695981039346656037ULL);

// The checksum of the visible pixel bytes of every row (padding excluded).
uint64_t SurfaceChecksum(const SDL_Surface* Surface);

#endif  // TUMULT2D_TESTS_TESTSUPPORT_H_
