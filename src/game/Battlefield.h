// The battlefield: a side-view terrain with one height per screen column, the colours of land
// and sky, and an optional background picture in place of the plain sky. Heights count pixels
// upward from the bottom row: height h stands on row Height - 1 - h.
//
// Every operation is total: it touches only columns 0 to min(Width, 1025) - 1, never divides
// by zero and always ends. Outside the game's own limits (Width 3 to 1025, Lowest <= Highest,
// SmoothSize >= 1) each says what it does instead.
#ifndef TUMULT2D_GAME_BATTLEFIELD_H_
#define TUMULT2D_GAME_BATTLEFIELD_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "Random.h"
#include "game/Tank.h"
#include "graphics/SurfaceHandle.h"

class TBattlefield {
 public:
  static constexpr int32_t kMaxColumns = 1025;

  // A new battlefield, every height 0, that names its background picture, images/BGImageFile,
  // without loading it: with UseBGImage, LoadBattlePictures does that. A picture that cannot
  // be loaded leaves Background null, and the sky falls back to SkyColor.
  static std::unique_ptr<TBattlefield> Init(int32_t ScreenWidth, int32_t ScreenHeight,
                                            uint32_t Land, uint32_t Sky, bool UseBGImage,
                                            const std::string& BGImageFile);

  // A random walk: column 0 is Lowest + Round((Highest - Lowest) * r), each next column moves
  // by Round(Variation * r - Variation / 2), clamped up to Lowest and redrawn while above
  // Highest. Draws nothing when Lowest > Highest; a column that fails a thousand draws (only
  // when an extreme argument wraps 32 bits) keeps its left neighbour's height.
  void GenerateLand(TRandomSource& Draws, int32_t Highest, int32_t Lowest, int32_t Variation);

  // Left to right, in place: each column becomes the rounded mean of the samples (columns 1 to
  // Width - 2) within SmoothSize of it. No change for SmoothSize < 1 or a column with no sample.
  void SmoothenLand(int32_t SmoothSize);

  // The background picture at the top-left corner, or without one a fill of SkyColor over the
  // whole display.
  void DrawSky(PSDL_Surface GameScreen) const;

  // One vertical line of LandColor per used column, from the bottom row to the ground's top;
  // only pixels on the surface are written.
  void DrawLand(PSDL_Surface GameScreen) const;

  // Stands Tank at column X, moved so that its track lies inside the field, at the lowest
  // ground under the track, and levels the track and Gap columns each side to that height.
  // A track wider than the field is clipped to it; a field without columns stays as it is.
  void PlaceTank(int32_t X, int32_t Gap, TTank& Tank);

  // Places the first NumberOfTanks tanks (empty slots skipped) in index order at random
  // columns, one integer draw per attempt, where the track lies inside the field and keeps
  // MinTankDist columns from every other track (an unplaced tank counts at its X). At the first
  // tank with no such column it returns false without drawing, leaving the rest in place.
  bool ScatterTanks(TRandomSource& Draws, TTankSlots& Tanks, int32_t NumberOfTanks,
                    int32_t MinTankDist, int32_t DirtGap);

  // Width, limited to 0 .. kMaxColumns.
  [[nodiscard]] int32_t UsedColumns() const;

  int32_t Width = 0;
  int32_t Height = 0;
  std::array<int32_t, kMaxColumns> LandHeight{};
  uint32_t LandColor = 0;
  uint32_t SkyColor = 0;
  bool IsBGImage = false;
  std::string BGImageFile;
  TSurfacePtr Background;

 private:
  [[nodiscard]] bool SpaceClear(const TTankSlots& Tanks, int32_t Count, int32_t Index, int64_t X,
                                int32_t MinTankDist) const;
  [[nodiscard]] bool HasClearColumn(const TTankSlots& Tanks, int32_t Count, int32_t Index,
                                    int32_t MinTankDist) const;
};

#endif  // TUMULT2D_GAME_BATTLEFIELD_H_
