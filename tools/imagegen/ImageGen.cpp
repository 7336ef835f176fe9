// Generates the game's pictures from code, so they can be rebuilt and reviewed like source.
// Usage: imagegen <image-dir> [<icon-dir>]
// The icons go to <icon-dir>/hicolor/NxN/apps/tumult2d.png, the layout of the desktop's icon
// theme.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Background.h"
#include "Icon.h"
#include "Image.h"
#include "Png.h"
#include "TankSprites.h"
#include "game/GameFacts.h"

namespace {

struct TNamedImage {
  std::string FileName;
  TImage Image;
};

// A game colour, 0xRRGGBB, as a pixel.
constexpr TRgb Rgb(uint32_t Colour) {
  return {uint8_t(Colour >> 16), uint8_t(Colour >> 8), uint8_t(Colour)};
}

// The first tank's colour; its tank is also the game's icon.
constexpr TRgb kIconTankColour = Rgb(kTankSetups[0].Color);

// The background, then each tank's sprite in its turret colour, under the names the game loads.
std::vector<TNamedImage> AllImages() {
  std::vector<TNamedImage> images;
  images.push_back({kBackgroundImage, MakeDesertEclipse()});
  for (const TTankSetup& tank : kTankSetups) {
    images.push_back({tank.Sprite, MakeTankSprite(Rgb(tank.Color))});
  }
  return images;
}

bool MakeFolder(const std::filesystem::path& Folder) {
  std::error_code error;
  std::filesystem::create_directories(Folder, error);
  if (error) {
    std::cerr << "imagegen: cannot create " << Folder << ": " << error.message() << '\n';
  }
  return !error;
}

bool WriteIcons(const std::filesystem::path& IconDir) {
  for (const int size : kIconSizes) {
    const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = IconDir / "hicolor" / sizeName / "apps";
    if (!MakeFolder(folder)) {
      return false;
    }
    const std::filesystem::path path = folder / "tumult2d.png";
    const std::vector<uint8_t> icon = MakeTankIcon(kIconTankColour, size);
    if (!WritePng(path.string(), icon.data(), size, size, 4)) {
      std::cerr << "imagegen: cannot write " << path << '\n';
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: " << (argc > 0 ? argv[0] : "imagegen") << " <image-dir> [<icon-dir>]\n";
    return 2;
  }
  const std::filesystem::path outputDir = argv[1];
  if (!MakeFolder(outputDir)) {
    return 1;
  }
  for (const TNamedImage& named : AllImages()) {
    const std::filesystem::path path = outputDir / named.FileName;
    if (!WriteBmp24(named.Image, path.string())) {
      std::cerr << "imagegen: cannot write " << path << '\n';
      return 1;
    }
  }
  return argc == 3 && !WriteIcons(argv[2]) ? 1 : 0;
}
