#include "Image.h"

#include <fstream>

namespace imagegen {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi, what most editors assume.

// BMP is little-endian regardless of the host, so bytes are laid out by hand.
void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
  }
}

std::uint32_t rowStride(int width) {
  const std::uint32_t rowBytes = static_cast<std::uint32_t>(width) * 3u;
  return (rowBytes + 3u) & ~3u;
}

void appendHeaders(std::vector<std::uint8_t>& out, const Image& image) {
  const std::uint32_t pixelBytes =
      rowStride(image.width()) * static_cast<std::uint32_t>(image.height());
  const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;

  out.push_back('B');
  out.push_back('M');
  appendU32(out, dataOffset + pixelBytes);
  appendU32(out, 0);  // Two reserved 16-bit fields.
  appendU32(out, dataOffset);

  appendU32(out, kInfoHeaderSize);
  appendU32(out, static_cast<std::uint32_t>(image.width()));
  appendU32(out, static_cast<std::uint32_t>(image.height()));  // Positive: rows run bottom-up.
  appendU16(out, 1);                                           // Colour planes.
  appendU16(out, kBitsPerPixel);
  appendU32(out, kBiRgb);
  appendU32(out, pixelBytes);
  appendU32(out, kPixelsPerMetre);
  appendU32(out, kPixelsPerMetre);
  appendU32(out, 0);  // Colours used: none, there is no palette.
  appendU32(out, 0);  // Important colours: all.
}

void appendPixelRows(std::vector<std::uint8_t>& out, const Image& image) {
  const std::uint32_t padding =
      rowStride(image.width()) - static_cast<std::uint32_t>(image.width()) * 3u;
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb pixel = image.at(x, y);
      out.push_back(pixel.b);
      out.push_back(pixel.g);
      out.push_back(pixel.r);
    }
    out.insert(out.end(), padding, 0);
  }
}

}  // namespace

Image::Image(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::vector<std::uint8_t> encodeBmp24(const Image& image) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kFileHeaderSize + kInfoHeaderSize +
                rowStride(image.width()) * static_cast<std::uint32_t>(image.height()));
  appendHeaders(bytes, image);
  appendPixelRows(bytes, image);
  return bytes;
}

bool writeBmp24(const Image& image, const std::string& path) {
  return writeFileBytes(encodeBmp24(image), path);
}

bool writeFileBytes(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace imagegen
