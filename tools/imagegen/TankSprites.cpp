#include "TankSprites.h"

#include <array>
#include <string_view>

#include "Colour.h"

namespace imagegen {

namespace {

// One character per pixel, lit from the upper left:
//   .  see-through          o  outline (darkest shade)   d  shadow      b  turret colour
//   l  light                h  highlight                 t  track       T  track link
//   w  road wheel           x  wheel in shadow           c  wheel hub
// The turret dome spans columns 8..17 on rows 7..12 (antenna above it on column 10); right of the
// dome the gun row stays clear so the barrel the game draws there shows through.
constexpr std::array<std::string_view, kTankHeight> kTankPixels = {{
    "...........................",  // 0
    "...........................",  // 1
    "...........................",  // 2
    "...........................",  // 3
    "..........h................",  // 4: antenna
    "..........o................",  // 5
    "..........o................",  // 6
    "..........ooooo............",  // 7
    "..........olhhbo...........",  // 8
    ".........olhhlbbo..........",  // 9
    "........olhlbbbbdo.........",  // 10
    "........olbbbbbbdo.........",  // 11
    "........obbbbbbddo.........",  // 12: gun row
    ".....ohhhhhhhhhhhhhhho.....",  // 13
    "...olbbbbbbbbbbbbbbbbbdo...",  // 14
    "..odddddddddddddddddddddo..",  // 15
    "...oTtTtTtTtTtTtTtTtTtTo...",  // 16
    "..otwcwtwcwtwcwtwcwtwcwto..",  // 17
    "..otxwxtxwxtxwxtxwxtxwxto..",  // 18
    "...ooooooooooooooooooooo...",  // 19: rests on the ground
}};

// First column right of the dome; the barrel is visible from here to the sprite's right edge.
constexpr std::size_t kGunClearFromColumn = 18;

constexpr std::string_view kKnownCodes = ".odblhtTwxc";

constexpr bool templateIsWellFormed() {
  for (std::string_view row : kTankPixels) {
    if (row.size() != static_cast<std::size_t>(kTankWidth)) return false;
    if (row.find_first_not_of(kKnownCodes) != std::string_view::npos) return false;
  }
  for (char c : kTankPixels[kBarrelRow].substr(kGunClearFromColumn)) {
    if (c != '.') return false;
  }
  return kTankPixels[0][0] == '.';
}

static_assert(
    templateIsWellFormed(),
    "tank rows must be 27 wide, use known codes, start see-through and keep the gun row clear");

Colour darken(Colour c, double keep) {
  return c * keep;
}

Colour lighten(Colour c, double towardWhite) {
  return mix(c, grey(255.0), towardWhite);
}

// Tracks and wheels are steel, only tinted by the paint so every tank still reads as its colour.
Colour steel(Colour paint, double level, double tint) {
  return mix(grey(level), paint, tint);
}

// A shade that happens to equal the see-through colour would punch a hole in the tank.
Rgb opaque(Colour c) {
  Rgb pixel = quantise(c);
  if (pixel == kMagenta) pixel.g = 1;
  return pixel;
}

Rgb shadeFor(char code, Rgb turret) {
  const Colour paint = toColour(turret);
  switch (code) {
    case 'o':
      return opaque(darken(paint, 0.30) + grey(8.0));
    case 'd':
      return opaque(darken(paint, 0.66));
    case 'b':
      return opaque(paint);
    case 'l':
      return opaque(lighten(paint, 0.30));
    case 'h':
      return opaque(lighten(paint, 0.58));
    case 't':
      return opaque(steel(paint, 44.0, 0.22));
    case 'T':
      return opaque(steel(paint, 82.0, 0.22));
    case 'w':
      return opaque(steel(paint, 118.0, 0.25));
    case 'x':
      return opaque(steel(paint, 78.0, 0.25));
    case 'c':
      return opaque(steel(paint, 185.0, 0.20));
    default:
      return kMagenta;
  }
}

}  // namespace

Image makeTankSprite(Rgb turretColour) {
  Image sprite(kTankWidth, kTankHeight, kMagenta);
  for (int y = 0; y < kTankHeight; ++y) {
    for (int x = 0; x < kTankWidth; ++x) {
      sprite.set(x, y, shadeFor(kTankPixels[y][x], turretColour));
    }
  }
  return sprite;
}

}  // namespace imagegen
