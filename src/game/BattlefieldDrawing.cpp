#include <algorithm>
#include <array>

#include "game/Battlefield.h"
#include "game/GameFacts.h"
#include "graphics/ColumnFill.h"
#include "graphics/GraphicsUnit.h"
#include "graphics/LineAndRect.h"

namespace {

// A row of the land: rows beyond the surface become the row just off it, which leaves the
// same pixels on the surface and keeps the value in 32 bits.
int32_t LandRow(int64_t Row, const SDL_Surface& Surface) {
  return static_cast<int32_t>(std::clamp<int64_t>(Row, -1, Surface.h));
}

}  // namespace

void TBattlefield::DrawSky(PSDL_Surface GameScreen) const {
  if (GameScreen == nullptr) {
    return;
  }
  if (IsBGImage && Background) {
    DrawBackgound(GameScreen, Background.get());
    return;
  }
  // A missing picture falls back to the plain fill, so the frame is still cleared. It covers
  // the display the game opens, whatever the battlefield's own size. The rectangle is a local
  // value: nothing is allocated per frame.
  TSDL_Rect sky = SDLRect(0, 0, kScreenWidth, kScreenHeight);
  SDL_FillRect(GameScreen, &sky, SkyColor);
}

void TBattlefield::DrawLand(PSDL_Surface GameScreen) const {
  if (GameScreen == nullptr) {
    return;
  }
  // Each column is the vertical line from the bottom row to the top of the ground, both
  // included; the lines are filled all together, which sets the same pixels faster.
  std::array<TColumnSpan, kMaxColumns> spans;
  const int32_t columns = std::min(UsedColumns(), GameScreen->w);
  const int64_t bottom = int64_t{Height} - 1;
  for (int32_t column = 0; column < columns; ++column) {
    const int64_t top = bottom - LandHeight[column];
    spans[column] = {LandRow(std::min(top, bottom), *GameScreen),
                     LandRow(std::max(top, bottom), *GameScreen)};
  }
  FillColumnSpans(GameScreen, spans.data(), columns, LandColor);
}
