// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellPictures.h"

#include <algorithm>
#include <cmath>

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Cyan = qRgb(0, 255, 255);
const QRgb Red = qRgb(255, 0, 0);

// Every design line is one unit wide. A diagonal line is the band of points
// whose distance |dx| + |dy| from the centre lies in (A - 0.5, A + 0.5]: at
// scale 1 the pixel centres give exactly |dx| + |dy| = A, and at scale 2 the
// half-open band keeps the line two pixels wide with the outer diamond's tips
// still touching the frame.
bool OnDiagonalLine(double L1, double A) {
  return L1 > A - 0.5 && L1 <= A + 0.5;
}

// 0 for a line (black), otherwise the region number 1..Capacity.
int RegionAt(double U, double V, int Capacity) {
  const double Size = CellPictureSize;
  if (U < 1.0 || V < 1.0 || U >= Size - 1.0 || V >= Size - 1.0)
    return 0;
  const double Dx = std::abs(U - Size / 2.0);
  const double Dy = std::abs(V - Size / 2.0);
  const double L1 = Dx + Dy;
  const double LInf = std::max(Dx, Dy);

  if (OnDiagonalLine(L1, 13.0))
    return 0;
  if (L1 > 13.5)
    return 1;
  if (Capacity == 2)
    return 2;
  if (LInf >= 5.5 && LInf < 6.5)
    return 0;
  if (LInf >= 6.5)
    return 2;
  if (Capacity == 3)
    return 3;
  if (OnDiagonalLine(L1, 5.0))
    return 0;
  return L1 > 5.5 ? 3 : 4;
}

} // namespace

TCellPictureKind CellPictureKind(int Index) {
  if (Index >= 18)
    return {2, Index - 16, 0};
  const int Owner = Index / 9;
  const int Within = Index % 9;
  if (Within < 2)
    return {Owner, 2, Within + 1};
  if (Within < 5)
    return {Owner, 3, Within - 1};
  return {Owner, 4, Within - 4};
}

QImage DrawCellDesign(const TCellPictureKind& Kind, int Scale) {
  const int Pixels = CellPictureSize * Scale;
  QImage Picture(Pixels, Pixels, QImage::Format_RGB32);
  const QRgb Fill = Kind.Owner == 0 ? Cyan : Red;
  for (int Y = 0; Y < Pixels; ++Y) {
    for (int X = 0; X < Pixels; ++X) {
      const double U = (X + 0.5) / Scale;
      const double V = (Y + 0.5) / Scale;
      const int Region = RegionAt(U, V, Kind.Capacity);
      QRgb Colour = Silver;
      if (Region == 0)
        Colour = Black;
      else if (Region <= Kind.Masses)
        Colour = Fill;
      Picture.setPixel(X, Y, Colour);
    }
  }
  return Picture;
}

QImage DrawCellPicture(int Index, int Scale) {
  return DrawCellDesign(CellPictureKind(Index), Scale);
}
