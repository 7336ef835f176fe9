// Drives a battle as a player does, without a window: started from a seed on SDL's dummy video
// driver as the program body starts one, then frame by frame through the game's own pass
// (input, step, draw), with keys pressed, held, released and tapped on SDL's event queue.
#ifndef TUMULT2D_TESTS_BATTLEDRIVER_H_
#define TUMULT2D_TESTS_BATTLEDRIVER_H_

#include <algorithm>
#include <string>

#include "Game.h"
#include "TestSupport.h"

// A battle started with Seed, shut down again at the end of the scope. Keys go to the next
// frame in the order given; a held key stays down until it is released.
class TBattleDriver {
 public:
  explicit TBattleDriver(uint32_t Seed) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string failure;
    Started = StartGame(Game, Seed, failure);
    EXPECT_TRUE(Started) << failure;
  }
  ~TBattleDriver() {
    if (Started) EndGame(Game);
  }
  TBattleDriver(const TBattleDriver&) = delete;
  TBattleDriver& operator=(const TBattleDriver&) = delete;

  void Press(SDLKey Key) { PushKey(Key, true); }
  void Release(SDLKey Key) { PushKey(Key, false); }
  // Down and up again within the next frame, as a quick finger or a script does.
  void Tap(SDLKey Key) { Press(Key), Release(Key); }

  // Runs Count frames of the game's own pass (no pause between them).
  void RunFrames(int Count = 1) {
    for (int i = 0; i < Count; ++i) RunFramePass(Game, SDL_PollEvent);
  }

  // The frame on the screen: every byte of its rows.
  [[nodiscard]] std::vector<uint8_t> Frame() const { return Bytes(Game.GameScreen); }

  // Where the frame on the screen differs from Earlier, a Frame() of this battle: the first
  // pixel that does, with its value then and now; empty when none does.
  [[nodiscard]] std::string DifferenceFrom(const std::vector<uint8_t>& Earlier) const {
    const auto* const now = static_cast<const uint8_t*>(Game.GameScreen->pixels);
    if (std::memcmp(now, Earlier.data(), Earlier.size()) == 0) return "";  // the quick way
    const auto at =
        size_t(std::mismatch(Earlier.begin(), Earlier.end(), now).first - Earlier.begin());
    const int pitch = Game.GameScreen->pitch, x = int(at) % pitch / 4, y = int(at) / pitch;
    uint32_t then = 0;
    std::memcpy(&then, Earlier.data() + at / 4 * 4, sizeof then);
    char text[80];
    std::snprintf(text, sizeof text, "pixel (%d, %d): %#x, now %#x", x, y, then,
                  PixelAt(Game.GameScreen, x, y));
    return text;
  }

  TGame Game;
  bool Started = false;
};

#endif  // TUMULT2D_TESTS_BATTLEDRIVER_H_
