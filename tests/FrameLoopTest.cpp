// The frame loop over many frames, driven by keys as a player presses them: what it shows and
// when it ends, and that it allocates nothing.

#include <atomic>

#include "BattleDriver.h"

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

enum TKeyAction : uint8_t { kPress, kRelease, kTap };
struct TKeyStep {
  int Frame;
  SDLKey Key;
  TKeyAction Action;
};

// Every control as a player uses it, 200 frames after the first: arrows held over many frames,
// alone and together; Fire (Space, Return) and Select (Tab) tapped, and held; Escape let go
// without a press; and last, Escape tapped.
constexpr TKeyStep kScript[] = {
    {3, SDLK_LEFT, kPress},      {8, SDLK_SPACE, kTap},       {12, SDLK_UP, kPress},
    {20, SDLK_TAB, kTap},        {31, SDLK_LEFT, kRelease},   {31, SDLK_RIGHT, kPress},
    {40, SDLK_RETURN, kTap},     {47, SDLK_UP, kRelease},     {47, SDLK_DOWN, kPress},
    {55, SDLK_RIGHT, kRelease},  {60, SDLK_SPACE, kTap},      {60, SDLK_TAB, kTap},
    {66, SDLK_DOWN, kRelease},   {70, SDLK_ESCAPE, kRelease}, {80, SDLK_RETURN, kPress},
    {95, SDLK_RETURN, kRelease}, {100, SDLK_TAB, kPress},     {101, SDLK_LEFT, kPress},
    {101, SDLK_RIGHT, kPress},   {130, SDLK_TAB, kRelease},   {140, SDLK_LEFT, kRelease},
    {150, SDLK_SPACE, kPress},   {150, SDLK_RIGHT, kRelease}, {170, SDLK_SPACE, kRelease},
    {185, SDLK_UP, kTap},        {186, SDLK_DOWN, kTap},      {200, SDLK_ESCAPE, kTap},
};
constexpr int kLastFrame = 200;

// Queues the script's keys for Frame, then runs the frame.
void RunScriptFrame(TBattleDriver& Battle, int Frame) {
  for (const TKeyStep& step : kScript) {
    if (step.Frame != Frame) continue;
    if (step.Action != kRelease) Battle.Press(step.Key);
    if (step.Action != kPress) Battle.Release(step.Key);
  }
  Battle.RunFrames();
}

// The game's rule so far: no key changes what is shown, and only Escape ends the battle, in the
// frame that reads it. A rule that answers a key moves a frame here first.
TEST(FrameLoop, KeysChangeNoFrameAndOnlyEscapeEndsTheBattle) {
  TBattleDriver battle(7);
  ASSERT_TRUE(battle.Started);
  battle.RunFrames();
  const std::vector<uint8_t> first = battle.Frame();
  for (int frame = 1; frame <= kLastFrame; ++frame) {
    RunScriptFrame(battle, frame);
    ASSERT_EQ(battle.Game.GameMode, frame < kLastFrame ? TGameMode::gmAiming : TGameMode::gmQuit)
        << "frame " << frame;
    ASSERT_EQ(battle.DifferenceFrom(first), "") << "frame " << frame << " against the first";
  }
}

// Counted with AddressSanitizer's allocation hooks, which see every allocation of the process,
// SDL's included; the sanitizer builds have them. Together with LeakSanitizer's report at exit,
// this is what keeps a long game's memory flat.
TEST(FrameLoop, RunsWithoutAllocating) {
#ifndef TUMULT_HAS_ALLOCATION_HOOKS
  GTEST_SKIP() << "needs AddressSanitizer's allocation hooks, as in the unit preset's build";
#else
  static std::atomic<bool> counting{false};
  static std::atomic<int> allocations{0}, releases{0};
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(
          [](const volatile void*, size_t) { allocations += counting ? 1 : 0; },
          [](const volatile void*) { releases += counting ? 1 : 0; }) != 0;
  ASSERT_TRUE(installed);
  TBattleDriver battle(0);
  ASSERT_TRUE(battle.Started);
  battle.RunFrames();  // the first pass may set up SDL's event handling
  for (int frame = 1; frame <= kLastFrame; ++frame) {
    counting = true;
    RunScriptFrame(battle, frame);
    counting = false;
  }
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_EQ(releases.load(), 0);
  EXPECT_EQ(battle.Game.GameMode, TGameMode::gmQuit);
#endif
}

}  // namespace
