// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The deep search's own board: the cells of a TBord in flat arrays, with a
// placement that runs the cascade exactly as TCell::AddMass does and can be
// taken back (Undo), so the search plays and unplays moves on one board
// instead of copying a board per ply.
//
// A placement logs the old state of each cell it changes, once, and keeps up
// from that log what the search reads at every node: the cells of each
// player and their critical cells (one mass short of exploding) as bit sets,
// the capacity-weighted material and the mass margin from one player's view,
// and a Zobrist hash. Undo restores the logged cells and the saved totals.
// A placement that ends the game (an endless cascade) keeps up only
// Finished and Margin, which are all that a finished game is judged by.
// Nothing is allocated after Load and RememberEndless; the board holds up to
// MaxDepth placements at once.
//
// Cell I is Row * Cols + Col, bit I of the sets.

#include "DataStructures.h"

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

class TSearchBoard {
public:
  static constexpr int MaxCells = 64;
  static constexpr int MaxDepth = 64;
  static constexpr uint8_t NoCell = 255;

  // Takes Board's dimensions, cells and Finished flag and forgets every
  // placement. Perspective is the player whose masses count positive in
  // Material and Margin, and whose cells the hash keys as "own": a position
  // and its mirror image, loaded for the mirrored players, hash alike.
  void Load(const TBord& Board, uint8_t Perspective);
  // One mass for Player (0 or 1) on cell Index, with its whole cascade.
  // At most MaxDepth placements may be pending; the caller keeps count.
  void Place(uint8_t Index, uint8_t Player);
  // Takes back the last pending placement.
  void Undo();
  // Remembers the outcome of the long endless cascades met since Load, by
  // position and placement, so that a search meeting one again (the next
  // iteration, a transposition) skips the rest of it once it has run
  // RecallAfter explosions. Off until called; allocates once.
  void RememberEndless(int Bits);

  int Rows() const { return FRows; }
  int Cols() const { return FCols; }
  int Count() const { return FCount; }
  uint8_t Perspective() const { return FPerspective; }
  bool Finished() const { return FTop.Finished; }
  // Player has a cell that is empty or its own.
  bool CanMove(uint8_t Player) const { return FTop.Owned[1 - Player] != FAll; }
  // Cells Player may place on.
  uint64_t Moves(uint8_t Player) const { return FAll & ~FTop.Owned[1 - Player]; }
  uint64_t Owned(uint8_t Player) const { return FTop.Owned[Player]; }
  uint64_t Critical(uint8_t Player) const { return FTop.Critical[Player]; }
  uint64_t All() const { return FAll; }
  uint64_t Corners() const { return FCorners; }
  uint64_t Edges() const { return FEdges; }
  // Capacity-weighted masses (MassWeights) and plain masses, the
  // perspective's less the other player's.
  int32_t Material() const { return FTop.Material; }
  int32_t Margin() const { return FTop.Margin; }
  uint64_t Hash() const { return FTop.Hash; }
  // Explosions of every placement since Load, taken back or not: the work
  // the board has done, for a search's budget.
  uint64_t Explosions() const { return FTotalExplosions; }
  uint8_t Mass(int I) const { return FMass[I]; }
  uint8_t Owner(int I) const { return FOwner[I]; }
  uint8_t Capacity(int I) const { return FCapacity[I]; }
  // The cells next to any cell of Set.
  uint64_t Neighbours(uint64_t Set) const {
    return (((Set >> 1) & ~FLastColumn) | ((Set << 1) & ~FFirstColumn) | (Set >> FCols) |
            (Set << FCols)) &
           FAll;
  }

private:
  struct TState {
    bool Finished = false;
    std::array<uint64_t, 2> Owned{};
    std::array<uint64_t, 2> Critical{};
    int32_t Material = 0;
    int32_t Margin = 0;
    uint64_t Hash = 0;
  };
  // How to take a placement back: the one cell it changed, or, when it
  // exploded, the masses and owners of every cell before it.
  struct TUndo {
    uint8_t Cell = 0;
    uint8_t Mass = 0;
    uint8_t Owner = 0;
    bool Whole = false;
    std::array<uint8_t, MaxCells> Masses;
    std::array<uint8_t, MaxCells> Owners;
  };

  template <uint8_t Player>
  void Cascade(uint8_t Start);
  template <uint8_t Player>
  bool Settle(uint8_t Cell);
  // After a mass arrived: the cell explodes or meets the guard.
  bool GoesOn(uint8_t Cell) const {
    return FMass[Cell] == FCapacity[Cell] || FNesting[Cell] + 1 >= NestingLimit;
  }
  struct TEndless {
    uint64_t Key = 0;
    int32_t Margin = 0;
  };
  int32_t Signed(uint8_t Owner, int32_t Value) const {
    return Owner == NoOwner ? 0 : Owner == FPerspective ? Value : -Value;
  }
  void Account(uint8_t I, uint8_t OldMass, uint8_t OldOwner);
  void AccountCascade(uint64_t Changed, uint8_t Mover, const TUndo& Undo);

  int FRows = 0, FCols = 0, FCount = 0;
  uint8_t FPerspective = 0;
  uint64_t FAll = 0, FFirstColumn = 0, FLastColumn = 0, FCorners = 0, FEdges = 0;
  std::array<uint8_t, MaxCells> FMass{};
  std::array<uint8_t, MaxCells> FOwner{};
  std::array<uint8_t, MaxCells> FCapacity{};
  // MassWeights by cell.
  std::array<int32_t, MaxCells> FWeight{};
  // Explosions of each cell still sending their masses; 0 between placements.
  std::array<uint8_t, MaxCells> FNesting{};
  // The neighbours that exist, left, right, up, down; Capacity of them.
  std::array<std::array<uint8_t, 4>, MaxCells> FNeighbours{};
  TState FTop;
  std::array<TState, MaxDepth> FSaved{};
  std::array<TUndo, MaxDepth> FUndo{};
  std::vector<TEndless> FEndless;
  uint64_t FEndlessMask = 0;
  int FDepth = 0;
  // The cells the running cascade has exploded, and how many explosions it
  // has had.
  uint64_t FExploded = 0;
  int FExplosions = 0;
  uint64_t FTotalExplosions = 0;
  // The running cascade's slot in FEndless and its key there (none without
  // the memory); FRecalled when the slot knew the outcome. Most cascades end
  // sooner than RecallAfter explosions and never read the memory, which is
  // too large for the processor's caches.
  static constexpr int RecallAfter = 24;
  TEndless* FRecall = nullptr;
  uint64_t FRecallKey = 0;
  bool FRecalled = false;
};
