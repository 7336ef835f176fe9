#include "Game.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"

namespace {

// A game started and built with Seed on the dummy driver, as the program body does it, from
// the folder that holds images/.
class StartedGame {
 public:
  explicit StartedGame(uint32_t Seed) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string failure;
    Started = ProgramCreate(Game, Seed, failure);
    EXPECT_TRUE(Started) << failure;
    if (Started) {
      BuildBattle(Game);
    }
  }
  ~StartedGame() {
    if (Started) {
      ReleaseBattle(Game);
      ProgramClose(Game);
    }
  }
  StartedGame(const StartedGame&) = delete;
  StartedGame& operator=(const StartedGame&) = delete;

  // Everything a battle is: the used heights and every tank's place.
  std::vector<double> Battle() const {
    std::vector<double> battle(Game.Level->LandHeight.begin(),
                               Game.Level->LandHeight.begin() + Game.Level->Width);
    for (int i = 0; i < Game.NumberOfTanks; ++i) {
      battle.push_back(Game.Tanks[i]->X);
      battle.push_back(Game.Tanks[i]->Y);
    }
    return battle;
  }

  uint64_t HeightsChecksum() const {
    uint64_t hash = 14695981039346656037ULL;
    for (int32_t column = 0; column < Game.Level->Width; ++column) {
      hash = (hash ^ static_cast<uint32_t>(Game.Level->LandHeight[column])) * 1099511628211ULL;
    }
    return hash;
  }

  TGame Game;
  bool Started = false;
};

TEST(Game, FramePauseIsAThousandthsOverTheRate) {
  EXPECT_EQ(Get_FPS(Game_FPS), 33U);
  EXPECT_EQ(Get_FPS(0), 0U);
  EXPECT_EQ(Get_FPS(1000), 1U);
  EXPECT_EQ(Get_FPS(1001), 0U);
}

TEST(Game, StartsTheWayThePlayerSeesIt) {
  StartedGame started(1);
  ASSERT_TRUE(started.Started);
  const TGame& game = started.Game;
  EXPECT_EQ(game.GameScreen->w, 800);
  EXPECT_EQ(game.GameScreen->h, 600);
  EXPECT_EQ(game.GameScreen->format->BitsPerPixel, 32);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  char* title = nullptr;
  SDL_WM_GetCaption(&title, nullptr);
  EXPECT_STREQ(title, "Tumult 2D");
  EXPECT_EQ(game.NumberOfTanks, 4);
  EXPECT_EQ(game.RunClock, 0);
  EXPECT_EQ(game.GameMode, TGameMode::gmAiming);
  EXPECT_EQ(game.Level->LandColor, 0x229900U);
  EXPECT_TRUE(game.Level->IsBGImage);
  EXPECT_EQ(game.Tanks[3]->Color, 0xFFFF84U);
  EXPECT_EQ(game.Tanks[2]->TurretLength, 13);
}

TEST(Game, AFailedStartSaysWhyAndLeavesSdlDown) {
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  TGame game;
  std::string failure;
  EXPECT_FALSE(ProgramCreate(game, 0, failure));
  EXPECT_EQ(failure.rfind("cannot initialise SDL video: ", 0), 0U) << failure;
  EXPECT_GT(failure.size(), std::string("cannot initialise SDL video: ").size());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0U);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
}

TEST(Game, EscapeInTheFirstPassStillDrawsAndCountsThatFrame) {
  StartedGame started(42);
  ASSERT_TRUE(started.Started);
  TGame& game = started.Game;
  SDL_FillRect(game.GameScreen, nullptr, 0x00123456);
  SDL_Event escape{};
  escape.type = SDL_KEYDOWN;
  escape.key.keysym.sym = SDLK_ESCAPE;
  ASSERT_EQ(SDL_PushEvent(&escape), 0);
  RunFrameLoop(game, SDL_PollEvent);
  EXPECT_EQ(game.RunClock, 1);
  EXPECT_EQ(game.GameMode, TGameMode::gmQuit);
  const uint64_t shown = SurfaceChecksum(game.GameScreen);
  EXPECT_EQ(PixelsEqualTo(game.GameScreen, 0x00123456).size(), 0U);
  DrawScreen(game);  // the frame the loop showed is the battle's frame
  EXPECT_EQ(SurfaceChecksum(game.GameScreen), shown);
}

TEST(Game, OneSeedGivesOneBattle) {
  std::vector<double> first;
  uint64_t firstFrame = 0;
  {
    StartedGame started(417);
    ASSERT_TRUE(started.Started);
    first = started.Battle();
    DrawScreen(started.Game);
    firstFrame = SurfaceChecksum(started.Game.GameScreen);
  }
  StartedGame again(417);
  ASSERT_TRUE(again.Started);
  EXPECT_EQ(again.Battle(), first);
  DrawScreen(again.Game);
  EXPECT_EQ(SurfaceChecksum(again.Game.GameScreen), firstFrame);
  StartedGame other(418);
  EXPECT_NE(other.Battle(), first);
}

struct TGoldenBattle {
  uint32_t Seed;
  uint64_t Heights;
  double TankX[kMaxTanks];
  double TankY[kMaxTanks];
  uint64_t Frame;
};

// Recorded from the game as built. A change to the terrain, the placement, the rounding, the
// drawing or the images moves one of these; if that change is intended, record them anew.
constexpr TGoldenBattle kGoldenBattles[] = {
    {0,
     16183000144661479488ULL,
     {186, 491, 671, 26},
     {335, 344, 217, 423},
     12458019695605929591ULL},
    {500, 426198694491505406ULL, {285, 136, 499, 591}, {405, 419, 173, 96}, 3336841145857566522ULL},
    {999,
     8193658871490267876ULL,
     {378, 255, 709, 19},
     {375, 328, 105, 240},
     6480280559621030996ULL},
};

TEST(Game, GoldenBattles) {
  for (const TGoldenBattle& golden : kGoldenBattles) {
    StartedGame started(golden.Seed);
    ASSERT_TRUE(started.Started);
    const TGame& game = started.Game;
    EXPECT_EQ(started.HeightsChecksum(), golden.Heights) << "seed " << golden.Seed;
    for (int i = 0; i < kMaxTanks; ++i) {
      EXPECT_EQ(game.Tanks[i]->X, golden.TankX[i]) << "seed " << golden.Seed << " tank " << i;
      EXPECT_EQ(game.Tanks[i]->Y, golden.TankY[i]) << "seed " << golden.Seed << " tank " << i;
    }
    DrawScreen(started.Game);
    EXPECT_EQ(SurfaceChecksum(game.GameScreen), golden.Frame) << "seed " << golden.Seed;
  }
}

}  // namespace
