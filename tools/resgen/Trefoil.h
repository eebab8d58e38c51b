// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 65 x 57 picture of the information box and the about box: a black and
// yellow radiation trefoil in a black circle on bands shading from red at the
// top through yellow to green at the bottom.

#include <QImage>

constexpr int TrefoilWidth = 65;
constexpr int TrefoilHeight = 57;

// Scale 1 gives the 65 x 57 picture, 2 the same design at 130 x 114.
QImage DrawTrefoil(int Scale);
