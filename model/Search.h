// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer's choice of move: a minimax of one level, or of three once a
// searched board has fewer than 20 empty cells, over copies of the board.
//
// ComputerMove -> Search (level 0) -> for each candidate: copy, silent
// AddMass, Search (level + 1) ... -> Evaluate at level SearchDepth.
// All levels of one move share Alpha, Beta and the answer record; no level
// restores them. SearchDepth, the level at which the search evaluates (1, or
// 3 from the deepening switch on), belongs to one Search call. The search
// reports its progress to the sink of its TSearchControl and stops on its
// stop token.

#include "DataStructures.h"
#include "SearchControl.h"

#include <cstdint>

// Owner 0 prefers smaller values, owner 1 larger; both strict.
bool Better(int32_t Value, int32_t Best, uint8_t Player);

// One level of the search (Level 0 at the top), evaluating at one level, or
// at three once a searched board has fewer than 20 empty cells. Writes Value
// and, when the level is expanded, the answer record.
void Search(TBord& Board, uint8_t Level, int32_t& Alpha, int32_t& Beta, TMove& Answer,
            int32_t& Value, TSearchControl& Control);

// The computer's move (owner 1) on the real board: always a legal move, even
// when the search was stopped through Control, or the no-move marker
// (Rows, 0) when every cell belongs to the user. The thinking window of
// Control, if any, shows for the whole move.
TMove ComputerMove(TBord& Board, TSearchControl& Control);
// The same, silently and to its end.
TMove ComputerMove(TBord& Board);
