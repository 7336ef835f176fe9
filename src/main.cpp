// Tumult 2D: a hilly battlefield under a sky, four tanks on the ground, Escape to quit.
#include <SDL.h>  // on Windows it renames main, and SDL's own entry point calls it

#include "Program.h"

int main(int /*argc*/, char* /*argv*/[]) {
  return RunProgram(SeedFromClock());
}
