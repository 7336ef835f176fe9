#include "graphics/SurfaceHandle.h"

#include <SDL.h>

void TSurfaceDeleter::operator()(SDL_Surface* Surface) const {
  SDL_FreeSurface(Surface);
}
