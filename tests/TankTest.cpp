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
    Tank.X = 200;
    Tank.Y = 150;
    Tank.TurretX = -1;
    Tank.TurretY = -8;
    Tank.TurretLength = 12;
    Tank.Color = kTurret;
  }

  // A Width x 20 sprite keyed on magenta: opaque hull on rows 13 to 19, and on the turret's
  // row (20 - 8 = 12) opaque only up to its middle column, so the barrel shows to the right.
  void GiveSprite(int Width) {
    Tank.Sprite = MakeSurface(Width, 20, kMagenta);
    SDL_Rect hull{0, 13, static_cast<Uint16>(Width), 7};
    SDL_Rect dome{0, 12, static_cast<Uint16>(Width / 2 + 1), 1};
    SDL_FillRect(Tank.Sprite.get(), &hull, kHull);
    SDL_FillRect(Tank.Sprite.get(), &dome, kHull);
    SDL_SetColorKey(Tank.Sprite.get(), SDL_SRCCOLORKEY, kMagenta);
  }

  // Draws the tank on a fresh canvas; returns the leftmost column of its hull.
  int DrawAt(double X) {
    SDL_FillRect(Canvas.get(), nullptr, kBackground);
    Tank.X = X;
    Tank.Draw(Canvas.get());
    for (int x = 0; x < 800; ++x) {
      if (PixelAt(Canvas.get(), x, 445) == kHull) {
        return x;
      }
    }
    return -1;
  }

  TSurfacePtr Canvas = MakeSurface(800, 600);
  TTank Tank;
};

TEST_F(TankDrawing, TurretAloneWhenThereIsNoSprite) {
  DrawAt(200);
  std::set<std::pair<int, int>> expected;
  for (int x = 199; x <= 211; ++x) {
    expected.emplace(x, 441);  // ground row 449, eight rows up
  }
  EXPECT_EQ(PixelsEqualTo(Canvas.get(), kTurret), expected);
}

TEST_F(TankDrawing, SpriteStandsOnTheGroundCentredAndCoversTheBarrelBase) {
  // The left column is X - Width / 2 rounded half to even: an odd-width sprite moves two
  // columns every second column.
  const std::tuple<int, double, int> lefts[] = {{27, 200, 186}, {27, 201, 188}, {27, 202, 188},
                                                {27, 203, 190}, {26, 201, 188}, {26, 202, 189}};
  for (const auto& [width, x, left] : lefts) {
    GiveSprite(width);
    EXPECT_EQ(DrawAt(x), left) << width << " wide at " << x;
  }
  // At 200 the 27-wide sprite covers columns 186..212 and rows 429..448, just above ground row
  // 449. On row 441 its opaque dome hides the barrel's base and its keyed pixels let it show.
  GiveSprite(27);
  DrawAt(200);
  const std::pair<std::pair<int, int>, uint32_t> expected[] = {
      {{186, 448}, kHull},       {{212, 448}, kHull},       {{186, 449}, kBackground},
      {{213, 448}, kBackground}, {{186, 428}, kBackground}, {{199, 441}, kHull},
      {{200, 441}, kTurret},     {{211, 441}, kTurret},     {{212, 441}, kBackground}};
  for (const auto& [point, colour] : expected) {
    EXPECT_EQ(PixelAt(Canvas.get(), point.first, point.second), colour) << point.first;
  }
}

TEST_F(TankDrawing, InitReportsAMissingSpriteAndKeepsTheSettings) {
  ::testing::internal::CaptureStderr();
  const auto tank = TTank::Init(13, 0, -8, 12, 0xE74218, "missing-tank.bmp");
  const std::string warning = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warning.find("\"images/missing-tank.bmp\""), std::string::npos) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
  EXPECT_EQ(tank->Sprite, nullptr);
  EXPECT_EQ(std::tie(tank->X, tank->Y, tank->AimAngle, tank->AimPower),
            std::make_tuple(0.0, 0.0, 45.0, 500.0));
  EXPECT_EQ(
      std::tie(tank->TrackSize, tank->TurretX, tank->TurretY, tank->TurretLength, tank->Color),
      std::make_tuple(13U, 0, -8, 12, 0xE74218U));
}

}  // namespace
