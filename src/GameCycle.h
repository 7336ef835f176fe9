// The game's step: where the rules of the game go. It is empty so far; the battle only stands
// there and is drawn.
//
// The frame loop runs it once a frame, after the input pass and before the frame is drawn, so
// whatever it changes shows in the same frame. It may read and change all of TGame except the
// display surface, which belongs to the drawing. What the player did this frame reaches it two
// ways: the held keys (Up, Down, Left, Right) in Game.GameInput, set while their keys are down,
// and the keys tapped during this frame's input pass (Fire, Select, Menu) in Taps, which is
// where a rule answers a tap. The input pass has already cleared the one-shot flags of
// Game.GameInput, and a pressed Menu has already set Game.GameMode to gmQuit (the frame is still
// drawn, and the loop ends after it).
// Like the rest of the frame it allocates nothing, writes no files and reads no clock: frames
// count time (RunClock), and all chance comes from Game.Random, so that a seed still gives one
// game.
#ifndef TUMULT2D_GAMECYCLE_H_
#define TUMULT2D_GAMECYCLE_H_

#include "GameControls.h"

struct TGame;

void GameCycle(TGame& Game, TTaps Taps);

#endif  // TUMULT2D_GAMECYCLE_H_
