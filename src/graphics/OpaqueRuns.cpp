#include "graphics/OpaqueRuns.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The smallest pixel value the picture does not use. Among its Count pixels some value from 0
// to Count is always missing, so only those values need marking.
uint32_t SmallestUnusedValue(const SDL_Surface& Picture) {
  const size_t count = static_cast<size_t>(Picture.w) * static_cast<size_t>(Picture.h);
  std::vector<bool> used(count + 1, false);
  const auto* const pixels = static_cast<const uint8_t*>(Picture.pixels);
  for (int y = 0; y < Picture.h; ++y) {
    const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * Picture.pitch;
    for (int x = 0; x < Picture.w; ++x) {
      uint32_t value = 0;
      std::memcpy(&value, row + static_cast<ptrdiff_t>(x) * 4, sizeof value);
      if (value <= count) {
        used[value] = true;
      }
    }
  }
  uint32_t value = 0;
  while (used[value]) {
    ++value;
  }
  return value;
}

}  // namespace

bool EncodeOpaqueRuns(SDL_Surface* Picture) {
  if (Picture == nullptr || Picture->format->BytesPerPixel != 4 ||
      (Picture->flags & SDL_SRCCOLORKEY) != 0 || Picture->w <= 0 || Picture->h <= 0) {
    return false;
  }
  if (SDL_LockSurface(Picture) != 0) {
    return false;
  }
  const bool readable = Picture->pixels != nullptr;
  const uint32_t key = readable ? SmallestUnusedValue(*Picture) : 0;
  SDL_UnlockSurface(Picture);
  return readable && SDL_SetColorKey(Picture, SDL_SRCCOLORKEY | SDL_RLEACCEL, key) == 0;
}
