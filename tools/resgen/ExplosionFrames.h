// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 16 explosion frames drawn over an exploding cell, 29 x 29 design units
// on white (the board view leaves out the colour of each frame's bottom-left
// pixel). Frame 0 is a speck, 1..3 a flame flaring into a blast and a
// fireball, 4..9 a dust cloud that rises and thins, 10..15 falling specks
// that fade away. Every shape is sampled once per pixel without blending, so
// no pale fringe is left around the shapes when white is left out.

#include <QImage>

constexpr int ExplosionFrameCount = 16;
constexpr int ExplosionFrameSize = 29;

// Scale 1 gives the 29 x 29 frame, 2 the same design at 58 x 58.
QImage DrawExplosionFrame(int Frame, int Scale);
