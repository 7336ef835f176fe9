#include "graphics/LineAndRect.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>

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

// The line's pixels on the surface, each computed on its own: pixel k lies k steps along the
// major axis (x on a tie) and floor(k * (b + 1) / (a + 1)) steps along the minor one, where a
// and b are the spans along the two axes.
TPoints Reference(const TLine& L) {
  const int64_t from[] = {L[0], L[1]}, to[] = {L[2], L[3]}, extent[] = {kWidth, kHeight};
  const int j = std::llabs(to[0] - from[0]) >= std::llabs(to[1] - from[1]) ? 0 : 1;  // major
  const auto a = uint64_t(std::llabs(to[j] - from[j])), b = uint64_t(std::llabs(to[!j] - from[!j]));
  TPoints points;
  for (int64_t major = 0; major < extent[j]; ++major) {
    const int64_t k = to[j] < from[j] ? from[j] - major : major - from[j];
    if (k < 0 || uint64_t(k) > a) continue;
    const int64_t minor = from[!j] + (to[!j] < from[!j] ? -1 : 1) * int64_t(k * (b + 1) / (a + 1));
    if (minor >= 0 && minor < extent[!j]) points.emplace(j ? minor : major, j ? major : minor);
  }
  return points;
}

TEST(DrawLine, DrawsTheExpectedPixelSets) {
  const std::pair<TLine, TPoints> cases[] = {
      {{3, 3, 3, 3}, {{3, 3}}},
      {{0, 0, 3, 1}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {{0, 0, 4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
      {{4, 1, 0, 0}, {{4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // not the same set reversed
      {{0, 0, 1, 4}, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
      {{0, 0, 2, 2}, {{0, 0}, {1, 1}, {2, 2}}},
      {{10, 10, 6, 11}, {{10, 10}, {9, 10}, {8, 10}, {7, 11}, {6, 11}}},  // (0,0)->(-4,1) moved in
      {{5, 10, 5, 2}, {{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}, {5, 9}, {5, 10}}}};
  for (const auto& [line, pixels] : cases) EXPECT_EQ(Drawn(line), pixels);
}

TEST(DrawLine, DrawsTheReferencePixelsOfLinesThatLeaveTheSurface) {
  constexpr int32_t lo = INT32_MIN, hi = INT32_MAX;
  std::vector<TLine> lines = {{lo, lo, hi, hi}, {hi, 1, lo, 0}, {30, hi, 30, lo}};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int32_t> near(-20, kWidth + 19), far(-(1 << 30), 1 << 30);
  for (int i = 0; i < 3000; ++i) {
    // Ends near the surface, every tenth line stretched far past it both ways.
    const int32_t ax = i % 10 ? 0 : far(random), ay = i % 10 ? 0 : far(random);
    lines.push_back({near(random) + ax, near(random) + ay, near(random) - ax, near(random) - ay});
  }
  for (const TLine& line : lines)
    ASSERT_EQ(Drawn(line), Reference(line)) << testing::PrintToString(line);
}

TEST(PutPixel, StoresTheSurfacesPixelSizeAndNothingElse) {
  const uint8_t low8 = 0x44, bits16To0[] = {0x22, 0x33, 0x44};
  const uint16_t low16 = 0x3344;
  const uint32_t value = 0x11223344;
  const std::pair<int, const void*> depths[] = {
      {8, &low8}, {16, &low16}, {24, bits16To0}, {32, &value}};
  for (const auto& [bits, stored] : depths) {
    // A 6x3 surface whose bytes, row padding included, all start as 0xAB.
    const TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 6, 3, bits, 0, 0, 0, 0));
    std::vector<uint8_t> expected(size_t(surface->pitch) * 3, 0xAB);
    auto* const bytes = static_cast<uint8_t*>(std::memset(surface->pixels, 0xAB, expected.size()));
    // Off the surface nothing is written; the last pixel gets exactly its own bytes.
    for (const auto& [x, y] : TPoints{{-1, 0}, {0, -1}, {6, 0}, {0, 3}, {INT32_MAX, 1}, {5, 2}})
      SDL_PutPixel(surface.get(), x, y, value);
    SDL_DrawLine(surface.get(), 0, 0, 4, 1, value);  // lines store pixels the same way
    for (const auto& [x, y] : TPoints{{5, 2}, {0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}})
      std::memcpy(&expected[size_t(y * surface->pitch + x * bits / 8)], stored, size_t(bits / 8));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + expected.size()), expected) << bits << " bits";
  }
  SDL_PutPixel(nullptr, 0, 0, value);  // null surfaces are left alone
  SDL_DrawLine(nullptr, 0, 0, 5, 5, value);
}

TEST(Rectangles, KeepTheLowSixteenBitsOfEachValue) {
  const auto fields = [](const SDL_Rect& r) { return std::vector<int>{r.x, r.y, r.w, r.h}; };
  EXPECT_EQ(fields(SDLRect(0, 0, 800, 600)), (std::vector<int>{0, 0, 800, 600}));
  EXPECT_EQ(fields(SDLRect(-5, 32768, 10, 10)), (std::vector<int>{-5, -32768, 10, 10}));
  EXPECT_EQ(fields(SDLRect(65543, -32769, -1, 65539)), (std::vector<int>{7, 32767, 65535, 3}));
  const std::unique_ptr<SDL_Rect> owned = PSDLRect(-5, 32768, -1, 600);
  EXPECT_EQ(fields(*owned), (std::vector<int>{-5, -32768, 65535, 600}));
}

}  // namespace
