#include "graphics/ColumnFill.h"

#include <random>

#include "TestSupport.h"

namespace {

// The spans filled all at once set the same bytes as one vertical line per column, whatever
// the pixel size and the strips cut short at the right edge. Every third round the spans are
// land-like: every column set, its top and bottom differing from its neighbours' (bottoms off
// the surface too), so that whole strips take their fast path; the other rounds draw spans
// that reach far off the surface, run upside down or are empty.
TEST(ColumnFill, SpansSetTheSameBytesAsOneLinePerColumn) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> near(-8, 60), any(INT32_MIN, INT32_MAX);
  for (int round = 0; round < 200; ++round) {
    const int bits = 8 * (1 + round % 4), width = 1 + round % 53, height = 1 + round % 47;
    std::vector<TColumnSpan> spans(size_t(width + round % 3));
    for (size_t x = 0; x < spans.size(); ++x) {
      const auto column = int32_t(x);
      spans[x] = round % 3 == 0   ? TColumnSpan{column * 7 % 11 - 3, height - 2 + column % 4}
                 : round % 7 == 1 ? TColumnSpan{any(random), any(random)}
                                  : TColumnSpan{near(random), near(random)};
    }
    const TSurfacePtr expected = MakeRawSurface(width, height, bits);
    for (size_t x = 0; x < spans.size(); ++x)
      if (spans[x].Top <= spans[x].Bottom)
        SDL_DrawLine(expected.get(), int32_t(x), spans[x].Top, int32_t(x), spans[x].Bottom,
                     0x11223344);
    const TSurfacePtr filled = MakeRawSurface(width, height, bits);
    FillColumnSpans(filled.get(), spans.data(), int32_t(spans.size()), 0x11223344);
    ASSERT_EQ(Bytes(filled.get()), Bytes(expected.get())) << bits << " bits, round " << round;
  }
  FillColumnSpans(nullptr, nullptr, 5, 0);
  const TSurfacePtr untouched = MakeRawSurface(4, 4, 32);
  FillColumnSpans(untouched.get(), nullptr, 4, 0);
  EXPECT_EQ(PixelsEqualTo(untouched.get(), 0xABABABAB).size(), 16U);
}

}  // namespace
