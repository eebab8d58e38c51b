// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions reached by random legal play, for the tests and the benchmarks:
// boards nobody has to write out by hand, the same on every run and every
// machine as long as the caller's random source is.

#include "DataStructures.h"

#include <memory>

// Random legal moves from an empty Rows x Cols board, the user first, until
// the computer is to move with MinEmpty to MaxEmpty empty cells on an open
// board. A game that ends first, or passes MinEmpty, is played again with the
// same source. Pick(N) chooses one of N moves.
template <class TPick>
std::unique_ptr<TBord> RandomlyPlayed(uint8_t Rows, uint8_t Cols, int MinEmpty, int MaxEmpty,
                                      TPick&& Pick) {
  for (;;) {
    auto Board = std::make_unique<TBord>(nullptr, Rows, Cols);
    for (uint8_t Player = LocalPlayer; !Board->Finished && Board->CanMove(Player);
         Player = static_cast<uint8_t>(1 - Player)) {
      if (Player == Opponent && Board->EmptyCount() <= MaxEmpty) {
        if (Board->EmptyCount() >= MinEmpty)
          return Board;
        break;
      }
      const TMoveList Moves = Board->GenerateMoves(Player);
      const TMove Move = Moves[static_cast<std::size_t>(Pick(static_cast<int>(Moves.size())))];
      Board->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
    }
  }
}
