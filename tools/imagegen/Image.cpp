#include "Image.h"

#include "Bytes.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBitsPerPixel = 24;
constexpr uint32_t kNoCompression = 0;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dpi, what most editors assume

uint32_t RowStride(int Width) {
  const uint32_t rowBytes = static_cast<uint32_t>(Width) * 3U;
  return (rowBytes + 3U) & ~3U;
}

void AppendHeaders(std::vector<uint8_t>& Out, const TImage& Image) {
  const uint32_t pixelBytes = RowStride(Image.Width()) * static_cast<uint32_t>(Image.Height());
  const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;
  Out.push_back('B');
  Out.push_back('M');
  AppendLittleEndian(Out, dataOffset + pixelBytes, 4);
  AppendLittleEndian(Out, 0, 4);  // two reserved 16-bit fields
  AppendLittleEndian(Out, dataOffset, 4);

  AppendLittleEndian(Out, kInfoHeaderSize, 4);
  AppendLittleEndian(Out, static_cast<uint32_t>(Image.Width()), 4);
  AppendLittleEndian(Out, static_cast<uint32_t>(Image.Height()), 4);  // positive: bottom-up
  AppendLittleEndian(Out, 1, 2);                                      // colour planes
  AppendLittleEndian(Out, kBitsPerPixel, 2);
  AppendLittleEndian(Out, kNoCompression, 4);
  AppendLittleEndian(Out, pixelBytes, 4);
  AppendLittleEndian(Out, kPixelsPerMetre, 4);
  AppendLittleEndian(Out, kPixelsPerMetre, 4);
  AppendLittleEndian(Out, 0, 4);  // colours used: none, there is no palette
  AppendLittleEndian(Out, 0, 4);  // important colours: all
}

void AppendPixelRows(std::vector<uint8_t>& Out, const TImage& Image) {
  const uint32_t padding = RowStride(Image.Width()) - static_cast<uint32_t>(Image.Width()) * 3U;
  for (int y = Image.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < Image.Width(); ++x) {
      const TRgb pixel = Image.At(x, y);
      Out.insert(Out.end(), {pixel.B, pixel.G, pixel.R});
    }
    Out.insert(Out.end(), padding, 0);
  }
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const TImage& Image) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kFileHeaderSize + kInfoHeaderSize +
                RowStride(Image.Width()) * static_cast<uint32_t>(Image.Height()));
  AppendHeaders(bytes, Image);
  AppendPixelRows(bytes, Image);
  return bytes;
}

bool WriteBmp24(const TImage& Image, const std::string& Path) {
  return WriteFileBytes(EncodeBmp24(Image), Path);
}
