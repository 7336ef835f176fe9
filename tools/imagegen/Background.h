// The battlefield's background picture.
#ifndef TUMULT2D_IMAGEGEN_BACKGROUND_H_
#define TUMULT2D_IMAGEGEN_BACKGROUND_H_

#include "Image.h"

constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 600;

// A desert at the moment of totality. The game paints its land over the lower part, so
// everything worth looking at sits in the upper half.
TImage MakeDesertEclipse();

#endif  // TUMULT2D_IMAGEGEN_BACKGROUND_H_
