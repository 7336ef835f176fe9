#include "Icon.h"

#include <algorithm>
#include <cmath>

#include "Colour.h"
#include "TankSprites.h"

namespace {

// The share of the icon's width (or height) the tank spans, leaving a margin around it.
constexpr double kFill = 0.92;
// From this scale up every sprite pixel becomes a whole square of icon pixels, so large
// icons keep the sprite's crisp pixels; smaller ones average the sprite pixels they cover.
constexpr double kWholePixelsFrom = 3.0;

struct TBox {
  int Left;
  int Top;
  int Width;
  int Height;
};

// In the game the barrel is a line drawn under the sprite; the icon paints it in.
TImage SpriteWithBarrel(TRgb TurretColour) {
  TImage sprite = MakeTankSprite(TurretColour);
  for (int x = 0; x < sprite.Width(); ++x) {
    if (sprite.At(x, kBarrelRow) == kMagenta && x > sprite.Width() / 2) {
      sprite.At(x, kBarrelRow) = TurretColour;
    }
  }
  return sprite;
}

TBox OpaqueBounds(const TImage& Sprite) {
  int left = Sprite.Width();
  int top = Sprite.Height();
  int right = -1;
  int bottom = -1;
  for (int y = 0; y < Sprite.Height(); ++y) {
    for (int x = 0; x < Sprite.Width(); ++x) {
      if (Sprite.At(x, y) != kMagenta) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  return {left, top, right - left + 1, bottom - top + 1};
}

// The sprite pixels under one icon pixel, weighted by how much of it each covers.
// (X0, Y0)-(X1, Y1) is the icon pixel in sprite coordinates, relative to the box.
void CoverPixel(const TImage& Sprite, const TBox& Box, double X0, double Y0, double X1, double Y1,
                uint8_t* Out) {
  TColour sum{0.0, 0.0, 0.0};
  double opaqueArea = 0.0;
  for (int sy = std::max(0, static_cast<int>(std::floor(Y0)));
       sy < std::min(Box.Height, static_cast<int>(std::ceil(Y1))); ++sy) {
    const double wy = std::min(Y1, sy + 1.0) - std::max(Y0, static_cast<double>(sy));
    for (int sx = std::max(0, static_cast<int>(std::floor(X0)));
         sx < std::min(Box.Width, static_cast<int>(std::ceil(X1))); ++sx) {
      const TRgb pixel = Sprite.At(Box.Left + sx, Box.Top + sy);
      if (pixel == kMagenta) {
        continue;
      }
      const double weight = wy * (std::min(X1, sx + 1.0) - std::max(X0, static_cast<double>(sx)));
      sum = sum + ToColour(pixel) * weight;
      opaqueArea += weight;
    }
  }
  if (opaqueArea <= 0.0) {
    return;  // left fully see-through, as the field starts
  }
  const TRgb colour = Quantise(sum * (1.0 / opaqueArea));
  Out[0] = colour.R;
  Out[1] = colour.G;
  Out[2] = colour.B;
  Out[3] = QuantiseChannel(255.0 * opaqueArea / ((X1 - X0) * (Y1 - Y0)));
}

}  // namespace

std::vector<uint8_t> MakeTankIcon(TRgb TurretColour, int Size) {
  const TImage sprite = SpriteWithBarrel(TurretColour);
  const TBox box = OpaqueBounds(sprite);
  double scale = kFill * Size / std::max(box.Width, box.Height);
  if (scale >= kWholePixelsFrom) {
    scale = std::floor(scale);
  }
  // Whole-pixel offsets keep whole-pixel scaling crisp.
  const double left = std::floor((Size - box.Width * scale) / 2.0);
  const double top = std::floor((Size - box.Height * scale) / 2.0);

  std::vector<uint8_t> icon(static_cast<size_t>(Size) * static_cast<size_t>(Size) * 4);
  for (int y = 0; y < Size; ++y) {
    for (int x = 0; x < Size; ++x) {
      CoverPixel(sprite, box, (x - left) / scale, (y - top) / scale, (x + 1 - left) / scale,
                 (y + 1 - top) / scale, &icon[(static_cast<size_t>(y) * Size + x) * 4]);
    }
  }
  return icon;
}
