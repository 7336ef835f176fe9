// A check of a BMP file's bytes before SDL's BMP reader parses them. The images/ folder may
// hold anything, and SDL 1.2's reader believes what a header claims: sizes, dimensions that
// overflow its 16-bit pitch, palettes and their indices, colour masks. A file that passes is
// one the reader takes without reading or writing out of bounds; a few odd but valid ones
// (compressed, or larger than the game can draw) are turned down too.
#ifndef TUMULT2D_GRAPHICS_BMPHEADERCHECK_H_
#define TUMULT2D_GRAPHICS_BMPHEADERCHECK_H_

#include <cstddef>
#include <cstdint>

// The largest width or height taken: the display-format pitch (4 bytes a pixel) stays within
// SDL's 16-bit pitch, and every coordinate of a blit stays within a 16-bit rectangle. A
// background twice the screen's size in each direction is well inside it.
constexpr int64_t kMaxBmpSide = 8192;
// The most pixels taken: 64 MiB once converted to the 32-bit display format.
constexpr int64_t kMaxBmpPixels = int64_t{4096} * 4096;
// Files larger than this are not read at all: the largest image taken at 32 bits, its headers
// and room for trailing data such as a colour profile.
constexpr size_t kMaxBmpFileBytes = size_t{4} * kMaxBmpPixels + (size_t{1} << 20);

// Null when the Size bytes at Bytes are a BMP file that SDL's reader can take safely;
// otherwise a short sentence saying what is wrong with it (a static string).
const char* BmpHeaderProblem(const uint8_t* Bytes, size_t Size);

#endif  // TUMULT2D_GRAPHICS_BMPHEADERCHECK_H_
