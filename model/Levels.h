// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer's strength levels and the moves the window asks for.
//
// "Standard" is the game's own one-or-three-level search (ComputerMove);
// "Strong" and "Expert" search with DeepSearch within a fixed number of
// placements each, so that a level plays the same move on every machine.
// The window stores the chosen level as its name (LevelName, ParseLevel).
//
// LevelMove is the computer's (owner 1) move; like ComputerMove it shows the
// thinking window of its control for the whole move. HintMove is the move
// the Strong level would play for the user (owner 0). PlayerMove gives any
// level's move for either player; it is what a game between two levels uses.
//
// Each call may run on a worker thread, and calls on different threads share
// no state: the search's tables are allocated per call. The thinking window
// is called from the searching thread. The control's StopThinking, from any
// thread, ends a search early; it still answers a legal move.

#include "DataStructures.h"
#include "DeepSearch.h"
#include "SearchControl.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

enum class TComputerLevel : uint8_t { Standard, Strong, Expert };

inline constexpr std::array<TComputerLevel, 3> ComputerLevels = {
    TComputerLevel::Standard, TComputerLevel::Strong, TComputerLevel::Expert};

// "Standard", "Strong", "Expert".
std::string_view LevelName(TComputerLevel Level);
// A level's name in any letter case; false (Level unchanged) for other text.
bool TryParseLevel(std::string_view Text, TComputerLevel& Level);
// A level's name in any letter case; any other text gives Standard.
TComputerLevel ParseLevel(std::string_view Text);

// The stronger levels' search limits: the budgets of placements and of
// explosions, the depth of the quiescence search and, with a seed, the
// variety margin. Standard has no budget but its own rules: 0 placements.
TDeepLimits LevelLimits(TComputerLevel Level, uint64_t Seed = 0);

// The seed that asks for no variety.
inline constexpr uint64_t NoVariety = 0;

// The computer's (owner 1) move at Level on the real board, or the no-move
// marker (Rows, 0) when every cell is the user's. Standard is exactly
// ComputerMove; the others leave the board as it is. With a Seed other than
// NoVariety, Strong and Expert choose among the moves within a small margin
// of the best, drawn from the seed and the position: a game that takes a
// seed anew varies from move to move, and the same seed and the same user
// moves give the same game on any machine. Standard ignores the seed.
TMove LevelMove(TBord& Board, TComputerLevel Level, TSearchControl& Control,
                uint64_t Seed = NoVariety);
// The same, silently and to its end.
TMove LevelMove(TBord& Board, TComputerLevel Level);

// The move the Strong level would play for the user (owner 0), without
// variety, or the no-move marker when every cell is the computer's. Nothing is placed on
// Board. Control's sink, if any, is driven as LevelMove drives the thinking
// window.
TMove HintMove(const TBord& Board, TSearchControl& Control);
// The same, silently and to its end.
TMove HintMove(const TBord& Board);

// Player's move at Level, or the no-move marker; Board is not changed. The
// seed varies Strong and Expert as in LevelMove.
// Standard, which only knows how to play owner 1, plays owner 0 on a copy
// with the owners swapped. The stronger levels search for either player
// directly (they see a position and its mirror image alike). Silent.
TMove PlayerMove(const TBord& Board, uint8_t Player, TComputerLevel Level,
                 uint64_t Seed = NoVariety);

// A copy of Board with the cells of owner 0 and owner 1 swapped.
std::unique_ptr<TBord> MirroredCopy(const TBord& Board);
