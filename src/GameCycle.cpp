#include "GameCycle.h"

#include "Game.h"

void GameCycle(TGame& /*Game*/, TTaps /*Taps*/) {}
