// Keeping the frame in the cache while a full-screen picture is copied onto it: SDL copies a
// plain surface with stores that bypass the cache, but a run-length encoded one with ordinary
// copies. Under a colour key that no pixel has, the copy sets exactly the same pixels.
#ifndef TUMULT2D_GRAPHICS_OPAQUERUNS_H_
#define TUMULT2D_GRAPHICS_OPAQUERUNS_H_

#include "graphics/SurfaceHandle.h"

// Gives a 32-bit picture without a colour key a run-length encoding under a key none of its
// pixels has. Returns false and leaves the picture as it was when it is null, not 32-bit,
// already keyed, or cannot be read.
bool EncodeOpaqueRuns(SDL_Surface* Picture);

#endif  // TUMULT2D_GRAPHICS_OPAQUERUNS_H_
