// Keeping the frame in the cache while a full-screen picture is copied onto it.
//
// SDL copies a surface of the display's own format with streaming stores that bypass the
// cache, so everything drawn over the copy next (the land, the tanks) and the flip after it
// start from main memory. A picture run-length encoded with a colour key is copied run by run
// with ordinary copies instead; with a key that no pixel of the picture has, every row is one
// opaque run and the copy sets exactly the same pixels.
#ifndef TUMULT2D_GRAPHICS_OPAQUERUNS_H_
#define TUMULT2D_GRAPHICS_OPAQUERUNS_H_

#include <SDL.h>

// Gives a 32-bit picture without a colour key a run-length encoding under a key none of its
// pixels has. Returns false and leaves the picture as it was when it is null, not 32-bit,
// already keyed, or cannot be read.
bool EncodeOpaqueRuns(SDL_Surface* Picture);

#endif  // TUMULT2D_GRAPHICS_OPAQUERUNS_H_
