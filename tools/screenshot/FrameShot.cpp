// tumult2d_frame: renders the first frame of the battle a seed gives, without a window, and
// writes it as a PNG file, or as a binary PPM file when the name ends in ".ppm" (what the
// window tests read, no decoder needed). It runs from the folder that holds images/, as the
// game does, so the frame shows whatever pictures the game would load from there (and it
// prints the same warnings for the ones it cannot load).
//
//   tumult2d_frame SEED OUT.png|OUT.ppm
//
// The game itself takes its seed from the clock; this tool is how the README's picture and
// the window tests know which frame a given battle must show.
#include <SDL.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Bytes.h"
#include "Game.h"
#include "Png.h"

namespace {

// The display surface as 8-bit RGB rows, read through its own pixel format.
std::vector<uint8_t> CaptureScreen(PSDL_Surface Screen) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(Screen->w) * static_cast<size_t>(Screen->h) * 3);
  const auto* rows = static_cast<const uint8_t*>(Screen->pixels);
  for (int y = 0; y < Screen->h; ++y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(rows + static_cast<ptrdiff_t>(y) * Screen->pitch);
    for (int x = 0; x < Screen->w; ++x) {
      uint8_t r = 0;
      uint8_t g = 0;
      uint8_t b = 0;
      SDL_GetRGB(row[x], Screen->format, &r, &g, &b);
      rgb.insert(rgb.end(), {r, g, b});
    }
  }
  return rgb;
}

bool WritePpm(const std::string& Path, const std::vector<uint8_t>& Rgb, int Width, int Height) {
  const std::string header =
      "P6\n" + std::to_string(Width) + " " + std::to_string(Height) + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), Rgb.begin(), Rgb.end());
  return WriteFileBytes(bytes, Path);
}

bool EndsWith(const std::string& Text, const std::string& Tail) {
  return Text.size() >= Tail.size() &&
         Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

bool ParseSeed(const char* Text, uint32_t& Seed) {
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(Text, &end, 10);
  if (errno != 0 || end == Text || *end != '\0' || Text[0] == '-' || value > UINT32_MAX) {
    return false;
  }
  Seed = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  uint32_t seed = 0;
  if (argc != 3 || !ParseSeed(argv[1], seed)) {
    std::fprintf(stderr,
                 "usage: tumult2d_frame SEED OUT.png|OUT.ppm  (run from the folder of images/)\n");
    return 2;
  }
  // A tool, not the game: it never opens a window, whatever the environment says.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  TGame game;
  std::string failure;
  if (!StartGame(game, seed, failure)) {
    std::fprintf(stderr, "tumult2d_frame: %s\n", failure.c_str());
    return 1;
  }
  ComposeFrame(game);
  const int width = game.GameScreen->w;
  const int height = game.GameScreen->h;
  const std::vector<uint8_t> frame = CaptureScreen(game.GameScreen);
  EndGame(game);
  const std::string path = argv[2];
  const bool written = EndsWith(path, ".ppm") ? WritePpm(path, frame, width, height)
                                              : WritePng(path, frame.data(), width, height, 3);
  if (!written) {
    std::fprintf(stderr, "tumult2d_frame: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
