#pragma once

#include "Image.h"

namespace imagegen {

constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 600;

// The battlefield backdrop: a desert at the moment of totality. The game paints its land over
// the lower part, so everything worth looking at sits in the upper half.
Image makeDesertEclipse();

}  // namespace imagegen
