#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

uint32_t TScriptedDraws::NextWord() {
  if (Taken_ >= Words_.size()) {
    // A loop that should have stopped may never stop on repeated words: end the run here.
    std::fprintf(stderr, "more draws taken than the %zu scripted\n", Words_.size());
    std::abort();
  }
  return Words_[Taken_++];
}

uint32_t WordForReal(double R) {
  return static_cast<uint32_t>(R * 4294967296.0);
}

void DummyDisplayTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  Screen_ = SDL_SetVideoMode(800, 600, 32, 0);
  ASSERT_NE(Screen_, nullptr) << SDL_GetError();
}

void DummyDisplayTest::TearDown() {
  SDL_Quit();
}

TSurfacePtr MakeSurface(int Width, int Height, uint32_t Fill) {
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0x00FF0000, 0x0000FF00,
                                           0x000000FF, 0));
  SDL_FillRect(surface.get(), nullptr, Fill);
  return surface;
}

TSurfacePtr MakeRawSurface(int Width, int Height, int Bits) {
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, Bits, 0, 0, 0, 0));
  std::memset(surface->pixels, 0xAB, size_t(surface->pitch) * size_t(Height));
  return surface;
}

std::vector<uint8_t> Bytes(const SDL_Surface* Surface) {
  const auto* const pixels = static_cast<const uint8_t*>(Surface->pixels);
  return {pixels, pixels + size_t(Surface->pitch) * size_t(Surface->h)};
}

uint32_t PixelAt(const SDL_Surface* Surface, int X, int Y) {
  uint32_t value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(Surface->pixels) + Y * Surface->pitch + X * 4,
              sizeof value);
  return value;
}

std::set<std::pair<int, int>> PixelsEqualTo(const SDL_Surface* Surface, uint32_t Value) {
  std::set<std::pair<int, int>> found;
  for (int y = 0; y < Surface->h; ++y) {
    for (int x = 0; x < Surface->w; ++x) {
      if (PixelAt(Surface, x, y) == Value) found.emplace(x, y);
    }
  }
  return found;
}

uint64_t Checksum(const void* Bytes, size_t Size, uint64_t Hash) {
  for (size_t i = 0; i < Size; ++i) {
    Hash = (Hash ^ static_cast<const uint8_t*>(Bytes)[i]) * 1099511628211ULL;
  }
  return Hash;
}

uint64_t SurfaceChecksum(const SDL_Surface* Surface) {
  uint64_t hash = Checksum(nullptr, 0);
  const size_t rowBytes = size_t(Surface->w) * Surface->format->BytesPerPixel;
  for (int y = 0; y < Surface->h; ++y) {
    hash =
        Checksum(static_cast<const uint8_t*>(Surface->pixels) + y * Surface->pitch, rowBytes, hash);
  }
  return hash;
}
