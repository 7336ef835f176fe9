#include "graphics/ColumnFill.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "graphics/PixelStore.h"

namespace {

// Sixteen 32-bit pixels make one 64-byte cache line.
constexpr int32_t kStripWidth = 16;

// A strip's spans clipped to the surface's rows, with an empty span as [INT32_MAX, INT32_MIN]
// so that the minimum and maximum below pass over it.
struct TStrip {
  std::array<TColumnSpan, kStripWidth> Spans;
  int32_t Width;
  int32_t AnyTop;  // the rows where some column is set ...
  int32_t AnyBottom;
  int32_t FullTop;  // ... and where every column is
  int32_t FullBottom;
};

TStrip ClipStrip(const TColumnSpan* Spans, int32_t Width, int32_t SurfaceHeight) {
  TStrip strip{};
  strip.Width = Width;
  strip.AnyTop = INT32_MAX;
  strip.AnyBottom = INT32_MIN;
  strip.FullTop = INT32_MIN;
  strip.FullBottom = INT32_MAX;
  for (int32_t i = 0; i < Width; ++i) {
    TColumnSpan span{std::max(Spans[i].Top, 0), std::min(Spans[i].Bottom, SurfaceHeight - 1)};
    if (span.Top > span.Bottom) {
      span = {INT32_MAX, INT32_MIN};
    }
    strip.Spans[i] = span;
    strip.AnyTop = std::min(strip.AnyTop, span.Top);
    strip.AnyBottom = std::max(strip.AnyBottom, span.Bottom);
    strip.FullTop = std::max(strip.FullTop, span.Top);
    strip.FullBottom = std::min(strip.FullBottom, span.Bottom);
  }
  return strip;
}

template <int BytesPerPixel, int32_t Count>
void StoreRun(uint8_t* Row, uint32_t Color) {
  for (int32_t i = 0; i < Count; ++i) {
    StorePixel<BytesPerPixel>(Row + ptrdiff_t{i} * BytesPerPixel, Color);
  }
}

template <int BytesPerPixel>
void FillStrip(uint8_t* Pixels, int64_t Pitch, const TStrip& Strip, uint32_t Color) {
  const bool wholeStrip = Strip.Width == kStripWidth;
  for (int64_t y = Strip.AnyTop; y <= Strip.AnyBottom; ++y) {
    uint8_t* const row = Pixels + y * Pitch;
    if (wholeStrip && y >= Strip.FullTop && y <= Strip.FullBottom) {
      StoreRun<BytesPerPixel, kStripWidth>(row, Color);  // a fixed count the compiler unrolls
      continue;
    }
    for (int32_t i = 0; i < Strip.Width; ++i) {
      if (Strip.Spans[i].Top <= y && y <= Strip.Spans[i].Bottom) {
        StorePixel<BytesPerPixel>(row + ptrdiff_t{i} * BytesPerPixel, Color);
      }
    }
  }
}

}  // namespace

void FillColumnSpans(PSDL_Surface Surface, const TColumnSpan* Spans, int32_t Count,
                     uint32_t Color) {
  if (Surface == nullptr || Surface->pixels == nullptr || Spans == nullptr) {
    return;
  }
  // A strip at a time, top to bottom: the rows of a strip are one cache line each.
  const int32_t columns = std::min(Count, Surface->w);
  auto* const pixels = static_cast<uint8_t*>(Surface->pixels);
  const int64_t pitch = Surface->pitch;
  ForPixelSize(Surface->format->BytesPerPixel, [&](auto Size) {
    constexpr int kBytes = decltype(Size)::value;
    for (int32_t first = 0; first < columns; first += kStripWidth) {
      const TStrip strip =
          ClipStrip(Spans + first, std::min(kStripWidth, columns - first), Surface->h);
      FillStrip<kBytes>(pixels + int64_t{first} * kBytes, pitch, strip, Color);
    }
  });
}
