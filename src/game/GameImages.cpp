#include "game/GameImages.h"

#include <cstdio>

std::string GameImagePath(const std::string& FileName) {
  return "images/" + FileName;
}

TSurfacePtr LoadGameImage(const std::string& FileName, bool Transparent) {
  const std::string path = GameImagePath(FileName);
  TSurfacePtr image = LoadImage(path, Transparent);
  if (!image) {
    std::fprintf(stderr, "tumult2d: warning: cannot load image \"%s\": %s\n", path.c_str(),
                 SDL_GetError());
  }
  return image;
}
