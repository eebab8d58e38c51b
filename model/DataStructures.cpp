// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataStructures.h"

#include <algorithm>
#include <bit>
#include <cstdint>

void TCell::SetNeighbours(TCell* Left, TCell* Right, TCell* Up, TCell* Down) {
  Neighbours = {Left, Right, Up, Down};
  CountNeighbours();
}

void TCell::CountNeighbours() {
  Capacity = static_cast<uint8_t>(std::count_if(Neighbours.begin(), Neighbours.end(),
                                                [](const TCell* N) { return N != nullptr; }));
}

std::array<int, 3> TCell::MassVector() const {
  std::array<int, 3> Result{0, 0, 0};
  if (Owner < Result.size())
    Result[Owner] = Mass;
  return Result;
}

namespace {

// A cell's share of Evaluate, by owner (0 against the computer, 1 for it,
// nobody nothing) and capacity; indexes are masked so that no field value can
// read outside the table.
constexpr auto SignedWeights = [] {
  std::array<std::array<int32_t, 8>, 4> Table{};
  for (std::size_t Capacity = 0; Capacity < std::size(MassWeights); ++Capacity) {
    Table[LocalPlayer][Capacity] = -MassWeights[Capacity];
    Table[Opponent][Capacity] = MassWeights[Capacity];
  }
  return Table;
}();

inline int32_t CellValue(const TCell& Cell) {
  return SignedWeights[std::min<uint8_t>(Cell.Owner, 3)][Cell.Capacity & 7] * Cell.Mass;
}

// The part of a cell a copy takes over; Capacity and the links are the same
// on boards of equal dimensions, and a copy starts with no placement running.
inline void CopyCell(TCell& Target, const TCell& Source) {
  Target.Nesting = 0;
  Target.Mass = Source.Mass;
  Target.Owner = Source.Owner;
}

} // namespace

// The silent placement's cascade: the rules' AddMass with Animate clear, in a
// form fit for the search's inner loop. It reaches the same cells in the same
// order with the same result; it only leaves out what changes nothing:
//
// - A cell that is hit and neither becomes full nor meets the guard only
//   gains a mass and the player's colour (its Nesting would go up and down
//   with nothing in between), so only cells that explode or stop the cascade
//   get a call of Settle.
// - Once the guard has stopped the cascade nothing explodes any more: every
//   placement still pending only adds its mass. Settle reports the stop to
//   its caller, so the loops still running finish with plain additions and
//   the board's Finished flag is set once at the end, instead of being read
//   again after every byte the cascade stores (a byte store may alias it).
// - The exploded cells are collected as bits in the board's FExploded; the
//   board derives from them the cells the cascade touched (RestoreFrom).
// - The player is part of the type and the functions keep no state of their
//   own, which leaves the recursion its registers.
template <uint8_t Player>
class TBord::TSilentCascade {
public:
  // A placement that ends the cascade at once, or a hit after the guard has
  // stopped it. On a finished board masses pile up, so the mass saturates
  // instead of wrapping to an owned cell that looks empty.
  static void Receive(TCell& Cell) {
    Cell.Mass = static_cast<uint8_t>(Cell.Mass + (Cell.Mass != UINT8_MAX));
    Cell.Owner = Player;
  }
  // After a mass arrived on an open board: whether the placement goes on (the
  // cell explodes or the guard stops the cascade) or ends there.
  static bool GoesOn(const TCell& Cell) {
    return Cell.Mass == Cell.Capacity || Cell.Nesting + 1 >= NestingLimit;
  }
  // Cell has received a mass and GoesOn. Returns true when the guard stopped
  // the cascade, here or deeper.
  static bool Settle(TCell& Cell);

private:
  // Sends one mass of the exploding Cell to its neighbour in slot K, with the
  // neighbour's whole sub-cascade. While the board is open every cell holds
  // less than its capacity (at most 4) before a hit, so the plain increment
  // cannot wrap. When the guard stops the cascade, the neighbours after K
  // still receive their masses, and the result is true.
  static bool Reach(TCell& Cell, std::size_t K) {
    TCell* Next = Cell.Neighbours[K];
    if (!Next)
      return false;
    ++Next->Mass;
    Next->Owner = Player;
    if (!GoesOn(*Next) || !Settle(*Next))
      return false;
    while (++K < Cell.Neighbours.size())
      if (TCell* Rest = Cell.Neighbours[K])
        Receive(*Rest);
    return true;
  }
};

template <uint8_t Player>
bool TBord::TSilentCascade<Player>::Settle(TCell& Cell) {
  // Five unfinished placements on this cell already: the cascade keeps coming
  // back and would never settle. The cell keeps its mass and does not explode.
  if (Cell.Nesting + 1 >= NestingLimit)
    return true;
  ++Cell.Nesting;
  Cell.Clear();
  Cell.Board->FExploded |= uint64_t(1) << (Cell.Index & 63);
  // Depth-first, left, right, up, down, as in the animated placement.
  const bool Stopped = Reach(Cell, 0) || Reach(Cell, 1) || Reach(Cell, 2) || Reach(Cell, 3);
  --Cell.Nesting;
  return Stopped;
}

void TCell::AddMass(uint8_t Player, bool Animate) {
  if (!Animate && Player == LocalPlayer) {
    Board->PlaceSilently<LocalPlayer>(*this);
    return;
  }
  if (!Animate && Player == Opponent) {
    Board->PlaceSilently<Opponent>(*this);
    return;
  }
  // The rules step by step: every animated placement, and a silent one for
  // an owner value no game uses.
  Board->FTouched = ~uint64_t(0);
  // A byte would wrap to an empty-looking owned cell; only a finished board
  // that keeps receiving masses could ever get near the limit.
  if (Mass < UINT8_MAX)
    ++Mass;
  ++Nesting;
  Owner = Player;
  if (Animate)
    Board->NotifyInvalidate(this);
  // Five unfinished placements on this cell already: the cascade keeps coming
  // back and would never settle, so it stops here and ends the game.
  if (!Board->Finished && Nesting < NestingLimit) {
    if (IsFull()) {
      if (Animate)
        Board->NotifyExplode(this);
      Clear();
      if (Animate)
        Board->NotifyInvalidate(this);
      // Depth-first, left, right, up, down: each neighbour's whole
      // sub-cascade runs before the next neighbour receives its mass. This
      // order fixes the animation and, when the guard cuts in, the result.
      for (TCell* Neighbour : Neighbours)
        if (Neighbour)
          Neighbour->AddMass(Player, Animate);
    }
  } else {
    Board->Finished = true;
  }
  --Nesting;
}

template <uint8_t Player>
void TBord::PlaceSilently(TCell& Target) {
  using TCascade = TSilentCascade<Player>;
  TCascade::Receive(Target);
  FExploded = 0;
  if (!Finished && TCascade::GoesOn(Target) && TCascade::Settle(Target))
    Finished = true;
  // Every cell a cascade changes is the placed cell or a neighbour of an
  // exploded one. Left and right neighbours are the next bits in the row,
  // upper and lower ones Cols bits away.
  const uint64_t Exploded = FExploded;
  FExploded = 0;
  FTouched |= (uint64_t(1) << (Target.Index & 63)) | Exploded | ((Exploded >> 1) & ~FLastColumn) |
              ((Exploded << 1) & ~FFirstColumn) | (Exploded >> Cols) |
              ((Exploded << Cols) & FAllCells);
}

int TCell::CellImageIndex() const {
  static constexpr int ImageBase[5] = {0, 0, 0, 2, 5};
  // Capacities outside 2..4 exist only on boards below 2 x 2, and masses
  // above capacity only on a finished board; both are drawn with the
  // nearest picture rather than an index outside the set.
  const int Cap = std::clamp<int>(Capacity, 2, 4);
  if (Owner != LocalPlayer && Owner != Opponent)
    return 16 + Cap;
  const int Shown = std::clamp<int>(Mass, 1, Cap);
  return ImageBase[Cap] + (Shown - 1) + 9 * Owner;
}

TBord::TBord(TBordView* AView, uint8_t ARows, uint8_t ACols) : View(AView) {
  Build(ARows, ACols);
}

void TBord::Build(uint8_t ARows, uint8_t ACols) {
  Rows = std::min(ARows, MaxDimension);
  Cols = std::min(ACols, MaxDimension);
  Finished = false;
  for (auto& Line : Cells)
    Line.fill(nullptr);
  std::size_t Next = 0;
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) {
      TCell& New = FStore[Next++];
      New.Board = this;
      New.Index = static_cast<uint8_t>(Next - 1);
      New.Nesting = 0;
      New.Clear();
      Cells[R + 1][C + 1] = &New;
    }
  LinkNeighbours();
  FFirstColumn = 0;
  FLastColumn = 0;
  for (std::size_t I = 0; I < CellCount(); I += Cols) {
    FFirstColumn |= uint64_t(1) << I;
    FLastColumn |= uint64_t(1) << (I + Cols - 1);
  }
  FAllCells = CellCount() == 64 ? ~uint64_t(0) : (uint64_t(1) << CellCount()) - 1;
  FTouched = ~uint64_t(0);
}

std::unique_ptr<TBord> TBord::CreateCopy(const TBord& Source) {
  auto Copy = std::make_unique<TBord>(nullptr, Source.Rows, Source.Cols);
  Copy->CopyFrom(Source);
  return Copy;
}

void TBord::CopyFrom(const TBord& Source) {
  if (&Source == this)
    return;
  if (Rows != Source.Rows || Cols != Source.Cols)
    Build(Source.Rows, Source.Cols);
  Finished = Source.Finished;
  // Both boards store their cells row-major from the first slot, so equal
  // dimensions mean equal positions; the links already point into this board.
  const std::size_t Count = CellCount();
  for (std::size_t I = 0; I < Count; ++I)
    CopyCell(FStore[I], Source.FStore[I]);
  FTouched = 0;
}

void TBord::RestoreFrom(const TBord& Source) {
  if (&Source == this)
    return;
  if (Rows != Source.Rows || Cols != Source.Cols) {
    CopyFrom(Source);
    return;
  }
  Finished = Source.Finished;
  for (uint64_t Left = FTouched & FAllCells; Left; Left &= Left - 1) {
    const int I = std::countr_zero(Left);
    CopyCell(FStore[I], Source.FStore[I]);
  }
  FTouched = 0;
}

void TBord::LinkNeighbours() {
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C)
      Cell(R, C)->SetNeighbours(Cell(R, C - 1), Cell(R, C + 1), Cell(R - 1, C), Cell(R + 1, C));
}

TCell* TBord::GetCell(uint8_t Row, uint8_t Col) const {
  if (Row >= Rows || Col >= Cols)
    return nullptr;
  return Cell(Row, Col);
}

void TBord::FindCell(const TCell* Target, uint8_t& Row, uint8_t& Col) const {
  for (uint8_t R = 0; R < Rows; ++R)
    for (uint8_t C = 0; C < Cols; ++C)
      if (Cell(R, C) == Target) {
        Row = R;
        Col = C;
        return;
      }
  Row = 0;
  Col = 0;
}

std::array<int, 3> TBord::CountMasses() const {
  std::array<int, 3> Totals{0, 0, 0};
  const std::size_t Count = std::size_t(Rows) * Cols;
  for (std::size_t I = 0; I < Count; ++I) {
    const auto Part = FStore[I].MassVector();
    for (std::size_t K = 0; K < Totals.size(); ++K)
      Totals[K] += Part[K];
  }
  return Totals;
}

void TBord::Reset() {
  for (uint8_t R = 0; R < Rows; ++R)
    for (uint8_t C = 0; C < Cols; ++C) {
      Cell(R, C)->Clear();
      if (View)
        View->InvalidateCell(R, C);
    }
  Finished = false;
  FTouched = ~uint64_t(0);
}

bool TBord::CanMove(uint8_t Player) const {
  const uint8_t Other = static_cast<uint8_t>(1 - Player);
  const std::size_t Count = std::size_t(Rows) * Cols;
  for (std::size_t I = 0; I < Count; ++I)
    if (FStore[I].Owner != Other)
      return true;
  return false;
}

int TBord::EmptyCount() const {
  int Empty = 0;
  const std::size_t Count = std::size_t(Rows) * Cols;
  for (std::size_t I = 0; I < Count; ++I)
    Empty += FStore[I].Owner == NoOwner;
  return Empty;
}

TMoveList TBord::GenerateMoves(uint8_t Player) const {
  const uint8_t Other = static_cast<uint8_t>(1 - Player);
  TMoveList Moves;
  std::size_t I = 0;
  for (uint8_t R = 0; R < Rows; ++R)
    for (uint8_t C = 0; C < Cols; ++C, ++I)
      if (FStore[I].Owner != Other)
        Moves.Add(TMove(R, C));
  return Moves;
}

int32_t TBord::Evaluate() const {
  int32_t Sum = 0;
  const std::size_t Count = CellCount();
  for (std::size_t I = 0; I < Count; ++I)
    Sum += CellValue(FStore[I]);
  return Sum;
}

int32_t TBord::EvaluateFrom(const TBord& Source, int32_t SourceValue) const {
  const uint64_t Touched = FTouched & FAllCells;
  // Each touched cell costs two lookups here and one in Evaluate.
  if (Rows != Source.Rows || Cols != Source.Cols || std::popcount(Touched) * 2 > int(CellCount()))
    return Evaluate();
  int32_t Sum = SourceValue;
  for (uint64_t Left = Touched; Left; Left &= Left - 1) {
    const int I = std::countr_zero(Left);
    Sum += CellValue(FStore[I]) - CellValue(Source.FStore[I]);
  }
  return Sum;
}

void TBord::NotifyInvalidate(TCell* Target) {
  if (!View)
    return;
  uint8_t Row = 0;
  uint8_t Col = 0;
  FindCell(Target, Row, Col);
  View->InvalidateCell(Row, Col);
}

void TBord::NotifyExplode(TCell* Target) {
  if (!View)
    return;
  uint8_t Row = 0;
  uint8_t Col = 0;
  FindCell(Target, Row, Col);
  View->Explode(Row, Col);
}
