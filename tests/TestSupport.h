// Shared pieces of the tests: scripted random draws, a headless SDL display on the dummy
// video driver, and small makers and readers of surfaces.
#ifndef TUMULT2D_TESTS_TESTSUPPORT_H_
#define TUMULT2D_TESTS_TESTSUPPORT_H_

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "Random.h"
#include "graphics/GraphicsUnit.h"

// Hands out a fixed list of words and counts what was taken; running past the end aborts the
// test, since a loop that should have stopped may never stop on repeated words.
class TScriptedDraws final : public TRandomSource {
 public:
  explicit TScriptedDraws(std::vector<uint32_t> Words) : Words_(std::move(Words)) {}

  uint32_t NextWord() override {
    if (Taken_ >= Words_.size()) {
      std::fprintf(stderr, "more draws taken than the %zu scripted\n", Words_.size());
      std::abort();
    }
    return Words_[Taken_++];
  }
  size_t Taken() const { return Taken_; }

 private:
  std::vector<uint32_t> Words_;
  size_t Taken_ = 0;
};

// SDL started on the dummy driver with an 800x600 32-bit display, as the game opens it.
class DummyDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    Screen = SDL_SetVideoMode(800, 600, 32, 0);
    ASSERT_NE(Screen, nullptr) << SDL_GetError();
  }
  void TearDown() override { SDL_Quit(); }

  SDL_Surface* Screen = nullptr;
};

// Queues a press (Down) or a release of Key for the next poll.
inline void PushKey(SDLKey Key, bool Down) {
  SDL_Event event{};
  event.type = Down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.keysym.sym = Key;
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// A plain 32-bit software surface (0x00RRGGBB), filled with Fill.
inline TSurfacePtr MakeSurface(int Width, int Height, uint32_t Fill = 0) {
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0x00FF0000, 0x0000FF00,
                                           0x000000FF, 0));
  SDL_FillRect(surface.get(), nullptr, Fill);
  return surface;
}

// A software surface of the given pixel size whose bytes, row padding included, are all 0xAB.
inline TSurfacePtr MakeRawSurface(int Width, int Height, int Bits) {
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, Bits, 0, 0, 0, 0));
  std::memset(surface->pixels, 0xAB, size_t(surface->pitch) * size_t(Height));
  return surface;
}

// Every byte of a surface's rows, padding included.
inline std::vector<uint8_t> Bytes(const SDL_Surface* Surface) {
  const auto* const pixels = static_cast<const uint8_t*>(Surface->pixels);
  return {pixels, pixels + size_t(Surface->pitch) * size_t(Surface->h)};
}

// The 32-bit pixel word at (X, Y) of a 32-bit surface.
inline uint32_t PixelAt(const SDL_Surface* Surface, int X, int Y) {
  uint32_t value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(Surface->pixels) + Y * Surface->pitch + X * 4,
              sizeof value);
  return value;
}

// Every (x, y) whose pixel equals Value.
inline std::set<std::pair<int, int>> PixelsEqualTo(const SDL_Surface* Surface, uint32_t Value) {
  std::set<std::pair<int, int>> found;
  for (int y = 0; y < Surface->h; ++y)
    for (int x = 0; x < Surface->w; ++x)
      if (PixelAt(Surface, x, y) == Value) found.emplace(x, y);
  return found;
}

// FNV-1a over the visible pixel bytes of every row (padding excluded).
inline uint64_t SurfaceChecksum(const SDL_Surface* Surface) {
  uint64_t hash = 14695981039346656037ULL;
  const size_t rowBytes = size_t(Surface->w) * Surface->format->BytesPerPixel;
  for (int y = 0; y < Surface->h; ++y) {
    const auto* const row = static_cast<const uint8_t*>(Surface->pixels) + y * Surface->pitch;
    for (size_t i = 0; i < rowBytes; ++i) hash = (hash ^ row[i]) * 1099511628211ULL;
  }
  return hash;
}

#endif  // TUMULT2D_TESTS_TESTSUPPORT_H_
