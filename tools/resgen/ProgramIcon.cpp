// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramIcon.h"

#include "CellPictures.h"
#include "ExplosionFrames.h"

#include <cmath>
#include <cstdlib>

namespace {

const QRgb Face = qRgb(212, 208, 200);
const QRgb Light = qRgb(255, 255, 255);
const QRgb Shadow = qRgb(128, 128, 128);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);

// Left to right, top to bottom: a cyan cell of 3 masses, a red one of 2,
// a cyan one of 1 and a full red one that explodes.
constexpr TCellPictureKind Tiles[4] = {{0, 4, 3}, {1, 4, 2}, {0, 4, 1}, {1, 4, 4}};
constexpr int Exploding = 3;

QRgb Bevelled(int X, int Y, int Tile, int Bevel, QRgb Inside) {
  if (X >= Tile - Bevel || Y >= Tile - Bevel)
    return Shadow;
  if (X < Bevel || Y < Bevel)
    return Light;
  return Inside;
}

// Scale 1, 2 or 4: each tile is a cell picture of that scale in a bevel of
// Scale pixels, with Scale pixels around the four tiles.
QImage DrawLargeIcon(int Scale) {
  const int Tile = (CellPictureSize + 2) * Scale;
  QImage Icon(64 * Scale, 64 * Scale, QImage::Format_ARGB32);
  Icon.fill(Qt::transparent);
  for (int i = 0; i < 4; ++i) {
    QImage Cell = DrawCellDesign(Tiles[i], Scale);
    if (i == Exploding) {
      const QImage Blast = DrawExplosionFrame(3, Scale);
      for (int Y = 0; Y < Blast.height(); ++Y)
        for (int X = 0; X < Blast.width(); ++X)
          if (Blast.pixel(X, Y) != White)
            Cell.setPixel(X, Y, Blast.pixel(X, Y));
    }
    const int Left = Scale + (i % 2) * Tile, Top = Scale + (i / 2) * Tile;
    for (int Y = 0; Y < Tile; ++Y)
      for (int X = 0; X < Tile; ++X) {
        const int Cx = X - Scale, Cy = Y - Scale;
        const bool OnCell = Cx >= 0 && Cy >= 0 && Cx < Cell.width() && Cy < Cell.height();
        // Silver is where the tile's face shows through the picture.
        const QRgb Picture = OnCell ? Cell.pixel(Cx, Cy) : Silver;
        Icon.setPixel(Left + X, Top + Y,
                      Bevelled(X, Y, Tile, Scale, Picture == Silver ? Face : Picture));
      }
  }
  return Icon;
}

// The reduced design at a point (U, V) of a tile's inside, N pixels square.
QRgb ReducedColour(const TCellPictureKind& Kind, bool Lines, bool Fireball, double U, double V,
                   double N) {
  const double C = N / 2.0, Dx = std::abs(U - C), Dy = std::abs(V - C);
  if (Fireball) {
    const double R = std::hypot(Dx, Dy) / (0.45 * N);
    if (R < 0.4)
      return qRgb(255, 250, 190);
    if (R < 0.75)
      return qRgb(255, 200, 40);
    if (R < 1.0)
      return qRgb(250, 120, 10);
  }
  if (Lines && (U < 1.0 || V < 1.0 || U >= N - 1.0 || V >= N - 1.0))
    return Black;
  // The diamond's tips touch the frame, or the tile's edge without lines.
  const double Tip = Lines ? C - 1.0 : C, L1 = Dx + Dy;
  if (Lines && L1 > Tip - 1.2 && L1 <= Tip)
    return Black;
  const int Region = L1 > Tip ? 1 : 2;
  const QRgb Owned = Kind.Owner == 0 ? qRgb(0, 255, 255) : qRgb(255, 0, 0);
  // The tile's face shows where a cell picture is silver.
  return Region <= Kind.Masses ? Owned : Face;
}

// Two tiles of Size / 2 pixels a row with a bevel of one pixel; four by four
// samples a pixel smooth the diamond and the fireball, while the frame and
// the bevel lie on whole pixels and stay sharp.
QImage DrawSmallIcon(int Size) {
  constexpr int Samples = 4;
  const int Tile = Size / 2;
  const double N = Tile - 2;
  QImage Icon(Size, Size, QImage::Format_ARGB32);
  Icon.fill(Qt::transparent);
  for (int i = 0; i < 4; ++i) {
    const int Left = (i % 2) * Tile, Top = (i / 2) * Tile;
    for (int Y = 0; Y < Tile; ++Y)
      for (int X = 0; X < Tile; ++X) {
        int R = 0, G = 0, B = 0;
        for (int S = 0; S < Samples * Samples; ++S) {
          const double U = X - 1 + (S % Samples + 0.5) / Samples;
          const double V = Y - 1 + (S / Samples + 0.5) / Samples;
          const QRgb Sample = ReducedColour(Tiles[i], Size >= 32, i == Exploding, U, V, N);
          R += qRed(Sample);
          G += qGreen(Sample);
          B += qBlue(Sample);
        }
        constexpr int Count = Samples * Samples;
        const QRgb Inside =
            qRgb((R + Count / 2) / Count, (G + Count / 2) / Count, (B + Count / 2) / Count);
        Icon.setPixel(Left + X, Top + Y, Bevelled(X, Y, Tile, 1, Inside));
      }
  }
  return Icon;
}

} // namespace

QImage DrawIcon(int Size) {
  return Size >= 64 ? DrawLargeIcon(Size / 64) : DrawSmallIcon(Size);
}
