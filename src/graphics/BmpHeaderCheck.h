// A check of a BMP file's bytes before SDL's BMP reader parses them. The images/ folder may
// hold anything, and SDL 1.2's reader believes what a header claims: sizes, dimensions that
// overflow its 16-bit pitch, palettes and their indices, colour masks. A file that passes, in
// the form NormaliseBmp (BmpNormalise.h) gives it, is one the reader takes without reading or
// writing out of bounds; a few odd but valid ones (compressed, or larger than the game can draw)
// are turned down too. The bytes between the header and the pixels of a 16- or 32-bit picture
// without masks, which classic SDL would read as masks, are not checked: that form drops them.
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

// A BMP file starts with a 14-byte file header; every info header but the old OS/2 one starts
// with the same 40 bytes, which are all that SDL reads of the longer ones.
constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kBmpInfoBytes = 40;

// Where a checked file keeps its parts, and how its pixels are stored.
struct TBmpLayout {
  size_t InfoSize = 0;  // 12 (the old OS/2 header), 40, 52, 56, 108 or 124 bytes
  size_t Offset = 0;    // where the pixel rows start
  int32_t Width = 0;    // at least 1
  int32_t Height = 0;   // at least 1; rows are stored bottom row first unless TopDown
  bool TopDown = false;
  uint32_t Bits = 0;    // 1, 4, 8, 16, 24 or 32
  uint32_t Colors = 0;  // palette entries, each PaletteEntryBytes long; 0 above 8 bits
  size_t PaletteEntryBytes = 4;
  uint32_t Masks[3] = {};  // red, green, blue of a 16- or 32-bit pixel, as BMP defines them
  size_t RowBytes = 0;     // a stored row, padding included
};

// Null when the Size bytes at Bytes are a BMP file that SDL's reader can take safely;
// otherwise a short sentence saying what is wrong with it and, where the player can mend it,
// how (a static string). With Layout given, a file that passes has its layout written there.
const char* BmpHeaderProblem(const uint8_t* Bytes, size_t Size, TBmpLayout* Layout = nullptr);

#endif  // TUMULT2D_GRAPHICS_BMPHEADERCHECK_H_
