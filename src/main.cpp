// Tumult 2D: a hilly battlefield under a sky, four tanks on the ground, Escape to quit.
#include "Program.h"

int main() {
  return RunProgram(SeedFromClock());
}
