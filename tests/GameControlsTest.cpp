#include "GameControls.h"

#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"

namespace {

class GameControls : public DummyDisplayTest {
 protected:
  static void Push(uint8_t Type, SDLKey Key) {
    SDL_Event event{};
    event.type = Type;
    event.key.type = Type;
    event.key.keysym.sym = Key;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  static void Press(SDLKey Key) { Push(SDL_KEYDOWN, Key); }
  static void Release(SDLKey Key) { Push(SDL_KEYUP, Key); }

  void Pass() { DoGameInput(Controls, Mode, SDL_PollEvent); }

  TGameControls Controls;
  TGameMode Mode = TGameMode::gmAiming;
};

TEST_F(GameControls, HeldArrowsStaySetUntilTheirRelease) {
  Press(SDLK_LEFT);
  Press(SDLK_UP);
  Pass();
  for (int frame = 0; frame < 5; ++frame) {
    EXPECT_TRUE(Controls.Left);
    EXPECT_TRUE(Controls.Up);
    Pass();
  }
  Release(SDLK_LEFT);
  Press(SDLK_DOWN);
  Press(SDLK_RIGHT);
  Pass();
  EXPECT_FALSE(Controls.Left);
  EXPECT_TRUE(Controls.Up);
  EXPECT_TRUE(Controls.Down);
  EXPECT_TRUE(Controls.Right);
  EXPECT_EQ(Mode, TGameMode::gmAiming);
}

TEST_F(GameControls, EscapeDownAloneQuitsAndItsLaterReleaseChangesNothing) {
  Press(SDLK_ESCAPE);
  Pass();
  EXPECT_EQ(Mode, TGameMode::gmQuit);
  EXPECT_FALSE(Controls.Menu);
  Release(SDLK_ESCAPE);
  Pass();
  EXPECT_EQ(Mode, TGameMode::gmQuit);
}

TEST_F(GameControls, EscapeDownAndUpInOnePassDoesNotQuit) {
  Press(SDLK_ESCAPE);
  Release(SDLK_ESCAPE);
  Pass();
  EXPECT_EQ(Mode, TGameMode::gmAiming);
}

TEST_F(GameControls, EventsActInQueueOrder) {
  Release(SDLK_ESCAPE);
  Press(SDLK_ESCAPE);  // the last event for the key decides
  Press(SDLK_RIGHT);
  Release(SDLK_RIGHT);
  Pass();
  EXPECT_EQ(Mode, TGameMode::gmQuit);
  EXPECT_FALSE(Controls.Right);
}

TEST_F(GameControls, OneShotFlagsAreNeverSetBetweenPasses) {
  for (SDLKey key : {SDLK_SPACE, SDLK_RETURN, SDLK_TAB}) {
    Press(key);
    Pass();
    EXPECT_FALSE(Controls.Fire);
    EXPECT_FALSE(Controls.Select);
    EXPECT_FALSE(Controls.Menu);
  }
  EXPECT_EQ(Mode, TGameMode::gmAiming);
  // Inside a pass, before it finishes, Space and Return both drive Fire and Tab drives Select.
  TGameControls inPass;
  ApplyInputEvent(inPass, kKeyDownEvent, SDLK_RETURN);
  ApplyInputEvent(inPass, kKeyDownEvent, SDLK_TAB);
  EXPECT_TRUE(inPass.Fire);
  EXPECT_TRUE(inPass.Select);
  ApplyInputEvent(inPass, kKeyUpEvent, SDLK_SPACE);
  EXPECT_FALSE(inPass.Fire);
}

TEST_F(GameControls, MouseWindowAndQuitEventsChangeNothing) {
  Press(SDLK_UP);
  Pass();
  const SDL_EventType ignored[] = {SDL_MOUSEMOTION,   SDL_MOUSEBUTTONDOWN,
                                   SDL_MOUSEBUTTONUP, SDL_ACTIVEEVENT,
                                   SDL_QUIT,          SDL_VIDEOEXPOSE};
  for (SDL_EventType type : ignored) {
    SDL_Event event{};
    event.type = static_cast<Uint8>(type);
    // A key symbol in the payload must not be read for a non-key event.
    event.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  Pass();
  EXPECT_TRUE(Controls.Up);
  EXPECT_FALSE(Controls.Down || Controls.Left || Controls.Right);
  EXPECT_EQ(Mode, TGameMode::gmAiming);
}

TEST_F(GameControls, KeysOutsideTheTableAndStrayReleasesAreHarmless) {
  Press(SDLK_a);
  Press(SDLK_LSHIFT);
  Release(SDLK_DOWN);  // a key already held when the game started
  Pass();
  const TGameControls untouched;
  EXPECT_EQ(std::tie(Controls.Up, Controls.Down, Controls.Left, Controls.Right),
            std::tie(untouched.Up, untouched.Down, untouched.Left, untouched.Right));
  EXPECT_EQ(Mode, TGameMode::gmAiming);
}

// A queue far longer than SDL's own: the pass must take every event, however many.
int FloodRemaining = 0;
int PollFlood(SDL_Event* Event) {
  if (FloodRemaining == 0) {
    return 0;
  }
  --FloodRemaining;
  *Event = SDL_Event{};
  Event->type = SDL_KEYDOWN;
  Event->key.keysym.sym = FloodRemaining == 0 ? SDLK_ESCAPE : SDLK_LEFT;
  return 1;
}

TEST(GameControlsFlood, OnePassDrainsAHundredThousandEvents) {
  FloodRemaining = 100000;
  TGameControls controls;
  TGameMode mode = TGameMode::gmAiming;
  DoGameInput(controls, mode, PollFlood);
  EXPECT_EQ(FloodRemaining, 0);
  EXPECT_TRUE(controls.Left);
  EXPECT_EQ(mode, TGameMode::gmQuit);  // the very last event was read in this pass
}

}  // namespace
