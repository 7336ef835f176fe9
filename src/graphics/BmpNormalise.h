// The form in which a BMP file is handed to SDL's reader, so that classic SDL 1.2 and SDL 1.2
// over SDL 2 make the same picture of it. The two lines read some valid files differently:
// classic SDL takes a palette from right after the first 40 bytes of the header, which in the
// longer headers image editors write is the header's own fields; it widens 5- and 6-bit
// channels by a shift (31 becomes 248), SDL 2 by its own tables; SDL 2 turns down colour masks
// in an order it has no name for, and classic SDL reads the bytes between a header and the
// pixels of an image without masks as masks. A copy in memory avoids all of it: a palette
// picture gets a 40-byte header in front of its palette and pixels, and a 16- or 32-bit one
// becomes a plain 32-bit picture whose channels are widened exactly (v * 255 / max, rounded).
// Runs once per picture, at load time.
#ifndef TUMULT2D_GRAPHICS_BMPNORMALISE_H_
#define TUMULT2D_GRAPHICS_BMPNORMALISE_H_

#include <cstdint>
#include <vector>

#include "graphics/BmpHeaderCheck.h"

// True, with Copy holding the file to hand SDL instead, when the file at Bytes would not be
// read alike by both lines as it is; false (Copy untouched) when it would.
// REQUIRES: Layout is what BmpHeaderProblem wrote for these bytes, which it passed.
bool NormaliseBmp(const uint8_t* Bytes, const TBmpLayout& Layout, std::vector<uint8_t>& Copy);

#endif  // TUMULT2D_GRAPHICS_BMPNORMALISE_H_
