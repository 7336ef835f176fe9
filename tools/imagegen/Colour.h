// Floating-point colour maths: pictures are composed in doubles and rounded once at the end,
// so layered gradients do not accumulate rounding steps.
#ifndef TUMULT2D_IMAGEGEN_COLOUR_H_
#define TUMULT2D_IMAGEGEN_COLOUR_H_

#include <algorithm>
#include <cmath>

#include "Image.h"

// Channels are on the 0..255 scale but may stray outside it until quantised.
struct TColour {
  double R;
  double G;
  double B;
};

// A picture being composed, before it is rounded to 8-bit channels.
using TCanvas = TRaster<TColour>;

inline TColour operator+(TColour A, TColour B) {
  return {A.R + B.R, A.G + B.G, A.B + B.B};
}
inline TColour operator*(TColour C, double K) {
  return {C.R * K, C.G * K, C.B * K};
}

inline double ClampUnit(double V) {
  return std::clamp(V, 0.0, 1.0);
}

inline TColour Mix(TColour From, TColour To, double T) {
  return {From.R + (To.R - From.R) * T, From.G + (To.G - From.G) * T, From.B + (To.B - From.B) * T};
}

inline TColour ToColour(TRgb C) {
  return {double(C.R), double(C.G), double(C.B)};
}

inline TColour Grey(double Level) {
  return {Level, Level, Level};
}

// Additive light that can never overshoot white: 1 - (1 - base)(1 - light).
inline TColour Screen(TColour Base, TColour Light) {
  auto channel = [](double a, double b) {
    return 255.0 -
           (255.0 - std::clamp(a, 0.0, 255.0)) * (255.0 - std::clamp(b, 0.0, 255.0)) / 255.0;
  };
  return {channel(Base.R, Light.R), channel(Base.G, Light.G), channel(Base.B, Light.B)};
}

inline double Luminance(TColour C) {
  return 0.299 * C.R + 0.587 * C.G + 0.114 * C.B;
}

inline uint8_t QuantiseChannel(double V) {
  return static_cast<uint8_t>(std::lround(std::clamp(V, 0.0, 255.0)));
}

inline TRgb Quantise(TColour C) {
  return {QuantiseChannel(C.R), QuantiseChannel(C.G), QuantiseChannel(C.B)};
}

// Quantise for a picture that must not show the sprites' see-through colour: a pixel that
// would come out magenta is nudged off it.
inline TRgb QuantiseOpaque(TColour C) {
  TRgb pixel = Quantise(C);
  if (pixel == kMagenta) {
    pixel.G = 1;
  }
  return pixel;
}

inline double Smoothstep(double Edge0, double Edge1, double X) {
  const double t = ClampUnit((X - Edge0) / (Edge1 - Edge0));
  return t * t * (3.0 - 2.0 * t);
}

#endif  // TUMULT2D_IMAGEGEN_COLOUR_H_
