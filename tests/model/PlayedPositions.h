#pragma once

// Positions for the search tests, reached by deterministic random play (the
// same on every platform) rather than written out by hand.

#include "DataStructures.h"

#include <memory>
#include <random>

// A position reached by deterministic random play, the computer to move,
// with at most MaxEmpty empty cells on an open board.
inline std::unique_ptr<TBord> Played(int Size, int MaxEmpty, uint64_t Seed) {
  std::mt19937_64 Random(Seed);
  for (;;) {
    auto Board = std::make_unique<TBord>(nullptr, uint8_t(Size), uint8_t(Size));
    for (int Player = 0; !Board->Finished && Board->CanMove(uint8_t(Player)); Player = 1 - Player) {
      if (Player == 1 && Board->EmptyCount() <= MaxEmpty)
        return Board;
      const TMoveList Moves = Board->GenerateMoves(uint8_t(Player));
      const TMove Move = Moves[std::size_t(Random() % Moves.size())];
      Board->GetCell(Move.Row, Move.Col)->AddMass(uint8_t(Player), false);
    }
  }
}
