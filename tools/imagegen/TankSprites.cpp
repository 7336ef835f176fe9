#include "TankSprites.h"

#include <array>
#include <string_view>

#include "Colour.h"

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
constexpr size_t kGunClearFromColumn = 18;

constexpr std::string_view kKnownCodes = ".odblhtTwxc";

constexpr bool TemplateIsWellFormed() {
  for (const std::string_view row : kTankPixels) {
    if (row.size() != static_cast<size_t>(kTankWidth) ||
        row.find_first_not_of(kKnownCodes) != std::string_view::npos) {
      return false;
    }
  }
  return kTankPixels[kBarrelRow].substr(kGunClearFromColumn).find_first_not_of('.') ==
             std::string_view::npos &&
         kTankPixels[0][0] == '.';
}

static_assert(
    TemplateIsWellFormed(),
    "tank rows must be 27 wide, use known codes, start see-through and keep the gun row clear");

TColour Darken(TColour C, double Keep) {
  return C * Keep;
}

TColour Lighten(TColour C, double TowardWhite) {
  return Mix(C, Grey(255.0), TowardWhite);
}

// Tracks and wheels are steel, only tinted by the paint so every tank still reads as its colour.
TColour Steel(TColour Paint, double Level, double Tint) {
  return Mix(Grey(Level), Paint, Tint);
}

// A shade that happened to equal the see-through colour would punch a hole in the tank.
TRgb ShadeFor(char Code, TRgb Turret) {
  const TColour paint = ToColour(Turret);
  switch (Code) {
    case 'o':
      return QuantiseOpaque(Darken(paint, 0.30) + Grey(8.0));
    case 'd':
      return QuantiseOpaque(Darken(paint, 0.66));
    case 'b':
      return QuantiseOpaque(paint);
    case 'l':
      return QuantiseOpaque(Lighten(paint, 0.30));
    case 'h':
      return QuantiseOpaque(Lighten(paint, 0.58));
    case 't':
      return QuantiseOpaque(Steel(paint, 44.0, 0.22));
    case 'T':
      return QuantiseOpaque(Steel(paint, 82.0, 0.22));
    case 'w':
      return QuantiseOpaque(Steel(paint, 118.0, 0.25));
    case 'x':
      return QuantiseOpaque(Steel(paint, 78.0, 0.25));
    case 'c':
      return QuantiseOpaque(Steel(paint, 185.0, 0.20));
    default:
      return kMagenta;
  }
}

}  // namespace

TImage MakeTankSprite(TRgb TurretColour) {
  TImage sprite(kTankWidth, kTankHeight, kMagenta);
  for (int y = 0; y < kTankHeight; ++y) {
    for (int x = 0; x < kTankWidth; ++x) {
      sprite.At(x, y) = ShadeFor(kTankPixels[y][x], TurretColour);
    }
  }
  return sprite;
}
