// Bringing bitmap images onto the display: loading a BMP into a display-format surface with
// an optional transparent colour, copying whole images and tiles to the screen, and a test of
// whether a point is on the screen. Nothing here keeps state. Every blit goes through
// SDL_BlitSurface, clipped to the destination's clip rectangle.
#ifndef TUMULT2D_GRAPHICS_GRAPHICSUNIT_H_
#define TUMULT2D_GRAPHICS_GRAPHICSUNIT_H_

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/LineAndRect.h"
#include "graphics/SurfaceHandle.h"

// The BMP at DataFile (the path as given) in the display's pixel format, so that later blits
// copy without conversion. With Transparent, the top-left pixel's colour becomes a run-length
// colour key (an empty image gets none). Null, with SDL's error saying why, when the file
// cannot be read, is not a regular file (a named pipe is never waited on), is too large or
// fails BmpHeaderProblem. REQUIRES: the video mode is set.
TSurfacePtr LoadImage(const std::string& DataFile, bool Transparent);

// LoadImage for a BMP file already in memory: the Size bytes at Bytes, which the call only
// reads. The bytes are checked before SDL's reader sees them, and handed to it in the form that
// classic SDL 1.2 and SDL 1.2 over SDL 2 read alike (NormaliseBmp).
TSurfacePtr LoadImageFromBytes(const uint8_t* Bytes, size_t Size, bool Transparent);

// Frees an image that LoadImage made. Null is fine.
void UnloadImage(TSurfacePtr Image);

// True when (X, Y) lies inside the screen-sized window whose top-left corner is (ScreenX,
// ScreenY): ScreenX <= X < ScreenX + w and ScreenY <= Y < ScreenY + h. False for a null screen.
bool OnScreen(PSDL_Surface GameScreen, int32_t X, int32_t Y, int32_t ScreenX, int32_t ScreenY);

// Copies tile TileIndex of a one-row strip of square tiles to (X, Y). A tile wholly off the
// screen is not blitted at all; a partly visible one is clipped. Null surfaces draw nothing.
void DrawTile(PSDL_Surface GameScreen, int32_t X, int32_t Y, int32_t TileIndex, int32_t TileSize,
              PSDL_Surface TileSet);

// Copies the whole image to the screen's top-left corner; a larger image shows its top-left
// part, a smaller one leaves the rest of the screen as it was. An empty or null image draws
// nothing.
void DrawBackgound(PSDL_Surface GameScreen, PSDL_Surface BGImage);

#endif  // TUMULT2D_GRAPHICS_GRAPHICSUNIT_H_
