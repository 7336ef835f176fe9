// 8-bit RGB or RGBA PNG files. The image data goes into stored (uncompressed) deflate blocks,
// which every PNG reader takes and which need no compression library.
#ifndef TUMULT2D_IMAGEGEN_PNG_H_
#define TUMULT2D_IMAGEGEN_PNG_H_

#include <cstdint>
#include <string>
#include <vector>

// The PNG of Width x Height pixels of Channels bytes each (3: red, green, blue; 4: and alpha),
// rows top to bottom without padding, from Pixels.
// REQUIRES: Width, Height > 0, Channels 3 or 4, and Width * Height * Channels bytes at Pixels.
std::vector<uint8_t> EncodePng(const uint8_t* Pixels, int Width, int Height, int Channels);

// Writes that PNG to Path; false if the file could not be written completely.
bool WritePng(const std::string& Path, const uint8_t* Pixels, int Width, int Height, int Channels);

#endif  // TUMULT2D_IMAGEGEN_PNG_H_
