#include <gtest/gtest.h>

#include "TestSupport.h"
#include "game/Battlefield.h"

namespace {

constexpr uint32_t kUntouched = 0x00123456;
constexpr uint32_t kSky = 0x000000EE;
constexpr uint32_t kLand = 0x00229900;

class BattlefieldDrawing : public DummyDisplayTest {
 protected:
  void SetUp() override {
    DummyDisplayTest::SetUp();
    Field.Width = 4;
    Field.Height = 600;
    Field.SkyColor = kSky;
    Field.LandColor = 0x229900;
  }

  // How many pixels of column X hold the land colour, and the topmost of them.
  static std::pair<size_t, int> LandRun(const SDL_Surface* Surface, int X) {
    std::pair<size_t, int> run{0, -1};
    for (int y = Surface->h - 1; y >= 0; --y) {
      if (PixelAt(Surface, X, y) == kLand) {
        run = {run.first + 1, y};
      }
    }
    return run;
  }

  TBattlefield Field;
  TSurfacePtr Canvas = MakeSurface(1000, 700, kUntouched);
};

TEST_F(BattlefieldDrawing, PlainSkyFillsExactlyTheDisplayAreaAndBacksAMissingPicture) {
  Field.DrawSky(Canvas.get());
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kSky).size(), 800U * 600U);
  EXPECT_EQ(PixelAt(Canvas.get(), 799, 599), kSky);
  EXPECT_EQ(PixelAt(Canvas.get(), 800, 0), kUntouched);
  EXPECT_EQ(PixelAt(Canvas.get(), 0, 600), kUntouched);

  // With a picture, the sky colour plays no part and the rest of the surface is left alone;
  // a picture that failed to load falls back to the plain fill.
  Canvas = MakeSurface(1000, 700, kUntouched);
  Field.IsBGImage = true;
  Field.Background = MakeSurface(100, 50, 0x00ABCDEF);
  Field.DrawSky(Canvas.get());
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), 0x00ABCDEF).size(), 100U * 50U);
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kUntouched).size(), 1000U * 700U - 100U * 50U);
  Field.Background.reset();
  Field.DrawSky(Canvas.get());
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kSky).size(), 800U * 600U);
}

TEST_F(BattlefieldDrawing, EachColumnIsItsHeightPlusOnePixelsOfLand) {
  Field.LandHeight = {0, 7, 599, 250};
  Field.DrawLand(Canvas.get());
  EXPECT_EQ(LandRun(Canvas.get(), 0), std::make_pair(size_t{1}, 599));
  EXPECT_EQ(LandRun(Canvas.get(), 1), std::make_pair(size_t{8}, 592));
  EXPECT_EQ(LandRun(Canvas.get(), 2), std::make_pair(size_t{600}, 0));
  EXPECT_EQ(LandRun(Canvas.get(), 3), std::make_pair(size_t{251}, 349));
  // Nothing else: not the columns from Width on, not the rows below the field.
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kLand).size(), 1U + 8U + 600U + 251U);
}

TEST_F(BattlefieldDrawing, LandNeverWritesOffTheSurface) {
  // Heights above the top and below the bottom, a field wider and taller than the surface:
  // only the on-surface part of each column is drawn (the sanitizer build checks the rest).
  Field.Width = 1025;
  Field.Height = 900;
  for (int32_t column = 0; column < Field.Width; ++column) {
    Field.LandHeight[column] = column % 2 == 0 ? INT32_MAX : INT32_MIN;
  }
  Field.LandHeight[1] = 400;  // rows 499..899 of the field: 499..599 on a 600-row surface
  Canvas = MakeSurface(800, 600, kUntouched);
  Field.DrawLand(Canvas.get());
  EXPECT_EQ(LandRun(Canvas.get(), 0).first, 600U);
  EXPECT_EQ(LandRun(Canvas.get(), 1), std::make_pair(size_t{101}, 499));
  EXPECT_EQ(LandRun(Canvas.get(), 3).first, 0U);
  Field.DrawLand(nullptr);
  Field.DrawSky(nullptr);
}

}  // namespace
