// A plain 24-bit picture and the one file format the game loads: uncompressed BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imagegen {

struct Rgb {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
};

inline bool operator==(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}
inline bool operator!=(Rgb a, Rgb b) {
  return !(a == b);
}

// The game treats this colour as see-through in sprites, so only sprites may contain it.
constexpr Rgb kMagenta{255, 0, 255};

class Image {
 public:
  Image(int width, int height, Rgb fill);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
  void set(int x, int y, Rgb colour) { pixels_[index(x, y)] = colour; }

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<Rgb> pixels_;  // Row 0 is the top row, as the game addresses it.
};

// Encodes as BITMAPINFOHEADER, BI_RGB, 24 bits, bottom-up rows padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp24(const Image& image);

// Returns false if the file could not be written completely.
bool writeBmp24(const Image& image, const std::string& path);

// Writes bytes as the whole of the file at path; returns false if it could not be written
// completely.
bool writeFileBytes(const std::vector<std::uint8_t>& bytes, const std::string& path);

}  // namespace imagegen
