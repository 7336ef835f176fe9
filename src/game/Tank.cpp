#include "game/Tank.h"

#include "Rounding.h"
#include "graphics/LineAndRect.h"

std::unique_ptr<TTank> TTank::Init(uint32_t oTrackSize, int32_t oTurretX, int32_t oTurretY,
                                   int32_t oTurretLength, uint32_t oColor,
                                   const std::string& ImageFile) {
  auto tank = std::make_unique<TTank>();
  tank->TrackSize = oTrackSize;
  tank->TurretX = oTurretX;
  tank->TurretY = oTurretY;
  tank->TurretLength = oTurretLength;
  tank->Color = oColor;
  tank->ImageFile = ImageFile;
  return tank;
}

void TTank::Draw(PSDL_Surface GameScreen) const {
  if (GameScreen == nullptr) {
    return;
  }
  // Every coordinate is formed in floating point and rounded half to even.
  const long double ground = static_cast<long double>(GameScreen->h) - 1.0L - Y;
  const long double base = static_cast<long double>(X) + TurretX;
  const int32_t turretRow = Round(ground + TurretY);
  SDL_DrawLine(GameScreen, Round(base), turretRow, Round(base + TurretLength), turretRow, Color);
  if (!Sprite) {
    return;
  }
  // The sprite goes over the turret, so its opaque pixels hide the barrel's base.
  const int32_t spriteWidth = Sprite->w;
  const int32_t spriteHeight = Sprite->h;
  TSDL_Rect source = SDLRect(0, 0, spriteWidth, spriteHeight);
  TSDL_Rect destination = SDLRect(Round(X - spriteWidth / 2.0L), Round(ground - spriteHeight),
                                  spriteWidth, spriteHeight);
  SDL_BlitSurface(Sprite.get(), &source, GameScreen, &destination);
}
