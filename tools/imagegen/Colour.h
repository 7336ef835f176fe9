// Floating-point colour maths: pictures are composed in doubles and rounded once at the end,
// so layered gradients do not accumulate rounding steps.
#pragma once

#include <algorithm>
#include <cmath>

#include "Image.h"

namespace imagegen {

// Channels are on the 0..255 scale but may stray outside it until quantised.
struct Colour {
  double r;
  double g;
  double b;
};

inline Colour operator+(Colour a, Colour b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator*(Colour c, double k) {
  return {c.r * k, c.g * k, c.b * k};
}

inline double clampUnit(double v) {
  return std::clamp(v, 0.0, 1.0);
}

inline Colour mix(Colour from, Colour to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

inline Colour toColour(Rgb c) {
  return {double(c.r), double(c.g), double(c.b)};
}

inline Colour grey(double level) {
  return {level, level, level};
}

// Additive light that can never overshoot white: 1 - (1 - base)(1 - light).
inline Colour screen(Colour base, Colour light) {
  auto channel = [](double a, double b) {
    return 255.0 -
           (255.0 - std::clamp(a, 0.0, 255.0)) * (255.0 - std::clamp(b, 0.0, 255.0)) / 255.0;
  };
  return {channel(base.r, light.r), channel(base.g, light.g), channel(base.b, light.b)};
}

inline double luminance(Colour c) {
  return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

inline std::uint8_t quantiseChannel(double v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

inline Rgb quantise(Colour c) {
  return {quantiseChannel(c.r), quantiseChannel(c.g), quantiseChannel(c.b)};
}

inline double smoothstep(double edge0, double edge1, double x) {
  const double t = clampUnit((x - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

}  // namespace imagegen
