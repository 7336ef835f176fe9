// What building a battle costs: the terrain, its smoothing and the tanks' placement, as the
// game runs them at start-up, without the pictures, which the recipe leaves to the driver.
#include <benchmark/benchmark.h>

#include "Random.h"
#include "game/BattleRecipe.h"
#include "game/GameFacts.h"

namespace {

void BM_BuildBattle(benchmark::State& State) {
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    const TBattle battle = BuildBattle(source);
    benchmark::DoNotOptimize(battle.Level->LandHeight.data());
  }
}
BENCHMARK(BM_BuildBattle);

// Each stage alone, to show where the time of a build goes.
void BM_GenerateLand(benchmark::State& State) {
  TBattlefield field;
  field.Width = kScreenWidth;
  uint32_t seed = 0;
  for (auto _ : State) {
    TMersenneTwister source(seed++ % 1000);
    field.GenerateLand(source, kHighestLand, kLowestLand, kLandVariation);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_GenerateLand);

void BM_SmoothenLand50(benchmark::State& State) {
  TBattlefield field;
  field.Width = kScreenWidth;
  TMersenneTwister source(0);
  field.GenerateLand(source, kHighestLand, kLowestLand, kLandVariation);
  const auto terrain = field.LandHeight;
  for (auto _ : State) {
    field.LandHeight = terrain;
    field.SmoothenLand(kFirstSmoothing);
    benchmark::DoNotOptimize(field.LandHeight.data());
  }
}
BENCHMARK(BM_SmoothenLand50);

}  // namespace
