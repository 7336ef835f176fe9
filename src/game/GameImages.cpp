#include "game/GameImages.h"

#include <cstdio>

#include "graphics/GraphicsUnit.h"

TSurfacePtr LoadGameImage(const std::string& FileName, bool Transparent) {
  const std::string path = "images/" + FileName;
  TSurfacePtr image = LoadImage(path, Transparent);
  if (!image) {
    std::fprintf(stderr, "tumult2d: warning: cannot load image \"%s\": %s\n", path.c_str(),
                 SDL_GetError());
  }
  return image;
}
