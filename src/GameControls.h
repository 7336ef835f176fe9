// Keyboard controls: the seven control flags, the game mode, and the rules that turn key
// events into them. The rules take plain values so that they can be checked without a
// window; DoGameInput is the only piece that talks to SDL's event queue.
#ifndef TUMULT2D_GAMECONTROLS_H_
#define TUMULT2D_GAMECONTROLS_H_

#include <cstdint>

union SDL_Event;

// Up, Down, Left and Right are held: true from the pass that reads the key-down until the pass
// that reads the key-up. Fire, Select and Menu are one-shot: a key-down sets them for the rest
// of the input pass that reads it, even when the key-up comes later in the same pass (a quick
// tap, a slow frame or a key sent by a script), and only the end of the pass clears them, so
// no tap is lost. The game step, which runs after the pass, always finds them false here and
// is handed the pass's taps (TTaps) instead.
struct TGameControls {
  bool Up = false;
  bool Down = false;
  bool Left = false;
  bool Right = false;
  bool Fire = false;
  bool Select = false;
  bool Menu = false;
};

// The one-shot keys that one input pass read, as the end of the pass found them: what the game
// step of the same frame answers, once. Nothing keeps them for the next frame.
struct TTaps {
  bool Fire = false;
  bool Select = false;
  bool Menu = false;
};

// gmAiming is the only mode the game plays in so far; Escape moves it to gmQuit, which ends
// the frame loop. The other modes are there for the game to grow into.
enum class TGameMode : uint8_t { gmMainMenu, gmAiming, gmShooting, gmMenu, gmQuit };

// SDL 1.2's event types and key symbols that the controls use.
constexpr uint8_t kKeyDownEvent = 2;  // SDL_KEYDOWN
constexpr uint8_t kKeyUpEvent = 3;    // SDL_KEYUP

// Applies one event: a key-down sets the flag of its key; a key-up clears a held key's flag
// and leaves a one-shot flag as it is. Other event types (mouse, window activation, the
// window manager's close request) and other keys are ignored, so the close button cannot end
// the game.
void ApplyInputEvent(TGameControls& Controls, uint8_t EventType, int32_t KeySymbol);

// The end of an input pass, once the queue is empty: a pressed Menu key ends the game, then
// the one-shot flags are cleared for the next pass. Returns them as they were: the pass's taps.
TTaps FinishInputPass(TGameControls& Controls, TGameMode& Mode);

// Where DoGameInput takes its events from: SDL_PollEvent in the game.
using TPollEvent = int (*)(SDL_Event* Event);

// Drains the whole event queue into Controls (events act in queue order), then finishes the
// pass and returns its taps. Never waits for an event and puts no limit on how many are taken.
TTaps DoGameInput(TGameControls& Controls, TGameMode& Mode, TPollEvent Poll);

#endif  // TUMULT2D_GAMECONTROLS_H_
