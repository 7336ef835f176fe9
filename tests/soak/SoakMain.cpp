// Runs the game's frame pass back to back, without the frame pause, on SDL's dummy driver with
// the shipped images, and checks that resident memory does not grow: nothing in a frame may
// allocate or leak. Every 25th frame a key goes down or up through SDL's own event queue.
//
//   tumult2d_soak [FRAMES] [TOLERANCE_KIB]      (default 20000 frames, 256 KiB)
//
// Run from the folder that holds images/. Prints resident memory after a warm-up and at the
// end; exits 1 when it grew by more than the tolerance or the game did not run as it should.
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "Game.h"

namespace {

constexpr long kWarmUpFrames = 300;
constexpr SDLKey kKeys[] = {SDLK_LEFT, SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_SPACE, SDLK_TAB};

long ResidentKiB() {
  long pages = 0;
  long resident = 0;
  std::FILE* const statm = std::fopen("/proc/self/statm", "r");
  if (statm != nullptr) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
      resident = 0;
    }
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void PushKey(Uint8 Type, SDLKey Key) {
  SDL_Event event{};
  event.type = Type;
  event.key.type = Type;
  event.key.keysym.sym = Key;
  SDL_PushEvent(&event);
}

// Frame Frame's input: a key down on every 50th frame, up again 25 frames later.
void InjectInput(long Frame) {
  if (Frame % 25 != 0) {
    return;
  }
  const SDLKey key = kKeys[Frame / 50 % std::size(kKeys)];
  PushKey(Frame % 50 == 0 ? SDL_KEYDOWN : SDL_KEYUP, key);
}

void RunFrames(TGame& Game, long First, long Count) {
  for (long frame = First; frame < First + Count; ++frame) {
    InjectInput(frame);
    RunFramePass(Game, SDL_PollEvent);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
  const long toleranceKiB = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 256;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  TGame game;
  std::string failure;
  if (!StartGame(game, 500, failure)) {
    std::fprintf(stderr, "soak: %s\n", failure.c_str());
    return 1;
  }
  ResidentKiB();  // its own first call costs memory (stdio's buffers); keep that out
  RunFrames(game, 0, kWarmUpFrames);
  const long before = ResidentKiB();
  RunFrames(game, kWarmUpFrames, frames);
  const long after = ResidentKiB();
  // The input still works after all those frames: Escape ends the game in the next pass.
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
  RunFramePass(game, SDL_PollEvent);
  const bool quit = game.GameMode == TGameMode::gmQuit;
  const long counted = game.RunClock;
  EndGame(game);
  std::printf(
      "%ld frames: resident %ld KiB after %ld warm-up frames, %ld KiB at the end (%+ld KiB)\n",
      counted, before, kWarmUpFrames, after, after - before);
  if (!quit || counted != kWarmUpFrames + frames + 1) {
    std::fprintf(stderr, "soak: the game did not count every frame or did not quit on Escape\n");
    return 1;
  }
  if (before <= 0 || after - before > toleranceKiB) {
    std::fprintf(stderr, "soak: resident memory grew by more than %ld KiB\n", toleranceKiB);
    return 1;
  }
  return 0;
}
