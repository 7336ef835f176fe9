#include "graphics/LineAndRect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "TestSupport.h"

namespace {

using TPoints = std::set<std::pair<int, int>>;

constexpr uint32_t kInk = 0x229900;  // found only where the word reads 0x00229900
constexpr uint32_t kPaper = 0x00FFFFFF;
constexpr int kWidth = 64;  // not square, so that swapped axes show
constexpr int kHeight = 48;

// The plain error-sum walk, one pixel per major step and no clipping, keeping the points that
// fall on the test surface. Drawn lines must match it pixel for pixel.
TPoints ReferenceLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t sdx = x2 < x1 ? -1 : 1, dx = std::llabs(x2 - x1) + 1;
  const int64_t sdy = y2 < y1 ? -1 : 1, dy = std::llabs(y2 - y1) + 1;
  const bool xMajor = dx >= dy;
  int64_t px = x1, py = y1, e = 0;
  TPoints points;
  for (int64_t i = 0; i < (xMajor ? dx : dy); ++i) {
    if (px >= 0 && py >= 0 && px < kWidth && py < kHeight) {
      points.emplace(static_cast<int>(px), static_cast<int>(py));
    }
    e += xMajor ? dy : dx;
    if (e >= (xMajor ? dx : dy)) {
      e -= xMajor ? dx : dy;
      (xMajor ? py : px) += xMajor ? sdy : sdx;
    }
    (xMajor ? px : py) += xMajor ? sdx : sdy;
  }
  return points;
}

TPoints Drawn(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const TSurfacePtr surface = MakeSurface(kWidth, kHeight, kPaper);
  SDL_DrawLine(surface.get(), x1, y1, x2, y2, kInk);
  return PixelsEqualTo(surface.get(), kInk);
}

TEST(DrawLine, DrawsTheExpectedPixelSets) {
  struct TCase {
    int x1, y1, x2, y2;
    TPoints expected;
  };
  // Drawn 10 pixels in from the corner so that negative offsets stay on the surface.
  const std::vector<TCase> cases = {
      {0, 0, 0, 0, {{0, 0}}},
      {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
      {4, 1, 0, 0, {{4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // not the same set reversed
      {0, 0, 1, 4, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
      {0, 0, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
      {0, 0, -4, 1, {{0, 0}, {-1, 0}, {-2, 0}, {-3, 1}, {-4, 1}}},
      {5, 10, 5, 2, {{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}, {5, 9}, {5, 10}}},
  };
  for (const TCase& c : cases) {
    TPoints expected;
    for (const auto& [x, y] : c.expected) {
      expected.emplace(x + 10, y + 10);
    }
    EXPECT_EQ(Drawn(c.x1 + 10, c.y1 + 10, c.x2 + 10, c.y2 + 10), expected)
        << "(" << c.x1 << "," << c.y1 << ")->(" << c.x2 << "," << c.y2 << ")";
  }
  // Part of the line off the left edge: the rest keeps the pixels it has unclipped, whether
  // the walk starts on the surface or off it.
  EXPECT_EQ(Drawn(3, 0, -1, 1), (TPoints{{3, 0}, {2, 0}, {1, 0}, {0, 1}}));
  EXPECT_EQ(Drawn(-1, 1, 3, 0), (TPoints{{0, 1}, {1, 1}, {2, 0}, {3, 0}}));
  EXPECT_EQ(Drawn(0, 0, -4, 1), (TPoints{{0, 0}}));
  SDL_DrawLine(nullptr, 0, 0, 5, 5, kInk);  // must simply do nothing
}

TEST(DrawLine, MatchesTheReferenceWalkForRandomLines) {
  std::mt19937 random(20240611);
  const auto near = [&](int extent) {
    return std::uniform_int_distribution<int>(-20, extent + 19)(random);
  };
  for (int i = 0; i < 3000; ++i) {
    const int x1 = near(kWidth), y1 = near(kHeight), x2 = near(kWidth), y2 = near(kHeight);
    ASSERT_EQ(Drawn(x1, y1, x2, y2), ReferenceLine(x1, y1, x2, y2))
        << "(" << x1 << "," << y1 << ")->(" << x2 << "," << y2 << ")";
  }
  // Long lines from far outside, aimed through a point on the surface so that they cross it.
  std::uniform_int_distribution<int> far(-100000, 100000);
  for (int i = 0; i < 60; ++i) {
    const int cx = near(kWidth), cy = near(kHeight), ax = far(random), ay = far(random);
    const int x1 = cx + ax, y1 = cy + ay, x2 = cx - ax, y2 = cy - ay;
    ASSERT_EQ(Drawn(x1, y1, x2, y2), ReferenceLine(x1, y1, x2, y2))
        << "(" << x1 << "," << y1 << ")->(" << x2 << "," << y2 << ")";
  }
}

TEST(DrawLine, LinesAcrossTheWholeIntegerRangeDrawOnlyTheirVisiblePart) {
  TPoints diagonal, row1, row20, column30;
  for (int i = 0; i < kWidth; ++i) {
    row1.emplace(i, 1);
    row20.emplace(i, 20);
  }
  for (int i = 0; i < kHeight; ++i) {
    diagonal.emplace(i, i);
    column30.emplace(30, i);
  }
  constexpr int32_t lo = INT32_MIN / 2, hi = INT32_MAX / 2;
  EXPECT_EQ(Drawn(lo, 20, hi, 20), row20);
  EXPECT_EQ(Drawn(lo, lo, hi, hi), diagonal);
  EXPECT_EQ(Drawn(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), diagonal);
  EXPECT_EQ(Drawn(30, INT32_MAX, 30, INT32_MIN), column30);
  // 2^31 columns over two rows: the step to row 1 falls exactly at column 0, from either end.
  EXPECT_EQ(Drawn(lo, 0, hi, 1), row1);
  EXPECT_EQ(Drawn(hi, 1, lo, 0), row1);
  EXPECT_EQ(Drawn(INT32_MAX, INT32_MAX, INT32_MAX - 5, INT32_MIN), TPoints{});
}

// A 6x3 surface of the given depth whose bytes, row padding included, all start as 0xAB.
TSurfacePtr Marked(int Bits) {
  const Uint32 r = Bits == 8 ? 0 : Bits == 16 ? 0xF800 : 0xFF0000;
  const Uint32 g = Bits == 8 ? 0 : Bits == 16 ? 0x07E0 : 0x00FF00;
  const Uint32 b = Bits == 8 ? 0 : Bits == 16 ? 0x001F : 0x0000FF;
  TSurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 6, 3, Bits, r, g, b, 0));
  std::memset(surface->pixels, 0xAB, static_cast<size_t>(surface->pitch) * surface->h);
  return surface;
}

std::vector<uint8_t> Bytes(const SDL_Surface* Surface) {
  const auto* bytes = static_cast<const uint8_t*>(Surface->pixels);
  return {bytes, bytes + static_cast<size_t>(Surface->pitch) * Surface->h};
}

TEST(PutPixel, StoresEachPixelSizeAndNothingElse) {
  constexpr uint32_t value = 0x11223344;
  const uint16_t low16 = 0x3344;
  std::vector<uint8_t> word16(2), word32(4);  // in the machine's byte order
  std::memcpy(word16.data(), &low16, 2);
  std::memcpy(word32.data(), &value, 4);
  const std::pair<int, std::vector<uint8_t>> depths[] = {
      {8, {0x44}}, {16, word16}, {24, {0x22, 0x33, 0x44}}, {32, word32}};
  for (const auto& [bits, bytesStored] : depths) {
    SCOPED_TRACE(bits);
    const std::vector<uint8_t>& stored = bytesStored;  // a binding cannot be captured in C++17
    const TSurfacePtr surface = Marked(bits), lined = Marked(bits);
    ASSERT_EQ(surface->format->BytesPerPixel, stored.size());
    std::vector<uint8_t> expected = Bytes(surface.get()), expectedLine = expected;
    const auto store = [&](std::vector<uint8_t>& Into, int X, int Y) {
      const auto at = static_cast<ptrdiff_t>(Y * surface->pitch + X * int(stored.size()));
      std::copy(stored.begin(), stored.end(), Into.begin() + at);
    };
    // Off the surface nothing is written; the last pixel gets exactly its own bytes.
    for (const auto& [x, y] :
         TPoints{{-1, 0}, {0, -1}, {6, 0}, {0, 3}, {INT32_MAX, 1}, {1, INT32_MIN}}) {
      SDL_PutPixel(surface.get(), x, y, value);
    }
    SDL_PutPixel(surface.get(), 5, 2, value);
    store(expected, 5, 2);
    EXPECT_EQ(Bytes(surface.get()), expected);
    // Lines store their pixels the same way at every depth.
    SDL_DrawLine(lined.get(), 0, 0, 4, 1, value);
    for (const auto& [x, y] : TPoints{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}) {
      store(expectedLine, x, y);
    }
    EXPECT_EQ(Bytes(lined.get()), expectedLine);
  }
  SDL_PutPixel(nullptr, 0, 0, value);
}

TEST(Rectangles, KeepTheLowSixteenBitsOfEachValue) {
  const auto fields = [](const SDL_Rect& r) { return std::vector<int>{r.x, r.y, r.w, r.h}; };
  EXPECT_EQ(fields(SDLRect(0, 0, 800, 600)), (std::vector<int>{0, 0, 800, 600}));
  EXPECT_EQ(fields(SDLRect(-5, 32768, 10, 10)), (std::vector<int>{-5, -32768, 10, 10}));
  EXPECT_EQ(fields(SDLRect(65536 + 7, -32769, -1, 65536 + 3)),
            (std::vector<int>{7, 32767, 65535, 3}));
  const std::unique_ptr<SDL_Rect> owned = PSDLRect(-5, 32768, -1, 600);
  ASSERT_TRUE(owned);
  EXPECT_EQ(fields(*owned), (std::vector<int>{-5, -32768, 65535, 600}));
}

}  // namespace
