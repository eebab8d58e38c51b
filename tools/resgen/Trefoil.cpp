// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trefoil.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

struct TColour {
  double R, G, B;
};

TColour BandColour(double V) {
  // Eleven flat bands, so the shading reads as stripes like a 16-colour picture.
  constexpr int Bands = 11;
  const double T = std::floor(std::clamp(V / TrefoilHeight, 0.0, 0.9999) * Bands) / (Bands - 1);
  const TColour Red{214, 24, 20}, Yellow{250, 222, 36}, Green{34, 150, 48};
  if (T < 0.5) {
    const double S = T / 0.5;
    return {Red.R + (Yellow.R - Red.R) * S, Red.G + (Yellow.G - Red.G) * S,
            Red.B + (Yellow.B - Red.B) * S};
  }
  const double S = (T - 0.5) / 0.5;
  return {Yellow.R + (Green.R - Yellow.R) * S, Yellow.G + (Green.G - Yellow.G) * S,
          Yellow.B + (Green.B - Yellow.B) * S};
}

TColour TrefoilColour(double U, double V) {
  const TColour Black{0, 0, 0};
  const TColour Sign{255, 214, 0};
  const double Dx = U - TrefoilWidth / 2.0;
  const double Dy = V - TrefoilHeight / 2.0;
  const double Distance = std::hypot(Dx, Dy);
  if (Distance > 26.5)
    return BandColour(V);
  if (Distance > 23.0)
    return Black;
  if (Distance < 3.6)
    return Black;
  if (Distance < 5.6 || Distance > 19.5)
    return Sign;
  // Blades 60 degrees wide, one pointing down and two up, as on the warning sign.
  const double Angle = std::atan2(Dy, Dx) * 180.0 / Pi;
  for (const double Blade : {90.0, -30.0, -150.0}) {
    double Offset = std::fmod(std::abs(Angle - Blade), 360.0);
    Offset = std::min(Offset, 360.0 - Offset);
    if (Offset < 30.0)
      return Black;
  }
  return Sign;
}

} // namespace

QImage DrawTrefoil(int Scale) {
  // Four by four samples per pixel smooth the round edges.
  constexpr int Samples = 4;
  QImage Picture(TrefoilWidth * Scale, TrefoilHeight * Scale, QImage::Format_RGB32);
  for (int Y = 0; Y < Picture.height(); ++Y) {
    for (int X = 0; X < Picture.width(); ++X) {
      TColour Sum{0, 0, 0};
      for (int Sy = 0; Sy < Samples; ++Sy) {
        for (int Sx = 0; Sx < Samples; ++Sx) {
          const double U = (X + (Sx + 0.5) / Samples) / Scale;
          const double V = (Y + (Sy + 0.5) / Samples) / Scale;
          const TColour C = TrefoilColour(U, V);
          Sum = {Sum.R + C.R, Sum.G + C.G, Sum.B + C.B};
        }
      }
      constexpr double Count = Samples * Samples;
      Picture.setPixel(X, Y,
                       qRgb(static_cast<int>(std::lround(Sum.R / Count)),
                            static_cast<int>(std::lround(Sum.G / Count)),
                            static_cast<int>(std::lround(Sum.B / Count))));
    }
  }
  return Picture;
}
