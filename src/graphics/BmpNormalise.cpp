#include "graphics/BmpNormalise.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr size_t kHeadersBytes = kBmpFileHeaderBytes + kBmpInfoBytes;

void PutLe(uint8_t* At, uint32_t Value, size_t Bytes) {
  for (size_t i = 0; i < Bytes; ++i) {
    At[i] = static_cast<uint8_t>(Value >> (8 * i));
  }
}

uint32_t GetLe(const uint8_t* At, size_t Bytes) {
  uint32_t value = 0;
  for (size_t i = Bytes; i-- > 0;) {
    value = value << 8 | At[i];
  }
  return value;
}

// Copy sized for the file, its two headers written: a 40-byte header without compression,
// then Palette bytes of palette, then Pixels bytes of rows in Layout's order.
void StartCopy(const TBmpLayout& Layout, uint32_t Bits, size_t Palette, size_t Pixels,
               std::vector<uint8_t>& Copy) {
  Copy.assign(kHeadersBytes + Palette + Pixels, 0);
  uint8_t* const file = Copy.data();
  file[0] = 'B';
  file[1] = 'M';
  PutLe(file + 2, static_cast<uint32_t>(Copy.size()), 4);
  PutLe(file + 10, static_cast<uint32_t>(kHeadersBytes + Palette), 4);
  uint8_t* const info = file + kBmpFileHeaderBytes;
  PutLe(info, kBmpInfoBytes, 4);
  PutLe(info + 4, static_cast<uint32_t>(Layout.Width), 4);
  PutLe(info + 8, static_cast<uint32_t>(Layout.TopDown ? -Layout.Height : Layout.Height), 4);
  PutLe(info + 12, 1, 2);  // one plane
  PutLe(info + 14, Bits, 2);
  PutLe(info + 20, static_cast<uint32_t>(Pixels), 4);
  PutLe(info + 32, Bits <= 8 ? Layout.Colors : 0, 4);
}

// The palette and the rows as they are, behind a 40-byte header.
void CopyWithShortHeader(const uint8_t* Bytes, const TBmpLayout& Layout,
                         std::vector<uint8_t>& Copy) {
  const size_t palette = size_t{Layout.Colors} * Layout.PaletteEntryBytes;
  const size_t pixels = Layout.RowBytes * static_cast<size_t>(Layout.Height);
  StartCopy(Layout, Layout.Bits, palette, pixels, Copy);
  std::memcpy(Copy.data() + kHeadersBytes, Bytes + kBmpFileHeaderBytes + Layout.InfoSize, palette);
  std::memcpy(Copy.data() + kHeadersBytes + palette, Bytes + Layout.Offset, pixels);
}

// A colour mask as the lowest bit it covers and its value there.
struct TChannel {
  uint32_t Mask = 0;
  uint32_t Shift = 0;
  uint32_t Max = 0;
};

TChannel ChannelOf(uint32_t Mask) {
  TChannel channel{Mask, 0, Mask};
  while ((channel.Max & 1U) == 0) {
    channel.Max >>= 1;
    ++channel.Shift;
  }
  return channel;
}

// Channel value Value on the 0..255 scale, rounded (Max is odd: never a tie).
// REQUIRES: 0 < Max, Value <= Max.
uint32_t WidenChannel(uint32_t Value, uint32_t Max) {
  return (Value * 255 + Max / 2) / Max;
}

// Every pixel unpacked through its masks into 0x00RRGGBB, each channel widened exactly.
void CopyAsPlain32(const uint8_t* Bytes, const TBmpLayout& Layout, std::vector<uint8_t>& Copy) {
  const auto width = static_cast<size_t>(Layout.Width);
  const size_t rowBytes = 4 * width;  // a multiple of 4: no padding
  StartCopy(Layout, 32, 0, rowBytes * static_cast<size_t>(Layout.Height), Copy);
  const TChannel channels[3] = {ChannelOf(Layout.Masks[0]), ChannelOf(Layout.Masks[1]),
                                ChannelOf(Layout.Masks[2])};
  const size_t pixelBytes = Layout.Bits / 8;
  for (size_t row = 0; row < static_cast<size_t>(Layout.Height); ++row) {
    const uint8_t* from = Bytes + Layout.Offset + row * Layout.RowBytes;
    uint8_t* to = Copy.data() + kHeadersBytes + row * rowBytes;
    for (size_t x = 0; x < width; ++x, from += pixelBytes, to += 4) {
      const uint32_t pixel = GetLe(from, pixelBytes);
      uint32_t plain = 0;
      for (const TChannel& channel : channels) {
        plain = plain << 8 | WidenChannel((pixel & channel.Mask) >> channel.Shift, channel.Max);
      }
      PutLe(to, plain, 4);
    }
  }
}

}  // namespace

bool NormaliseBmp(const uint8_t* Bytes, const TBmpLayout& Layout, std::vector<uint8_t>& Copy) {
  if (Layout.Bits == 16 || Layout.Bits == 32) {
    CopyAsPlain32(Bytes, Layout, Copy);
    return true;
  }
  if (Layout.Bits <= 8 && Layout.InfoSize > kBmpInfoBytes) {
    CopyWithShortHeader(Bytes, Layout, Copy);
    return true;
  }
  return false;
}
