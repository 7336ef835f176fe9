#include "graphics/BmpHeaderCheck.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

constexpr size_t kCoreInfoBytes = 12;  // the old OS/2 header: 16-bit sizes, 3-byte palette
constexpr uint32_t kNoCompression = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;

uint32_t Le16(const uint8_t* At) {
  return uint32_t{At[0]} | uint32_t{At[1]} << 8;
}

uint32_t Le32(const uint8_t* At) {
  return Le16(At) | Le16(At + 2) << 16;
}

// What SDL's reader takes from the headers. Height is made positive; a negative one in the
// file means the rows are stored top row first.
struct TBmpInfo {
  size_t InfoSize = 0;
  uint32_t Offset = 0;  // where the pixel rows start
  int64_t Width = 0;
  int64_t Height = 0;
  bool TopDown = false;
  uint32_t Bits = 0;
  uint32_t Compression = kNoCompression;
  uint32_t ColorsUsed = 0;
  size_t PaletteEntryBytes = 4;
  uint32_t Masks[3] = {};
};

// The old OS/2 header, the plain one, and those with colour masks, an alpha mask, a colour
// space and a colour profile.
bool KnownInfoSize(size_t Size) {
  constexpr std::array<size_t, 6> kKnown = {kCoreInfoBytes, kBmpInfoBytes, 52, 56, 108, 124};
  return std::find(kKnown.begin(), kKnown.end(), Size) != kKnown.end();
}

const char* ReadInfo(const uint8_t* Bytes, size_t Size, TBmpInfo& Info) {
  if (Size < 2 || Bytes[0] != 'B' || Bytes[1] != 'M') {
    return "not a BMP file";
  }
  if (Size < kBmpFileHeaderBytes + 4) {
    return "BMP file cut short in its header";
  }
  Info.Offset = Le32(Bytes + 10);
  Info.InfoSize = Le32(Bytes + kBmpFileHeaderBytes);
  if (!KnownInfoSize(Info.InfoSize)) {
    return "BMP header of an unknown kind";
  }
  if (Size < kBmpFileHeaderBytes + Info.InfoSize) {
    return "BMP file cut short in its header";
  }
  const uint8_t* const info = Bytes + kBmpFileHeaderBytes;
  if (Info.InfoSize == kCoreInfoBytes) {
    Info.Width = Le16(info + 4);
    Info.Height = Le16(info + 6);
    Info.Bits = Le16(info + 10);
    Info.PaletteEntryBytes = 3;
  } else {
    Info.Width = static_cast<int32_t>(Le32(info + 4));
    Info.Height = static_cast<int32_t>(Le32(info + 8));
    Info.Bits = Le16(info + 14);
    Info.Compression = Le32(info + 16);
    Info.ColorsUsed = Le32(info + 32);
  }
  Info.TopDown = Info.Height < 0;
  Info.Height = Info.TopDown ? -Info.Height : Info.Height;  // 64 bits: no overflow
  return nullptr;
}

const char* FormatProblem(const TBmpInfo& Info) {
  if (Info.Width < 1 || Info.Height < 1) {
    return "BMP image has no pixels";
  }
  if (Info.Width > kMaxBmpSide || Info.Height > kMaxBmpSide ||
      Info.Width * Info.Height > kMaxBmpPixels) {
    return "BMP image is larger than the game takes";
  }
  const uint32_t bits = Info.Bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return "BMP pixel size is not 1, 4, 8, 16, 24 or 32 bits";
  }
  if (Info.Compression == kBitFields && Info.Bits != 16 && Info.Bits != 32) {
    return "BMP colour masks on a pixel size that has none";
  }
  if (Info.Compression == kRle8 || Info.Compression == kRle4) {
    return "BMP file is RLE-compressed; save it uncompressed";
  }
  if (Info.Compression != kNoCompression && Info.Compression != kBitFields) {
    return "BMP file is compressed in a way the game does not read; save it uncompressed";
  }
  return nullptr;
}

// A mask SDL can turn into a shift and a loss: one run of at most 8 bits within the pixel.
bool UsableMask(uint32_t Mask, uint32_t Bits) {
  if (Mask == 0 || (Bits < 32 && Mask >> Bits != 0)) {
    return false;
  }
  while ((Mask & 1U) == 0) {
    Mask >>= 1;
  }
  return Mask <= 0xFF && (Mask & (Mask + 1)) == 0;
}

// The masks of a 16- or 32-bit pixel without masks of its own: 5-5-5 and 8-8-8.
void DefaultMasks(uint32_t Bits, uint32_t (&Masks)[3]) {
  const bool wide = Bits == 32;
  Masks[0] = wide ? 0xFF0000 : 0x7C00;
  Masks[1] = wide ? 0x00FF00 : 0x03E0;
  Masks[2] = wide ? 0x0000FF : 0x001F;
}

// An image with colour masks keeps them right after the first 40 bytes of its header (inside
// the longer headers, after the plain one). All zero is read by both SDL lines as 5-6-5 and
// 8-8-8. Returns where the masks end (0 for an image without them).
const char* MaskProblem(const uint8_t* Bytes, size_t Size, TBmpInfo& Info, size_t& MasksEnd) {
  MasksEnd = 0;
  DefaultMasks(Info.Bits, Info.Masks);
  if (Info.Compression != kBitFields) {
    return nullptr;
  }
  const size_t at = kBmpFileHeaderBytes + kBmpInfoBytes;
  MasksEnd = at + 12;
  if (Size < MasksEnd) {
    return "BMP file cut short in its colour masks";
  }
  const uint32_t red = Le32(Bytes + at);
  const uint32_t green = Le32(Bytes + at + 4);
  const uint32_t blue = Le32(Bytes + at + 8);
  if ((red | green | blue) == 0) {
    Info.Masks[0] = Info.Bits == 16 ? 0xF800 : Info.Masks[0];
    Info.Masks[1] = Info.Bits == 16 ? 0x07E0 : Info.Masks[1];
    return nullptr;
  }
  if (!UsableMask(red, Info.Bits) || !UsableMask(green, Info.Bits) ||
      !UsableMask(blue, Info.Bits) || (red & green) != 0 || (red & blue) != 0 ||
      (green & blue) != 0) {
    return "BMP colour masks that are not three separate runs of up to 8 bits";
  }
  Info.Masks[0] = red;
  Info.Masks[1] = green;
  Info.Masks[2] = blue;
  return nullptr;
}

// The number of palette colours SDL reads, 0 for images without a palette.
uint32_t PaletteColors(const TBmpInfo& Info) {
  if (Info.Bits > 8) {
    return 0;
  }
  return Info.ColorsUsed == 0 ? 1U << Info.Bits : Info.ColorsUsed;
}

size_t RowBytes(const TBmpInfo& Info) {
  return static_cast<size_t>((Info.Width * Info.Bits + 31) / 32 * 4);
}

const char* LayoutProblem(size_t Size, const TBmpInfo& Info, size_t MasksEnd) {
  if (Info.Bits <= 8 && Info.ColorsUsed > (1U << Info.Bits)) {
    return "BMP palette longer than its pixel size allows";
  }
  size_t headersEnd = kBmpFileHeaderBytes + Info.InfoSize;
  headersEnd = MasksEnd > headersEnd ? MasksEnd : headersEnd;
  headersEnd += size_t{PaletteColors(Info)} * Info.PaletteEntryBytes;
  if (Info.Offset < headersEnd) {
    return "BMP pixels start inside its headers";
  }
  if (Info.Offset > Size || (Size - Info.Offset) / RowBytes(Info) < size_t(Info.Height)) {
    return "BMP file shorter than the pixels its header claims";
  }
  return nullptr;
}

// SDL's converted copy has a colour for each palette entry read; a pixel with a higher index
// would be looked up past the end of it.
const char* PaletteIndexProblem(const uint8_t* Bytes, const TBmpInfo& Info) {
  const uint32_t colors = PaletteColors(Info);
  if (colors == 0 || colors >= (1U << Info.Bits)) {
    return nullptr;  // no palette, or every index has a colour
  }
  const uint32_t perByte = 8 / Info.Bits;
  const uint32_t mask = (1U << Info.Bits) - 1;
  for (int64_t row = 0; row < Info.Height; ++row) {
    const uint8_t* const pixels = Bytes + Info.Offset + static_cast<size_t>(row) * RowBytes(Info);
    for (int64_t x = 0; x < Info.Width; ++x) {
      const uint32_t slot = static_cast<uint32_t>(x) % perByte;
      const uint32_t index = pixels[x / perByte] >> ((perByte - 1 - slot) * Info.Bits) & mask;
      if (index >= colors) {
        return "BMP pixel with a colour its palette does not have";
      }
    }
  }
  return nullptr;
}

void FillLayout(const TBmpInfo& Info, TBmpLayout& Layout) {
  Layout.InfoSize = Info.InfoSize;
  Layout.Offset = Info.Offset;
  Layout.Width = static_cast<int32_t>(Info.Width);
  Layout.Height = static_cast<int32_t>(Info.Height);
  Layout.TopDown = Info.TopDown;
  Layout.Bits = Info.Bits;
  Layout.Colors = PaletteColors(Info);
  Layout.PaletteEntryBytes = Info.PaletteEntryBytes;
  std::copy(std::begin(Info.Masks), std::end(Info.Masks), std::begin(Layout.Masks));
  Layout.RowBytes = RowBytes(Info);
}

}  // namespace

const char* BmpHeaderProblem(const uint8_t* Bytes, size_t Size, TBmpLayout* Layout) {
  if (Bytes == nullptr) {
    Size = 0;
  }
  if (Size > kMaxBmpFileBytes) {
    return "BMP file larger than any image the game takes";
  }
  TBmpInfo info;
  const char* problem = ReadInfo(Bytes, Size, info);
  if (problem == nullptr) {
    problem = FormatProblem(info);
  }
  size_t masksEnd = 0;
  if (problem == nullptr) {
    problem = MaskProblem(Bytes, Size, info, masksEnd);
  }
  if (problem == nullptr) {
    problem = LayoutProblem(Size, info, masksEnd);
  }
  if (problem == nullptr) {
    problem = PaletteIndexProblem(Bytes, info);
  }
  if (problem == nullptr && Layout != nullptr) {
    FillLayout(info, *Layout);
  }
  return problem;
}
