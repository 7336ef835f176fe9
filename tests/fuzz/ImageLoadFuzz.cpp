// Feeds arbitrary bytes to the image loader as a BMP file, with and without a transparent
// colour, and draws whatever it returns the two ways the game does: as the battlefield's
// background (also run-length encoded, as the battlefield keeps it) and as a tank's sprite,
// in the middle of the screen and at its bottom-left corner. Whatever the bytes, loading may
// fail but must not read or write out of bounds, leak, or hang; the sanitizers and the
// fuzzer's limits report it if it does.
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "game/BattleRecipe.h"
#include "game/GameFacts.h"
#include "graphics/GraphicsUnit.h"
#include "graphics/OpaqueRuns.h"

namespace {

// The game's display, opened once on the dummy driver, and the battle of seed 0 on it, both
// kept for the whole run.
struct TStage {
  SDL_Surface* Screen;
  TBattle Battle;
};

TStage& Stage() {
  static TStage stage = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Surface* const screen = SDL_Init(SDL_INIT_VIDEO) == 0
                                    ? SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenDepth, 0)
                                    : nullptr;
    if (screen == nullptr) std::abort();
    TMersenneTwister random(0);
    return TStage{screen, BuildBattle(random)};
  }();
  return stage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  auto& [screen, battle] = Stage();
  TBattlefield& level = *battle.Level;
  TTank& tank = *battle.Tanks[1];
  for (const bool transparent : {false, true}) {
    level.Background = LoadImageFromBytes(Data, Size, transparent);
    level.DrawSky(screen);
    if (!transparent && EncodeOpaqueRuns(level.Background.get())) {
      level.DrawSky(screen);
    }
    tank.Sprite = std::move(level.Background);
    for (const auto& [x, y] : {std::pair{400.0, 300.0}, std::pair{13.0, 0.0}}) {
      tank.X = x;
      tank.Y = y;
      tank.Draw(screen);
    }
    tank.Sprite.reset();
  }
  return 0;
}
