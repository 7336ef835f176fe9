// The tank sprites: one drawing, shaded in each tank's colour.
#ifndef TUMULT2D_IMAGEGEN_TANKSPRITES_H_
#define TUMULT2D_IMAGEGEN_TANKSPRITES_H_

#include "Image.h"

constexpr int kTankWidth = 27;
constexpr int kTankHeight = 20;

// The game draws the gun as a one-pixel line on this row before blitting the sprite, so the
// sprite must stay see-through on it to the right of the turret.
constexpr int kBarrelRow = kTankHeight - 8;

// A tank in shades of its turret colour on a magenta (see-through) field.
TImage MakeTankSprite(TRgb TurretColour);

#endif  // TUMULT2D_IMAGEGEN_TANKSPRITES_H_
