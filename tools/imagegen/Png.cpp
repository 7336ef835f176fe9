#include "Png.h"

#include <algorithm>
#include <array>

#include "Image.h"

namespace imagegen {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::size_t kMaxStoredBlock = 65535;

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

// PNG's numbers are big-endian; deflate's stored-block lengths are little-endian.
void appendU32Big(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
  }
}

void appendU16Little(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
                 const std::vector<std::uint8_t>& payload) {
  appendU32Big(out, static_cast<std::uint32_t>(payload.size()));
  const std::size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), payload.begin(), payload.end());
  appendU32Big(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

// Each row is preceded by filter type 0 (none).
std::vector<std::uint8_t> filteredRows(const RgbaImage& image) {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4u;
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    const auto row = image.rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
    raw.push_back(0);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  return raw;
}

// A zlib stream of stored blocks: no compression, so nothing to get wrong but the framing.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out = {0x78, 0x01};  // Deflate, 32 KiB window, no dictionary.
  std::size_t offset = 0;
  do {
    const std::size_t size = std::min(kMaxStoredBlock, data.size() - offset);
    const bool last = offset + size == data.size();
    out.push_back(last ? 1 : 0);
    appendU16Little(out, static_cast<std::uint16_t>(size));
    appendU16Little(out, static_cast<std::uint16_t>(~size & 0xFFFFu));
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(offset);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(size));
    offset += size;
  } while (offset < data.size());
  appendU32Big(out, adler32(data));
  return out;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbaImage& image) {
  std::vector<std::uint8_t> header;
  appendU32Big(header, static_cast<std::uint32_t>(image.width));
  appendU32Big(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {kBitDepth, kColourTypeRgba, 0, 0, 0});  // Deflate, no interlace.

  std::vector<std::uint8_t> png(kSignature.begin(), kSignature.end());
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", zlibStored(filteredRows(image)));
  appendChunk(png, "IEND", {});
  return png;
}

bool writePng(const RgbaImage& image, const std::string& path) {
  return writeFileBytes(encodePng(image), path);
}

}  // namespace imagegen
