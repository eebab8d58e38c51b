// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moves for the tests that play whole games: the user's choice, and a cell
// set by hand.

#include "DataStructures.h"

#include "Search.h"

#include <optional>
#include <tuple>
#include <utility>

// An own cell about to explode, else the first empty cell, else the first
// own one.
inline TMove PickMove(const TBord& Board) {
  TMove Best;
  int BestRank = 3;
  for (const TMove& Move : Board.GenerateMoves(LocalPlayer)) {
    const TCell* Cell = Board.GetCell(Move.Row, Move.Col);
    const int Rank = Cell->Owner == NoOwner ? 1 : Cell->Mass + 1 == Cell->Capacity ? 0 : 2;
    if (Rank < BestRank)
      std::tie(Best, BestRank) = std::pair(Move, Rank);
  }
  return Best;
}

// Plays the user's Mine and the computer's answer on Expected, silently, as
// the game will play them; the answer, or nothing when the computer is not
// asked or has no cell to play.
inline std::optional<TMove> PlayTurn(TBord& Expected, TMove Mine) {
  Expected.GetCell(Mine.Row, Mine.Col)->AddMass(LocalPlayer, false);
  if (Expected.Finished || !Expected.CanMove(Opponent))
    return std::nullopt;
  const TMove Reply = ComputerMove(*TBord::CreateCopy(Expected));
  Expected.GetCell(Reply.Row, Reply.Col)->AddMass(Opponent, false);
  return Reply;
}

inline void Put(const TBord& Board, int Row, int Col, uint8_t Owner, uint8_t Mass) {
  TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
  Cell->Owner = Mass ? Owner : NoOwner;
  Cell->Mass = Mass;
}
