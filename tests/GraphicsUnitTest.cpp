#include "graphics/GraphicsUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kBackground = 0x00123456;  // no widened 5-bit channel gives these values
constexpr uint32_t kFill = 0x00FFFFFF;

// Writes an uncompressed BMP with a 40-byte info header. Values run top row first: palette
// indices at 8 bits, 5-5-5 words at 16, 0xRRGGBB at 24 and 32.
void WriteBmp(const std::string& Path, int Width, int Height, int Bits,
              const std::vector<uint32_t>& Values, const std::vector<uint32_t>& Palette = {}) {
  const auto rowSize = uint32_t(Width * Bits / 8 + 3) / 4 * 4, imageSize = rowSize * Height;
  const auto offset = uint32_t(54 + 4 * Palette.size());
  std::string file = "BM";
  const auto put = [&file](uint32_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i) file += char(Value >> 8 * i);
  };
  for (uint32_t field : {offset + imageSize, 0U, offset, 40U, uint32_t(Width), uint32_t(Height),
                         1U | uint32_t(Bits) << 16, 0U, imageSize, 2835U, 2835U,
                         uint32_t(Palette.size()), 0U}) {  // the 7th is planes 1 and the depth
    put(field, 4);
  }
  for (uint32_t colour : Palette) put(colour, 4);  // blue, green, red, unused
  for (int y = Height - 1; y >= 0; --y) {          // bottom row first
    for (int x = 0; x < Width; ++x) put(Values[size_t(y * Width + x)], Bits / 8);
    put(0, int(rowSize) - Width * Bits / 8);
  }
  std::ofstream(Path, std::ios::binary) << file;
}

// The depth a BMP file declares (bytes 28-29).
int FileBitCount(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  unsigned char header[30] = {};
  return in.read(reinterpret_cast<char*>(header), 30) ? header[28] | header[29] << 8 : -1;
}

// A 7x5 sprite with magenta at the top left and scattered elsewhere.
constexpr int kSpriteW = 7, kSpriteH = 5;
bool IsMagentaAt(int X, int Y) {
  return (X * 3 + Y * 5) % 7 == 0;
}
uint32_t SpriteColour(int X, int Y) {
  return IsMagentaAt(X, Y) ? kMagenta
                           : uint32_t(40 * X + 10) << 16 | uint32_t(30 * Y + 20) << 8 | 90;
}

// The image blitted onto a fresh kBackground surface of its size.
TSurfacePtr OnBackground(SDL_Surface* Image) {
  TSurfacePtr target = MakeSurface(Image->w, Image->h, kBackground);
  EXPECT_EQ(SDL_BlitSurface(Image, nullptr, target.get(), nullptr), 0);
  return target;
}

class LoadImageTest : public DummyDisplayTest {
 protected:
  void SetUp() override {
    DummyDisplayTest::SetUp();
    char name[] = "/tmp/tumult-images-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    Dir_ = std::string(name) + "/";
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(Dir_, ignored);
    DummyDisplayTest::TearDown();
  }

  // Writes the sprite at the given depth (8 bits through a palette with one entry per pixel)
  // and loads it.
  TSurfacePtr LoadSprite(int Bits, bool Transparent) {
    std::vector<uint32_t> values, palette;
    for (int i = 0; i < kSpriteW * kSpriteH; ++i) {
      const uint32_t rgb = SpriteColour(i % kSpriteW, i / kSpriteW);
      palette.push_back(rgb);
      const uint32_t word555 = (rgb >> 19 & 31) << 10 | (rgb >> 11 & 31) << 5 | (rgb >> 3 & 31);
      values.push_back(Bits == 8 ? uint32_t(i) : Bits == 16 ? word555 : rgb);
    }
    const std::string path = Dir_ + "sprite" + std::to_string(Bits) + ".bmp";
    WriteBmp(path, kSpriteW, kSpriteH, Bits, values, Bits == 8 ? palette : std::vector<uint32_t>{});
    EXPECT_EQ(FileBitCount(path), Bits);
    return LoadImage(path, Transparent);
  }

  std::string Dir_;
};

TEST_F(LoadImageTest, UnreadableFilesGiveNull) {
  EXPECT_EQ(LoadImage("", false), nullptr);
  EXPECT_EQ(LoadImage(Dir_ + "missing.bmp", true), nullptr);
  std::ofstream(Dir_ + "text.bmp") << "not a bitmap";
  EXPECT_EQ(LoadImage(Dir_ + "text.bmp", false), nullptr);
  UnloadImage(nullptr);
  UnloadImage(LoadSprite(24, true));
}

TEST_F(LoadImageTest, EveryDepthLoadsInDisplayFormatAndKeysOnRequest) {
  for (const int bits : {8, 16, 24, 32}) {
    for (const bool transparent : {false, true}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, transparent " << transparent);
      const TSurfacePtr image = LoadSprite(bits, transparent);
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->w, kSpriteW);
      EXPECT_EQ(image->h, kSpriteH);
      EXPECT_EQ(image->format->BytesPerPixel, 4);
      EXPECT_EQ(image->format->Rmask, Screen()->format->Rmask);
      const TSurfacePtr shown = OnBackground(image.get());
      // SDL sets the run-length flag once the first blit has encoded the image.
      EXPECT_EQ(image->flags & (SDL_SRCCOLORKEY | SDL_RLEACCEL),
                transparent ? SDL_SRCCOLORKEY | SDL_RLEACCEL : 0U);
      for (int i = 0; i < kSpriteW * kSpriteH; ++i) {
        const int x = i % kSpriteW, y = i / kSpriteW;
        const uint32_t pixel = PixelAt(shown.get(), x, y);
        if (transparent && IsMagentaAt(x, y)) {
          EXPECT_EQ(pixel, kBackground) << x << "," << y << " shows " << std::hex << pixel;
        } else {  // 5-bit channels keep their top five bits, however SDL widens them
          const uint32_t mask = bits == 16 ? 0xF8F8F8 : 0xFFFFFF;
          EXPECT_EQ(pixel & mask, SpriteColour(x, y) & mask) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(LoadImageTest, KeyIsTheFirstPixelInPaletteAndOnePixelImages) {
  // The first pixel holds index 2: every pixel with that index vanishes, the others stay.
  const std::vector<uint32_t> palette = {0x0000FF, 0x00FF00, 0x804020, 0xFFFFFF};
  const std::vector<uint32_t> indices = {2, 0, 2, 1, 3, 2};
  WriteBmp(Dir_ + "palette.bmp", 3, 2, 8, indices, palette);
  const TSurfacePtr image = LoadImage(Dir_ + "palette.bmp", true);
  ASSERT_NE(image, nullptr);
  const TSurfacePtr shown = OnBackground(image.get());
  for (size_t i = 0; i < indices.size(); ++i) {
    EXPECT_EQ(PixelAt(shown.get(), int(i % 3), int(i / 3)),
              indices[i] == 2 ? kBackground : palette[indices[i]])
        << i;
  }
  WriteBmp(Dir_ + "dot.bmp", 1, 1, 24, {0x336699});
  const TSurfacePtr dot = LoadImage(Dir_ + "dot.bmp", true);
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot->format->colorkey, SDL_MapRGB(Screen()->format, 0x33, 0x66, 0x99));
  EXPECT_EQ(PixelAt(OnBackground(dot.get()).get(), 0, 0), kBackground);
}

TEST_F(LoadImageTest, ShippedImages) {
  const std::string dir = TUMULT_SOURCE_DIR "/images/";
  const TSurfacePtr background = LoadImage(dir + "DesertEclipse.bmp", false);
  ASSERT_NE(background, nullptr) << SDL_GetError();
  EXPECT_EQ(background->w, 800);
  EXPECT_EQ(background->h, 600);
  EXPECT_EQ(background->flags & SDL_SRCCOLORKEY, 0U);
  for (const char* name : {"TK-1.bmp", "TK-2.bmp", "TK-3.bmp", "TK-4.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FileBitCount(dir + name), 24);
    const TSurfacePtr tank = LoadImage(dir + name, true);
    ASSERT_NE(tank, nullptr) << SDL_GetError();
    EXPECT_EQ(tank->w, 27);
    EXPECT_EQ(tank->h, 20);
    EXPECT_NE(tank->flags & SDL_SRCCOLORKEY, 0U);
    EXPECT_EQ(tank->format->colorkey, SDL_MapRGB(Screen()->format, 255, 0, 255));
  }
}

TEST(OnScreen, OnlyPointsInsideBothRangesOfTheWindow) {
  const TSurfacePtr screen = MakeSurface(800, 600);
  constexpr int32_t top = INT32_MAX - 10, bottom = INT32_MIN;
  const struct {
    int32_t x, y, screenX, screenY;
    bool on;
  } cases[] = {{0, 0, 0, 0, true},
               {799, 0, 0, 0, true},
               {0, 599, 0, 0, true},
               {799, 599, 0, 0, true},
               {800, 0, 0, 0, false},
               {-1, 0, 0, 0, false},
               {0, 600, 0, 0, false},
               {0, -1, 0, 0, false},
               {800, 600, 0, 0, false},
               {10, 700, 0, 0, false},
               {900, 10, 0, 0, false},
               {100, 50, 100, 50, true},
               {899, 649, 100, 50, true},
               {900, 649, 100, 50, false},
               {99, 50, 100, 50, false},
               {100, 49, 100, 50, false},
               {INT32_MAX, INT32_MAX, top, top, true},
               {top - 1, top, top, top, false},
               {bottom, bottom + 599, bottom, bottom, true},
               {bottom + 800, bottom, bottom, bottom, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(OnScreen(screen.get(), c.x, c.y, c.screenX, c.screenY), c.on)
        << "(" << c.x << "," << c.y << ") in the window at (" << c.screenX << "," << c.screenY
        << ")";
  }
  EXPECT_FALSE(OnScreen(nullptr, 0, 0, 0, 0));
}

// A 32-bit surface whose pixels name their own coordinates.
uint32_t Coded(int X, int Y) {
  return 0x800000U | uint32_t(X) << 10 | uint32_t(Y);
}
TSurfacePtr CodedSurface(int Width, int Height) {
  TSurfacePtr surface = MakeSurface(Width, Height);
  for (int y = 0; y < Height && Width > 0; ++y) {  // an empty surface has no pixel memory
    auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
    for (int x = 0; x < Width; ++x) reinterpret_cast<uint32_t*>(row)[x] = Coded(x, y);
  }
  return surface;
}

// Expects the screen to show the coded source from column SourceX on in the Width x Height
// rectangle at (Left, Top) and kFill elsewhere; returns how many screen pixels that covers.
int ExpectCopied(const SDL_Surface* Screen, int Left, int Top, int Width, int Height, int SourceX) {
  int covered = 0;
  for (int y = 0; y < Screen->h; ++y) {
    for (int x = 0; x < Screen->w; ++x) {
      const bool inside = x >= Left && x < Left + Width && y >= Top && y < Top + Height;
      covered += inside;
      const uint32_t expected = inside ? Coded(SourceX + x - Left, y - Top) : kFill;
      if (PixelAt(Screen, x, y) != expected) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << PixelAt(Screen, x, y)
                      << ", not " << expected;
        return -1;
      }
    }
  }
  return covered;
}

TEST(DrawTile, CopiesTheTileClippedToTheScreen) {
  constexpr int size = 32, w = 100, h = 80;
  const TSurfacePtr tiles = CodedSurface(5 * size, size);
  const struct {
    int x, y, index, covered;
  } cases[] = {{10, 20, 3, 1024}, {0, 0, 4, 1024}, {-size, 0, 0, 0},        {-size + 1, 5, 1, 32},
               {w - 1, 5, 2, 32}, {w, 5, 2, 0},    {5, -size, 0, 0},        {5, -size + 1, 1, 32},
               {5, h - 1, 2, 32}, {5, h, 2, 0},    {-size + 1, h - 1, 3, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tile " << c.index << " at " << c.x << "," << c.y);
    const TSurfacePtr screen = MakeSurface(w, h, kFill);
    DrawTile(screen.get(), c.x, c.y, c.index, size, tiles.get());
    EXPECT_EQ(ExpectCopied(screen.get(), c.x, c.y, size, size, c.index * size), c.covered);
  }
  const TSurfacePtr screen = MakeSurface(w, h, kFill);
  DrawTile(screen.get(), 0, 0, 0, size, nullptr);
  DrawTile(nullptr, 0, 0, 0, size, tiles.get());
  EXPECT_EQ(ExpectCopied(screen.get(), 0, 0, 0, 0, 0), 0);
}

TEST(DrawBackgound, CopiesTheImagesTopLeftPart) {
  const std::pair<int, int> sizes[] = {{800, 600}, {1024, 768}, {100, 50}, {0, 50}, {100, 0}};
  for (const auto& [w, h] : sizes) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    const TSurfacePtr image = CodedSurface(w, h);
    ASSERT_NE(image, nullptr);
    const TSurfacePtr screen = MakeSurface(800, 600, kFill);
    DrawBackgound(screen.get(), image.get());
    EXPECT_EQ(ExpectCopied(screen.get(), 0, 0, w, h, 0), std::min(w, 800) * std::min(h, 600));
  }
  const TSurfacePtr screen = MakeSurface(800, 600, kFill);
  DrawBackgound(screen.get(), nullptr);
  DrawBackgound(nullptr, screen.get());
  EXPECT_EQ(ExpectCopied(screen.get(), 0, 0, 0, 0, 0), 0);
}

}  // namespace
