#include "graphics/LineAndRect.h"

#include <algorithm>
#include <cstddef>

#include "graphics/PixelStore.h"

namespace {

// One axis of a line: where it starts, which way it steps and how many pixels the surface has
// along it.
struct TLineAxis {
  int64_t Start;
  int64_t Step;
  int64_t Extent;
};

// The range of k (0 <= k <= Span) for which Start + k * Step lies on the surface, as
// [First, Last]; empty when First > Last.
struct TStepRange {
  int64_t First;
  int64_t Last;
};

TStepRange OnSurfaceSteps(const TLineAxis& Axis, int64_t Span) {
  if (Axis.Step > 0) {
    return {std::max<int64_t>(0, -Axis.Start), std::min(Span, Axis.Extent - 1 - Axis.Start)};
  }
  return {std::max<int64_t>(0, Axis.Start - (Axis.Extent - 1)), std::min(Span, Axis.Start)};
}

}  // namespace

void SDL_DrawLine(PSDL_Surface DstSurface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  uint32_t Color) {
  if (DstSurface == nullptr) {
    return;
  }
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const TLineAxis xAxis{x1, dx < 0 ? -1 : 1, DstSurface->w};
  const TLineAxis yAxis{y1, dy < 0 ? -1 : 1, DstSurface->h};
  const int64_t xSpan = dx < 0 ? -dx : dx;
  const int64_t ySpan = dy < 0 ? -dy : dy;
  const bool xIsMajor = xSpan >= ySpan;
  const TLineAxis& major = xIsMajor ? xAxis : yAxis;
  const TLineAxis& minor = xIsMajor ? yAxis : xAxis;
  const auto majorCount = static_cast<uint64_t>(xIsMajor ? xSpan : ySpan) + 1;
  const auto minorCount = static_cast<uint64_t>(xIsMajor ? ySpan : xSpan) + 1;
  // Only the steps whose major coordinate is on the surface are walked. After k steps the
  // error sum is (k * (b + 1)) mod (a + 1) and the minor axis has moved the quotient.
  const TStepRange steps = OnSurfaceSteps(major, static_cast<int64_t>(majorCount) - 1);
  const uint64_t progress = static_cast<uint64_t>(steps.First) * minorCount;
  auto error = static_cast<int64_t>(progress % majorCount);
  int64_t minorAt = minor.Start + static_cast<int64_t>(progress / majorCount) * minor.Step;
  int64_t majorAt = major.Start + steps.First * major.Step;
  for (int64_t k = steps.First; k <= steps.Last; ++k) {
    if (minorAt >= 0 && minorAt < minor.Extent) {
      const auto at = static_cast<int32_t>(majorAt);
      const auto across = static_cast<int32_t>(minorAt);
      SDL_PutPixel(DstSurface, xIsMajor ? at : across, xIsMajor ? across : at, Color);
    }
    error += static_cast<int64_t>(minorCount);
    if (error >= static_cast<int64_t>(majorCount)) {
      error -= static_cast<int64_t>(majorCount);
      minorAt += minor.Step;
    }
    majorAt += major.Step;
  }
}

void SDL_PutPixel(PSDL_Surface DstSurface, int32_t x, int32_t y, uint32_t Pixel) {
  if (DstSurface == nullptr || DstSurface->pixels == nullptr) {
    return;
  }
  if (x < 0 || y < 0 || x >= DstSurface->w || y >= DstSurface->h) {
    return;
  }
  const int bytesPerPixel = DstSurface->format->BytesPerPixel;
  uint8_t* const target = static_cast<uint8_t*>(DstSurface->pixels) +
                          static_cast<ptrdiff_t>(y) * DstSurface->pitch +
                          static_cast<ptrdiff_t>(x) * bytesPerPixel;
  ForPixelSize(bytesPerPixel, [&](auto Size) { StorePixel<decltype(Size)::value>(target, Pixel); });
}

TSDL_Rect SDLRect(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight) {
  // Conversions to the narrower types keep the low 16 bits, as the wrap requires.
  TSDL_Rect rect;
  rect.x = static_cast<Sint16>(static_cast<uint16_t>(aLeft));
  rect.y = static_cast<Sint16>(static_cast<uint16_t>(aTop));
  rect.w = static_cast<Uint16>(aWidth);
  rect.h = static_cast<Uint16>(aHeight);
  return rect;
}

std::unique_ptr<TSDL_Rect> PSDLRect(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight) {
  return std::make_unique<TSDL_Rect>(SDLRect(aLeft, aTop, aWidth, aHeight));
}
