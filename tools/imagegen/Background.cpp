#include "Background.h"

#include <array>
#include <cmath>
#include <vector>

#include "Colour.h"
#include "Xorshift.h"

namespace imagegen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// The eclipse sits right of centre in the upper third so it never hides behind typical terrain.
constexpr double kEclipseX = 548.0;
constexpr double kEclipseY = 148.0;
constexpr double kMoonRadius = 38.0;

// Row where the all-round twilight glow of totality peaks; the far mesas stand on it.
constexpr double kHorizonRow = 352.0;

constexpr std::uint32_t kStarSeed = 0x5EEDC0DEu;
constexpr std::uint32_t kGrainSeed = 0x0DDBA11u;
constexpr std::uint32_t kDitherSeed = 0xD17E4u;

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width),
        height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
  }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

 private:
  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

template <typename Paint>
void forEachPixel(Canvas& canvas, Paint paint) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      canvas.at(x, y) = paint(x, y, canvas.at(x, y));
    }
  }
}

// ---- Sky -------------------------------------------------------------------------------------

// Built from exponentials rather than colour stops: stops leave visible kinks (Mach bands)
// where the slope of the gradient changes.
Colour skyAt(double x, double y) {
  const double depth = clampUnit(y / kHorizonRow);
  const Colour night = mix({4.0, 4.0, 18.0}, {30.0, 18.0, 45.0}, depth);
  const double above = std::max(0.0, kHorizonRow - y);
  // The glow is a touch stronger away from the eclipse, where the sky is still sunlit.
  const double sway = 0.82 + 0.18 * std::cos((x - kEclipseX) / kBackgroundWidth * kPi);
  // Violet peaks in a broad band well above the horizon; rose and amber hug the horizon.
  const double band = (above - 120.0) / 110.0;
  const Colour violet = Colour{42.0, 16.0, 56.0} * std::exp(-band * band);
  const Colour rose = Colour{85.0, 32.0, 28.0} * (std::exp(-above / 60.0) * sway);
  const Colour amber = Colour{140.0, 100.0, 30.0} * (std::exp(-above / 30.0) * sway);
  return night + violet + rose + amber;
}

// ---- Stars -----------------------------------------------------------------------------------

void addLight(Canvas& canvas, int x, int y, Colour light) {
  if (!canvas.contains(x, y)) return;
  Colour& pixel = canvas.at(x, y);
  const double visibility = clampUnit(1.0 - (luminance(pixel) - 25.0) / 55.0);
  pixel = pixel + light * visibility;
}

Colour starTint(Xorshift32& random) {
  static const std::array<Colour, 4> kTints = {
      Colour{200.0, 215.0, 255.0}, Colour{255.0, 255.0, 255.0}, Colour{255.0, 232.0, 200.0},
      Colour{235.0, 240.0, 255.0}};
  return kTints[random.next() % kTints.size()];
}

bool tooCloseToEclipse(double x, double y) {
  return std::hypot(x - kEclipseX, y - kEclipseY) < kMoonRadius * 3.4;
}

void drawStar(Canvas& canvas, int x, int y, double brightness, Colour tint) {
  addLight(canvas, x, y, tint * brightness);
  // Only the brightest stars get a faint cross, so they twinkle without looking like sprites.
  if (brightness < 0.7) return;
  const Colour spill = tint * (brightness * 0.35);
  addLight(canvas, x - 1, y, spill);
  addLight(canvas, x + 1, y, spill);
  addLight(canvas, x, y - 1, spill);
  addLight(canvas, x, y + 1, spill);
}

void drawStars(Canvas& canvas) {
  Xorshift32 random(kStarSeed);
  constexpr int kStarCount = 110;
  int placed = 0;
  while (placed < kStarCount) {
    const double x = random.range(0.0, kBackgroundWidth);
    // Denser toward the zenith, where the sky is darkest.
    const double y = kHorizonRow * 0.85 * random.unit() * random.unit();
    const double brightness = 0.22 + 0.78 * std::pow(random.unit(), 3.0);
    const Colour tint = starTint(random);
    if (tooCloseToEclipse(x, y)) continue;
    drawStar(canvas, static_cast<int>(x), static_cast<int>(y), brightness, tint);
    ++placed;
  }
  // A planet shines close to the darkened sun during totality; make it the brightest point.
  drawStar(canvas, 402, 226, 1.0, {255.0, 248.0, 230.0});
}

// ---- Eclipse ---------------------------------------------------------------------------------

struct Streamer {
  double angle;     // Radians, screen coordinates (y down).
  double width;     // Angular half-width at the limb.
  double strength;  // Brightness at the limb.
  double reach;     // Radial fall-off length in pixels.
};

// Long streamers near the solar equator, shorter plumes toward the poles.
constexpr std::array<Streamer, 7> kStreamers = {{{0.28, 0.34, 0.60, 46.0},
                                                 {3.45, 0.32, 0.65, 52.0},
                                                 {1.05, 0.20, 0.35, 34.0},
                                                 {2.20, 0.22, 0.30, 30.0},
                                                 {4.35, 0.16, 0.40, 36.0},
                                                 {5.20, 0.18, 0.35, 32.0},
                                                 {5.85, 0.24, 0.45, 48.0}}};

struct Prominence {
  double angle;
  double width;
  double height;
};

constexpr std::array<Prominence, 3> kProminences = {
    {{2.05, 0.05, 3.5}, {4.95, 0.07, 2.6}, {0.70, 0.035, 2.2}}};

double angularDistance(double a, double b) {
  return std::remainder(a - b, kTwoPi);
}

// Fine radial texture; incommensurate frequencies keep it from looking periodic.
double fineRays(double theta) {
  return 0.5 * std::sin(37.0 * theta + 1.3) + 0.3 * std::sin(61.0 * theta + 0.2) +
         0.2 * std::sin(89.0 * theta + 2.5);
}

double streamerLight(double height, double theta) {
  double total = 0.0;
  for (const Streamer& s : kStreamers) {
    // Streamers narrow with distance, which turns them into tapering petals.
    const double width = s.width * kMoonRadius / (kMoonRadius + 0.7 * height);
    const double across = angularDistance(theta, s.angle) / width;
    total += s.strength * std::exp(-across * across) * std::exp(-height / s.reach);
  }
  return total;
}

double coronaIntensity(double radius, double theta) {
  const double height = radius - kMoonRadius;
  const double inner = 0.85 * std::exp(-height / 3.5);
  const double body = 0.42 * std::exp(-height / 13.0) * (0.8 + 0.2 * fineRays(theta));
  const double halo = 0.16 * std::pow(kMoonRadius / radius, 2.4);
  return std::min(1.0, inner + body + halo + streamerLight(height, theta));
}

// Warm white at the limb cooling to pale blue, as the outer corona scatters bluer light.
Colour coronaTint(double radius) {
  const double outward = clampUnit((radius - kMoonRadius) / 90.0);
  return mix({255.0, 246.0, 232.0}, {165.0, 185.0, 255.0}, outward);
}

double prominenceIntensity(double height, double theta) {
  double total = 0.55 * std::exp(-height / 0.9);  // The thin chromosphere ring.
  for (const Prominence& p : kProminences) {
    const double across = angularDistance(theta, p.angle) / p.width;
    const double up = height / p.height;
    total += std::exp(-across * across - up * up);
  }
  return std::min(1.0, total);
}

Colour moonColour(double dx, double dy) {
  // A whisper of earthshine on the lower left keeps the disc from reading as a hole.
  const double earthshine = clampUnit((-dx + dy) / (2.0 * kMoonRadius) + 0.5);
  return mix({3.0, 3.0, 9.0}, {10.0, 9.0, 20.0}, earthshine);
}

Colour paintEclipse(int px, int py, Colour sky) {
  const double dx = px + 0.5 - kEclipseX;
  const double dy = py + 0.5 - kEclipseY;
  const double radius = std::hypot(dx, dy);
  const double theta = std::atan2(dy, dx);
  if (radius > kMoonRadius * 9.0) return sky;
  Colour lit = sky;
  if (radius > kMoonRadius - 1.0) {
    const double outside = std::max(radius, kMoonRadius);
    lit = screen(lit, coronaTint(outside) * coronaIntensity(outside, theta));
    // Mixed rather than added: the inner corona is already white and would swallow the red.
    lit = mix(lit, {255.0, 70.0, 100.0}, 0.9 * prominenceIntensity(outside - kMoonRadius, theta));
  }
  // Coverage of the pixel by the disc gives a clean anti-aliased limb.
  const double disc = clampUnit(kMoonRadius + 0.5 - radius);
  return mix(lit, moonColour(dx, dy), disc);
}

// ---- Horizon ---------------------------------------------------------------------------------

struct Mesa {
  double centre;
  double topHalfWidth;
  double talusWidth;
  double height;
};

constexpr std::array<Mesa, 7> kFarMesas = {{{55.0, 38.0, 30.0, 30.0},
                                            {205.0, 20.0, 26.0, 46.0},
                                            {318.0, 58.0, 40.0, 20.0},
                                            {452.0, 16.0, 20.0, 36.0},
                                            {640.0, 52.0, 36.0, 40.0},
                                            {700.0, 14.0, 22.0, 52.0},
                                            {790.0, 28.0, 40.0, 24.0}}};

constexpr std::array<Mesa, 4> kMidMesas = {{{128.0, 24.0, 24.0, 26.0},
                                            {398.0, 34.0, 30.0, 18.0},
                                            {560.0, 12.0, 16.0, 30.0},
                                            {742.0, 38.0, 30.0, 16.0}}};

// Flat cap, then a concave talus: steep just below the cap rock, gentle at the foot.
double mesaHeight(const Mesa& mesa, double x) {
  const double fromCentre = std::abs(x - mesa.centre);
  if (fromCentre <= mesa.topHalfWidth) return mesa.height;
  const double down = (fromCentre - mesa.topHalfWidth) / mesa.talusWidth;
  if (down >= 1.0) return 0.0;
  return mesa.height * (1.0 - down) * (1.0 - down);
}

template <std::size_t N>
double tallestMesa(const std::array<Mesa, N>& mesas, double x) {
  double tallest = 0.0;
  for (const Mesa& mesa : mesas) tallest = std::max(tallest, mesaHeight(mesa, x));
  return tallest;
}

// Smooth 1-D value noise in [-1, 1] from an integer hash, so it needs no generator state.
double valueNoise(double x, std::uint32_t salt) {
  auto hashed = [salt](long long i) {
    std::uint32_t h = static_cast<std::uint32_t>(i) * 0x9E3779B1u ^ salt;
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    return static_cast<double>(h & 0xFFFFu) / 32767.5 - 1.0;
  };
  const double cell = std::floor(x);
  const double t = smoothstep(0.0, 1.0, x - cell);
  const long long i = static_cast<long long>(cell);
  return hashed(i) + (hashed(i + 1) - hashed(i)) * t;
}

double farRidgeTop(double x) {
  const double rolling = 7.0 + 4.0 * std::sin(x * 0.013 + 1.0);
  const double erosion = 1.0 * valueNoise(x / 9.0, 11u) + 0.35 * valueNoise(x / 3.0, 12u);
  return kHorizonRow - std::max(rolling, tallestMesa(kFarMesas, x)) + erosion;
}

double midRidgeTop(double x) {
  const double rolling = 5.0 + 3.0 * std::sin(x * 0.021 + 0.3);
  const double erosion = 0.8 * valueNoise(x / 7.0, 21u) + 0.3 * valueNoise(x / 2.5, 22u);
  return kHorizonRow + 16.0 - std::max(rolling, tallestMesa(kMidMesas, x)) + erosion;
}

double duneTop(double x) {
  return kHorizonRow + 30.0 + 6.0 * std::sin(x * 0.009 + 0.4) + 3.5 * std::sin(x * 0.023 + 2.1) +
         1.5 * std::sin(x * 0.051 + 4.0);
}

// Fraction of pixel (x, y) below the silhouette; sampled across the pixel so steep cliff
// sides are as smooth as the gently sloping tops.
template <typename Ridge>
double coverageBelow(Ridge ridgeTop, int x, int y) {
  constexpr int kSamples = 4;
  double covered = 0.0;
  for (int s = 0; s < kSamples; ++s) {
    const double top = ridgeTop(x + (s + 0.5) / kSamples);
    covered += clampUnit(y + 1.0 - top);
  }
  return covered / kSamples;
}

// Distant rock takes on the sky's colour, and more so near its foot where the air is hazier.
Colour farMesaColour(double x, double y) {
  const Colour rock = mix(skyAt(x, kHorizonRow - 24.0), {44.0, 26.0, 58.0}, 0.7);
  const double haze = 0.3 * std::exp(-std::max(0.0, kHorizonRow - y) / 10.0);
  return mix(rock, skyAt(x, kHorizonRow), haze);
}

Colour midMesaColour(double x, double y) {
  const double haze = 0.22 * std::exp(-std::max(0.0, kHorizonRow + 16.0 - y) / 8.0);
  return mix({30.0, 17.0, 36.0}, skyAt(x, kHorizonRow), haze);
}

// Plain and darkening toward the bottom: the game's land covers most of it anyway.
Colour sandColour(double x, double y, double crest, double grain) {
  const double depth = clampUnit((y - crest) / (kBackgroundHeight - crest));
  const Colour sand = mix({96.0, 60.0, 50.0}, {38.0, 25.0, 27.0}, std::pow(depth, 0.7));
  // The horizon glow catches the dune crests.
  const double rim = 0.55 * std::exp(-(y - crest) / 1.8);
  const Colour lit = mix(sand, {205.0, 120.0, 78.0}, clampUnit(rim));
  const double ripple = 2.0 * valueNoise(x / 23.0 + y / 7.0, 31u);
  return lit + grey(grain + ripple);
}

void paintLandscape(Canvas& canvas) {
  Xorshift32 grainRandom(kGrainSeed);
  forEachPixel(canvas, [&grainRandom](int x, int y, Colour above) {
    const double grain = 1.6 * grainRandom.triangular();
    if (y < kHorizonRow - 60.0) return above;
    Colour c = mix(above, farMesaColour(x, y), coverageBelow(farRidgeTop, x, y));
    c = mix(c, midMesaColour(x, y), coverageBelow(midRidgeTop, x, y));
    const double crest = duneTop(x + 0.5);
    return mix(c, sandColour(x, y, crest, grain), coverageBelow(duneTop, x, y));
  });
}

// ---- Output ----------------------------------------------------------------------------------

// Triangular dither before rounding breaks up the 8-bit steps of the long dark gradients.
Image quantiseWithDither(Canvas& canvas) {
  Xorshift32 dither(kDitherSeed);
  Image image(canvas.width(), canvas.height(), {0, 0, 0});
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const Colour c = canvas.at(x, y);
      Rgb pixel = quantise(
          {c.r + dither.triangular(), c.g + dither.triangular(), c.b + dither.triangular()});
      if (pixel == kMagenta) pixel.g = 1;  // Keep the sprites' see-through colour unique.
      image.set(x, y, pixel);
    }
  }
  return image;
}

}  // namespace

Image makeDesertEclipse() {
  Canvas canvas(kBackgroundWidth, kBackgroundHeight);
  forEachPixel(canvas, [](int x, int y, Colour) { return skyAt(x + 0.5, y + 0.5); });
  drawStars(canvas);
  forEachPixel(canvas, paintEclipse);
  paintLandscape(canvas);
  return quantiseWithDither(canvas);
}

}  // namespace imagegen
