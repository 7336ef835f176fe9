// A tank: where it stands, how wide its track is, where its turret sits, its aim settings,
// the colour of its turret and its sprite. The battlefield places it; the driver loads its
// sprite and draws it.
//
// X is a terrain column (also the screen x); Y is a height above the bottom row, as the
// battlefield's heights are. The ground point (X, H - 1 - Y) is the middle of the track on
// the top pixel of the ground; TurretX and TurretY are measured from it in screen directions.
#ifndef TUMULT2D_GAME_TANK_H_
#define TUMULT2D_GAME_TANK_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "game/GameFacts.h"
#include "graphics/SurfaceHandle.h"

class TTank {
 public:
  // A new, unplaced tank (X = Y = 0) that names its sprite, images/ImageFile, without loading
  // it: LoadBattlePictures does that, so that a battle can be built without SDL. A sprite
  // that cannot be loaded leaves Sprite null; the tank still works.
  static std::unique_ptr<TTank> Init(uint32_t oTrackSize, int32_t oTurretX, int32_t oTurretY,
                                     int32_t oTurretLength, uint32_t oColor,
                                     const std::string& ImageFile);

  // The turret as a horizontal line of Color, then the sprite over it, centred on X (rounded
  // half to even, so an odd-width sprite moves two columns every second column) with its
  // bottom row just above the ground point. Without a sprite the turret is drawn alone.
  void Draw(PSDL_Surface GameScreen) const;

  double X = 0.0;
  double Y = 0.0;
  uint32_t TrackSize = 0;  // half-width: the track covers X - TrackSize .. X + TrackSize
  int32_t TurretX = 0;
  int32_t TurretY = 0;
  int32_t TurretLength = 0;
  double AimAngle = 45.0;  // not read yet: the game step does not aim
  double AimPower = 500.0;
  uint32_t Color = 0;
  std::string ImageFile;
  TSurfacePtr Sprite;
};

// The driver's tank array; a slot is empty until its tank is made.
using TTankSlots = std::array<std::unique_ptr<TTank>, kMaxTanks>;

#endif  // TUMULT2D_GAME_TANK_H_
