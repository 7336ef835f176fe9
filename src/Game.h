// The game driver: all of the game's run-time state in one place, and the stages a run goes
// through: start-up, building the battle, the paced frame loop, shutdown.
//
// Only this unit and the program body talk to SDL's video mode and event queue; the game
// objects draw through the graphics routines on the surface they are handed.
#ifndef TUMULT2D_GAME_H_
#define TUMULT2D_GAME_H_

#include <cstdint>
#include <memory>
#include <string>

#include "GameControls.h"
#include "Random.h"
#include "game/GameObjectUnit.h"

// Target frames per second. The frame pause is derived from it; nothing changes it.
constexpr uint32_t Game_FPS = 30;

// Everything a running game holds. Tests build a fresh one for each case.
struct TGame {
  PSDL_Surface GameScreen = nullptr;  // SDL's display surface; SDL_Quit disposes of it
  std::unique_ptr<TBattlefield> Level;
  TTankSlots Tanks;
  int32_t NumberOfTanks = 0;
  TGameControls GameInput;
  TGameMode GameMode = TGameMode::gmAiming;
  int32_t RunClock = 0;  // completed frames since the loop began
  TMersenneTwister Random{0};
};

// The pause per frame in milliseconds: 1000 / FPS, remainder dropped; 0 for 0 FPS.
uint32_t Get_FPS(uint32_t FPS);

// Seeds the random source, starts SDL's video, sets the caption "Tumult 2D", opens the
// 800x600x32 window with a software surface and hides the cursor. On failure it says what
// failed in Failure (with SDL's own reason), leaves SDL shut down and returns false.
bool ProgramCreate(TGame& Game, uint32_t Seed, std::string& Failure);

// Builds the battle: the battlefield and its terrain, the four tanks, their placement and
// a last light smoothing; then sets RunClock to 0. Draws random numbers in a fixed order, so
// one seed always gives one battle. REQUIRES: ProgramCreate succeeded.
void BuildBattle(TGame& Game);

// The game step, once per frame between input and drawing. Nothing happens in it yet.
void GameCycle(TGame& Game);

// Composes one frame on the display surface without showing it: sky, land, then each tank
// in index order, later tanks over earlier ones. The sky is drawn first, so the frame needs
// no clear.
void ComposeFrame(TGame& Game);

// Composes one frame and shows it.
void DrawScreen(TGame& Game);

// One pass of the frame loop without its pause: reads input from Poll, runs the game step,
// draws and shows the frame and counts it. Tests and soak runs call it back to back.
void RunFramePass(TGame& Game, TPollEvent Poll);

// Runs frames until Escape: each pass pauses 33 ms, then runs RunFramePass. The mode is
// tested at the end of the pass, so the pass that reads Escape is still drawn and counted.
void RunFrameLoop(TGame& Game, TPollEvent Poll);

// Releases the tanks, then the battlefield.
void ReleaseBattle(TGame& Game);

// Shows the cursor again and shuts SDL down, which disposes of the display surface.
void ProgramClose(TGame& Game);

// The stages around the frame loop as the program body runs them: ProgramCreate, then
// BuildBattle when it succeeded; and ReleaseBattle, then ProgramClose.
bool StartGame(TGame& Game, uint32_t Seed, std::string& Failure);
void EndGame(TGame& Game);

#endif  // TUMULT2D_GAME_H_
