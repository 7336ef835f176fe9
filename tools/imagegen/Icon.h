// The game's desktop icon: a tank sprite, barrel and all, scaled onto a square see-through
// field at the sizes a desktop asks for.
#pragma once

#include "Image.h"
#include "Png.h"

namespace imagegen {

// The hicolor icon sizes the game ships, in pixels.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// REQUIRES: size > 0.
RgbaImage makeTankIcon(Rgb turretColour, int size);

}  // namespace imagegen
