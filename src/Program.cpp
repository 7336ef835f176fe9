#include "Program.h"

#include <SDL.h>

#include <chrono>
#include <string>

#include "FailureNotice.h"
#include "Game.h"

uint32_t SeedFromClock() {
  // Time zones differ from UTC by whole minutes, so the millisecond part of the local time
  // of day is that of the system clock.
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return SeedFromMilliseconds(
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

uint32_t SeedFromMilliseconds(int64_t Milliseconds) {
  const int64_t part = Milliseconds % 1000;  // negative before 1970
  return static_cast<uint32_t>(part < 0 ? part + 1000 : part);
}

int RunProgram(uint32_t Seed, TPollEvent Poll) {
  CatchStopSignals();  // before SDL_Init, so that SDL leaves these signals to the game
  TGame game;
  std::string failure;
  if (!StartGame(game, Seed, failure)) {
    ShowStartFailure(failure);
    return 1;
  }
  RunFrameLoop(game, Poll);
  EndGame(game);
  const int signal = CaughtStopSignal();
  return signal == 0 ? 0 : 128 + signal;
}

int RunProgram(uint32_t Seed) {
  return RunProgram(Seed, SDL_PollEvent);
}
