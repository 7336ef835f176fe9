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

  // The rows of column X that hold the land colour.
  std::set<int> LandRows(const SDL_Surface* Surface, int X) const {
    std::set<int> rows;
    for (const auto& [x, y] : PixelsEqualTo(Surface, kLand)) {
      if (x == X) {
        rows.insert(y);
      }
    }
    return rows;
  }

  TBattlefield Field;
};

TEST_F(BattlefieldDrawing, PlainSkyFillsExactlyTheDisplayArea) {
  const TSurfacePtr large = MakeSurface(1000, 700, kUntouched);
  Field.DrawSky(large.get());
  EXPECT_EQ(PixelsEqualTo(large.get(), kSky).size(), 800U * 600U);
  EXPECT_EQ(PixelAt(large.get(), 799, 599), kSky);
  EXPECT_EQ(PixelAt(large.get(), 800, 0), kUntouched);
  EXPECT_EQ(PixelAt(large.get(), 0, 600), kUntouched);
}

TEST_F(BattlefieldDrawing, PictureSkyIgnoresTheSkyColourAndFallsBackWhenMissing) {
  Field.IsBGImage = true;
  Field.Background = MakeSurface(100, 50, 0x00ABCDEF);
  const TSurfacePtr canvas = MakeSurface(800, 600, kUntouched);
  Field.DrawSky(canvas.get());
  EXPECT_EQ(PixelsEqualTo(canvas.get(), 0x00ABCDEF).size(), 100U * 50U);
  EXPECT_EQ(PixelsEqualTo(canvas.get(), kSky).size(), 0U);

  // The picture failed to load: the plain fill still clears the frame.
  Field.Background.reset();
  Field.DrawSky(canvas.get());
  EXPECT_EQ(PixelsEqualTo(canvas.get(), kSky).size(), 800U * 600U);
}

TEST_F(BattlefieldDrawing, EachColumnIsItsHeightPlusOnePixelsOfLand) {
  Field.LandHeight[0] = 0;
  Field.LandHeight[1] = 7;
  Field.LandHeight[2] = 599;
  Field.LandHeight[3] = 250;
  const TSurfacePtr canvas = MakeSurface(10, 600, kUntouched);
  Field.DrawLand(canvas.get());
  EXPECT_EQ(LandRows(canvas.get(), 0), (std::set<int>{599}));
  EXPECT_EQ(LandRows(canvas.get(), 1).size(), 8U);
  EXPECT_EQ(*LandRows(canvas.get(), 1).begin(), 592);
  EXPECT_EQ(PixelAt(canvas.get(), 1, 591), kUntouched);
  EXPECT_EQ(LandRows(canvas.get(), 2).size(), 600U);
  EXPECT_EQ(LandRows(canvas.get(), 3).size(), 251U);
  // Columns from Width on keep what was there; the colour lands unconverted.
  EXPECT_EQ(PixelsEqualTo(canvas.get(), kLand).size(), 1U + 8U + 600U + 251U);
  EXPECT_EQ(PixelAt(canvas.get(), 3, 599), 0x00229900U);
}

TEST_F(BattlefieldDrawing, LandNeverWritesOffTheSurface) {
  // Heights above the top, below the bottom, a field wider and taller than the surface:
  // only the on-surface part of each column is drawn (the sanitizer build checks the rest).
  Field.Width = 1025;
  Field.Height = 900;
  for (int32_t column = 0; column < Field.Width; ++column) {
    Field.LandHeight[column] = column % 2 == 0 ? INT32_MAX : INT32_MIN;
  }
  Field.LandHeight[1] = 400;  // rows 499..899 of the field, 499..599 on a 600-row surface
  const TSurfacePtr canvas = MakeSurface(800, 600, kUntouched);
  Field.DrawLand(canvas.get());
  EXPECT_EQ(LandRows(canvas.get(), 0).size(), 600U);
  EXPECT_EQ(LandRows(canvas.get(), 1).size(), 101U);
  EXPECT_EQ(LandRows(canvas.get(), 3).size(), 0U);
  Field.DrawLand(nullptr);
  Field.DrawSky(nullptr);
}

}  // namespace
