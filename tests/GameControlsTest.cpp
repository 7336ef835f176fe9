#include "GameControls.h"

#include <tuple>

#include "TestSupport.h"

namespace {

class GameControls : public DummyDisplayTest {
 protected:
  // Queues key events (true: down, false: up), then runs one input pass over them.
  TTaps Pass(std::initializer_list<std::pair<SDLKey, bool>> Keys = {}) {
    for (const auto& [key, down] : Keys) PushKey(key, down);
    return DoGameInput(Controls, Mode, SDL_PollEvent);
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

// A tap, press and release in one pass, hands its one-shot flag on at the end of the pass and
// leaves none set; only Escape's quits, and a key held on is no tap again.
TEST_F(GameControls, ATapIsHandedOnAtTheEndOfItsPass) {
  const struct {
    SDLKey Key;
    bool TGameControls::*Flag;
    TGameMode ModeAfter;
  } taps[] = {{SDLK_SPACE, &TGameControls::Fire, TGameMode::gmAiming},
              {SDLK_RETURN, &TGameControls::Fire, TGameMode::gmAiming},
              {SDLK_TAB, &TGameControls::Select, TGameMode::gmAiming},
              {SDLK_ESCAPE, &TGameControls::Menu, TGameMode::gmQuit}};
  const auto tapped = [](const auto& Flags) {
    return std::make_tuple(Flags.Fire, Flags.Select, Flags.Menu);
  };
  for (const auto& tap : taps) {
    TGameControls expected;
    expected.*tap.Flag = true;
    EXPECT_EQ(tapped(Pass({{tap.Key, true}, {tap.Key, false}})), tapped(expected)) << tap.Key;
    EXPECT_EQ(tapped(Controls), tapped(TGameControls{})) << tap.Key;
    EXPECT_EQ(Mode, tap.ModeAfter) << tap.Key;
    EXPECT_EQ(tapped(Pass({{tap.Key, true}})), tapped(expected)) << tap.Key;
    EXPECT_EQ(tapped(Pass()), tapped(TGameControls{})) << tap.Key;  // held, it is no tap again
  }
}

}  // namespace
