// The game's facts that more than one program needs: the screen it opens, its colours, its
// tanks, the names of its pictures and the shape of its terrain. The game, the image
// generator, the frame tool, the benchmarks and the fuzz target all read them here, so a
// change made here reaches every one of them. Plain values only: the image generator includes
// this file without SDL and without the game's library.
#ifndef TUMULT2D_GAME_GAMEFACTS_H_
#define TUMULT2D_GAME_GAMEFACTS_H_

#include <cstdint>

// The game's name, as its window and its messages are titled.
constexpr const char* kGameTitle = "Tumult 2D";

// The display, and with it the battlefield: one terrain column per pixel column.
constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;
constexpr int32_t kScreenDepth = 32;  // bits per pixel

// Colours are written 0xRRGGBB.
constexpr uint32_t kLandColor = 0x229900;  // green (34, 153, 0)
constexpr uint32_t kSkyColor = 0x0000EE;   // blue (0, 0, 238), when there is no picture

// The pictures live under images/; the background is drawn in place of the plain sky.
constexpr const char* kBackgroundImage = "DesertEclipse.bmp";

constexpr int kMaxTanks = 4;

// One tank of the battle: the arguments of TTank::Init, in their order.
struct TTankSetup {
  uint32_t TrackSize;
  int32_t TurretX;
  int32_t TurretY;
  int32_t TurretLength;
  uint32_t Color;      // the turret's, and the colour the sprite is shaded in
  const char* Sprite;  // the sprite's picture
};

constexpr TTankSetup kTankSetups[kMaxTanks] = {
    {13, -1, -8, 12, 0x008442, "TK-1.bmp"},
    {13, 0, -8, 12, 0xE74218, "TK-2.bmp"},
    {13, -4, -8, 13, 0x8400FF, "TK-3.bmp"},
    {13, -5, -8, 14, 0xFFFF84, "TK-4.bmp"},
};

// The terrain: heights from kLowestLand to kHighestLand pixels, each column within half of
// kLandVariation of its neighbour before smoothing. The tanks keep kMinTankDist columns apart
// and stand on pads kDirtGap columns wider than their tracks on each side.
constexpr int32_t kHighestLand = 500;
constexpr int32_t kLowestLand = 1;
constexpr int32_t kLandVariation = 60;
constexpr int32_t kFirstSmoothing = 50;
constexpr int32_t kSmoothingAfterPlacement = 1;
constexpr int32_t kMinTankDist = 50;
constexpr int32_t kDirtGap = 3;

#endif  // TUMULT2D_GAME_GAMEFACTS_H_
