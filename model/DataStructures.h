// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's data model: the board TBord, its cells TCell and the move
// record TMove, with placement and the cascade of explosions (AddMass).
//
// A board owns its cells by value and reaches them through a framed 10 x 10
// array of references (rows and columns -1..8), so every real cell has four
// neighbour slots and no lookup needs a bounds test. Cells point at their
// neighbours and at their board, so a board is neither copyable nor movable;
// copies are made with CreateCopy (a new board) or CopyFrom (an existing one,
// as the search does to reuse one board per level). The search's silent
// placements record the cells they touch, so that RestoreFrom and
// EvaluateFrom work on those cells alone.
//
// The board reports to its view only with AddMass(..., Animate = true) and
// Reset: InvalidateCell for every changed cell, Explode for every explosion.
// The model raises nothing and leaves limits (dimensions 2..8, legality of a
// placement) to its callers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class TBord;

// Owner values.
inline constexpr uint8_t LocalPlayer = 0;
inline constexpr uint8_t Opponent = 1;
inline constexpr uint8_t NoOwner = 2;

// Largest number of rows or columns.
inline constexpr uint8_t MaxDimension = 8;

// A placement that brings a cell's Nesting to this value may not explode:
// the cascade is taken as endless and the board becomes finished.
inline constexpr uint8_t NestingLimit = 6;

// Evaluation weight of a mass by its cell's capacity (10 corner, 8 edge,
// 6 inside; 0 for the capacities no board of 2 x 2 or more has).
inline constexpr int MassWeights[5] = {0, 0, 10, 8, 6};

// Number of cell pictures; CellImageIndex lies in 0..CellImageCount-1.
inline constexpr int CellImageCount = 21;

// What the board needs of the window that shows it.
class TBordView {
public:
  virtual ~TBordView() = default;
  // Paints the cell at once from its current state.
  virtual void InvalidateCell(uint8_t Row, uint8_t Col) = 0;
  // Shows the explosion of a full cell; the cell is emptied after it returns.
  virtual void Explode(uint8_t Row, uint8_t Col) = 0;
};

// A board position. A move whose Row equals the board's Rows (Col 0) is the
// no-move marker: the player asked cannot move.
struct TMove {
  uint8_t Row = 0;
  uint8_t Col = 0;

  constexpr TMove() = default;
  constexpr TMove(uint8_t ARow, uint8_t ACol) : Row(ARow), Col(ACol) {}
  void Assign(const TMove& Source) {
    Row = Source.Row;
    Col = Source.Col;
  }
  friend constexpr bool operator==(const TMove&, const TMove&) = default;
};

// An owning list of moves with room for every cell of the largest board;
// it lives wherever it is declared and never touches the heap.
class TMoveList {
public:
  static constexpr std::size_t Capacity = std::size_t(MaxDimension) * MaxDimension;

  void Add(const TMove& Move) {
    if (FCount < Capacity)
      FItems[FCount++] = Move;
  }
  void Clear() { FCount = 0; }
  std::size_t size() const { return FCount; }
  bool empty() const { return FCount == 0; }
  const TMove& operator[](std::size_t Index) const { return FItems[Index]; }
  const TMove* begin() const { return FItems.data(); }
  const TMove* end() const { return FItems.data() + FCount; }

private:
  std::array<TMove, Capacity> FItems{};
  std::size_t FCount = 0;
};

class TCell {
public:
  explicit TCell(TBord* ABoard = nullptr) : Board(ABoard) {}
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;

  // 0 left, 1 right, 2 up, 3 down; nullptr outside the board. Not owned.
  std::array<TCell*, 4> Neighbours{};
  // Placements on this cell in progress right now; 0 between placements.
  uint8_t Nesting = 0;
  uint8_t Mass = 0;
  // Number of existing neighbours; the cell explodes when Mass reaches it.
  uint8_t Capacity = 0;
  uint8_t Owner = NoOwner;
  // Place in the board's row-major store (Row * Cols + Col), set by the
  // board; the silent cascade marks the cells it explodes by it.
  uint8_t Index = 0;
  TBord* Board = nullptr;

  void SetNeighbours(TCell* Left, TCell* Right, TCell* Up, TCell* Down);
  void CountNeighbours();
  // Copies Owner and Mass only.
  void Assign(const TCell& Source) {
    Owner = Source.Owner;
    Mass = Source.Mass;
  }
  void Clear() {
    Mass = 0;
    Owner = NoOwner;
  }
  bool IsFull() const { return Mass == Capacity; }
  // Indexed by owner value: all 0 except [Owner], which is Mass.
  std::array<int, 3> MassVector() const;
  // Places one mass for Player and runs the cascade to its end.
  void AddMass(uint8_t Player, bool Animate);
  // Picture to draw, 0..20.
  int CellImageIndex() const;
};

class TBord {
public:
  // Dimensions above 8 are stored as 8.
  TBord(TBordView* AView, uint8_t ARows, uint8_t ACols);
  TBord(const TBord&) = delete;
  TBord& operator=(const TBord&) = delete;
  ~TBord() = default;

  // A new board with the source's dimensions, Finished flag, owners and
  // masses; every Nesting 0. A copy has no view: whatever is done to it can
  // never reach the window that shows the source.
  static std::unique_ptr<TBord> CreateCopy(const TBord& Source);
  // Makes this board such a copy of Source (any dimensions); its own view,
  // if it has one, stays.
  void CopyFrom(const TBord& Source);
  // The search's copy for its second and later candidates: this board was
  // made a copy of Source with CopyFrom or RestoreFrom and has changed since
  // only through silent placements (Source not at all), so copying back the
  // cells those placements may have touched makes it Source's copy again.
  void RestoreFrom(const TBord& Source);

  uint8_t Rows = 0;
  uint8_t Cols = 0;
  TBordView* View = nullptr;
  // Framed array: Cells[Row + 1][Col + 1] for Row, Col in -1..8; use Cell().
  std::array<std::array<TCell*, 10>, 10> Cells{};
  bool Finished = false;

  // Slot of the framed array, Row and Col in -1..8 (nullptr outside the board).
  TCell* Cell(int Row, int Col) const { return Cells[Row + 1][Col + 1]; }

  void LinkNeighbours();
  // nullptr when Row >= Rows or Col >= Cols.
  TCell* GetCell(uint8_t Row, uint8_t Col) const;
  // Row-major scan; (0, 0) when the cell is not on this board.
  void FindCell(const TCell* Target, uint8_t& Row, uint8_t& Col) const;
  // [0] local player's total mass, [1] opponent's, [2] always 0.
  std::array<int, 3> CountMasses() const;
  void Reset();
  // False only when every cell belongs to the other player.
  bool CanMove(uint8_t Player) const;
  int EmptyCount() const;
  // Every cell that is empty or Player's, row-major.
  TMoveList GenerateMoves(uint8_t Player) const;
  // Capacity-weighted masses, opponent's minus local player's.
  int32_t Evaluate() const;
  // Evaluate(), for a board in the state RestoreFrom expects: Source's value
  // (SourceValue = Source.Evaluate()) plus the change of the touched cells.
  int32_t EvaluateFrom(const TBord& Source, int32_t SourceValue) const;
  // The cells that may differ from the board this one was last made a copy
  // of (CopyFrom or RestoreFrom), bit Row * Cols + Col for each; every bit of
  // the board when it changed in any other way since.
  uint64_t TouchedCells() const { return FTouched & FAllCells; }

  void NotifyInvalidate(TCell* Target);
  void NotifyExplode(TCell* Target);

private:
  friend class TCell;

  // The cascade of a silent placement, for each player (DataStructures.cpp).
  template <uint8_t Player>
  class TSilentCascade;

  void Build(uint8_t ARows, uint8_t ACols);
  template <uint8_t Player>
  void PlaceSilently(TCell& Target);
  std::size_t CellCount() const { return std::size_t(Rows) * Cols; }

  // The cells, row-major with Cols per row: FStore[Row * Cols + Col].
  std::array<TCell, std::size_t(MaxDimension) * MaxDimension> FStore;
  // Bit I stands for FStore[I]: the cells that silent placements may have
  // changed since the last CopyFrom or RestoreFrom. Any other change
  // (animated placement, Reset, rebuilding) sets every bit.
  uint64_t FTouched = ~uint64_t(0);
  // The cells the silent placement running now has exploded; 0 otherwise.
  uint64_t FExploded = 0;
  // Masks over FStore's bits for the cells of this board's first and last
  // column, and for all its cells; they turn a set of exploded cells into the
  // set of cells the explosions reached.
  uint64_t FFirstColumn = 0;
  uint64_t FLastColumn = 0;
  uint64_t FAllCells = 0;
};
