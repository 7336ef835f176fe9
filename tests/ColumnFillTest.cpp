#include "graphics/ColumnFill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "TestSupport.h"

namespace {

std::vector<uint8_t> Bytes(const SDL_Surface& Surface) {
  const auto* const pixels = static_cast<const uint8_t*>(Surface.pixels);
  return {pixels, pixels + static_cast<size_t>(Surface.pitch) * static_cast<size_t>(Surface.h)};
}

TSurfacePtr Canvas(int Width, int Height, int Bits) {
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, Bits, 0, 0, 0, 0));
  std::memset(surface->pixels, 0xAB, static_cast<size_t>(surface->pitch) * Height);
  return surface;
}

// The spans filled all at once set the same bytes as one vertical line per column, whatever
// the pixel size, the strips cut short at the right edge, and spans that reach off the
// surface, run upside down or are empty.
TEST(FillColumnSpans, SetsTheSameBytesAsOneLinePerColumn) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> near(-8, 60);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  for (int round = 0; round < 200; ++round) {
    const int bits = 8 * (1 + round % 4);
    const int width = 1 + round % 53;
    const int height = 1 + round % 47;
    std::vector<TColumnSpan> spans(static_cast<size_t>(width + round % 3));
    for (TColumnSpan& span : spans) {
      span = round % 7 == 0 ? TColumnSpan{any(random), any(random)}
                            : TColumnSpan{near(random), near(random)};
    }
    const TSurfacePtr expected = Canvas(width, height, bits);
    for (size_t x = 0; x < spans.size(); ++x) {
      if (spans[x].Top <= spans[x].Bottom) {
        SDL_DrawLine(expected.get(), static_cast<int32_t>(x), spans[x].Top, static_cast<int32_t>(x),
                     spans[x].Bottom, 0x11223344);
      }
    }
    const TSurfacePtr filled = Canvas(width, height, bits);
    FillColumnSpans(filled.get(), spans.data(), static_cast<int32_t>(spans.size()), 0x11223344);
    ASSERT_EQ(Bytes(*filled), Bytes(*expected)) << bits << " bits, " << width << "x" << height;
  }
  FillColumnSpans(nullptr, nullptr, 5, 0);
  const TSurfacePtr untouched = Canvas(4, 4, 32);
  FillColumnSpans(untouched.get(), nullptr, 4, 0);
  EXPECT_EQ(PixelsEqualTo(untouched.get(), 0xABABABAB).size(), 16U);
}

}  // namespace
