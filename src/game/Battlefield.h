// The battlefield: a side-view terrain with one height per screen column, the colours of land
// and sky, and an optional background picture in place of the plain sky. It makes the
// terrain (a bounded random walk, then moving averages), draws it, and stands tanks on it.
//
// Heights count pixels upward from the bottom row: height h stands on row Height - 1 - h.
//
// Every operation is safe for any field values and arguments: only columns 0 to
// min(Width, 1025) - 1 are ever touched, nothing is read or written out of bounds, no call
// divides by zero and no call loops without end. Outside the game's own limits (Width 3 to
// 1025, Lowest <= Highest, SmoothSize >= 1) each operation documents what it does instead.
#ifndef TUMULT2D_GAME_BATTLEFIELD_H_
#define TUMULT2D_GAME_BATTLEFIELD_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "Random.h"
#include "game/Tank.h"
#include "graphics/GraphicsUnit.h"

class TBattlefield {
 public:
  static constexpr int32_t kMaxColumns = 1025;

  // A new battlefield: the given size and colours, every height 0. With UseBGImage it loads
  // images/BGImageFile without a transparent colour; when that fails Background stays null
  // (the sky then falls back to the plain colour) and IsBGImage stays true.
  static std::unique_ptr<TBattlefield> Init(int32_t ScreenWidth, int32_t ScreenHeight,
                                            uint32_t Land, uint32_t Sky, bool UseBGImage,
                                            const std::string& BGImageFile);

  // Fills the used columns with a random walk: column 0 is Lowest + Round((Highest - Lowest) *
  // r); each next column moves by Round(Variation * r - Variation / 2), is clamped up to
  // Lowest and redrawn while above Highest. Draws one real per attempt, left to right.
  // With Lowest > Highest nothing changes and nothing is drawn. A column that fails a thousand
  // attempts in a row (only possible when the 32-bit wrap of an extreme argument defeats the
  // ceiling) keeps the height of the column before it.
  void GenerateLand(TRandomSource& Draws, int32_t Highest, int32_t Lowest, int32_t Variation);

  // Replaces each used column, left to right and in place, by the rounded mean of the columns
  // within SmoothSize of it, counting only columns 1 to Width - 2 as samples. Columns to the
  // left already hold their new values. With SmoothSize < 1 nothing changes; a column with no
  // sample at all (Width below 3) keeps its height.
  void SmoothenLand(int32_t SmoothSize);

  // The sky: the background picture at the top-left corner, or, with no picture, an 800x600
  // fill of SkyColor. The fill covers the display the game opens, not Width x Height.
  void DrawSky(PSDL_Surface GameScreen) const;

  // One vertical line of LandColor per used column, from the bottom row up to the top of the
  // ground. Only pixels on the surface are written, whatever the heights.
  void DrawLand(PSDL_Surface GameScreen) const;

  // Stands Tank at column X (moved so that its track lies inside the field), at the height of
  // the lowest ground under its track, and levels the track and Gap columns on each side to
  // that height. With a field narrower than the track the track is clipped to the field; with
  // no columns at all nothing changes.
  void PlaceTank(int32_t X, int32_t Gap, TTank& Tank);

  // Places Tanks[0] to Tanks[NumberOfTanks - 1] in index order, each at a random column where
  // its track lies inside the field and keeps MinTankDist free columns from every other tank
  // of the set (an unplaced one counts at the X it holds). One integer draw per attempt.
  // Before drawing for a tank it checks that such a column exists; if none does, it stops
  // there without drawing, leaves that tank and the ones after it where they are and returns
  // false. NumberOfTanks is clamped to the slots there are; empty slots are skipped.
  bool ScatterTanks(TRandomSource& Draws, TTankSlots& Tanks, int32_t NumberOfTanks,
                    int32_t MinTankDist, int32_t DirtGap);

  // The columns the operations work on: Width, limited to 0 .. kMaxColumns.
  [[nodiscard]] int32_t UsedColumns() const;

  // Whether Tanks[Index] may stand at column X: its track lies inside the field and neither
  // end of it falls within MinTankDist of another tank's track (both bounds inside).
  [[nodiscard]] bool SpaceClear(const TTankSlots& Tanks, int32_t Count, int32_t Index, int64_t X,
                                int32_t MinTankDist) const;

  // Whether SpaceClear holds for some column of the field.
  [[nodiscard]] bool HasClearColumn(const TTankSlots& Tanks, int32_t Count, int32_t Index,
                                    int32_t MinTankDist) const;

  int32_t Width = 0;
  int32_t Height = 0;
  std::array<int32_t, kMaxColumns> LandHeight{};
  uint32_t LandColor = 0;
  uint32_t SkyColor = 0;
  bool IsBGImage = false;
  TSurfacePtr Background;
};

#endif  // TUMULT2D_GAME_BATTLEFIELD_H_
