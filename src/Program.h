// The program body: one whole run of the game, from start-up to shutdown.
#ifndef TUMULT2D_PROGRAM_H_
#define TUMULT2D_PROGRAM_H_

#include <cstdint>

// The millisecond part (0 to 999) of the local time of day: the seed of a normal run.
uint32_t SeedFromClock();

// Plays one game with the given seed. Returns the process's exit code: 0 after Escape, 1
// (with one line on stderr saying what failed) when SDL or the video mode cannot be had.
int RunProgram(uint32_t Seed);

#endif  // TUMULT2D_PROGRAM_H_
