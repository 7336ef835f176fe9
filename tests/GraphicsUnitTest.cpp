#include "graphics/GraphicsUnit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "TestSupport.h"
#include "graphics/BmpHeaderCheck.h"

namespace {

// What images are blitted onto and screens start as; no widened 5-bit channel gives these values.
constexpr uint32_t kBackground = 0x00123456;

// How a paint program may store a picture. A mask set means colour masks (BI_BITFIELDS):
// after the first 40 bytes of the header, inside the longer ones. 16- and 32-bit pixels without
// masks are 5-5-5 and 8-8-8.
struct TLayout {
  const char* Name;
  uint32_t Bits;
  uint32_t InfoSize = 40;
  std::array<uint32_t, 4> Masks = {};  // red, green, blue, alpha
  unsigned Options = 0;                // any of the three below
};
constexpr unsigned kTopDown = 1;
constexpr unsigned kGap = 2;          // 12 bytes before the pixels: masks, red and blue swapped
constexpr unsigned kCornerSpare = 4;  // the bits no colour mask covers set on the top-left pixel

// The picture: colour (x + 2y) % 6 at (x, y), of which the last repeats the first (at 1 bit only
// the first two). Each channel has a value that 5 and 6 bits hold exactly when widened as
// v * 255 / max, and that a shift (31 to 248) or bit copying (51 to 207) widens otherwise.
constexpr uint32_t kColours[6] = {0xFFCE10, 0x0831EF, 0xCEFF00, 0x3110F7, 0x00EFCE, 0xFFCE10};
constexpr int kW = 5, kH = 3;  // an odd width: every depth pads its rows
uint32_t ColourIndex(const TLayout& L, int X, int Y) {
  return uint32_t(X + 2 * Y) % (L.Bits == 1 ? 2 : 6);
}

// The picture as a BMP file stored in Layout L.
std::string EncodeBmp(const TLayout& L) {
  const bool palette = L.Bits <= 8, masks = L.Masks[0] != 0;
  const bool core = L.InfoSize == 12;  // its palette has every colour, in 3 bytes each
  const uint32_t colours = !palette ? 0 : core ? 1U << L.Bits : L.Bits == 1 ? 2 : 6;
  const uint32_t entry = core ? 3 : 4;
  const uint32_t rowBytes = (kW * L.Bits + 31) / 32 * 4, headers = 14 + L.InfoSize;
  const uint32_t offset =
      headers + (masks && L.InfoSize == 40 ? 12 : 0) + ((L.Options & kGap) ? 12 : 0);
  std::string file = "BM";
  const auto put = [&file](uint32_t Value, uint32_t Bytes) {
    for (uint32_t i = 0; i < Bytes; ++i) file += char(Value >> 8 * i);
  };
  for (uint32_t word : {offset + colours * entry + rowBytes * kH, 0U, offset + colours * entry})
    put(word, 4);
  if (core) {
    for (uint32_t half : {12U, 0U, uint32_t(kW), uint32_t(kH), 1U, L.Bits}) put(half, 2);
  } else {  // the seventh word holds the planes (1) and the depth
    for (uint32_t word :
         {L.InfoSize, uint32_t(kW), uint32_t((L.Options & kTopDown) ? -kH : kH), 1U | L.Bits << 16,
          masks ? 3U : 0U, rowBytes * kH, 2835U, 2835U, colours, 0U})
      put(word, 4);
  }
  for (uint32_t i = 0; masks && i < (L.InfoSize >= 56 ? 4U : 3U); ++i) put(L.Masks[i], 4);
  file.resize(std::max<size_t>(file.size(), headers), '\0');
  for (uint32_t i = 0; i < colours; ++i) put(kColours[i % 6], entry);
  for (uint32_t mask = 0x1F; (L.Options & kGap) && mask <= 0x7C00; mask <<= 5) put(mask, 4);
  const std::array<uint32_t, 3> rgb = masks ? std::array{L.Masks[0], L.Masks[1], L.Masks[2]}
                                      : L.Bits == 16 ? std::array{0x7C00U, 0x03E0U, 0x001FU}
                                                     : std::array{0xFF0000U, 0x00FF00U, 0x0000FFU};
  for (int row = 0; row < kH; ++row) {
    const int y = (L.Options & kTopDown) ? row : kH - 1 - row;
    const size_t start = file.size();
    uint32_t bits = 0, count = 0;  // palette indices gathered into whole bytes
    for (int x = 0; x < kW; ++x) {
      const uint32_t index = ColourIndex(L, x, y), colour = kColours[index];
      uint32_t value =
          x == 0 && y == 0 && (L.Options & kCornerSpare) ? ~(rgb[0] | rgb[1] | rgb[2]) : 0;
      for (int c = 0; c < 3; ++c) {
        const uint32_t shift = uint32_t(__builtin_ctz(rgb[c])), max = rgb[c] >> shift;
        value |= ((colour >> (16 - 8 * c) & 0xFF) * max + 127) / 255 << shift;
      }
      if (!palette) {
        put(L.Bits == 24 ? colour : value, L.Bits / 8);
        continue;
      }
      for (bits = bits << L.Bits | index, count += L.Bits; count >= 8; count -= 8)
        put(bits >> (count - 8), 1);
    }
    if (count > 0) put(bits << (8 - count), 1);
    file.resize(start + rowBytes, '\0');
  }
  return file;
}

// The picture in Layout L loaded from a temporary file, which is then removed.
TSurfacePtr LoadBmp(const TLayout& L, bool Transparent) {
  const std::string path = testing::TempDir() + "tumult-" + std::to_string(getpid()) + ".bmp";
  std::ofstream(path, std::ios::binary) << EncodeBmp(L);
  TSurfacePtr image = LoadImage(path, Transparent);
  std::remove(path.c_str());
  return image;
}

using GraphicsUnitLoadImage = DummyDisplayTest;

// Every layout paint programs write gives the picture's own colours in the display format, the
// same on classic SDL 1.2 and on SDL 1.2 over SDL 2; keyed, every pixel of the top-left pixel's
// colour (at 8 bits and below, under another palette index too) is transparent.
TEST_F(GraphicsUnitLoadImage, EveryLayoutGivesThePicturesColoursAndKeysOnTheFirstPixelsColour) {
  const TLayout layouts[] = {
      {"1-bit", 1},
      {"8-bit", 8},
      {"24-bit", 24},
      {"32-bit 8-8-8, 108-byte header", 32, 108, {0xFF0000, 0xFF00, 0xFF}},
      {"1-bit, 56-byte header", 1, 56},
      {"4-bit, 124-byte header", 4, 124},
      {"8-bit, 108-byte header, top-down", 8, 108, {}, kTopDown},
      {"4-bit, 12-byte header", 4, 12},
      {"24-bit, 124-byte header, top-down", 24, 124, {}, kTopDown},
      {"16-bit 5-5-5, gap", 16, 40, {}, kGap | kCornerSpare},
      {"16-bit 5-6-5, 40-byte header", 16, 40, {0xF800, 0x07E0, 0x001F}},
      {"16-bit 5-6-5, 124-byte header", 16, 124, {0xF800, 0x07E0, 0x001F}},
      {"16-bit 1-5-5-5, 108-byte header", 16, 108, {0x7C00, 0x3E0, 0x1F, 0x8000}, kCornerSpare},
      {"32-bit", 32, 40, {}, kCornerSpare},
      {"32-bit 8-8-8-8, 124-byte header", 32, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
      {"32-bit blue-red-green, 56-byte header", 32, 56, {0xFF00, 0xFF, 0xFF000000}, kTopDown},
      {"32-bit 8-8-8-0, 52-byte header", 32, 52, {0xFF000000, 0xFF0000, 0xFF00}, kCornerSpare},
  };
  for (const TLayout& layout : layouts) {
    for (const bool transparent : {false, true}) {
      SCOPED_TRACE(testing::Message() << layout.Name << ", transparent " << transparent);
      const TSurfacePtr image = LoadBmp(layout, transparent),
                        shown = MakeSurface(kW, kH, kBackground);
      ASSERT_TRUE(image) << SDL_GetError();
      ASSERT_EQ(SDL_BlitSurface(image.get(), nullptr, shown.get(), nullptr), 0);
      // SDL sets the run-length flag once the first blit has encoded the image; SDL 1.2 on
      // top of SDL 2 (versions 1.2.50 and up) leaves the encoding to SDL 2 and never shows it.
      const Uint32 rle = SDL_Linked_Version()->patch < 50 ? SDL_RLEACCEL : 0U;
      EXPECT_EQ(std::make_tuple(image->w, image->h, int(image->format->BitsPerPixel),
                                image->flags & (SDL_SRCCOLORKEY | SDL_RLEACCEL)),
                std::make_tuple(kW, kH, 32, transparent ? SDL_SRCCOLORKEY | rle : 0U));
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
          const uint32_t colour = kColours[ColourIndex(layout, x, y)];
          EXPECT_EQ(PixelAt(shown.get(), x, y),
                    transparent && colour == kColours[0] ? kBackground : colour)
              << "at " << x << "," << y;
        }
    }
  }
  // On a 24-bit display, which the game never asks for, a pixel's three bytes lie in the
  // machine's order (the cross-architecture check runs this on a big-endian one).
  ASSERT_NE(SDL_SetVideoMode(4, 1, 24, 0), nullptr) << SDL_GetError();
  const TSurfacePtr dot24 = LoadBmp({"24-bit", 24}, true);
  ASSERT_EQ(dot24 ? dot24->format->BitsPerPixel : 0, 24);
  EXPECT_EQ(dot24->format->colorkey, SDL_MapRGB(dot24->format, 0xFF, 0xCE, 0x10));
}

TEST_F(GraphicsUnitLoadImage, FilesItCannotTakeFailWithTheReason) {
  // Missing, empty, one byte larger than any image the game takes (sparse, and not read), a
  // named pipe that no one writes to (a plain open would wait for ever) and a folder.
  const std::string empty = testing::TempDir() + "tumult-empty-" + std::to_string(getpid()),
                    huge = testing::TempDir() + "tumult-huge-" + std::to_string(getpid()),
                    pipe = testing::TempDir() + "tumult-pipe-" + std::to_string(getpid());
  std::ofstream{empty}, std::ofstream{huge};
  std::filesystem::resize_file(huge, kMaxBmpFileBytes + 1);
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::pair<std::string, const char*> failures[] = {
      {"/nonexistent/tumult.bmp", "Couldn't open /nonexistent/tumult.bmp"},
      {empty, "not a BMP file"},
      {huge, "file is larger than any image the game takes"},
      {pipe, "not a regular file"},
      {testing::TempDir(), "not a regular file"}};
  for (const auto& [path, reason] : failures) {
    EXPECT_EQ(LoadImage(path, true), nullptr) << path;
    EXPECT_STREQ(SDL_GetError(), reason);
  }
  for (const std::string& path : {empty, huge, pipe}) std::remove(path.c_str());
}

TEST(GraphicsUnit, OnScreenOnlyPointsInsideBothRangesOfTheWindow) {
  const TSurfacePtr screen = MakeSurface(800, 600);
  // x, y, the window's top-left corner, and whether the point is on the screen
  const int32_t cases[][5] = {{0, 0, 0, 0, 1},    {799, 599, 0, 0, 1},    {800, 0, 0, 0, 0},
                              {-1, 0, 0, 0, 0},   {0, 600, 0, 0, 0},      {0, -1, 0, 0, 0},
                              {10, 700, 0, 0, 0}, {899, 649, 100, 50, 1}, {99, 50, 100, 50, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(OnScreen(screen.get(), c[0], c[1], c[2], c[3]), c[4] == 1) << c[0] << "," << c[1];
  EXPECT_TRUE(OnScreen(screen.get(), INT32_MAX, 5, INT32_MAX - 10, 0));  // no overflow near the end
  EXPECT_FALSE(OnScreen(nullptr, 0, 0, 0, 0));
}

// A W x H surface of kBackground whose pixels in the Width x Height rectangle at (Left, Top) name
// their coordinates in a source image, counted from column SourceX.
TSurfacePtr Coded(int W, int H, int Left, int Top, int Width, int Height, int SourceX = 0) {
  TSurfacePtr surface = MakeSurface(W, H, kBackground);
  for (int y = Top; y < Top + Height; ++y)
    for (int x = Left; x < Left + Width; ++x)
      SDL_PutPixel(surface.get(), x, y, 0x800000 | (SourceX + x - Left) << 10 | (y - Top));
  return surface;
}

TEST(GraphicsUnit, DrawTileCopiesTheTileClippedToTheScreen) {
  constexpr int size = 32, w = 100, h = 80;
  const TSurfacePtr tiles = Coded(5 * size, size, 0, 0, 5 * size, size);
  // x, y, tile index, and whether any of it shows
  const int cases[][4] = {{10, 20, 3, 1},       {-size, 0, 0, 0},     {-size + 1, 5, 1, 1},
                          {w - 1, 5, 2, 1},     {5, -size + 1, 1, 1}, {5, h - 1, 2, 1},
                          {65536 + 5, 5, 4, 0}, {5, 65536 + 5, 4, 0}, {5 - 65536, 5, 4, 0},
                          {5, 5 - 65536, 4, 0}};  // off the screen, on it in 16 bits
  for (const auto& c : cases) {
    const TSurfacePtr screen = MakeSurface(w, h, kBackground);
    DrawTile(screen.get(), c[0], c[1], c[2], size, tiles.get());
    EXPECT_EQ(SurfaceChecksum(screen.get()),
              SurfaceChecksum(Coded(w, h, c[0], c[1], c[3] * size, size, c[2] * size).get()))
        << "tile " << c[2] << " at " << c[0] << "," << c[1];
  }
  // With either surface null nothing is drawn.
  const TSurfacePtr screen = MakeSurface(w, h, kBackground);
  DrawTile(screen.get(), 0, 0, 0, size, nullptr);
  DrawTile(nullptr, 0, 0, 0, size, tiles.get());
  EXPECT_EQ(SurfaceChecksum(screen.get()), SurfaceChecksum(Coded(w, h, 0, 0, 0, 0).get()));
}

}  // namespace
