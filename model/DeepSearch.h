// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The search of the stronger computer levels: iterative deepening negamax
// with alpha-beta pruning, for either player, limited by a number of
// searched placements and of the explosions they set off instead of by time,
// so that a position gives the same move on every machine and in every run.
//
// DeepSearch loads the board into a TSearchBoard, on which it places and
// takes back masses, and runs iterations of depth 1, 2, ...: each
// tries the root's candidates, the previous iteration's best first, and
// searches below them with a principal-variation negamax whose moves are
// ordered by a transposition table, killer moves and history counts. It stops
// when a budget is spent, its control's stop token is cleared, the result is decided,
// or an iteration met no line cut off by its depth. A game ends below a node
// when the placement leading to it stopped an endless cascade (the board is
// finished) or when the player to move there owns every cell's opposite; such
// nodes are scored by the mass totals, which decide the game. At the depth
// limit a quiescence search follows strikes (placements on the mover's
// critical cells next to the other player's cells) a few deep, and the
// positions it stops in are scored by Evaluate (Evaluation.h). An iteration
// that met no evaluation has searched the rest of the game: its move is
// proven best (a win when there is one, else a draw when there is one), and
// the search stops.
//
// With a seed and a margin the search varies its play: it learns the exact
// value of every root move within the margin of the best and draws one of
// them from the seed and the position. It never varies a decided or proven
// result.
//
// Everything the search keeps (its board, its transposition table, its
// memory of endless cascades, its ordering counters) is allocated by the
// call, before its first placement, and freed when it returns: searches on
// several threads share nothing. The board passed in is never
// changed.

#include "DataStructures.h"
#include "Evaluation.h"
#include "SearchControl.h"

#include <cstdint>

// Values beyond this magnitude are decided games: a win (positive) or a
// loss for the player whose value it is, found by the search.
inline constexpr int32_t DecidedValue = 1 << 27;

struct TDeepLimits {
  // Placements the whole move may use; the search stops before the next one.
  uint64_t Placements = 0;
  // Explosions the whole move's cascades may set off, counted like the
  // placements; 0 for no limit. On a crowded board a placement sets off
  // hundreds, and this bounds the time such a move takes.
  uint64_t Explosions = 0;
  // Deepest iteration, in plies (at most 60).
  int MaxDepth = 60;
  // Strikes searched in a row beyond the depth limit (quiescence); 0 for
  // none.
  int Quiescence = 0;
  // The evaluation's weights; nullptr for DefaultEvalWeights.
  const TEvalWeights* Weights = nullptr;
  // Variety: with a Seed other than 0 and a Margin above 0, any root move
  // whose value lies within Margin of the best may be played.
  uint64_t Seed = 0;
  int32_t VarietyMargin = 0;
};

struct TDeepResult {
  // A legal move for the player, or the no-move marker (Rows, 0) when the
  // player has no cell to play.
  TMove Move;
  // The move's value from the player's view (beyond DecidedValue: a won or
  // lost game); when the last iteration was cut short after it had finished
  // at least one candidate, the best value it found so far. 0 when no
  // iteration got that far.
  int32_t Value = 0;
  // The deepest iteration that completed; 0 when none did or when a single
  // move was legal.
  int Depth = 0;
  // Placements made, and the explosions they set off.
  uint64_t Placements = 0;
  uint64_t Explosions = 0;
  // A budget or the stop token ended the last iteration before its end.
  bool CutShort = false;
  // The value is exact: the search saw every line to the game's end, or it
  // found a forced win or loss.
  bool Proven = false;
};

// The move of Player (0 or 1) on Board. With a progress sink in Control the
// call shows the thinking window from start to end (both gauges at 0 first),
// gauge 1 showing the larger share of the two budgets used and gauge 2 the root
// candidates tried in the running iteration, and calls its ProcessMessages
// every few hundred placements; without one it runs silently.
TDeepResult DeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
                       TSearchControl& Control);
