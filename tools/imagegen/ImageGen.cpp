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
#include "TankSprites.h"

namespace {

struct NamedImage {
  std::string fileName;
  imagegen::Image image;
};

// The first tank's colour; its tank is also the game's icon.
constexpr imagegen::Rgb kIconTankColour{0x00, 0x84, 0x42};

std::vector<NamedImage> allImages() {
  using imagegen::makeTankSprite;
  return {
      {"DesertEclipse.bmp", imagegen::makeDesertEclipse()},
      {"TK-1.bmp", makeTankSprite(kIconTankColour)},
      {"TK-2.bmp", makeTankSprite({0xE7, 0x42, 0x18})},
      {"TK-3.bmp", makeTankSprite({0x84, 0x00, 0xFF})},
      {"TK-4.bmp", makeTankSprite({0xFF, 0xFF, 0x84})},
  };
}

bool makeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::cerr << "imagegen: cannot create " << folder << ": " << error.message() << '\n';
  }
  return !error;
}

bool writeIcons(const std::filesystem::path& iconDir) {
  for (int size : imagegen::kIconSizes) {
    const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = iconDir / "hicolor" / sizeName / "apps";
    if (!makeFolder(folder)) {
      return false;
    }
    const std::filesystem::path path = folder / "tumult2d.png";
    if (!imagegen::writePng(imagegen::makeTankIcon(kIconTankColour, size), path.string())) {
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
  if (!makeFolder(outputDir)) {
    return 1;
  }
  for (const NamedImage& named : allImages()) {
    const std::filesystem::path path = outputDir / named.fileName;
    if (!imagegen::writeBmp24(named.image, path.string())) {
      std::cerr << "imagegen: cannot write " << path << '\n';
      return 1;
    }
  }
  return argc == 3 && !writeIcons(argv[2]) ? 1 : 0;
}
