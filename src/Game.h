// The game driver: all of the game's run-time state in one place, and a run's stages in the
// order they happen. Only the driver talks to SDL's video mode and event queue; the game
// objects draw on the surface they are handed.
#ifndef TUMULT2D_GAME_H_
#define TUMULT2D_GAME_H_

#include <cstdint>
#include <memory>
#include <string>

#include "GameControls.h"
#include "Random.h"
#include "game/GameObjectUnit.h"

// Target frames per second; the frame pause is derived from it.
constexpr uint32_t Game_FPS = 30;

// Everything a running game holds. Tests build a fresh one for each case.
struct TGame {
  PSDL_Surface GameScreen = nullptr;  // SDL's display surface; SDL_Quit disposes of it
  std::unique_ptr<TBattlefield> Level;
  TTankSlots Tanks;
  int32_t NumberOfTanks = 0;
  TGameControls GameInput;
  TGameMode GameMode = TGameMode::gmAiming;
  int32_t RunClock = 0;  // completed frames since the loop began; wraps after 2^31 - 1
  TMersenneTwister Random{0};
};

// From now on SIGINT, SIGTERM and SIGHUP (where there is one: not on Windows) end the frame loop
// as Escape does; forgets any caught before. Called before SDL_Init, it keeps SDL from taking
// these signals over.
void CatchStopSignals();

// The number of the stop signal caught since CatchStopSignals, or 0.
int CaughtStopSignal();

// Seeds the random source, opens the window "Tumult 2D" at the screen size and depth of
// GameFacts.h with the cursor hidden, builds the battle (BuildBattle) and loads its pictures;
// one seed always gives one battle. On failure it leaves SDL shut down,
// puts what failed (with SDL's reason) in Failure and returns false.
bool StartGame(TGame& Game, uint32_t Seed, std::string& Failure);

// The pause per frame in milliseconds: 1000 / FPS, remainder dropped; 0 for 0 FPS.
uint32_t Get_FPS(uint32_t FPS);

// Pauses Get_FPS(Game_FPS) ms and runs a pass, until Escape or a stop signal; the pass that
// reads Escape is still drawn and counted.
void RunFrameLoop(TGame& Game, TPollEvent Poll);

// One pass of the loop without its pause: input from Poll, the game step (GameCycle, handed
// the pass's taps), DrawScreen, and RunClock goes up by one.
void RunFramePass(TGame& Game, TPollEvent Poll);

// Draws the frame without showing it: sky, land, then the tanks in index order.
void ComposeFrame(TGame& Game);

// Composes the frame and shows it.
void DrawScreen(TGame& Game);

// Releases the tanks, then the battlefield; shows the cursor again and shuts SDL down.
void EndGame(TGame& Game);

#endif  // TUMULT2D_GAME_H_
