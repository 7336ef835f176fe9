// How the drawing routines store one pixel value into a surface's memory, shared by the ones
// that write pixels themselves. Not for use outside src/graphics.
#ifndef TUMULT2D_GRAPHICS_PIXELSTORE_H_
#define TUMULT2D_GRAPHICS_PIXELSTORE_H_

#include <cstdint>
#include <cstring>
#include <type_traits>

// Stores the low 8 or 16 bits, three bytes (bits 16-23 first, then 8-15, then 0-7) or the
// whole word, in the machine's byte order, at Target.
template <int BytesPerPixel>
inline void StorePixel(uint8_t* Target, uint32_t Pixel) {
  if constexpr (BytesPerPixel == 1) {
    *Target = static_cast<uint8_t>(Pixel);
  } else if constexpr (BytesPerPixel == 2) {
    const auto word = static_cast<uint16_t>(Pixel);
    std::memcpy(Target, &word, sizeof word);
  } else if constexpr (BytesPerPixel == 3) {
    Target[0] = static_cast<uint8_t>(Pixel >> 16);
    Target[1] = static_cast<uint8_t>(Pixel >> 8);
    Target[2] = static_cast<uint8_t>(Pixel);
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
