// The small drawing utilities the game uses beside SDL's own fills and blits: a one-pixel line
// written straight into a surface's pixel memory, the pixel writer under it, and builders for
// SDL rectangles.
//
// Colours here are raw pixel values of the destination surface and are stored unchanged; on
// the game's 32-bit display they read as 0x00RRGGBB.
#ifndef TUMULT2D_GRAPHICS_LINEANDRECT_H_
#define TUMULT2D_GRAPHICS_LINEANDRECT_H_

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "graphics/SurfaceHandle.h"

using TSDL_Rect = SDL_Rect;

// The line from (x1, y1) to (x2, y2), both ends included, by the integer error-sum walk
// through SDL_PutPixel: pixel k lies at major start + k and minor start + floor(k * (b + 1) /
// (a + 1)), a and b being the spans (a tie makes x major). Off-surface pixels are skipped, and
// only the stretch that can be on the surface is walked. A null surface draws nothing.
void SDL_DrawLine(PSDL_Surface DstSurface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  uint32_t Color);

// Stores Pixel at (x, y) in the surface's own format: the low 8 or 16 bits, three bytes (bits
// 16-23 first, then 8-15, then 0-7), or the whole word. Coordinates off the surface, a null
// surface and other pixel sizes write nothing.
void SDL_PutPixel(PSDL_Surface DstSurface, int32_t x, int32_t y, uint32_t Pixel);

// An SDL rectangle from the low 16 bits of each value, with no range check: aTop 32768 gives
// y = -32768 and aWidth -1 gives w = 65535.
TSDL_Rect SDLRect(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight);

// The same rectangle in new memory that belongs to the caller.
std::unique_ptr<TSDL_Rect> PSDLRect(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight);

#endif  // TUMULT2D_GRAPHICS_LINEANDRECT_H_
