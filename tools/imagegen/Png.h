// The icons' file format: 8-bit RGBA PNG. The image data goes into stored (uncompressed)
// deflate blocks, which every PNG reader takes and which need no compression library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagegen {

// Four bytes per pixel (red, green, blue, alpha), rows top to bottom.
struct RgbaImage {
  int width;
  int height;
  std::vector<std::uint8_t> rgba;
};

std::vector<std::uint8_t> encodePng(const RgbaImage& image);

// Returns false if the file could not be written completely.
bool writePng(const RgbaImage& image, const std::string& path);

}  // namespace imagegen
