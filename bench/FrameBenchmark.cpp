// What one frame costs: the land drawn column by column through the line primitive, against
// SDL's own rectangle fill of the same columns; the whole frame against the sky alone; and
// the line walk against a plain loop of single-pixel writes.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "Game.h"
#include "graphics/LineAndRect.h"

namespace {

// One game on the dummy driver, built from a fixed seed, shared by every benchmark here.
TGame* BenchGame() {
  struct TStarted {
    TStarted() {
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      std::string failure;
      Started = StartGame(Game, 7, failure);
    }
    ~TStarted() {
      if (Started) {
        EndGame(Game);
      }
    }
    TStarted(const TStarted&) = delete;
    TStarted& operator=(const TStarted&) = delete;
    TGame Game;
    bool Started = false;
  };
  static TStarted started;
  return started.Started ? &started.Game : nullptr;
}

// Runs Frame for every iteration, or reports that there is no display to draw on.
template <typename TFrame>
void EachIteration(benchmark::State& State, TFrame&& Frame) {
  TGame* game = BenchGame();
  if (game == nullptr) {
    State.SkipWithError("no display");
    return;
  }
  for (auto _ : State) {
    Frame(*game);
    benchmark::ClobberMemory();
  }
}

void BM_DrawLand(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) { Game.Level->DrawLand(Game.GameScreen); });
}
BENCHMARK(BM_DrawLand);

void BM_DrawLandBaselineFillRect(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) {
    const TBattlefield& level = *Game.Level;
    for (int32_t column = 0; column < level.Width; ++column) {
      const int32_t height = level.LandHeight[column];
      SDL_Rect rect = SDLRect(column, level.Height - 1 - height, 1, height + 1);
      SDL_FillRect(Game.GameScreen, &rect, level.LandColor);
    }
  });
}
BENCHMARK(BM_DrawLandBaselineFillRect);

// DrawScreen without the flip, which on the dummy driver does nothing anyway.
void BM_ComposeFrame(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) {
    Game.Level->DrawSky(Game.GameScreen);
    Game.Level->DrawLand(Game.GameScreen);
    for (int i = 0; i < Game.NumberOfTanks; ++i) {
      Game.Tanks[i]->Draw(Game.GameScreen);
    }
  });
}
BENCHMARK(BM_ComposeFrame);

void BM_ComposeFrameBaselineSkyOnly(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) { Game.Level->DrawSky(Game.GameScreen); });
}
BENCHMARK(BM_ComposeFrameBaselineSkyOnly);

// A slanted line across the screen, then the same pixel count written one by one.
void BM_DrawLineDiagonal(benchmark::State& State) {
  EachIteration(State,
                [](TGame& Game) { SDL_DrawLine(Game.GameScreen, 0, 599, 799, 0, 0x00FFFFFF); });
  State.SetItemsProcessed(State.iterations() * 800);
}
BENCHMARK(BM_DrawLineDiagonal);

void BM_DrawLineBaselinePutPixel(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) {
    for (int32_t x = 0; x < 800; ++x) {
      SDL_PutPixel(Game.GameScreen, x, 599 - x * 600 / 800, 0x00FFFFFF);
    }
  });
  State.SetItemsProcessed(State.iterations() * 800);
}
BENCHMARK(BM_DrawLineBaselinePutPixel);

}  // namespace
