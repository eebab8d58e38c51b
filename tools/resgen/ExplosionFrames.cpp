// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplosionFrames.h"

#include "Prng.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr double Centre = ExplosionFrameSize / 2.0;
constexpr double Pi = 3.14159265358979323846;

// Nothing is drawn farther than this from the centre, so the corners (and the
// bottom-left pixel the view takes as transparent) always stay white.
constexpr double Reach = 13.4;

struct TColour {
  double R, G, B;
};

TColour Mix(const TColour& A, const TColour& B, double T) {
  T = std::clamp(T, 0.0, 1.0);
  return {A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T};
}

QRgb ToRgb(const TColour& C) {
  auto Channel = [](double V) { return static_cast<int>(std::lround(std::clamp(V, 0.0, 255.0))); };
  return qRgb(Channel(C.R), Channel(C.G), Channel(C.B));
}

// Heat 0 is the white-hot core, 1 the smoky brown rim of the flame.
TColour FireColour(double Heat) {
  static const std::array<std::pair<double, TColour>, 5> Stops{{
      {0.00, {255, 255, 235}},
      {0.30, {255, 236, 120}},
      {0.55, {255, 168, 32}},
      {0.80, {222, 100, 22}},
      {1.00, {140, 62, 26}},
  }};
  Heat = std::clamp(Heat, 0.0, 1.0);
  for (std::size_t i = 1; i < Stops.size(); ++i) {
    if (Heat <= Stops[i].first) {
      const double T = (Heat - Stops[i - 1].first) / (Stops[i].first - Stops[i - 1].first);
      return Mix(Stops[i - 1].second, Stops[i].second, T);
    }
  }
  return Stops.back().second;
}

double Smooth(double T) {
  return T * T * (3.0 - 2.0 * T);
}

double ValueNoise(double X, double Y, std::uint64_t Seed) {
  const double Fx = std::floor(X), Fy = std::floor(Y);
  const auto Ix = static_cast<std::int64_t>(Fx), Iy = static_cast<std::int64_t>(Fy);
  const double Tx = Smooth(X - Fx), Ty = Smooth(Y - Fy);
  const double A = LatticeValue(Ix, Iy, Seed), B = LatticeValue(Ix + 1, Iy, Seed);
  const double C = LatticeValue(Ix, Iy + 1, Seed), D = LatticeValue(Ix + 1, Iy + 1, Seed);
  return (A + (B - A) * Tx) + ((C + (D - C) * Tx) - (A + (B - A) * Tx)) * Ty;
}

// Three octaves, in [0, 1).
double Turbulence(double X, double Y, std::uint64_t Seed) {
  return 0.57 * ValueNoise(X, Y, Seed) + 0.29 * ValueNoise(2 * X, 2 * Y, Seed + 1) +
         0.14 * ValueNoise(4 * X, 4 * Y, Seed + 2);
}

// A ball of fire with a ragged edge: Radius at angle theta varies by the noise.
std::optional<TColour> Fireball(double U, double V, double Cx, double Cy, double Radius,
                                double Stretch, double CoreSize, std::uint64_t Seed) {
  const double Dx = U - Cx;
  const double Dy = (V - Cy) / Stretch;
  const double Distance = std::hypot(Dx, Dy);
  const double Angle = std::atan2(Dy, Dx);
  const double Ragged =
      0.80 + 0.38 * ValueNoise(3.0 + 2.2 * std::cos(Angle), 3.0 + 2.2 * std::sin(Angle), Seed);
  const double Edge = Radius * Ragged;
  if (Distance >= Edge)
    return std::nullopt;
  const double Flicker = 0.18 * (Turbulence(U / 3.0, V / 3.0, Seed + 7) - 0.5);
  const double Heat = std::pow(Distance / Edge, 1.0 / CoreSize) + Flicker;
  return FireColour(Heat);
}

std::optional<TColour> DustCloud(double U, double V, int Step) {
  const double Rise = 1.35 * Step;
  const double Cx = Centre;
  const double Cy = 13.5 - Rise;
  const double Radius = 11.5 + 0.3 * Step;
  const double Dx = (U - Cx) / Radius;
  const double Dy = (V - Cy) / (Radius * 0.8);
  const double Falloff = 1.0 - std::hypot(Dx, Dy);
  if (Falloff <= 0.0)
    return std::nullopt;
  // The texture drifts upward with the cloud, so the puffs keep their shape.
  const double Density =
      Turbulence(U / 3.2, (V + Rise) / 3.2, 4242) * (0.45 + 0.9 * std::sqrt(Falloff));
  const double Threshold = 0.30 + 0.075 * Step;
  if (Density < Threshold)
    return std::nullopt;
  const double Thickness = std::clamp((Density - Threshold) / 0.35, 0.0, 1.0);
  const TColour Dark{96, 58, 30};
  const TColour Pale{200, 176, 140};
  TColour Dust = Mix(Pale, Dark, Thickness * (1.0 - 0.11 * Step));
  // The first puffs still glow from the fire inside them.
  if (Step < 2 && Thickness > 0.55 && Falloff > 0.45)
    Dust = Mix(Dust, FireColour(0.62), 0.7 - 0.3 * Step);
  return Dust;
}

struct TSpeck {
  double X, Y;   // where it starts, at frame 10
  double Vx, Vy; // units per frame
  int LastFrame; // the last frame it is seen in
};

const std::vector<TSpeck>& Specks() {
  static const std::vector<TSpeck> All = [] {
    TPrng Random(1505);
    std::vector<TSpeck> List;
    while (List.size() < 34) {
      const double Angle = Random.Range(0.0, 2.0 * Pi);
      const double Distance = 9.5 * std::sqrt(Random.Unit());
      TSpeck Speck{Centre + Distance * std::cos(Angle), 7.5 + 0.75 * Distance * std::sin(Angle),
                   Random.Range(-0.45, 0.45), Random.Range(-0.6, 0.4), 0};
      const double Life = Random.Unit();
      Speck.LastFrame = 10 + static_cast<int>(Life * Life * 5.999);
      List.push_back(Speck);
    }
    // A faint few survive into the last frame, so it is nearly but not quite empty.
    for (std::size_t i = 0; i < 3; ++i)
      List[i].LastFrame = 15;
    return List;
  }();
  return All;
}

std::optional<TColour> FallingSpecks(double U, double V, int Step) {
  const double T = Step + 1.0;
  const TColour Fresh{84, 52, 28};
  const TColour Faded{214, 206, 194};
  for (const TSpeck& Speck : Specks()) {
    if (10 + Step > Speck.LastFrame)
      continue;
    double X = Speck.X + Speck.Vx * T;
    double Y = Speck.Y + Speck.Vy * T + 0.32 * T * T;
    if (std::hypot(X - Centre, Y - Centre) > Reach - 1.0)
      continue;
    // Specks sit on whole design pixels, so a speck is one pixel at scale 1 and
    // a two by two block at scale 2.
    X = std::floor(X) + 0.5;
    Y = std::floor(Y) + 0.5;
    if (std::abs(U - X) < 0.5 && std::abs(V - Y) < 0.5)
      return Mix(Fresh, Faded, Step / 5.0);
  }
  return std::nullopt;
}

std::optional<TColour> FrameColour(int Frame, double U, double V) {
  switch (Frame) {
  case 0: {
    const double Distance = std::hypot(U - Centre, (V - 25.0) * 1.4);
    if (Distance < 1.3)
      return FireColour(0.35 + 0.4 * Distance);
    return std::nullopt;
  }
  case 1:
    return Fireball(U, V, Centre, 21.0, 5.2, 1.45, 0.8, 11);
  case 2:
    return Fireball(U, V, Centre, 16.5, 10.0, 1.15, 0.9, 12);
  case 3:
    return Fireball(U, V, Centre, 14.5, 12.4, 1.0, 1.6, 13);
  default:
    break;
  }
  if (Frame <= 9)
    return DustCloud(U, V, Frame - 4);
  return FallingSpecks(U, V, Frame - 10);
}

} // namespace

QImage DrawExplosionFrame(int Frame, int Scale) {
  const int Pixels = ExplosionFrameSize * Scale;
  QImage Picture(Pixels, Pixels, QImage::Format_RGB32);
  Picture.fill(qRgb(255, 255, 255));
  for (int Y = 0; Y < Pixels; ++Y) {
    for (int X = 0; X < Pixels; ++X) {
      const double U = (X + 0.5) / Scale;
      const double V = (Y + 0.5) / Scale;
      if (std::hypot(U - Centre, V - Centre) > Reach)
        continue;
      if (const auto Colour = FrameColour(Frame, U, V)) {
        QRgb Rgb = ToRgb(*Colour);
        // Pure white would vanish with the background.
        if (Rgb == qRgb(255, 255, 255))
          Rgb = qRgb(255, 255, 236);
        Picture.setPixel(X, Y, Rgb);
      }
    }
  }
  return Picture;
}
