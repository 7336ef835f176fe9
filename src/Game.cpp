#include "Game.h"

#include <SDL.h>

#include <csignal>
#include <initializer_list>
#include <utility>

#include "GameCycle.h"
#include "game/BattleRecipe.h"
#include "game/GameFacts.h"
#include "game/GameImages.h"

namespace {

// The stop signal caught, or 0. The handler only stores it, which keeps it async-signal-safe.
volatile std::sig_atomic_t StopSignal = 0;

void OnStopSignal(int Signal) {
  StopSignal = Signal;
}

bool ProgramCreate(TGame& Game, uint32_t Seed, std::string& Failure) {
  Game.Random = TMersenneTwister(Seed);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    Failure = std::string("cannot initialise SDL video: ") + SDL_GetError();
    return false;
  }
  SDL_WM_SetCaption(kGameTitle, nullptr);
  Game.GameScreen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenDepth, 0);
  if (Game.GameScreen == nullptr) {
    Failure = "cannot set the " + std::to_string(kScreenWidth) + "x" +
              std::to_string(kScreenHeight) + " " + std::to_string(kScreenDepth) +
              "-bit video mode: " + SDL_GetError();
    SDL_Quit();
    return false;
  }
  SDL_ShowCursor(SDL_DISABLE);
  return true;
}

// The battle comes from the seed alone; its pictures are loaded once it stands.
void SetUpBattle(TGame& Game) {
  TBattle battle = BuildBattle(Game.Random);
  Game.Level = std::move(battle.Level);
  Game.Tanks = std::move(battle.Tanks);
  Game.NumberOfTanks = battle.NumberOfTanks;
  LoadBattlePictures(*Game.Level, Game.Tanks, Game.NumberOfTanks);
  Game.RunClock = 0;
}

void ProgramClose(TGame& Game) {
  SDL_ShowCursor(SDL_ENABLE);
  SDL_Quit();  // which disposes of the display surface
  Game.GameScreen = nullptr;
}

}  // namespace

void CatchStopSignals() {
  StopSignal = 0;
#ifdef _WIN32
  // Windows has neither sigaction nor SIGHUP; its C runtime raises SIGINT on a console's Ctrl-C
  // and SIGTERM only through raise(). It puts the default back before each call, which is
  // enough: the first signal already ends the loop.
  for (const int signal : {SIGINT, SIGTERM}) {
    std::signal(signal, OnStopSignal);
  }
#else
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal, &action, nullptr);
  }
#endif
}

int CaughtStopSignal() {
  return StopSignal;
}

bool StartGame(TGame& Game, uint32_t Seed, std::string& Failure) {
  if (!ProgramCreate(Game, Seed, Failure)) {
    return false;
  }
  SetUpBattle(Game);
  return true;
}

uint32_t Get_FPS(uint32_t FPS) {
  return FPS == 0 ? 0 : 1000 / FPS;
}

void RunFrameLoop(TGame& Game, TPollEvent Poll) {
  const uint32_t pause = Get_FPS(Game_FPS);
  do {
    SDL_Delay(pause);
    RunFramePass(Game, Poll);
    if (StopSignal != 0) {
      Game.GameMode = TGameMode::gmQuit;
    }
  } while (Game.GameMode != TGameMode::gmQuit);
}

void RunFramePass(TGame& Game, TPollEvent Poll) {
  const TTaps taps = DoGameInput(Game.GameInput, Game.GameMode, Poll);
  GameCycle(Game, taps);
  DrawScreen(Game);
  // Through unsigned arithmetic, so that the count wraps instead of overflowing.
  Game.RunClock = static_cast<int32_t>(static_cast<uint32_t>(Game.RunClock) + 1U);
}

void ComposeFrame(TGame& Game) {
  Game.Level->DrawSky(Game.GameScreen);
  Game.Level->DrawLand(Game.GameScreen);
  for (int i = 0; i < Game.NumberOfTanks; ++i) {
    Game.Tanks[i]->Draw(Game.GameScreen);
  }
}

void DrawScreen(TGame& Game) {
  ComposeFrame(Game);
  SDL_Flip(Game.GameScreen);
}

void EndGame(TGame& Game) {
  for (int i = 0; i < Game.NumberOfTanks; ++i) {
    Game.Tanks[i].reset();
  }
  Game.Level.reset();
  ProgramClose(Game);
}
