// What building a battle costs, against the random draws it is made of.
#include <benchmark/benchmark.h>

#include "Random.h"
#include "game/Battlefield.h"

namespace {

void BM_GenerateAndSmoothLand(benchmark::State& State) {
  TBattlefield field;
  field.Width = 800;
  field.Height = 600;
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    field.GenerateLand(source, 500, 1, 60);
    field.SmoothenLand(50);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_GenerateAndSmoothLand);

// The draws of one terrain (about two per column) with nothing built from them.
void BM_GenerateBaselineDrawsOnly(benchmark::State& State) {
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    double sum = 0;
    for (int i = 0; i < 1600; ++i) {
      sum += RandomReal(source);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_GenerateBaselineDrawsOnly);

void BM_ScatterTanks(benchmark::State& State) {
  TBattlefield field;
  field.Width = 800;
  field.Height = 600;
  TMersenneTwister terrain(5);
  field.GenerateLand(terrain, 500, 1, 60);
  uint32_t seed = 0;
  for (auto _ : State) {
    TTankSlots tanks;
    for (auto& tank : tanks) {
      tank = std::make_unique<TTank>();
      tank->TrackSize = 13;
    }
    TMersenneTwister source(seed++ % 1000);
    benchmark::DoNotOptimize(field.ScatterTanks(source, tanks, 4, 50, 3));
  }
}
BENCHMARK(BM_ScatterTanks);

}  // namespace
