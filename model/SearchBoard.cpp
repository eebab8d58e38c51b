// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchBoard.h"

#include <algorithm>
#include <bit>

namespace {

constexpr uint64_t SplitMix(uint64_t& State) {
  uint64_t Z = (State += 0x9E3779B97F4A7C15ULL);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

// Zobrist keys by cell and by (owner counted from the perspective, mass);
// an open board holds at most 3 masses on a cell.
constexpr auto Keys = [] {
  std::array<std::array<uint64_t, 8>, TSearchBoard::MaxCells> Result{};
  uint64_t State = 0x46697A7A67726964ULL;
  for (auto& Cell : Result)
    for (auto& Key : Cell)
      Key = SplitMix(State);
  return Result;
}();

} // namespace

void TSearchBoard::Load(const TBord& Board, uint8_t Perspective) {
  FRows = Board.Rows;
  FCols = Board.Cols;
  FCount = FRows * FCols;
  FPerspective = Perspective;
  FAll = FCount == 64 ? ~uint64_t(0) : (uint64_t(1) << FCount) - 1;
  FFirstColumn = FLastColumn = FCorners = FEdges = 0;
  FTop = TState{};
  FTop.Finished = Board.Finished;
  for (int R = 0; R < FRows; ++R)
    for (int C = 0; C < FCols; ++C) {
      const auto I = static_cast<uint8_t>(R * FCols + C);
      const uint64_t Bit = uint64_t(1) << I;
      const TCell& Cell = *Board.Cell(R, C);
      FMass[I] = 0;
      FOwner[I] = NoOwner;
      FCapacity[I] = Cell.Capacity;
      FWeight[I] = MassWeights[std::min<uint8_t>(Cell.Capacity, 4)];
      FNesting[I] = 0;
      int K = 0;
      FNeighbours[I].fill(NoCell);
      for (const TCell* Neighbour : Cell.Neighbours)
        if (Neighbour && K < 4)
          FNeighbours[I][K++] = Neighbour->Index;
      if (C == 0)
        FFirstColumn |= Bit;
      if (C + 1 == FCols)
        FLastColumn |= Bit;
      if (Cell.Capacity == 2)
        FCorners |= Bit;
      else if (Cell.Capacity == 3)
        FEdges |= Bit;
      // As if placed from an empty cell.
      if (Cell.Owner == LocalPlayer || Cell.Owner == Opponent) {
        FMass[I] = Cell.Mass;
        FOwner[I] = Cell.Owner;
        Account(I, 0, NoOwner);
      }
    }
  FDepth = 0;
  FTotalExplosions = 0;
  std::fill(FEndless.begin(), FEndless.end(), TEndless{});
}

void TSearchBoard::Account(uint8_t I, uint8_t OldMass, uint8_t OldOwner) {
  const uint8_t Mass = FMass[I];
  const uint8_t Owner = FOwner[I];
  FTop.Material += Signed(Owner, FWeight[I] * Mass) - Signed(OldOwner, FWeight[I] * OldMass);
  FTop.Margin += Signed(Owner, Mass) - Signed(OldOwner, OldMass);
  if (OldOwner != NoOwner)
    FTop.Hash ^= Keys[I][(OldOwner ^ FPerspective) * 4 + (OldMass & 3)];
  if (Owner != NoOwner)
    FTop.Hash ^= Keys[I][(Owner ^ FPerspective) * 4 + (Mass & 3)];
  const uint64_t Bit = uint64_t(1) << I;
  FTop.Owned[0] &= ~Bit;
  FTop.Owned[1] &= ~Bit;
  FTop.Critical[0] &= ~Bit;
  FTop.Critical[1] &= ~Bit;
  if (Owner != NoOwner) {
    FTop.Owned[Owner] |= Bit;
    if (Mass + 1 == FCapacity[I])
      FTop.Critical[Owner] |= Bit;
  }
}

// TCell::AddMass on the flat cells, as the board's silent cascade runs it: a
// mass arrives (saturating rather than wrapping, as masses pile up on a
// finished board); only a cell that becomes full, or that is hit while five
// of its explosions are still sending, is settled; a full cell explodes
// depth-first to its left, right, upper and lower neighbour; the sixth
// nested hit stops the cascade as endless, after which the masses still
// to send only arrive.
template <uint8_t Player>
void TSearchBoard::Cascade(uint8_t Start) {
  FExploded = 0;
  FExplosions = 0;
  FMass[Start] = static_cast<uint8_t>(FMass[Start] + (FMass[Start] != UINT8_MAX));
  FOwner[Start] = Player;
  if (GoesOn(Start) && Settle<Player>(Start) && !FRecalled)
    FTop.Finished = true;
}

// Cell has received a mass and GoesOn; true when the guard stopped the
// cascade, here or deeper, or when the memory of endless cascades knew the
// outcome (FRecalled), which leaves the cells half-way for the caller to
// restore.
template <uint8_t Player>
bool TSearchBoard::Settle(uint8_t Cell) {
  if (FNesting[Cell] + 1 >= NestingLimit)
    return true;
  if (++FExplosions == RecallAfter && FRecall && FRecall->Key == FRecallKey) {
    FRecalled = true;
    return true;
  }
  ++FNesting[Cell];
  FMass[Cell] = 0;
  FOwner[Cell] = NoOwner;
  FExploded |= uint64_t(1) << Cell;
  const auto& Neighbours = FNeighbours[Cell];
  const int Count = FCapacity[Cell];
  bool Stopped = false;
  for (int K = 0; K < Count; ++K) {
    const uint8_t Next = Neighbours[K];
    // While the board is open a cell holds less than its capacity before a
    // hit, so the plain increment cannot wrap.
    ++FMass[Next];
    FOwner[Next] = Player;
    if (GoesOn(Next) && Settle<Player>(Next)) {
      if (!FRecalled)
        for (int Rest = K + 1; Rest < Count; ++Rest) {
          const uint8_t Late = Neighbours[Rest];
          FMass[Late] = static_cast<uint8_t>(FMass[Late] + (FMass[Late] != UINT8_MAX));
          FOwner[Late] = Player;
        }
      Stopped = true;
      break;
    }
  }
  --FNesting[Cell];
  return Stopped;
}

void TSearchBoard::Place(uint8_t Index, uint8_t Player) {
  FSaved[FDepth] = FTop;
  TUndo& Undo = FUndo[FDepth++];
  const uint64_t Bit = uint64_t(1) << Index;
  if (FTop.Finished || FMass[Index] + 1 < FCapacity[Index]) {
    Undo.Whole = false;
    Undo.Cell = Index;
    Undo.Mass = FMass[Index];
    Undo.Owner = FOwner[Index];
    FMass[Index] = static_cast<uint8_t>(FMass[Index] + (FMass[Index] != UINT8_MAX));
    FOwner[Index] = Player;
    Account(Index, Undo.Mass, Undo.Owner);
    return;
  }
  Undo.Whole = true;
  Undo.Masses = FMass;
  Undo.Owners = FOwner;
  FRecall = nullptr;
  if (!FEndless.empty()) {
    FRecallKey = FTop.Hash ^ Keys[Index][(Player ^ FPerspective) * 4];
    FRecall = &FEndless[FRecallKey & FEndlessMask];
  }
  FRecalled = false;
  if (Player == LocalPlayer)
    Cascade<LocalPlayer>(Index);
  else
    Cascade<Opponent>(Index);
  FTotalExplosions += uint64_t(FExplosions);
  if (FRecalled) {
    FMass = Undo.Masses;
    FOwner = Undo.Owners;
    Undo.Whole = false;
    Undo.Cell = Index;
    Undo.Mass = FMass[Index];
    Undo.Owner = FOwner[Index];
    FTop.Finished = true;
    FTop.Margin = FRecall->Margin;
    return;
  }
  // Every cell a cascade changes is the placed cell or a neighbour of an
  // exploded one.
  AccountCascade(Bit | FExploded | Neighbours(FExploded), Player, Undo);
  // Endless cascades long enough to look for are remembered.
  if (FRecall && FTop.Finished && FExplosions >= RecallAfter) {
    FRecall->Key = FRecallKey;
    FRecall->Margin = FTop.Margin;
  }
}

// Account for every cell of Changed at once. The totals are kept in locals
// here: the cells are bytes, and a store to a byte may alias any total kept
// in the object, which would have every total reloaded after every cell.
void TSearchBoard::AccountCascade(uint64_t Changed, uint8_t Mover, const TUndo& Undo) {
  // The sign of owner 0's, owner 1's and no owner's masses.
  const std::array<int32_t, 3> Sign = {FPerspective == LocalPlayer ? 1 : -1,
                                       FPerspective == Opponent ? 1 : -1, 0};
  int32_t Margin = FTop.Margin;
  if (FTop.Finished) {
    // Every changed cell ends the mover's or empty, and an explosion moves
    // masses without making or losing any: the mover gains the placed mass
    // and, twice over, the other player's masses on the changed cells.
    int32_t Taken = 0;
    for (uint64_t Left = Changed & FTop.Owned[1 - Mover]; Left; Left &= Left - 1)
      Taken += Undo.Masses[std::countr_zero(Left)];
    FTop.Margin = Margin + Sign[Mover] * (1 + 2 * Taken);
    return;
  }
  int32_t Material = FTop.Material;
  uint64_t Hash = FTop.Hash;
  // Indexed by owner; the third collects the cells of no owner.
  std::array<uint64_t, 3> Owned = {FTop.Owned[0] & ~Changed, FTop.Owned[1] & ~Changed, 0};
  std::array<uint64_t, 3> Critical = {FTop.Critical[0] & ~Changed, FTop.Critical[1] & ~Changed, 0};
  for (uint64_t Left = Changed; Left; Left &= Left - 1) {
    const auto I = static_cast<uint8_t>(std::countr_zero(Left));
    const uint8_t Mass = FMass[I], Owner = FOwner[I];
    const uint8_t OldMass = Undo.Masses[I], OldOwner = Undo.Owners[I];
    const int32_t Change = Sign[Owner] * Mass - Sign[OldOwner] * OldMass;
    Margin += Change;
    Material += FWeight[I] * Change;
    if (OldOwner != NoOwner)
      Hash ^= Keys[I][(OldOwner ^ FPerspective) * 4 + (OldMass & 3)];
    if (Owner != NoOwner)
      Hash ^= Keys[I][(Owner ^ FPerspective) * 4 + (Mass & 3)];
    const uint64_t Bit = uint64_t(1) << I;
    Owned[Owner] |= Bit;
    Critical[Owner] |= Mass + 1 == FCapacity[I] ? Bit : 0;
  }
  FTop.Margin = Margin;
  FTop.Material = Material;
  FTop.Hash = Hash;
  FTop.Owned = {Owned[0], Owned[1]};
  FTop.Critical = {Critical[0], Critical[1]};
}

void TSearchBoard::RememberEndless(int Bits) {
  FEndless.assign(std::size_t(1) << Bits, TEndless{});
  FEndlessMask = (uint64_t(1) << Bits) - 1;
}

void TSearchBoard::Undo() {
  const TUndo& Undo = FUndo[--FDepth];
  if (Undo.Whole) {
    FMass = Undo.Masses;
    FOwner = Undo.Owners;
  } else {
    FMass[Undo.Cell] = Undo.Mass;
    FOwner[Undo.Cell] = Undo.Owner;
  }
  FTop = FSaved[FDepth];
}
