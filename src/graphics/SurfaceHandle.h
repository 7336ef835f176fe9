// The surface handles that the game objects hold, without SDL's headers: code that only keeps
// or passes surfaces (the terrain, the placement) compiles without SDL.
#ifndef TUMULT2D_GRAPHICS_SURFACEHANDLE_H_
#define TUMULT2D_GRAPHICS_SURFACEHANDLE_H_

#include <memory>

struct SDL_Surface;

// A surface borrowed for a call; null means no image.
using PSDL_Surface = SDL_Surface*;

struct TSurfaceDeleter {
  void operator()(SDL_Surface* Surface) const;  // SDL_FreeSurface
};

// A surface that this program made and must free (never the display surface, which belongs
// to SDL).
using TSurfacePtr = std::unique_ptr<SDL_Surface, TSurfaceDeleter>;

#endif  // TUMULT2D_GRAPHICS_SURFACEHANDLE_H_
