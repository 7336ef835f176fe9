#include "Program.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Game.h"

uint32_t SeedFromClock() {
  // Time zones differ from UTC by whole minutes, so the millisecond part of the local time
  // of day is that of the system clock.
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch);
  return static_cast<uint32_t>(milliseconds.count() % 1000);
}

int RunProgram(uint32_t Seed) {
  TGame game;
  std::string failure;
  if (!StartGame(game, Seed, failure)) {
    std::fprintf(stderr, "tumult2d: %s\n", failure.c_str());
    return 1;
  }
  RunFrameLoop(game, SDL_PollEvent);
  EndGame(game);
  return 0;
}
