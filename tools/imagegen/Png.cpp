#include "Png.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "Bytes.h"

namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRgb = 2;
constexpr uint8_t kColourTypeRgba = 6;
constexpr size_t kMaxStoredBlock = 65535;

uint32_t Crc32(const uint8_t* Data, size_t Size) {
  uint32_t crc = 0xFFFFFFFFU;
  for (size_t i = 0; i < Size; ++i) {
    crc ^= Data[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return crc ^ 0xFFFFFFFFU;
}

uint32_t Adler32(const std::vector<uint8_t>& Data) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (const uint8_t byte : Data) {
    a = (a + byte) % 65521U;
    b = (b + a) % 65521U;
  }
  return (b << 16) | a;
}

void AppendChunk(std::vector<uint8_t>& Out, const char (&Type)[5],
                 const std::vector<uint8_t>& Payload) {
  AppendBigEndian(Out, static_cast<uint32_t>(Payload.size()));
  const size_t typeStart = Out.size();
  Out.insert(Out.end(), Type, Type + 4);
  Out.insert(Out.end(), Payload.begin(), Payload.end());
  AppendBigEndian(Out, Crc32(Out.data() + typeStart, Out.size() - typeStart));
}

// Each row is preceded by filter type 0 (none).
std::vector<uint8_t> FilteredRows(const uint8_t* Pixels, int Width, int Height, int Channels) {
  const size_t rowBytes = static_cast<size_t>(Width) * static_cast<size_t>(Channels);
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * static_cast<size_t>(Height));
  for (int y = 0; y < Height; ++y) {
    const uint8_t* const row = Pixels + rowBytes * static_cast<size_t>(y);
    raw.push_back(0);
    raw.insert(raw.end(), row, row + rowBytes);
  }
  return raw;
}

// A zlib stream of stored blocks: no compression, so nothing to get wrong but the framing.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& Data) {
  std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  size_t offset = 0;
  do {
    const size_t size = std::min(kMaxStoredBlock, Data.size() - offset);
    const bool last = offset + size == Data.size();
    out.push_back(last ? 1 : 0);
    AppendLittleEndian(out, static_cast<uint32_t>(size), 2);
    AppendLittleEndian(out, static_cast<uint32_t>(~size), 2);
    const auto from = Data.begin() + static_cast<std::ptrdiff_t>(offset);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(size));
    offset += size;
  } while (offset < Data.size());
  AppendBigEndian(out, Adler32(Data));
  return out;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint8_t* Pixels, int Width, int Height, int Channels) {
  std::vector<uint8_t> header;
  AppendBigEndian(header, static_cast<uint32_t>(Width));
  AppendBigEndian(header, static_cast<uint32_t>(Height));
  const uint8_t colourType = Channels == 4 ? kColourTypeRgba : kColourTypeRgb;
  header.insert(header.end(), {kBitDepth, colourType, 0, 0, 0});  // deflate, no interlace

  std::vector<uint8_t> png(kSignature.begin(), kSignature.end());
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", ZlibStored(FilteredRows(Pixels, Width, Height, Channels)));
  AppendChunk(png, "IEND", {});
  return png;
}

bool WritePng(const std::string& Path, const uint8_t* Pixels, int Width, int Height, int Channels) {
  return WriteFileBytes(EncodePng(Pixels, Width, Height, Channels), Path);
}
