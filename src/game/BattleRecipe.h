// The battle a seed gives: the terrain, the four tanks standing on it and the ground smoothed
// once more around them. The recipe draws from its random source only, in a fixed order (the
// terrain first, then the tanks' places), and touches neither SDL nor a file: the pictures
// the battle names are the driver's to load (LoadBattlePictures). So the game, the frame tool,
// the benchmarks and the tests all build the same battle from the same seed.
#ifndef TUMULT2D_GAME_BATTLERECIPE_H_
#define TUMULT2D_GAME_BATTLERECIPE_H_

#include <cstdint>
#include <memory>

#include "Random.h"
#include "game/Battlefield.h"
#include "game/Tank.h"

struct TBattle {
  std::unique_ptr<TBattlefield> Level;
  TTankSlots Tanks;
  int32_t NumberOfTanks = 0;
};

// Builds a battle on a field the size of the display, with the land and sky colours, the
// terrain and the tank set-ups of GameFacts.h. Draws, freshly seeded, decides which battle it
// is; afterwards it goes on from where the battle left it.
TBattle BuildBattle(TRandomSource& Draws);

#endif  // TUMULT2D_GAME_BATTLERECIPE_H_
