#include "game/BattleRecipe.h"

#include "game/GameFacts.h"

TBattle BuildBattle(TRandomSource& Draws) {
  TBattle battle;
  battle.Level = TBattlefield::Init(kScreenWidth, kScreenHeight, kLandColor, kSkyColor, true,
                                    kBackgroundImage);
  battle.Level->GenerateLand(Draws, kHighestLand, kLowestLand, kLandVariation);
  battle.Level->SmoothenLand(kFirstSmoothing);
  battle.NumberOfTanks = kMaxTanks;
  for (int i = 0; i < kMaxTanks; ++i) {
    const TTankSetup& setup = kTankSetups[i];
    battle.Tanks[i] = TTank::Init(setup.TrackSize, setup.TurretX, setup.TurretY, setup.TurretLength,
                                  setup.Color, setup.Sprite);
  }
  // All four are made before any is placed: one not placed yet still counts, at column 0, in
  // the placement of the others.
  battle.Level->ScatterTanks(Draws, battle.Tanks, battle.NumberOfTanks, kMinTankDist, kDirtGap);
  battle.Level->SmoothenLand(kSmoothingAfterPlacement);
  return battle;
}
