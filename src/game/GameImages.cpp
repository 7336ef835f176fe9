#include "game/GameImages.h"

#include <algorithm>
#include <cstdio>

#include "graphics/GraphicsUnit.h"
#include "graphics/OpaqueRuns.h"

TSurfacePtr LoadGameImage(const std::string& FileName, bool Transparent) {
  const std::string path = "images/" + FileName;
  TSurfacePtr image = LoadImage(path, Transparent);
  if (!image) {
    std::fprintf(stderr, "tumult2d: warning: cannot load image \"%s\": %s\n", path.c_str(),
                 SDL_GetError());
  }
  return image;
}

void LoadBattlePictures(TBattlefield& Level, TTankSlots& Tanks, int32_t NumberOfTanks) {
  if (Level.IsBGImage) {
    Level.Background = LoadGameImage(Level.BGImageFile, false);
    // The picture is copied onto every frame; encoded, the copy leaves the frame in the cache.
    EncodeOpaqueRuns(Level.Background.get());
  }
  const int32_t count = std::clamp(NumberOfTanks, 0, static_cast<int32_t>(Tanks.size()));
  for (int32_t i = 0; i < count; ++i) {
    if (Tanks[i]) {
      Tanks[i]->Sprite = LoadGameImage(Tanks[i]->ImageFile, true);
    }
  }
}
