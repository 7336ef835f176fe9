#include "GameControls.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

class GameControls : public DummyDisplayTest {
 protected:
  // Queues key events (true: down, false: up), then runs one input pass over them.
  void Pass(std::initializer_list<std::pair<SDLKey, bool>> Keys = {}) {
    for (const auto& [key, down] : Keys) PushKey(key, down);
    DoGameInput(Controls, Mode, SDL_PollEvent);
  }

  TGameControls Controls;
  TGameMode Mode = TGameMode::gmAiming;
};

TEST_F(GameControls, HeldArrowsStaySetUntilTheirRelease) {
  Pass({{SDLK_LEFT, true}, {SDLK_UP, true}, {SDLK_a, true}, {SDLK_DOWN, false}});
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_TRUE(Controls.Left && Controls.Up);
    EXPECT_FALSE(Controls.Down || Controls.Right);  // a stray release only clears
    Pass();
  }
  Pass({{SDLK_LEFT, false}, {SDLK_RIGHT, true}, {SDLK_RIGHT, false}, {SDLK_DOWN, true}});
  EXPECT_FALSE(Controls.Left || Controls.Right);  // the last event for a key decides
  EXPECT_TRUE(Controls.Up && Controls.Down);
  EXPECT_EQ(Mode, TGameMode::gmAiming);
}

TEST_F(GameControls, EscapeQuitsOnlyWhenItsPassEndsWithItDown) {
  Pass({{SDLK_ESCAPE, true}, {SDLK_ESCAPE, false}});
  EXPECT_EQ(Mode, TGameMode::gmAiming);
  Pass({{SDLK_ESCAPE, false}, {SDLK_ESCAPE, true}});
  EXPECT_EQ(Mode, TGameMode::gmQuit);
  Pass({{SDLK_ESCAPE, false}});  // the later release changes nothing
  EXPECT_EQ(Mode, TGameMode::gmQuit);
}

TEST_F(GameControls, OneShotFlagsAreNeverSetBetweenPasses) {
  for (SDLKey key : {SDLK_SPACE, SDLK_RETURN, SDLK_TAB, SDLK_ESCAPE}) {
    Pass({{key, true}});
    EXPECT_FALSE(Controls.Fire || Controls.Select || Controls.Menu);
  }
  // Inside a pass Space and Return both drive Fire, and Tab drives Select.
  TGameControls inPass;
  ApplyInputEvent(inPass, kKeyDownEvent, SDLK_RETURN);
  ApplyInputEvent(inPass, kKeyDownEvent, SDLK_TAB);
  EXPECT_TRUE(inPass.Fire && inPass.Select);
  ApplyInputEvent(inPass, kKeyUpEvent, SDLK_SPACE);
  EXPECT_FALSE(inPass.Fire);
}

}  // namespace
