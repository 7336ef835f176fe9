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

namespace {

struct TNamedImage {
  std::string FileName;
  TImage Image;
};

// The first tank's colour; its tank is also the game's icon.
constexpr TRgb kIconTankColour{0x00, 0x84, 0x42};

std::vector<TNamedImage> AllImages() {
  return {
      {"DesertEclipse.bmp", MakeDesertEclipse()},
      {"TK-1.bmp", MakeTankSprite(kIconTankColour)},
      {"TK-2.bmp", MakeTankSprite({0xE7, 0x42, 0x18})},
      {"TK-3.bmp", MakeTankSprite({0x84, 0x00, 0xFF})},
      {"TK-4.bmp", MakeTankSprite({0xFF, 0xFF, 0x84})},
  };
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
