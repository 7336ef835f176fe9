#include "Background.h"

#include <array>
#include <cmath>

#include "Colour.h"
#include "Xorshift.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// The eclipse sits right of centre in the upper third so it never hides behind typical terrain.
constexpr double kEclipseX = 548.0;
constexpr double kEclipseY = 148.0;
constexpr double kMoonRadius = 38.0;

// Row where the all-round twilight glow of totality peaks; the far mesas stand on it.
constexpr double kHorizonRow = 352.0;

constexpr uint32_t kStarSeed = 0x5EEDC0DEU;
constexpr uint32_t kGrainSeed = 0x0DDBA11U;
constexpr uint32_t kDitherSeed = 0xD17E4U;

// Replaces every pixel, row by row from the top, with Paint(x, y, pixel).
template <typename TPaint>
void ForEachPixel(TCanvas& Canvas, TPaint Paint) {
  for (int y = 0; y < Canvas.Height(); ++y) {
    for (int x = 0; x < Canvas.Width(); ++x) {
      Canvas.At(x, y) = Paint(x, y, Canvas.At(x, y));
    }
  }
}

// ---- Sky -------------------------------------------------------------------------------------

// Built from exponentials rather than colour stops: stops leave visible kinks (Mach bands)
// where the slope of the gradient changes.
TColour SkyAt(double X, double Y) {
  const double depth = ClampUnit(Y / kHorizonRow);
  const TColour night = Mix({4.0, 4.0, 18.0}, {30.0, 18.0, 45.0}, depth);
  const double above = std::max(0.0, kHorizonRow - Y);
  // The glow is a touch stronger away from the eclipse, where the sky is still sunlit.
  const double sway = 0.82 + 0.18 * std::cos((X - kEclipseX) / kBackgroundWidth * kPi);
  // Violet peaks in a broad band well above the horizon; rose and amber hug the horizon.
  const double band = (above - 120.0) / 110.0;
  const TColour violet = TColour{42.0, 16.0, 56.0} * std::exp(-band * band);
  const TColour rose = TColour{85.0, 32.0, 28.0} * (std::exp(-above / 60.0) * sway);
  const TColour amber = TColour{140.0, 100.0, 30.0} * (std::exp(-above / 30.0) * sway);
  return night + violet + rose + amber;
}

// ---- Stars -----------------------------------------------------------------------------------

void AddLight(TCanvas& Canvas, int X, int Y, TColour Light) {
  if (!Canvas.Contains(X, Y)) {
    return;
  }
  TColour& pixel = Canvas.At(X, Y);
  const double visibility = ClampUnit(1.0 - (Luminance(pixel) - 25.0) / 55.0);
  pixel = pixel + Light * visibility;
}

TColour StarTint(TXorshift32& Random) {
  static const std::array<TColour, 4> kTints = {
      TColour{200.0, 215.0, 255.0}, TColour{255.0, 255.0, 255.0}, TColour{255.0, 232.0, 200.0},
      TColour{235.0, 240.0, 255.0}};
  return kTints[Random.Next() % kTints.size()];
}

bool TooCloseToEclipse(double X, double Y) {
  return std::hypot(X - kEclipseX, Y - kEclipseY) < kMoonRadius * 3.4;
}

void DrawStar(TCanvas& Canvas, int X, int Y, double Brightness, TColour Tint) {
  AddLight(Canvas, X, Y, Tint * Brightness);
  // Only the brightest stars get a faint cross, so they twinkle without looking like sprites.
  if (Brightness < 0.7) {
    return;
  }
  const TColour spill = Tint * (Brightness * 0.35);
  AddLight(Canvas, X - 1, Y, spill);
  AddLight(Canvas, X + 1, Y, spill);
  AddLight(Canvas, X, Y - 1, spill);
  AddLight(Canvas, X, Y + 1, spill);
}

void DrawStars(TCanvas& Canvas) {
  TXorshift32 random(kStarSeed);
  constexpr int kStarCount = 110;
  int placed = 0;
  while (placed < kStarCount) {
    const double x = random.Range(0.0, kBackgroundWidth);
    // Denser toward the zenith, where the sky is darkest. One draw per statement keeps their
    // order fixed.
    const double toZenith = random.Unit();
    const double y = kHorizonRow * 0.85 * toZenith * random.Unit();
    const double brightness = 0.22 + 0.78 * std::pow(random.Unit(), 3.0);
    const TColour tint = StarTint(random);
    if (TooCloseToEclipse(x, y)) {
      continue;
    }
    DrawStar(Canvas, static_cast<int>(x), static_cast<int>(y), brightness, tint);
    ++placed;
  }
  // A planet shines close to the darkened sun during totality; make it the brightest point.
  DrawStar(Canvas, 402, 226, 1.0, {255.0, 248.0, 230.0});
}

// ---- Eclipse ---------------------------------------------------------------------------------

struct TStreamer {
  double Angle;     // radians, screen coordinates (y down)
  double Width;     // angular half-width at the limb
  double Strength;  // brightness at the limb
  double Reach;     // radial fall-off length in pixels
};

// Long streamers near the solar equator, shorter plumes toward the poles.
constexpr std::array<TStreamer, 7> kStreamers = {{{0.28, 0.34, 0.60, 46.0},
                                                  {3.45, 0.32, 0.65, 52.0},
                                                  {1.05, 0.20, 0.35, 34.0},
                                                  {2.20, 0.22, 0.30, 30.0},
                                                  {4.35, 0.16, 0.40, 36.0},
                                                  {5.20, 0.18, 0.35, 32.0},
                                                  {5.85, 0.24, 0.45, 48.0}}};

struct TProminence {
  double Angle;
  double Width;
  double Height;
};

constexpr std::array<TProminence, 3> kProminences = {
    {{2.05, 0.05, 3.5}, {4.95, 0.07, 2.6}, {0.70, 0.035, 2.2}}};

double AngularDistance(double A, double B) {
  return std::remainder(A - B, kTwoPi);
}

// Fine radial texture; incommensurate frequencies keep it from looking periodic.
double FineRays(double Theta) {
  return 0.5 * std::sin(37.0 * Theta + 1.3) + 0.3 * std::sin(61.0 * Theta + 0.2) +
         0.2 * std::sin(89.0 * Theta + 2.5);
}

double StreamerLight(double Height, double Theta) {
  double total = 0.0;
  for (const TStreamer& streamer : kStreamers) {
    // Streamers narrow with distance, which turns them into tapering petals.
    const double width = streamer.Width * kMoonRadius / (kMoonRadius + 0.7 * Height);
    const double across = AngularDistance(Theta, streamer.Angle) / width;
    total += streamer.Strength * std::exp(-across * across) * std::exp(-Height / streamer.Reach);
  }
  return total;
}

double CoronaIntensity(double Radius, double Theta) {
  const double height = Radius - kMoonRadius;
  const double inner = 0.85 * std::exp(-height / 3.5);
  const double body = 0.42 * std::exp(-height / 13.0) * (0.8 + 0.2 * FineRays(Theta));
  const double halo = 0.16 * std::pow(kMoonRadius / Radius, 2.4);
  return std::min(1.0, inner + body + halo + StreamerLight(height, Theta));
}

// Warm white at the limb cooling to pale blue, as the outer corona scatters bluer light.
TColour CoronaTint(double Radius) {
  const double outward = ClampUnit((Radius - kMoonRadius) / 90.0);
  return Mix({255.0, 246.0, 232.0}, {165.0, 185.0, 255.0}, outward);
}

double ProminenceIntensity(double Height, double Theta) {
  double total = 0.55 * std::exp(-Height / 0.9);  // the thin chromosphere ring
  for (const TProminence& prominence : kProminences) {
    const double across = AngularDistance(Theta, prominence.Angle) / prominence.Width;
    const double up = Height / prominence.Height;
    total += std::exp(-across * across - up * up);
  }
  return std::min(1.0, total);
}

TColour MoonColour(double Dx, double Dy) {
  // A whisper of earthshine on the lower left keeps the disc from reading as a hole.
  const double earthshine = ClampUnit((-Dx + Dy) / (2.0 * kMoonRadius) + 0.5);
  return Mix({3.0, 3.0, 9.0}, {10.0, 9.0, 20.0}, earthshine);
}

TColour PaintEclipse(int X, int Y, TColour Sky) {
  const double dx = X + 0.5 - kEclipseX;
  const double dy = Y + 0.5 - kEclipseY;
  const double radius = std::hypot(dx, dy);
  const double theta = std::atan2(dy, dx);
  if (radius > kMoonRadius * 9.0) {
    return Sky;
  }
  TColour lit = Sky;
  if (radius > kMoonRadius - 1.0) {
    const double outside = std::max(radius, kMoonRadius);
    lit = Screen(lit, CoronaTint(outside) * CoronaIntensity(outside, theta));
    // Mixed rather than added: the inner corona is already white and would swallow the red.
    lit = Mix(lit, {255.0, 70.0, 100.0}, 0.9 * ProminenceIntensity(outside - kMoonRadius, theta));
  }
  // Coverage of the pixel by the disc gives a clean anti-aliased limb.
  const double disc = ClampUnit(kMoonRadius + 0.5 - radius);
  return Mix(lit, MoonColour(dx, dy), disc);
}

// ---- Horizon ---------------------------------------------------------------------------------

struct TMesa {
  double Centre;
  double TopHalfWidth;
  double TalusWidth;
  double Height;
};

constexpr std::array<TMesa, 7> kFarMesas = {{{55.0, 38.0, 30.0, 30.0},
                                             {205.0, 20.0, 26.0, 46.0},
                                             {318.0, 58.0, 40.0, 20.0},
                                             {452.0, 16.0, 20.0, 36.0},
                                             {640.0, 52.0, 36.0, 40.0},
                                             {700.0, 14.0, 22.0, 52.0},
                                             {790.0, 28.0, 40.0, 24.0}}};

constexpr std::array<TMesa, 4> kMidMesas = {{{128.0, 24.0, 24.0, 26.0},
                                             {398.0, 34.0, 30.0, 18.0},
                                             {560.0, 12.0, 16.0, 30.0},
                                             {742.0, 38.0, 30.0, 16.0}}};

// Flat cap, then a concave talus: steep just below the cap rock, gentle at the foot.
double MesaHeight(const TMesa& Mesa, double X) {
  const double fromCentre = std::abs(X - Mesa.Centre);
  if (fromCentre <= Mesa.TopHalfWidth) {
    return Mesa.Height;
  }
  const double down = (fromCentre - Mesa.TopHalfWidth) / Mesa.TalusWidth;
  if (down >= 1.0) {
    return 0.0;
  }
  return Mesa.Height * (1.0 - down) * (1.0 - down);
}

template <size_t N>
double TallestMesa(const std::array<TMesa, N>& Mesas, double X) {
  double tallest = 0.0;
  for (const TMesa& mesa : Mesas) {
    tallest = std::max(tallest, MesaHeight(mesa, X));
  }
  return tallest;
}

// Smooth 1-D value noise in [-1, 1] from an integer hash, so it needs no generator state.
double ValueNoise(double X, uint32_t Salt) {
  auto hashed = [Salt](long long i) {
    uint32_t h = static_cast<uint32_t>(i) * 0x9E3779B1U ^ Salt;
    h ^= h >> 15;
    h *= 0x85EBCA77U;
    h ^= h >> 13;
    return static_cast<double>(h & 0xFFFFU) / 32767.5 - 1.0;
  };
  const double cell = std::floor(X);
  const double t = Smoothstep(0.0, 1.0, X - cell);
  const auto i = static_cast<long long>(cell);
  return hashed(i) + (hashed(i + 1) - hashed(i)) * t;
}

double FarRidgeTop(double X) {
  const double rolling = 7.0 + 4.0 * std::sin(X * 0.013 + 1.0);
  const double erosion = 1.0 * ValueNoise(X / 9.0, 11U) + 0.35 * ValueNoise(X / 3.0, 12U);
  return kHorizonRow - std::max(rolling, TallestMesa(kFarMesas, X)) + erosion;
}

double MidRidgeTop(double X) {
  const double rolling = 5.0 + 3.0 * std::sin(X * 0.021 + 0.3);
  const double erosion = 0.8 * ValueNoise(X / 7.0, 21U) + 0.3 * ValueNoise(X / 2.5, 22U);
  return kHorizonRow + 16.0 - std::max(rolling, TallestMesa(kMidMesas, X)) + erosion;
}

double DuneTop(double X) {
  return kHorizonRow + 30.0 + 6.0 * std::sin(X * 0.009 + 0.4) + 3.5 * std::sin(X * 0.023 + 2.1) +
         1.5 * std::sin(X * 0.051 + 4.0);
}

// Fraction of pixel (X, Y) below the silhouette; sampled across the pixel so steep cliff
// sides are as smooth as the gently sloping tops.
template <typename TRidge>
double CoverageBelow(TRidge RidgeTop, int X, int Y) {
  constexpr int kSamples = 4;
  double covered = 0.0;
  for (int s = 0; s < kSamples; ++s) {
    const double top = RidgeTop(X + (s + 0.5) / kSamples);
    covered += ClampUnit(Y + 1.0 - top);
  }
  return covered / kSamples;
}

// Distant rock takes on the sky's colour, and more so near its foot where the air is hazier.
TColour FarMesaColour(double X, double Y) {
  const TColour rock = Mix(SkyAt(X, kHorizonRow - 24.0), {44.0, 26.0, 58.0}, 0.7);
  const double haze = 0.3 * std::exp(-std::max(0.0, kHorizonRow - Y) / 10.0);
  return Mix(rock, SkyAt(X, kHorizonRow), haze);
}

TColour MidMesaColour(double X, double Y) {
  const double haze = 0.22 * std::exp(-std::max(0.0, kHorizonRow + 16.0 - Y) / 8.0);
  return Mix({30.0, 17.0, 36.0}, SkyAt(X, kHorizonRow), haze);
}

// Plain and darkening toward the bottom: the game's land covers most of it anyway.
TColour SandColour(double X, double Y, double Crest, double Grain) {
  const double depth = ClampUnit((Y - Crest) / (kBackgroundHeight - Crest));
  const TColour sand = Mix({96.0, 60.0, 50.0}, {38.0, 25.0, 27.0}, std::pow(depth, 0.7));
  // The horizon glow catches the dune crests.
  const double rim = 0.55 * std::exp(-(Y - Crest) / 1.8);
  const TColour lit = Mix(sand, {205.0, 120.0, 78.0}, ClampUnit(rim));
  const double ripple = 2.0 * ValueNoise(X / 23.0 + Y / 7.0, 31U);
  return lit + Grey(Grain + ripple);
}

void PaintLandscape(TCanvas& Canvas) {
  TXorshift32 grainRandom(kGrainSeed);
  ForEachPixel(Canvas, [&grainRandom](int x, int y, TColour above) {
    const double grain = 1.6 * grainRandom.Triangular();
    if (y < kHorizonRow - 60.0) {
      return above;
    }
    TColour c = Mix(above, FarMesaColour(x, y), CoverageBelow(FarRidgeTop, x, y));
    c = Mix(c, MidMesaColour(x, y), CoverageBelow(MidRidgeTop, x, y));
    const double crest = DuneTop(x + 0.5);
    return Mix(c, SandColour(x, y, crest, grain), CoverageBelow(DuneTop, x, y));
  });
}

// ---- Output ----------------------------------------------------------------------------------

// Triangular dither before rounding breaks up the 8-bit steps of the long dark gradients.
TImage QuantiseWithDither(const TCanvas& Canvas) {
  TXorshift32 dither(kDitherSeed);
  TImage image(Canvas.Width(), Canvas.Height(), {0, 0, 0});
  for (int y = 0; y < Canvas.Height(); ++y) {
    for (int x = 0; x < Canvas.Width(); ++x) {
      const TColour c = Canvas.At(x, y);
      image.At(x, y) = QuantiseOpaque(
          {c.R + dither.Triangular(), c.G + dither.Triangular(), c.B + dither.Triangular()});
    }
  }
  return image;
}

}  // namespace

TImage MakeDesertEclipse() {
  TCanvas canvas(kBackgroundWidth, kBackgroundHeight, {0.0, 0.0, 0.0});
  ForEachPixel(canvas, [](int x, int y, TColour /*Old*/) { return SkyAt(x + 0.5, y + 0.5); });
  DrawStars(canvas);
  ForEachPixel(canvas, PaintEclipse);
  PaintLandscape(canvas);
  return QuantiseWithDither(canvas);
}
