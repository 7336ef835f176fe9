#include "graphics/LineAndRect.h"

#include <array>

#include "TestSupport.h"

namespace {

using TPoints = std::set<std::pair<int, int>>;
using TLine = std::array<int32_t, 4>;     // x1, y1, x2, y2
constexpr int kWidth = 64, kHeight = 48;  // not square, so that swapped axes show

// The pixels a line leaves on a white 32-bit surface; the colour 0x229900 must read 0x00229900.
TPoints Drawn(const TLine& L) {
  const TSurfacePtr surface = MakeSurface(kWidth, kHeight, 0xFFFFFF);
  SDL_DrawLine(surface.get(), L[0], L[1], L[2], L[3], 0x229900);
  return PixelsEqualTo(surface.get(), 0x00229900);
}

// N pixels from (X, Y) on, each DX, DY on from the one before.
TPoints Steps(int X, int Y, int N, int DX, int DY) {
  TPoints points;
  for (int i = 0; i < N; ++i) points.emplace(X + i * DX, Y + i * DY);
  return points;
}

// Pixel k lies k steps along the major axis (x on a tie) and floor(k * (b + 1) / (a + 1))
// steps along the minor one, where a and b are the spans along the two axes. Off the surface
// nothing is drawn, however far the ends lie.
TEST(LineAndRect, DrawLineDrawsTheExpectedPixelSets) {
  constexpr int32_t lo = INT32_MIN, hi = INT32_MAX;
  const std::pair<TLine, TPoints> cases[] = {
      {{3, 3, 3, 3}, {{3, 3}}},
      {{0, 0, 3, 1}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {{0, 0, 4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
      {{4, 1, 0, 0}, {{4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // not the same set reversed
      {{0, 0, 1, 4}, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
      {{0, 0, 2, 2}, {{0, 0}, {1, 1}, {2, 2}}},
      {{10, 10, 6, 11}, {{10, 10}, {9, 10}, {8, 10}, {7, 11}, {6, 11}}},  // (0,0)->(-4,1) moved in
      {{5, 10, 5, 2}, Steps(5, 2, 9, 0, 1)},
      // Entering at the left and the right edge, part way through a step of the minor axis.
      {{-3, 0, 5, 2}, {{0, 1}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 2}}},
      {{70, 5, 60, 6}, Steps(60, 6, 4, 1, 0)},
      {{2, 60, 4, 40}, {{3, 47}, {4, 46}, {4, 45}, {4, 44}, {4, 43}, {4, 42}, {4, 41}, {4, 40}}},
      // The minor axis entering from above and from below, and leaving at the bottom for good.
      {{0, -1, 10, 1}, {{4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 1}, {9, 1}, {10, 1}}},
      {{0, 48, 6, 46}, {{3, 47}, {4, 47}, {5, 46}, {6, 46}}},
      {{0, 46, 20, 50},
       {{0, 46}, {1, 46}, {2, 46}, {3, 46}, {4, 46}, {5, 47}, {6, 47}, {7, 47}, {8, 47}}},
      // Ends at the limits of 32 bits.
      {{lo, lo, hi, hi}, Steps(0, 0, kHeight, 1, 1)},
      {{hi, 1, lo, 0}, Steps(0, 1, kWidth, 1, 0)},
      {{30, hi, 30, lo}, Steps(30, 0, kHeight, 0, 1)},
  };
  for (const auto& [line, pixels] : cases)
    EXPECT_EQ(Drawn(line), pixels) << testing::PrintToString(line);
}

TEST(LineAndRect, PutPixelStoresTheSurfacesPixelSizeAndNothingElse) {
  const uint8_t low8 = 0x44, lowFirst24[] = {0x44, 0x33, 0x22}, highFirst24[] = {0x22, 0x33, 0x44};
  const uint16_t low16 = 0x3344;
  const uint32_t value = 0x11223344;
  const std::pair<int, const void*> depths[] = {
      {8, &low8},
      {16, &low16},
      {24, SDL_BYTEORDER == SDL_LIL_ENDIAN ? lowFirst24 : highFirst24},  // SDL's order
      {32, &value}};
  for (const auto& [bits, stored] : depths) {
    const TSurfacePtr surface = MakeRawSurface(6, 3, bits);
    std::vector<uint8_t> expected = Bytes(surface.get());
    // Off the surface nothing is written; the last pixel gets exactly its own bytes.
    for (const auto& [x, y] : TPoints{{-1, 0}, {0, -1}, {6, 0}, {0, 3}, {INT32_MAX, 1}, {5, 2}})
      SDL_PutPixel(surface.get(), x, y, value);
    SDL_DrawLine(surface.get(), 0, 0, 4, 1, value);  // lines store pixels the same way
    for (const auto& [x, y] : TPoints{{5, 2}, {0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}})
      std::memcpy(&expected[size_t(y * surface->pitch + x * bits / 8)], stored, size_t(bits / 8));
    EXPECT_EQ(Bytes(surface.get()), expected) << bits << " bits";
  }
  SDL_PutPixel(nullptr, 0, 0, value);  // null surfaces are left alone
  SDL_DrawLine(nullptr, 0, 0, 5, 5, value);
}

}  // namespace
