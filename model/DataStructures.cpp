#include "DataStructures.h"

#include "Search.h"

#include <algorithm>

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

void SilentSettle(TCell& Cell, uint8_t Player, TBord& Board);

// The search's placement. The rules' placement raises Nesting, may explode,
// lowers Nesting; for a cell that is not full and not at the guard that
// leaves nothing but the new mass and owner, so only cells that explode or
// stop the cascade pay for a call. Most hits of a cascade are of that kind.
inline void SilentHit(TCell& Cell, uint8_t Player, TBord& Board) {
  if (Cell.Mass < UINT8_MAX)
    ++Cell.Mass;
  Cell.Owner = Player;
  if (!Board.Finished && (Cell.Mass == Cell.Capacity || Cell.Nesting + 1 >= NestingLimit))
    SilentSettle(Cell, Player, Board);
}

void SilentSettle(TCell& Cell, uint8_t Player, TBord& Board) {
  ++Cell.Nesting;
  if (Cell.Nesting < NestingLimit) {
    Cell.Clear();
    for (TCell* Neighbour : Cell.Neighbours)
      if (Neighbour)
        SilentHit(*Neighbour, Player, Board);
  } else {
    Board.Finished = true;
  }
  --Cell.Nesting;
}

} // namespace

void TCell::AddMass(uint8_t Player, bool Animate) {
  if (!Animate) {
    SilentHit(*this, Player, *Board);
    return;
  }
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
      New.Nesting = 0;
      New.Clear();
      Cells[R + 1][C + 1] = &New;
    }
  LinkNeighbours();
}

std::unique_ptr<TBord> TBord::CreateCopy(const TBord& Source) {
  auto Copy = std::make_unique<TBord>(Source.View, Source.Rows, Source.Cols);
  Copy->CopyFrom(Source);
  return Copy;
}

void TBord::CopyFrom(const TBord& Source) {
  if (&Source == this)
    return;
  if (Rows != Source.Rows || Cols != Source.Cols)
    Build(Source.Rows, Source.Cols);
  View = Source.View;
  Finished = Source.Finished;
  // Both boards store their cells row-major from the first slot, so equal
  // dimensions mean equal positions; the links already point into this board.
  const std::size_t Count = std::size_t(Rows) * Cols;
  for (std::size_t I = 0; I < Count; ++I) {
    TCell& Target = FStore[I];
    const TCell& From = Source.FStore[I];
    Target.Mass = From.Mass;
    Target.Owner = From.Owner;
    Target.Nesting = 0;
  }
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
  const std::size_t Count = std::size_t(Rows) * Cols;
  for (std::size_t I = 0; I < Count; ++I) {
    const TCell& C = FStore[I];
    const int Sign = (C.Owner == Opponent) - (C.Owner == LocalPlayer);
    Sum += MassWeights[C.Capacity] * Sign * C.Mass;
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
