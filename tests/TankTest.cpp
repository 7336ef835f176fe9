#include "game/Tank.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

constexpr uint32_t kBackground = 0x00102030;
constexpr uint32_t kTurret = 0x00008442;
constexpr uint32_t kHull = 0x00336699;
constexpr uint32_t kMagenta = 0x00FF00FF;

class TankDrawing : public DummyDisplayTest {
 protected:
  void SetUp() override {
    DummyDisplayTest::SetUp();
    Canvas = MakeSurface(800, 600, kBackground);
    Tank.X = 200;
    Tank.Y = 150;
    Tank.TurretX = -1;
    Tank.TurretY = -8;
    Tank.TurretLength = 12;
    Tank.TrackSize = 13;
    Tank.Color = kTurret;
  }

  // A Width x 20 sprite keyed on magenta: opaque hull on its lower half, and on the turret's
  // row (20 - 8 = 12) opaque only up to its middle column, so the barrel shows to the right.
  void GiveSprite(int Width) {
    Tank.Sprite = MakeSurface(Width, 20, kMagenta);
    SDL_Rect hull{0, 13, static_cast<Uint16>(Width), 7};
    SDL_FillRect(Tank.Sprite.get(), &hull, kHull);
    SDL_Rect dome{0, 12, static_cast<Uint16>(Width / 2 + 1), 1};
    SDL_FillRect(Tank.Sprite.get(), &dome, kHull);
    SDL_SetColorKey(Tank.Sprite.get(), SDL_SRCCOLORKEY, kMagenta);
  }

  // The leftmost column the sprite's hull covers on row 445.
  int SpriteLeft() const {
    for (int x = 0; x < 800; ++x) {
      if (PixelAt(Canvas.get(), x, 445) == kHull) {
        return x;
      }
    }
    return -1;
  }

  TSurfacePtr Canvas;
  TTank Tank;
};

TEST_F(TankDrawing, TurretAloneWhenThereIsNoSprite) {
  Tank.Draw(Canvas.get());
  std::set<std::pair<int, int>> expected;
  for (int x = 199; x <= 211; ++x) {
    expected.emplace(x, 441);  // ground row 449, eight rows up
  }
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kTurret), expected);
}

TEST_F(TankDrawing, SpriteStandsOnTheGroundAndCoversTheBarrelBase) {
  GiveSprite(27);
  Tank.Draw(Canvas.get());
  // 200 - 13.5 = 186.5 rounds to the even 186; rows 429..448 sit just above ground row 449.
  EXPECT_EQ(SpriteLeft(), 186);
  EXPECT_EQ(PixelAt(Canvas.get(), 186, 448), kHull);
  EXPECT_EQ(PixelAt(Canvas.get(), 186, 449), kBackground);
  EXPECT_EQ(PixelAt(Canvas.get(), 212, 448), kHull);
  EXPECT_EQ(PixelAt(Canvas.get(), 213, 448), kBackground);
  EXPECT_EQ(PixelAt(Canvas.get(), 186, 428), kBackground);
  // On row 441 (sprite row 12) the opaque left half hides the barrel; the keyed right half
  // lets it show, up to its tip at 211.
  EXPECT_EQ(PixelAt(Canvas.get(), 199, 441), kHull);
  EXPECT_EQ(PixelAt(Canvas.get(), 200, 441), kTurret);
  EXPECT_EQ(PixelAt(Canvas.get(), 211, 441), kTurret);
  EXPECT_EQ(PixelAt(Canvas.get(), 212, 441), kBackground);
}

TEST_F(TankDrawing, OddWidthSpritesMoveTwoColumnsEverySecondColumn) {
  GiveSprite(27);
  const int expectedLeft[] = {186, 188, 188, 190};  // X = 200, 201, 202, 203
  for (int step = 0; step < 4; ++step) {
    SDL_FillRect(Canvas.get(), nullptr, kBackground);
    Tank.X = 200 + step;
    Tank.Draw(Canvas.get());
    EXPECT_EQ(SpriteLeft(), expectedLeft[step]) << "X = " << Tank.X;
  }
  GiveSprite(26);
  for (int x : {201, 202}) {
    SDL_FillRect(Canvas.get(), nullptr, kBackground);
    Tank.X = x;
    Tank.Draw(Canvas.get());
    EXPECT_EQ(SpriteLeft(), x - 13);
  }
}

TEST_F(TankDrawing, AimSettingsStartAt45And500AndDoNotShow) {
  const auto fresh = TTank::Init(13, -1, -8, 12, kTurret, "no-such-sprite.bmp");
  EXPECT_EQ(fresh->AimAngle, 45.0);
  EXPECT_EQ(fresh->AimPower, 500.0);
  EXPECT_EQ(fresh->X, 0.0);
  EXPECT_EQ(fresh->Y, 0.0);
  GiveSprite(27);
  Tank.Draw(Canvas.get());
  const uint64_t before = SurfaceChecksum(Canvas.get());
  Tank.AimAngle = 170;
  Tank.AimPower = 3;
  SDL_FillRect(Canvas.get(), nullptr, kBackground);
  Tank.Draw(Canvas.get());
  EXPECT_EQ(SurfaceChecksum(Canvas.get()), before);
}

TEST_F(TankDrawing, AMissingSpriteIsReportedAndTheTankStillWorks) {
  ::testing::internal::CaptureStderr();
  const auto tank = TTank::Init(13, 0, -8, 12, 0xE74218, "missing-tank.bmp");
  const std::string warning = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(tank->Sprite, nullptr);
  EXPECT_NE(warning.find("images/missing-tank.bmp"), std::string::npos) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
  EXPECT_EQ(tank->TrackSize, 13U);
  EXPECT_EQ(tank->Color, 0xE74218U);
  // Unplaced at X = 0, it draws its turret alone: columns 0 to 12 of row 599 - 8.
  tank->Draw(Canvas.get());
  std::set<std::pair<int, int>> turret;
  for (int x = 0; x <= 12; ++x) {
    turret.emplace(x, 591);
  }
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), 0x00E74218), turret);
  tank->Draw(nullptr);
}

}  // namespace
