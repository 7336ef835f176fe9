
#include <tuple>

#include "TestSupport.h"
#include "game/Battlefield.h"

namespace {

constexpr uint32_t kUntouched = 0x00123456, kSky = 0x000000EE, kLand = 0x00229900;

class BattlefieldDrawing : public DummyDisplayTest {
 protected:
  void SetUp() override {
    DummyDisplayTest::SetUp();
    std::tie(Field.Width, Field.Height, Field.SkyColor, Field.LandColor) =
        std::tuple(4, 600, kSky, 0x229900U);
  }

  // How many pixels of column X hold the land colour, and the topmost of them.
  static std::pair<size_t, int> LandRun(const SDL_Surface* Surface, int X) {
    std::pair<size_t, int> run{0, -1};
    for (int y = Surface->h - 1; y >= 0; --y)
      if (PixelAt(Surface, X, y) == kLand) run = {run.first + 1, y};
    return run;
  }

  TBattlefield Field;
  TSurfacePtr Canvas = MakeSurface(810, 610, kUntouched);
};

// The plain fill covers the display the game opens, whatever the field's size, and nothing
// else; a picture, even of a single pixel, takes its place only when the field has one and it
// loaded.
TEST_F(BattlefieldDrawing, SkyIsThePictureOrAFillOfTheDisplayArea) {
  const auto canvasWith = [](int Width, int Height, uint32_t Colour) {
    TSurfacePtr canvas = MakeSurface(810, 610, kUntouched);
    SDL_Rect area{0, 0, Uint16(Width), Uint16(Height)};
    SDL_FillRect(canvas.get(), &area, Colour);
    return SurfaceChecksum(canvas.get());
  };
  const uint64_t sky = canvasWith(800, 600, kSky), picture = canvasWith(1, 1, 0x00ABCDEF);
  const std::tuple<bool, bool, uint64_t> cases[] = {
      {false, false, sky}, {false, true, sky}, {true, true, picture}, {true, false, sky}};
  for (const auto& [isBGImage, loaded, expected] : cases) {
    Field.IsBGImage = isBGImage;
    Field.Background = loaded ? MakeSurface(1, 1, 0x00ABCDEF) : nullptr;
    Canvas = MakeSurface(810, 610, kUntouched);
    Field.DrawSky(Canvas.get());
    EXPECT_EQ(SurfaceChecksum(Canvas.get()), expected) << isBGImage << loaded;
  }
}

TEST_F(BattlefieldDrawing, LandNeverWritesOffTheSurface) {
  // Heights above the top and below the bottom, a field taller than the surface and as wide
  // as the heights go: only the on-surface part of each used column is drawn (the sanitizer
  // build checks the rest).
  Field.Width = 1025;
  Field.Height = 900;
  for (int32_t column = 0; column < Field.Width; ++column)
    Field.LandHeight[column] = column % 2 == 0 ? INT32_MAX : INT32_MIN;
  Field.LandHeight[1] = 400;  // rows 499..899 of the field: 499..599 on a 600-row surface
  Canvas = MakeSurface(1030, 600, kUntouched);
  Field.DrawLand(Canvas.get());
  EXPECT_EQ(LandRun(Canvas.get(), 0).first, 600U);
  EXPECT_EQ(LandRun(Canvas.get(), 1), std::make_pair(size_t{101}, 499));
  EXPECT_EQ(LandRun(Canvas.get(), 3).first, 0U);
  EXPECT_EQ(LandRun(Canvas.get(), 1024).first + LandRun(Canvas.get(), 1025).first, 600U);
  // In a field with no rows, land standing up from its bottom row lies wholly above the surface.
  Field.Height = 0;
  Field.LandHeight.fill(400);
  Canvas = MakeSurface(1030, 600, kUntouched);
  Field.DrawLand(Canvas.get());
  EXPECT_TRUE(PixelsEqualTo(Canvas.get(), kLand).empty());
  Field.DrawLand(nullptr);
  Field.DrawSky(nullptr);
}

}  // namespace
