// The program body: one whole run of the game, from start-up to shutdown.
#ifndef TUMULT2D_PROGRAM_H_
#define TUMULT2D_PROGRAM_H_

#include <cstdint>

#include "GameControls.h"

// The seed of a normal run: the millisecond part (0 to 999) of the time of day.
uint32_t SeedFromClock();

// The millisecond part of a time given in milliseconds since 1970, before it too: 0 to 999.
uint32_t SeedFromMilliseconds(int64_t Milliseconds);

// Plays one game with Seed, taking events from Poll, and returns the process's exit code: 0
// after Escape, 128 + N after stop signal N, 1 when SDL or the video mode cannot be had (once
// ShowStartFailure has said why).
int RunProgram(uint32_t Seed, TPollEvent Poll);

// RunProgram on SDL's event queue.
int RunProgram(uint32_t Seed);

#endif  // TUMULT2D_PROGRAM_H_
