// The battlefield's background picture.
#ifndef TUMULT2D_IMAGEGEN_BACKGROUND_H_
#define TUMULT2D_IMAGEGEN_BACKGROUND_H_

#include "Image.h"
#include "game/GameFacts.h"

// The picture fills the game's display.
constexpr int kBackgroundWidth = kScreenWidth;
constexpr int kBackgroundHeight = kScreenHeight;

// A desert at the moment of totality. The game paints its land over the lower part, so
// everything worth looking at sits in the upper half.
TImage MakeDesertEclipse();

#endif  // TUMULT2D_IMAGEGEN_BACKGROUND_H_
