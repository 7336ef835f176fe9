#include "Program.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

TEST(Program, SeedIsTheMillisecondPartOfTheClockBefore1970Too) {
  const std::pair<int64_t, uint32_t> cases[] = {
      {0, 0},    {999, 999}, {1000, 0},  {2000, 0},    {1234567, 567},
      {-1, 999}, {-999, 1},  {-1000, 0}, {-1001, 999}, {INT64_MIN, 192}};
  for (const auto& [milliseconds, seed] : cases)
    EXPECT_EQ(SeedFromMilliseconds(milliseconds), seed) << milliseconds;
}

// The poll of the game below: its first call raises StopSignal (if any), its second reads
// Escape, so a game that does not stop on the signal still ends.
int StopSignal = 0, Polls = 0;

int RaiseThenEscape(SDL_Event* Event) {
  if (++Polls == 1 && StopSignal != 0) std::raise(StopSignal);
  if (Polls != 2) return 0;
  Event->type = SDL_KEYDOWN;
  Event->key.keysym.sym = SDLK_ESCAPE;
  return 1;
}

TEST(Program, StopSignalsEndTheGameAfterThePassThatCaughtThem) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // signal, exit code, polls: one per pass, and one more for a pass that reads an event
  const int cases[][3] = {{SIGINT, 130, 1}, {SIGTERM, 143, 1}, {SIGHUP, 129, 1}, {0, 0, 3}};
  for (const auto& [signal, exitCode, polls] : cases) {
    StopSignal = signal, Polls = 0;
    EXPECT_EQ(RunProgram(0, RaiseThenEscape), exitCode) << signal;
    EXPECT_EQ(Polls, polls) << signal;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0U);
  }
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
}

}  // namespace
