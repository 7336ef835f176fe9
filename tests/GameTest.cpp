#include "Game.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"

namespace {

// A game started and built with Seed on the dummy driver, as the program body does it, from
// the folder that holds images/; shut down again at the end of the scope.
struct StartedGame {
  explicit StartedGame(uint32_t Seed) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string failure;
    Started = StartGame(Game, Seed, failure);
    EXPECT_TRUE(Started) << failure;
  }
  ~StartedGame() {
    if (Started) EndGame(Game);
  }
  StartedGame(const StartedGame&) = delete;
  StartedGame& operator=(const StartedGame&) = delete;

  TGame Game;
  bool Started = false;
};

TEST(Game, StartsTheWayThePlayerSeesIt) {
  StartedGame started(1);
  ASSERT_TRUE(started.Started);
  const TGame& game = started.Game;
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  char* title = nullptr;
  SDL_WM_GetCaption(&title, nullptr);
  EXPECT_STREQ(title, "Tumult 2D");
  EXPECT_EQ(std::tie(game.NumberOfTanks, game.RunClock, game.GameMode),
            std::make_tuple(4, 0, TGameMode::gmAiming));
  // The sky's colour shows only when its picture is missing, which no golden battle has.
  EXPECT_EQ(std::tie(game.Level->LandColor, game.Level->SkyColor),
            std::make_tuple(0x229900U, 0xEEU));
  // The background is run-length encoded, so that copying it leaves the frame in the cache.
  ASSERT_NE(game.Level->Background, nullptr);
  EXPECT_NE(game.Level->Background->flags & SDL_SRCCOLORKEY, 0U);
}

TEST(Game, EscapeInAPassStillDrawsAndCountsThatFrame) {
  StartedGame started(42);
  ASSERT_TRUE(started.Started);
  TGame& game = started.Game;
  SDL_FillRect(game.GameScreen, nullptr, 0x00123456);
  game.RunClock = INT32_MAX;  // the frame clock wraps after its largest value
  SDL_Event escape{};
  escape.type = SDL_KEYDOWN;
  escape.key.keysym.sym = SDLK_ESCAPE;
  ASSERT_EQ(SDL_PushEvent(&escape), 0);
  RunFrameLoop(game, SDL_PollEvent);
  EXPECT_EQ(game.RunClock, INT32_MIN);
  EXPECT_EQ(game.GameMode, TGameMode::gmQuit);
  const uint64_t shown = SurfaceChecksum(game.GameScreen);
  EXPECT_TRUE(PixelsEqualTo(game.GameScreen, 0x00123456).empty());
  DrawScreen(game);  // the frame the loop showed is the battle's frame
  EXPECT_EQ(SurfaceChecksum(game.GameScreen), shown);
}

// Recorded from the game as built: the heights' checksum, the frame's checksum, and each
// tank's X and Y. A change to the terrain, the placement, the rounding, the drawing or the
// images moves one of these; if the change is intended, record them anew.
struct TGoldenBattle {
  uint32_t Seed;
  uint64_t Heights, Frame;
  double TankXY[2 * kMaxTanks];
};
constexpr TGoldenBattle kGoldenBattles[] = {
    {0, 10634407732568828270ULL, 12458019695605929591ULL, {186, 335, 491, 344, 671, 217, 26, 423}},
    {500, 8836288164033146894ULL, 3336841145857566522ULL, {285, 405, 136, 419, 499, 173, 591, 96}},
    {999, 14097002410231639762ULL, 6480280559621030996ULL, {378, 375, 255, 328, 709, 105, 19, 240}},
    // Battles 13 and 21 would change with a minimum tank distance of 51 or 49.
    {13, 10896796957502884365ULL, 17894496125840070351ULL, {719, 38, 269, 40, 496, 92, 192, 87}},
    {21, 5352071160237559897ULL, 9695579327214988022ULL, {469, 144, 675, 227, 275, 263, 780, 314}},
};

TEST(Game, GoldenBattles) {
  for (const TGoldenBattle& golden : kGoldenBattles) {
    SCOPED_TRACE(testing::Message() << "seed " << golden.Seed);
    StartedGame started(golden.Seed);
    ASSERT_TRUE(started.Started);
    const TGame& game = started.Game;
    const auto& heights = game.Level->LandHeight;
    EXPECT_EQ(Checksum(heights.data(), size_t(game.Level->Width)), golden.Heights);
    for (int i = 0; i < kMaxTanks; ++i) {
      EXPECT_EQ(std::make_pair(game.Tanks[i]->X, game.Tanks[i]->Y),
                std::make_pair(golden.TankXY[2 * i], golden.TankXY[2 * i + 1]))
          << "tank " << i;
    }
    DrawScreen(started.Game);
    EXPECT_EQ(SurfaceChecksum(game.GameScreen), golden.Frame);
  }
}

}  // namespace
