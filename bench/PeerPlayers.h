// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Opponents in the styles other programs of the genre play, written from the
// public descriptions of those styles, for the tournament to measure the
// levels against:
//
//   greedy    one ply: the placement after which the mover's own total mass
//             is largest, ties broken at random;
//   critical  the mover's mass, less (5 - capacity) for each own cell next
//             to an enemy critical cell, else plus 3 for a corner, 2 for an
//             edge and 2 more when the cell itself is critical, plus twice
//             the size of each connected group of own critical cells;
//             +-10000 for a won or lost game; minimax to depth 3 over the 6
//             best moves by that evaluation at each node;
//   uct       Monte-Carlo tree search (UCT, c = 1.4), 1000 random playouts
//             per move, each scored by the mass totals at its end.
//
// Each takes a seed for its random choices, so that a game is the same in
// every run. They play on copies of the board with the real rules.

#include "DataStructures.h"

#include <cstdint>

TMove GreedyMove(const TBord& Board, uint8_t Player, uint64_t Seed);
TMove CriticalMove(const TBord& Board, uint8_t Player);
TMove UctMove(const TBord& Board, uint8_t Player, uint64_t Seed, int Playouts = 1000);
