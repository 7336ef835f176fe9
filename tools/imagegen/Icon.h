// The game's desktop icon: a tank sprite, barrel and all, scaled onto a square see-through
// field at the sizes a desktop asks for.
#ifndef TUMULT2D_IMAGEGEN_ICON_H_
#define TUMULT2D_IMAGEGEN_ICON_H_

#include <cstdint>
#include <vector>

#include "Image.h"

// The hicolor icon sizes the game ships, in pixels.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// Size x Size pixels of four bytes (red, green, blue, alpha), rows top to bottom.
// REQUIRES: Size > 0.
std::vector<uint8_t> MakeTankIcon(TRgb TurretColour, int Size);

#endif  // TUMULT2D_IMAGEGEN_ICON_H_
