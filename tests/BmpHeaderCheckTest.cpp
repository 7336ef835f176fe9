#include "graphics/BmpHeaderCheck.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "graphics/GraphicsUnit.h"

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Seed(const std::string& Name) {
  std::ifstream in(TUMULT_SOURCE_DIR "/tests/fuzz/corpus/images/" + Name, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using BmpHeaderCheck = DummyDisplayTest;

// Every layout of the seed corpus passes the check and loads, except the compressed ones. That
// each layout gives the picture's own colours is the loader's test, on pictures it writes.
TEST_F(BmpHeaderCheck, SeedLayoutsPassAndLoad) {
  int seeds = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(TUMULT_SOURCE_DIR "/tests/fuzz/corpus/images")) {
    const std::string name = entry.path().filename();
    const TBytes bytes = Seed(name);
    const bool compressed = name.rfind("rle", 0) == 0;
    SCOPED_TRACE(name);
    ++seeds;
    EXPECT_STREQ(BmpHeaderProblem(bytes.data(), bytes.size()),
                 compressed ? "BMP file is RLE-compressed; save it uncompressed" : nullptr);
    EXPECT_EQ(bool(LoadImageFromBytes(bytes.data(), bytes.size(), true)), !compressed)
        << SDL_GetError();
  }
  EXPECT_GE(seeds, 25);
}

// Files that SDL's reader would read or write out of bounds with, or that claim more than the
// game can hold: each is turned down before SDL parses it, with the reason as SDL's error.
TEST_F(BmpHeaderCheck, HostileFilesFailWithTheReason) {
  constexpr size_t kCut = ~size_t{0};
  const char* const kMasks = "BMP colour masks that are not three separate runs of up to 8 bits";
  const char* const kIndex = "BMP pixel with a colour its palette does not have";
  const char* const kLarge = "BMP image is larger than the game takes";
  // The seed, where the value goes (kCut cuts the file to that many bytes instead), the value.
  const std::tuple<const char*, size_t, uint32_t, const char*> cases[] = {
      {"bits24.bmp", 0, 0x474E5089, "not a BMP file"},  // a PNG's signature
      {"bits24.bmp", kCut, 0, "not a BMP file"},
      {"bits24.bmp", kCut, 30, "BMP file cut short in its header"},
      {"bits24.bmp", kCut, 200, "BMP file shorter than the pixels its header claims"},
      {"bits24.bmp", 10, 0xFFFFFFF0, "BMP file shorter than the pixels its header claims"},
      {"bits24.bmp", 10, 20, "BMP pixels start inside its headers"},
      {"bits24.bmp", 14, 64, "BMP header of an unknown kind"},
      {"bits24.bmp", 18, 30000, kLarge},
      // Top-down with a height of -2^31: SDL's own reader takes it and reads out of bounds.
      {"bits24.bmp", 22, 0x80000000, kLarge},
      {"bits24.bmp", 18, 8193, kLarge},
      {"bits24.bmp", 18, 0, "BMP image has no pixels"},
      {"bits24.bmp", 18, 0xFFFFFFF7, "BMP image has no pixels"},
      {"bits24.bmp", 22, 0, "BMP image has no pixels"},
      {"bits24.bmp", 28, 2, "BMP pixel size is not 1, 4, 8, 16, 24 or 32 bits"},
      {"bits24.bmp", 28, 64, "BMP pixel size is not 1, 4, 8, 16, 24 or 32 bits"},
      {"bits24.bmp", 30, 3, "BMP colour masks on a pixel size that has none"},
      {"bits24.bmp", 30, 1, "BMP file is RLE-compressed; save it uncompressed"},
      {"bits24.bmp", 30, 5,
       "BMP file is compressed in a way the game does not read; save it "
       "uncompressed"},
      {"bits8-twenty-colours.bmp", 46, 300, "BMP palette longer than its pixel size allows"},
      {"bits8-twenty-colours.bmp", 46, 256, "BMP pixels start inside its headers"},
      {"bits4-six-colours.bmp", 102, 0xFFFFFFFF, kIndex},
      {"bits4-six-colours.bmp", 78, 0x06, kIndex},  // index 6 in the low half of a byte
      {"bits4-six-colours.bmp", 78, 0x60, kIndex},  // ... and in a row's first pixel
      {"bits8-twenty-colours.bmp", 150, 0x14000000, kIndex},
      {"bits16-565-masks.bmp", 54, 0x1FF00, kMasks},
      {"bits16-565-masks.bmp", 58, 0xF800, kMasks},
      {"bits16-565-masks.bmp", 62, 0, kMasks},
      {"bits16-565-masks.bmp", 62, 0x10000, kMasks},  // past the pixel's 16 bits
      {"bits32-masks-v5.bmp", 54, 0xF0F00000, kMasks},
      {"bits32-masks-v5.bmp", 62, 0x1FF, kMasks},   // nine bits
      {"bits32-masks-v5.bmp", 62, 0xD000, kMasks},  // a hole
      {"bits16-565-masks.bmp", kCut, 60, "BMP file cut short in its colour masks"},
  };
  for (const auto& [seed, at, value, reason] : cases) {
    TBytes bytes = Seed(seed);
    for (size_t i = 0; i < 4 && at != kCut; ++i) bytes[at + i] = uint8_t(value >> 8 * i);
    if (at == kCut) bytes.resize(value);
    SCOPED_TRACE(testing::Message() << seed << " at " << at << " value " << value);
    EXPECT_STREQ(BmpHeaderProblem(bytes.data(), bytes.size()), reason);
    SDL_ClearError();
    EXPECT_FALSE(LoadImageFromBytes(bytes.data(), bytes.size(), true));
    EXPECT_STREQ(SDL_GetError(), reason);
  }
  // Cut inside the header-size field: reading all four of its bytes would read past the end.
  const uint8_t cut[17] = {'B', 'M'};
  EXPECT_STREQ(BmpHeaderProblem(cut, sizeof cut), "BMP file cut short in its header");
}

}  // namespace
