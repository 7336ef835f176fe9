// Feeds arbitrary bytes to the image loader as a BMP file, with and without a transparent
// colour, and draws whatever it returns the two ways the game does: as the background (also
// run-length encoded, as the battlefield keeps it) and as a tank's sprite, in the middle of
// the screen and at its bottom-left corner. Whatever the bytes, loading may fail but must not
// read or write out of bounds, leak, or hang; the sanitizers and the fuzzer's limits report it
// if it does.
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "game/Tank.h"
#include "graphics/GraphicsUnit.h"
#include "graphics/OpaqueRuns.h"

namespace {

// The game's display, opened once on the dummy driver and kept for the whole run.
SDL_Surface* Display() {
  static SDL_Surface* const display = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Surface* const screen =
        SDL_Init(SDL_INIT_VIDEO) == 0 ? SDL_SetVideoMode(800, 600, 32, 0) : nullptr;
    if (screen == nullptr) std::abort();
    return screen;
  }();
  return display;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  SDL_Surface* const screen = Display();
  for (const bool transparent : {false, true}) {
    TSurfacePtr image = LoadImageFromBytes(Data, Size, transparent);
    DrawBackgound(screen, image.get());
    if (!transparent && EncodeOpaqueRuns(image.get())) {
      DrawBackgound(screen, image.get());
    }
    TTank tank;
    tank.TrackSize = 13;
    tank.TurretX = -1;
    tank.TurretY = -8;
    tank.TurretLength = 12;
    tank.Color = 0xE74218;
    tank.Sprite = std::move(image);
    for (const auto& [x, y] : {std::pair{400.0, 300.0}, std::pair{13.0, 0.0}}) {
      tank.X = x;
      tank.Y = y;
      tank.Draw(screen);
    }
  }
  return 0;
}
