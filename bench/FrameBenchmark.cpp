// What one frame costs, against the physical limit: one plain copy of a whole frame. Every
// drawing benchmark here runs on the dummy driver's display, the size and depth the game
// opens, with the shipped images and the battle of seed 0, so that their ratios to
// BM_FrameMemcpy come from one run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Game.h"
#include "game/GameFacts.h"
#include "graphics/LineAndRect.h"

namespace {

constexpr size_t kFrameBytes = size_t{kScreenWidth} * kScreenHeight * (kScreenDepth / 8);

// One game on the dummy driver, started once and shared by every benchmark here.
TGame* BenchGame() {
  struct TStarted {
    TStarted() {
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      std::string failure;
      Started = StartGame(Game, 0, failure);
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
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * kFrameBytes));
}

// The baseline: the least any frame can cost is writing it once.
void BM_FrameMemcpy(benchmark::State& State) {
  std::vector<uint8_t> source(kFrameBytes, 0x5A);
  std::vector<uint8_t> frame(kFrameBytes);
  for (auto _ : State) {
    std::memcpy(frame.data(), source.data(), kFrameBytes);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * kFrameBytes));
}
BENCHMARK(BM_FrameMemcpy);

// The frame's drawing without the flip, which on the dummy driver does nothing anyway.
void BM_DrawScreenCompose(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) { ComposeFrame(Game); });
}
BENCHMARK(BM_DrawScreenCompose);

void BM_DrawSky(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) { Game.Level->DrawSky(Game.GameScreen); });
}
BENCHMARK(BM_DrawSky);

void BM_DrawLand(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) { Game.Level->DrawLand(Game.GameScreen); });
}
BENCHMARK(BM_DrawLand);

// A slanted line across the screen, which takes the general path of the line walk.
void BM_DrawLineSlanted(benchmark::State& State) {
  EachIteration(State, [](TGame& Game) {
    SDL_DrawLine(Game.GameScreen, 0, kScreenHeight - 1, kScreenWidth - 1, 0, 0x00FFFFFF);
  });
}
BENCHMARK(BM_DrawLineSlanted);

}  // namespace
