// The game objects: the battlefield and its tanks.
#ifndef TUMULT2D_GAME_GAMEOBJECTUNIT_H_
#define TUMULT2D_GAME_GAMEOBJECTUNIT_H_

#include "game/Battlefield.h"
#include "game/Tank.h"

#endif  // TUMULT2D_GAME_GAMEOBJECTUNIT_H_
