// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 21 cell pictures. A picture is 29 x 29 design units: a black frame, an
// outer diamond touching the frame at the middle of each side, a 13 x 13
// square from unit 8 to 20 and a small diamond 5 units around the centre
// split it into as many nested regions as the cell's capacity. Regions 1 to
// the number of masses are filled from the outside in with the owner's
// colour; inner regions stay silver, the colour the board view leaves out.

#include <QImage>

struct TCellPictureKind {
  int Owner;    // 0 the local player (cyan), 1 the opponent (red), 2 nobody
  int Capacity; // 2, 3 or 4
  int Masses;   // 0 .. Capacity
};

constexpr int CellPictureCount = 21;
constexpr int CellPictureSize = 29;

// Index 0..20 is the picture "CELL1".."CELL21".
TCellPictureKind CellPictureKind(int Index);

// Scale 1 gives the 29 x 29 picture, 2 the same design at 58 x 58.
QImage DrawCellPicture(int Index, int Scale);

// The same design for any owner, capacity and mass count (the icon uses it).
QImage DrawCellDesign(const TCellPictureKind& Kind, int Scale);
