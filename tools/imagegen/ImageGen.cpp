// Generates the game's pictures from code, so they can be rebuilt and reviewed like source.
// Usage: imagegen <output-dir>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Background.h"
#include "Image.h"
#include "TankSprites.h"

namespace {

struct NamedImage {
  std::string fileName;
  imagegen::Image image;
};

std::vector<NamedImage> allImages() {
  using imagegen::makeTankSprite;
  return {
      {"DesertEclipse.bmp", imagegen::makeDesertEclipse()},
      {"TK-1.bmp", makeTankSprite({0x00, 0x84, 0x42})},
      {"TK-2.bmp", makeTankSprite({0xE7, 0x42, 0x18})},
      {"TK-3.bmp", makeTankSprite({0x84, 0x00, 0xFF})},
      {"TK-4.bmp", makeTankSprite({0xFF, 0xFF, 0x84})},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << (argc > 0 ? argv[0] : "imagegen") << " <output-dir>\n";
    return 2;
  }
  const std::filesystem::path outputDir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(outputDir, error);
  if (error) {
    std::cerr << "imagegen: cannot create " << outputDir << ": " << error.message() << '\n';
    return 1;
  }
  for (const NamedImage& named : allImages()) {
    const std::filesystem::path path = outputDir / named.fileName;
    if (!imagegen::writeBmp24(named.image, path.string())) {
      std::cerr << "imagegen: cannot write " << path << '\n';
      return 1;
    }
  }
  return 0;
}
