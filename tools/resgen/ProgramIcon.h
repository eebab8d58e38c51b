// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program icon: four raised cell tiles in two rows, the local player's
// cyan and the opponent's red, with a fireball over the last one.
//
// From 64 pixels up the tiles are the cell pictures themselves at a whole
// scale. Below that their lines would blur into mush, so the small icons
// draw a reduced design for the pixel grid: a frame and one diamond from 32
// pixels up, only the filled regions below, and a round fireball.

#include <QImage>

#include <array>

// The sizes of the hicolor icon theme the program installs.
constexpr std::array<int, 7> IconSizes{16, 22, 32, 48, 64, 128, 256};

// A square icon of Size pixels, for any size in IconSizes.
QImage DrawIcon(int Size);
