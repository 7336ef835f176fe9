// Where the game objects find their pictures: under "images/" relative to the working
// directory, so the game runs from the folder that holds that directory.
#ifndef TUMULT2D_GAME_GAMEIMAGES_H_
#define TUMULT2D_GAME_GAMEIMAGES_H_

#include <cstdint>
#include <string>

#include "game/Battlefield.h"
#include "graphics/SurfaceHandle.h"

// Loads images/FileName with LoadImage. A picture that cannot be loaded gives null, as
// LoadImage does, and one warning line on stderr naming the path: the game goes on without
// it, but a broken install should not pass for a working game.
TSurfacePtr LoadGameImage(const std::string& FileName, bool Transparent);

// Loads the pictures a built battle names: the background, when the battlefield wants one,
// without a colour key; then the sprite of each of the first NumberOfTanks tanks in index
// order (empty slots skipped), keyed by its top-left colour.
void LoadBattlePictures(TBattlefield& Level, TTankSlots& Tanks, int32_t NumberOfTanks);

#endif  // TUMULT2D_GAME_GAMEIMAGES_H_
