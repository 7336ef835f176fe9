// The frame loop allocates nothing: once the battle is built, input, the game step, drawing
// and the flip run on what start-up made. Counted with AddressSanitizer's allocation hooks,
// which see every allocation of the process, SDL's included; the test build has them. Together
// with LeakSanitizer's report at exit, this is what keeps a long game's memory flat.
#include <gtest/gtest.h>

#include <atomic>

#include "Game.h"
#include "TestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define TUMULT_HAS_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUMULT_HAS_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef TUMULT_HAS_ALLOCATION_HOOKS
// Declared here as the sanitizer runtimes of both compilers export it; g++ ships no header.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*Allocated)(const volatile void* Pointer, size_t Size),
    void (*Released)(const volatile void* Pointer));
#endif

namespace {

TEST(FrameLoop, RunsWithoutAllocating) {
#ifndef TUMULT_HAS_ALLOCATION_HOOKS
  GTEST_SKIP() << "needs AddressSanitizer's allocation hooks, as in the ./test build";
#else
  static std::atomic<bool> counting{false};
  static std::atomic<int> allocations{0}, releases{0};
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(
          [](const volatile void*, size_t) { allocations += counting ? 1 : 0; },
          [](const volatile void*) { releases += counting ? 1 : 0; }) != 0;
  ASSERT_TRUE(installed);
  TGame game;
  std::string failure;
  ASSERT_TRUE(StartGame(game, 0, failure)) << failure;
  RunFramePass(game, SDL_PollEvent);  // the first pass may set up SDL's event handling
  for (int frame = 0; frame < 200; ++frame) {
    // Keys held and released, read in the same pass as the frame counted below.
    if (frame % 10 == 0) {
      PushKey(SDLK_LEFT, true);
      PushKey(SDLK_SPACE, true);
      PushKey(SDLK_LEFT, false);
    }
    counting = true;
    RunFramePass(game, SDL_PollEvent);
    counting = false;
  }
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_EQ(releases.load(), 0);
  EXPECT_EQ(game.RunClock, 201);
  EndGame(game);
#endif
}

}  // namespace
