// What building a battle costs: the terrain, its smoothing and the tanks' placement, as the
// game runs them at start-up but without loading any image.
#include <benchmark/benchmark.h>

#include "Random.h"
#include "game/Battlefield.h"

namespace {

TTankSlots BareTanks() {
  TTankSlots tanks;
  for (auto& tank : tanks) {
    tank = std::make_unique<TTank>();
    tank->TrackSize = 13;
  }
  return tanks;
}

void BM_BuildBattle(benchmark::State& State) {
  TBattlefield field;
  field.Width = 800;
  field.Height = 600;
  TTankSlots tanks = BareTanks();
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    for (auto& tank : tanks) {
      tank->X = 0;  // new tanks, as each battle has
    }
    field.GenerateLand(source, 500, 1, 60);
    field.SmoothenLand(50);
    benchmark::DoNotOptimize(field.ScatterTanks(source, tanks, 4, 50, 3));
    field.SmoothenLand(1);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_BuildBattle);

// Each stage alone, to show where the time of a build goes.
void BM_GenerateLand(benchmark::State& State) {
  TBattlefield field;
  field.Width = 800;
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    field.GenerateLand(source, 500, 1, 60);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_GenerateLand);

void BM_SmoothenLand50(benchmark::State& State) {
  TBattlefield field;
  field.Width = 800;
  TMersenneTwister source(0);
  field.GenerateLand(source, 500, 1, 60);
  const auto terrain = field.LandHeight;
  for (auto _ : State) {
    field.LandHeight = terrain;
    field.SmoothenLand(50);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_SmoothenLand50);

}  // namespace
