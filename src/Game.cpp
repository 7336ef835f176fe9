#include "Game.h"

#include <SDL.h>

#include <csignal>
#include <initializer_list>

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kScreenDepth = 32;
constexpr uint32_t kLandColor = 0x229900;  // green (34, 153, 0)
constexpr uint32_t kSkyColor = 0x0000EE;   // blue (0, 0, 238), when there is no picture

constexpr int32_t kHighestLand = 500;
constexpr int32_t kLowestLand = 1;
constexpr int32_t kLandVariation = 60;
constexpr int32_t kFirstSmoothing = 50;
constexpr int32_t kSmoothingAfterPlacement = 1;
constexpr int32_t kMinTankDist = 50;
constexpr int32_t kDirtGap = 3;

struct TTankSetup {
  uint32_t TrackSize;
  int32_t TurretX;
  int32_t TurretY;
  int32_t TurretLength;
  uint32_t Color;
  const char* Sprite;
};

constexpr TTankSetup kTankSetups[kMaxTanks] = {
    {13, -1, -8, 12, 0x008442, "TK-1.bmp"},
    {13, 0, -8, 12, 0xE74218, "TK-2.bmp"},
    {13, -4, -8, 13, 0x8400FF, "TK-3.bmp"},
    {13, -5, -8, 14, 0xFFFF84, "TK-4.bmp"},
};

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
  SDL_WM_SetCaption("Tumult 2D", nullptr);
  Game.GameScreen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenDepth, 0);
  if (Game.GameScreen == nullptr) {
    Failure = std::string("cannot set the 800x600 32-bit video mode: ") + SDL_GetError();
    SDL_Quit();
    return false;
  }
  SDL_ShowCursor(SDL_DISABLE);
  return true;
}

// Draws random numbers in a fixed order: the terrain first, then the tanks' places.
void BuildBattle(TGame& Game) {
  Game.Level = TBattlefield::Init(Game.GameScreen->w, Game.GameScreen->h, kLandColor, kSkyColor,
                                  true, "DesertEclipse.bmp");
  Game.Level->GenerateLand(Game.Random, kHighestLand, kLowestLand, kLandVariation);
  Game.Level->SmoothenLand(kFirstSmoothing);
  Game.NumberOfTanks = kMaxTanks;
  for (int i = 0; i < kMaxTanks; ++i) {
    const TTankSetup& setup = kTankSetups[i];
    Game.Tanks[i] = TTank::Init(setup.TrackSize, setup.TurretX, setup.TurretY, setup.TurretLength,
                                setup.Color, setup.Sprite);
  }
  Game.Level->ScatterTanks(Game.Random, Game.Tanks, Game.NumberOfTanks, kMinTankDist, kDirtGap);
  Game.Level->SmoothenLand(kSmoothingAfterPlacement);
  Game.RunClock = 0;
}

void GameCycle(TGame& /*Game*/) {}

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
  BuildBattle(Game);
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
  DoGameInput(Game.GameInput, Game.GameMode, Poll);
  GameCycle(Game);
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
