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
      for (int J = 0; J < 4; ++J)
        FReversed[I][J] = J < K ? FNeighbours[I][K - 1 - J] : 0;
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

// TCell::AddMass without the recursion. The masses still to send wait on a
// stack, each exploding cell's four (left, right, up, down) pushed in reverse
// above a marker that closes the explosion, so they arrive in the same
// depth-first order, and the marker says when the cell's explosion has sent
// everything (its nesting). A mass arriving on a cell saturates rather than
// wraps (on a finished board masses pile up); a full cell explodes; a cell
// hit while five of its explosions are still sending stops the cascade as
// endless, and from then on masses only arrive. Returns the cells that
// exploded.
template <uint8_t Player>
uint64_t TSearchBoard::Cascade(uint8_t Start) {
  constexpr uint16_t Closing = 0x100;
  bool Finished = FTop.Finished;
  uint64_t Exploded = 0;
  uint16_t* const Stack = FPending.data();
  int Top = 0;
  Stack[Top++] = Start;
  do {
    const uint16_t Item = Stack[--Top];
    const auto I = static_cast<uint8_t>(Item);
    if (Item & Closing) {
      --FNesting[I];
      continue;
    }
    const uint8_t Mass = static_cast<uint8_t>(FMass[I] + (FMass[I] != UINT8_MAX));
    FOwner[I] = Player;
    FMass[I] = Mass;
    if (Finished)
      continue;
    if (FNesting[I] + 1 >= NestingLimit) {
      Finished = true;
    } else if (Mass == FCapacity[I]) {
      FMass[I] = 0;
      FOwner[I] = NoOwner;
      ++FNesting[I];
      Exploded |= uint64_t(1) << I;
      const auto& Reversed = FReversed[I];
      Stack[Top] = uint16_t(Closing | I);
      for (int K = 0; K < 4; ++K)
        Stack[Top + 1 + K] = Reversed[K];
      Top += 1 + Mass;
    }
  } while (Top > 0);
  FTop.Finished = Finished;
  return Exploded;
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
    FTop.Changed = Bit;
    return;
  }
  uint64_t Key = 0;
  TEndless* Known = nullptr;
  if (!FEndless.empty()) {
    Key = FTop.Hash ^ Keys[Index][(Player ^ FPerspective) * 4];
    Known = &FEndless[Key & FEndlessMask];
    if (Known->Key == Key) {
      Undo.Whole = false;
      Undo.Cell = Index;
      Undo.Mass = FMass[Index];
      Undo.Owner = FOwner[Index];
      FTop.Finished = true;
      FTop.Margin = Known->Margin;
      FTop.Changed = Bit;
      return;
    }
  }
  Undo.Whole = true;
  Undo.Masses = FMass;
  Undo.Owners = FOwner;
  const uint64_t Exploded =
      Player == LocalPlayer ? Cascade<LocalPlayer>(Index) : Cascade<Opponent>(Index);
  if (Known && FTop.Finished)
    Known->Key = Key;
  // Every cell a cascade changes is the placed cell or a neighbour of an
  // exploded one.
  const uint64_t Changed = Bit | Exploded | Neighbours(Exploded);
  for (uint64_t Left = Changed; Left; Left &= Left - 1) {
    const auto I = static_cast<uint8_t>(std::countr_zero(Left));
    Account(I, Undo.Masses[I], Undo.Owners[I]);
  }
  FTop.Changed = Changed;
  if (Known && FTop.Finished)
    Known->Margin = FTop.Margin;
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
