// What one frame costs: the land drawn column by column through the line primitive, against
// SDL's own rectangle fill of the same columns; the whole frame against the background blit
// alone; and the line walk against a plain loop of single-pixel writes.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "Game.h"
#include "graphics/LineAndRect.h"

namespace {

// A game on the dummy driver, built once per benchmark from a fixed seed.
class BenchGame {
 public:
  BenchGame() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string failure;
    Started = StartGame(Game, 7, failure);
  }
  ~BenchGame() {
    if (Started) {
      EndGame(Game);
    }
  }
  BenchGame(const BenchGame&) = delete;
  BenchGame& operator=(const BenchGame&) = delete;

  TGame Game;
  bool Started = false;
};

void BM_DrawLand(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  for (auto _ : State) {
    bench.Game.Level->DrawLand(bench.Game.GameScreen);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawLand);

void BM_DrawLandBaselineFillRect(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  const TBattlefield& level = *bench.Game.Level;
  for (auto _ : State) {
    for (int32_t column = 0; column < level.Width; ++column) {
      const int32_t height = level.LandHeight[column];
      SDL_Rect rect = SDLRect(column, level.Height - 1 - height, 1, height + 1);
      SDL_FillRect(bench.Game.GameScreen, &rect, level.LandColor);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawLandBaselineFillRect);

// DrawScreen without the flip, which on the dummy driver does nothing anyway.
void BM_ComposeFrame(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  TGame& game = bench.Game;
  for (auto _ : State) {
    game.Level->DrawSky(game.GameScreen);
    game.Level->DrawLand(game.GameScreen);
    for (int i = 0; i < game.NumberOfTanks; ++i) {
      game.Tanks[i]->Draw(game.GameScreen);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ComposeFrame);

void BM_ComposeFrameBaselineSkyOnly(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  for (auto _ : State) {
    bench.Game.Level->DrawSky(bench.Game.GameScreen);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ComposeFrameBaselineSkyOnly);

// A slanted line across the screen, then the same pixel count written one by one.
void BM_DrawLineDiagonal(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  for (auto _ : State) {
    SDL_DrawLine(bench.Game.GameScreen, 0, 599, 799, 0, 0x00FFFFFF);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * 800);
}
BENCHMARK(BM_DrawLineDiagonal);

void BM_DrawLineBaselinePutPixel(benchmark::State& State) {
  BenchGame bench;
  if (!bench.Started) {
    State.SkipWithError("no display");
    return;
  }
  for (auto _ : State) {
    for (int32_t x = 0; x < 800; ++x) {
      SDL_PutPixel(bench.Game.GameScreen, x, 599 - x * 600 / 800, 0x00FFFFFF);
    }
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * 800);
}
BENCHMARK(BM_DrawLineBaselinePutPixel);

}  // namespace
