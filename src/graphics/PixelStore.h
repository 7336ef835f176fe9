// How the drawing routines store one pixel value into a surface's memory, shared by the ones
// that write pixels themselves. Not for use outside src/graphics.
#ifndef TUMULT2D_GRAPHICS_PIXELSTORE_H_
#define TUMULT2D_GRAPHICS_PIXELSTORE_H_

#include <SDL_endian.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

// Stores the low 8, 16 or 24 bits or the whole word at Target, in the machine's byte order:
// the order in which SDL reads and writes a pixel of that size (for three bytes, the low one
// first on a little-endian machine).
template <int BytesPerPixel>
inline void StorePixel(uint8_t* Target, uint32_t Pixel) {
  if constexpr (BytesPerPixel == 1) {
    *Target = static_cast<uint8_t>(Pixel);
  } else if constexpr (BytesPerPixel == 2) {
    const auto word = static_cast<uint16_t>(Pixel);
    std::memcpy(Target, &word, sizeof word);
  } else if constexpr (BytesPerPixel == 3) {
    const int firstShift = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 0 : 16;
    Target[0] = static_cast<uint8_t>(Pixel >> firstShift);
    Target[1] = static_cast<uint8_t>(Pixel >> 8);
    Target[2] = static_cast<uint8_t>(Pixel >> (16 - firstShift));
  } else {
    std::memcpy(Target, &Pixel, sizeof Pixel);
  }
}

// Calls Action with the surface's pixel size as a compile-time constant, so that the pixel
// loops are specialised for it; other pixel sizes do nothing.
template <typename TAction>
void ForPixelSize(int BytesPerPixel, TAction&& Action) {
  switch (BytesPerPixel) {
    case 1:
      Action(std::integral_constant<int, 1>{});
      break;
    case 2:
      Action(std::integral_constant<int, 2>{});
      break;
    case 3:
      Action(std::integral_constant<int, 3>{});
      break;
    case 4:
      Action(std::integral_constant<int, 4>{});
      break;
    default:
      break;
  }
}

#endif  // TUMULT2D_GRAPHICS_PIXELSTORE_H_
