#include "graphics/GraphicsUnit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "TestSupport.h"
#include "graphics/BmpHeaderCheck.h"

namespace {

// What images are blitted onto and screens start as; no widened 5-bit channel gives these values.
constexpr uint32_t kBackground = 0x00123456;

// Writes Rgb (0xRRGGBB, top row first) as an uncompressed BMP of the given depth (at 8 bits
// through a palette with one entry per pixel, at 16 bits as 5-5-5 words), loads it from a
// temporary file and removes the file. Rows must fill whole 4-byte words: no padding is written.
TSurfacePtr LoadBmp(int W, int H, int Bits, const std::vector<uint32_t>& Rgb, bool Transparent) {
  const uint32_t size = uint32_t(W * H * Bits / 8), colours = Bits == 8 ? W * H : 0;
  std::string file = "BM";
  const auto put = [&file](uint32_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i) file += char(Value >> 8 * i);
  };
  // The seventh word holds the planes (1) and the depth; the palette is blue, green, red, unused.
  for (uint32_t word :
       {54 + 4 * colours + size, 0U, 54 + 4 * colours, 40U, uint32_t(W), uint32_t(H),
        1U | uint32_t(Bits) << 16, 0U, size, 2835U, 2835U, colours, 0U})
    put(word, 4);
  for (uint32_t i = 0; i < colours; ++i) put(Rgb[i], 4);
  for (int i = 0; i < W * H; ++i) {  // bottom row first
    const uint32_t at = uint32_t((H - 1 - i / W) * W + i % W), c = Rgb[at];
    const uint32_t word555 = (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
    put(Bits == 8 ? at : Bits == 16 ? word555 : c, Bits / 8);
  }
  const std::string path = testing::TempDir() + "tumult-" + std::to_string(getpid()) + ".bmp";
  std::ofstream(path, std::ios::binary) << file;
  TSurfacePtr image = LoadImage(path, Transparent);
  std::remove(path.c_str());
  return image;
}

using LoadImageTest = DummyDisplayTest;

// An 8x5 sprite whose top-left colour recurs among the others: magenta, or at 8 bits a colour
// other than magenta that several palette entries hold. A 32-bit file's fourth byte is no part
// of the colour: it is set on the top-left pixel alone, or on every pixel.
TEST_F(LoadImageTest, EveryDepthLoadsInDisplayFormatAndKeysOnTheFirstPixelsColour) {
  // depth, fourth byte of the top-left pixel, fourth byte of the others
  const uint32_t files[][3] = {{8, 0, 0},  {16, 0, 0},    {24, 0, 0},
                               {32, 0, 0}, {32, 0xFF, 0}, {32, 0xFF, 0xFF}};
  for (const auto& [bits, cornerByte, otherByte] : files) {
    std::vector<uint32_t> colours;
    const uint32_t key = bits == 8 ? 0x804020 : 0xFF00FF;
    for (uint32_t x = 0, y = 0; y < 5; y += ++x / 8, x %= 8)  // row by row
      colours.push_back((x * 3 + y * 5) % 7 ? (30 * x + 10) << 16 | (40 * y + 20) << 8 | 90 : key);
    std::vector<uint32_t> written = colours;
    for (size_t i = 0; i < written.size(); ++i) written[i] |= (i ? otherByte : cornerByte) << 24;
    for (const bool transparent : {false, true}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, fourth bytes " << cornerByte << "/"
                                      << otherByte << ", transparent " << transparent);
      const TSurfacePtr image = LoadBmp(8, 5, int(bits), written, transparent),
                        shown = MakeSurface(8, 5, kBackground);
      ASSERT_EQ(SDL_BlitSurface(image.get(), nullptr, shown.get(), nullptr), 0);
      // SDL sets the run-length flag once the first blit has encoded the image; SDL 1.2 on
      // top of SDL 2 (versions 1.2.50 and up) leaves the encoding to SDL 2 and never shows it.
      const Uint32 rle = SDL_Linked_Version()->patch < 50 ? SDL_RLEACCEL : 0U;
      EXPECT_EQ(std::make_tuple(image->w, image->h, int(image->format->BitsPerPixel),
                                image->flags & (SDL_SRCCOLORKEY | SDL_RLEACCEL)),
                std::make_tuple(8, 5, 32, transparent ? SDL_SRCCOLORKEY | rle : 0U));
      const uint32_t mask = bits == 16 ? 0xF8F8F8 : 0xFFFFFF;  // 16 bits keep 5 bits a channel
      for (int i = 0; i < 40; ++i)
        EXPECT_EQ(PixelAt(shown.get(), i % 8, i / 8) & mask,
                  (transparent && colours[i] == key ? kBackground : colours[i]) & mask);
    }
  }
  const TSurfacePtr dot = LoadBmp(1, 1, 32, {0xFF336699}, true);
  EXPECT_EQ(dot ? dot->format->colorkey : 0, SDL_MapRGB(Screen->format, 0x33, 0x66, 0x99));
  // On a 24-bit display, which the game never asks for, a pixel's three bytes lie in the
  // machine's order (the cross-architecture check runs this on a big-endian one).
  ASSERT_NE(SDL_SetVideoMode(4, 1, 24, 0), nullptr) << SDL_GetError();
  const TSurfacePtr dot24 = LoadBmp(4, 1, 24, {0x336699, 0, 0, 0}, true);
  ASSERT_EQ(dot24 ? dot24->format->BitsPerPixel : 0, 24);
  EXPECT_EQ(dot24->format->colorkey, SDL_MapRGB(dot24->format, 0x33, 0x66, 0x99));
}

TEST_F(LoadImageTest, FilesItCannotTakeFailWithTheReason) {
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

TEST(OnScreen, OnlyPointsInsideBothRangesOfTheWindow) {
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

TEST(DrawTile, CopiesTheTileClippedToTheScreen) {
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
