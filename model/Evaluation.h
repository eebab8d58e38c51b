// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the stronger levels judge a position the search does not see to its
// end: the capacity-weighted material, and terms for the critical cells (one
// mass short of exploding), which decide what the next cascades take.
//
// Every term is counted for both players, each from its own side, and the
// value is the mover's terms less the other's. All terms come from the bit
// sets TSearchBoard keeps, so an evaluation costs a few dozen instructions.

#include "SearchBoard.h"

#include <array>
#include <cstdint>
#include <string_view>

enum TEvalTerm : uint8_t {
  // Own cells next to an enemy critical cell, which its explosion takes: by
  // the cell's capacity (corner, edge, inside).
  ThreatenedCorner,
  ThreatenedEdge,
  ThreatenedInside,
  // Own corner and edge cells next to no enemy critical cell.
  SafeCorner,
  SafeEdge,
  // Own critical cells next to no enemy critical cell: loaded, not exposed.
  SafeCritical,
  // Own critical cells next to another own critical cell (a chain that
  // explodes as one).
  Chain,
  // The player to move has a critical cell next to an enemy cell: it strikes
  // first.
  Initiative,
  EvalTermCount
};

using TEvalWeights = std::array<int32_t, EvalTermCount>;

// Names for the tuning tool's output, in TEvalTerm order.
inline constexpr std::array<std::string_view, EvalTermCount> EvalTermNames = {
    "ThreatenedCorner", "ThreatenedEdge", "ThreatenedInside", "SafeCorner", "SafeEdge",
    "SafeCritical",     "Chain",          "Initiative"};

// The weights the levels play with (Evaluation.cpp says how they were found).
extern const TEvalWeights DefaultEvalWeights;

// The position's value for Mover, who is to move, in MassWeights units; the
// board's perspective may be either player.
int32_t Evaluate(const TSearchBoard& Board, uint8_t Mover, const TEvalWeights& Weights);
