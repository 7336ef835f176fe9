#include "game/Tank.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

// How a tank is drawn is pinned by the golden battles' frames; what is left is the tank that
// starts without its picture.
TEST(Tank, InitReportsAMissingSpriteAndKeepsTheSettings) {
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
