#include "GameControls.h"

#include <SDL.h>

static_assert(kKeyDownEvent == SDL_KEYDOWN && kKeyUpEvent == SDL_KEYUP,
              "the controls read SDL 1.2's key event numbers");

namespace {

// The flag that a key drives, or null for a key the game does not use.
bool* FlagForKey(TGameControls& Controls, int32_t KeySymbol) {
  switch (KeySymbol) {
    case SDLK_UP:
      return &Controls.Up;
    case SDLK_DOWN:
      return &Controls.Down;
    case SDLK_LEFT:
      return &Controls.Left;
    case SDLK_RIGHT:
      return &Controls.Right;
    case SDLK_SPACE:
    case SDLK_RETURN:
      return &Controls.Fire;
    case SDLK_TAB:
      return &Controls.Select;
    case SDLK_ESCAPE:
      return &Controls.Menu;
    default:
      return nullptr;
  }
}

}  // namespace

void ApplyInputEvent(TGameControls& Controls, uint8_t EventType, int32_t KeySymbol) {
  if (EventType != kKeyDownEvent && EventType != kKeyUpEvent) {
    return;
  }
  bool* const flag = FlagForKey(Controls, KeySymbol);
  if (flag == nullptr) {
    return;
  }
  const bool oneShot = flag == &Controls.Fire || flag == &Controls.Select || flag == &Controls.Menu;
  if (EventType == kKeyDownEvent) {
    *flag = true;
  } else if (!oneShot) {
    *flag = false;
  }
}

TTaps FinishInputPass(TGameControls& Controls, TGameMode& Mode) {
  if (Controls.Menu) {
    Mode = TGameMode::gmQuit;
  }
  const TTaps taps{Controls.Fire, Controls.Select, Controls.Menu};
  Controls.Fire = false;
  Controls.Select = false;
  Controls.Menu = false;
  return taps;
}

TTaps DoGameInput(TGameControls& Controls, TGameMode& Mode, TPollEvent Poll) {
  SDL_Event event;
  while (Poll(&event) > 0) {
    const bool isKey = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
    ApplyInputEvent(Controls, event.type, isKey ? static_cast<int32_t>(event.key.keysym.sym) : 0);
  }
  return FinishInputPass(Controls, Mode);
}
