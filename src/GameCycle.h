// The game's step: where the rules of the game go. It is empty so far; the battle only stands
// there and is drawn.
//
// The frame loop runs it once a frame, after the input pass and before the frame is drawn, so
// whatever it changes shows in the same frame. It may read and change all of TGame except the
// display surface, which belongs to the drawing. Of the controls it reads the flags as this
// frame's input pass left them: the held keys (Up, Down, Left, Right) are set while their keys
// are down. The one-shot keys (Fire, Select, Menu) are cleared when the input pass ends, before
// the step runs, so a rule that answers a tap goes into FinishInputPass beside the Menu rule.
// Like the rest of the frame it allocates nothing, writes no files and reads no clock: frames
// count time (RunClock), and all chance comes from Game.Random, so that a seed still gives one
// game.
#ifndef TUMULT2D_GAMECYCLE_H_
#define TUMULT2D_GAMECYCLE_H_

struct TGame;

void GameCycle(TGame& Game);

#endif  // TUMULT2D_GAMECYCLE_H_
