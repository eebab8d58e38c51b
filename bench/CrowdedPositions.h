// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions for the benchmarks, reached by random legal play from a fixed
// seed, so that every run and every machine measures the same boards.

#include "DataStructures.h"
#include "RandomPlay.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Same generator on every platform.
class TRandom {
public:
  explicit TRandom(uint64_t Seed) : FState(Seed * 0x9E3779B97F4A7C15ULL + 1) {}
  int Below(int N) {
    FState ^= FState << 13;
    FState ^= FState >> 7;
    FState ^= FState << 17;
    return static_cast<int>(FState % static_cast<uint64_t>(N));
  }

private:
  uint64_t FState;
};

// The computer to move with exactly Empty empty cells on an open board.
inline std::unique_ptr<TBord> Reached(uint8_t Rows, uint8_t Cols, int Empty, uint64_t Seed) {
  TRandom Random(Seed);
  return RandomlyPlayed(Rows, Cols, Empty, Empty, [&](int N) { return Random.Below(N); });
}

// An open Size x Size board after Placements random placements by each side,
// owner 0 to move.
inline std::unique_ptr<TBord> RandomOpening(int Size, int Placements, uint64_t Seed) {
  TRandom Random(Seed);
  for (;;) {
    auto Board = std::make_unique<TBord>(nullptr, uint8_t(Size), uint8_t(Size));
    for (int K = 0; K < 2 * Placements; ++K) {
      const auto Player = static_cast<uint8_t>(K % 2);
      const TMoveList Moves = Board->GenerateMoves(Player);
      const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      Board->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
    }
    if (!Board->Finished && Board->CanMove(LocalPlayer) && Board->CanMove(Opponent))
      return Board;
  }
}

struct TNamedPosition {
  std::string Name;
  std::unique_ptr<TBord> Board;
};

// Crowded Size x Size boards, the computer to move: 0 to 5 empty cells,
// three seeds each. They hold the most expensive moves of every level.
inline std::vector<TNamedPosition> CrowdedPositions(int Size = 8) {
  std::vector<TNamedPosition> Positions;
  const std::string Dimensions = std::to_string(Size) + "x" + std::to_string(Size);
  // The 8 x 8 seeds are the ones the benchmarks always used.
  const uint64_t SizeSeed = Size == 8 ? 0 : uint64_t(Size) * 10000;
  for (int Empty = 0; Empty <= 5; ++Empty)
    for (uint64_t Seed = 1; Seed <= 3; ++Seed)
      Positions.push_back(
          {"crowded " + Dimensions + ", " + std::to_string(Empty) + " empty, seed " +
               std::to_string(Seed),
           Reached(uint8_t(Size), uint8_t(Size), Empty, SizeSeed + Seed * 100 + uint64_t(Empty))});
  return Positions;
}
