#include "Icon.h"

#include <algorithm>
#include <cmath>

#include "Colour.h"
#include "TankSprites.h"

namespace imagegen {

namespace {

// The share of the icon's width (or height) the tank spans, leaving a margin around it.
constexpr double kFill = 0.92;
// From this scale up every sprite pixel becomes a whole square of icon pixels, so large
// icons keep the sprite's crisp pixels; smaller ones average the sprite pixels they cover.
constexpr double kWholePixelsFrom = 3.0;

struct Box {
  int left;
  int top;
  int width;
  int height;
};

// In the game the barrel is a line drawn under the sprite; the icon paints it in.
Image spriteWithBarrel(Rgb turretColour) {
  Image sprite = makeTankSprite(turretColour);
  for (int x = 0; x < sprite.width(); ++x) {
    if (sprite.at(x, kBarrelRow) == kMagenta && x > sprite.width() / 2) {
      sprite.set(x, kBarrelRow, turretColour);
    }
  }
  return sprite;
}

Box opaqueBounds(const Image& sprite) {
  int left = sprite.width();
  int top = sprite.height();
  int right = -1;
  int bottom = -1;
  for (int y = 0; y < sprite.height(); ++y) {
    for (int x = 0; x < sprite.width(); ++x) {
      if (sprite.at(x, y) != kMagenta) {
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
// (x0, y0)-(x1, y1) is the icon pixel in sprite coordinates, relative to the box.
void coverPixel(const Image& sprite, const Box& box, double x0, double y0, double x1, double y1,
                std::uint8_t* out) {
  Colour sum{0.0, 0.0, 0.0};
  double opaqueArea = 0.0;
  for (int sy = std::max(0, static_cast<int>(std::floor(y0)));
       sy < std::min(box.height, static_cast<int>(std::ceil(y1))); ++sy) {
    const double wy = std::min(y1, sy + 1.0) - std::max(y0, static_cast<double>(sy));
    for (int sx = std::max(0, static_cast<int>(std::floor(x0)));
         sx < std::min(box.width, static_cast<int>(std::ceil(x1))); ++sx) {
      const Rgb pixel = sprite.at(box.left + sx, box.top + sy);
      if (pixel == kMagenta) {
        continue;
      }
      const double weight = wy * (std::min(x1, sx + 1.0) - std::max(x0, static_cast<double>(sx)));
      sum = sum + toColour(pixel) * weight;
      opaqueArea += weight;
    }
  }
  if (opaqueArea <= 0.0) {
    return;  // Left fully see-through, as the field starts.
  }
  const Rgb colour = quantise(sum * (1.0 / opaqueArea));
  out[0] = colour.r;
  out[1] = colour.g;
  out[2] = colour.b;
  out[3] = quantiseChannel(255.0 * opaqueArea / ((x1 - x0) * (y1 - y0)));
}

}  // namespace

RgbaImage makeTankIcon(Rgb turretColour, int size) {
  const Image sprite = spriteWithBarrel(turretColour);
  const Box box = opaqueBounds(sprite);
  double scale = kFill * size / std::max(box.width, box.height);
  if (scale >= kWholePixelsFrom) {
    scale = std::floor(scale);
  }
  // Whole-pixel offsets keep whole-pixel scaling crisp.
  const double left = std::floor((size - box.width * scale) / 2.0);
  const double top = std::floor((size - box.height * scale) / 2.0);

  RgbaImage icon{size, size, std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      coverPixel(sprite, box, (x - left) / scale, (y - top) / scale, (x + 1 - left) / scale,
                 (y + 1 - top) / scale, &icon.rgba[(static_cast<std::size_t>(y) * size + x) * 4]);
    }
  }
  return icon;
}

}  // namespace imagegen
