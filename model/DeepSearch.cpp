#include "DeepSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <vector>

namespace {

constexpr int32_t Infinity = 1 << 30;
// A decided game is worth WinValue less PlyStep per ply to its end, plus the
// mass margin: the quickest win, and the slowest loss, is preferred, and a
// margin of masses (a few hundred at most) never outweighs a ply.
constexpr int32_t WinValue = 1 << 28;
constexpr int32_t PlyStep = 1024;
constexpr int MaxPly = 60;
constexpr uint8_t NoCell = 255;
constexpr std::size_t MaxCells = std::size_t(MaxDimension) * MaxDimension;
// The thinking window hears from the search once per this many placements.
constexpr uint64_t MessagePeriod = 256;
constexpr int BudgetGaugeMax = 100;

// Ordering: the table's move, then the killers, then placements on the
// mover's own cells that explode, then the rest by history count.
constexpr int32_t HashMoveScore = 1 << 30;
constexpr int32_t KillerScore[2] = {1 << 29, 1 << 28};
constexpr int32_t ExplodingScore = 1 << 24;
constexpr int32_t HistoryLimit = 1 << 22;

constexpr uint64_t SplitMix(uint64_t& State) {
  uint64_t Z = (State += 0x9E3779B97F4A7C15ULL);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

// Zobrist keys by cell and by (owner, mass) with the owner counted from the
// searching player (0 its own, 1 the other's), and one for the other player
// to move. A position and its mirror image, searched for the mirrored
// player, therefore hash alike and are searched alike.
struct TKeys {
  std::array<std::array<uint64_t, 8>, MaxCells> Cell{};
  uint64_t OtherToMove = 0;
};
constexpr TKeys Keys = [] {
  TKeys Result;
  uint64_t State = 0x46697A7A67726964ULL;
  for (auto& Cell : Result.Cell)
    for (auto& Key : Cell)
      Key = SplitMix(State);
  Result.OtherToMove = SplitMix(State);
  return Result;
}();

enum TBound : uint8_t { NoBound, ExactBound, LowerBound, UpperBound };

struct TEntry {
  uint64_t Key = 0;
  int32_t Value = 0;
  int8_t Depth = 0;
  TBound Bound = NoBound;
  uint8_t Move = NoCell;
};

class TDeepSearch {
public:
  TDeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
              TSearchControl& Control);
  TDeepResult Run();

private:
  using TCells = std::array<uint8_t, MaxCells>;
  using TScores = std::array<int32_t, MaxCells>;

  const TCell& CellAt(const TBord& Board, uint8_t Index) const {
    return *Board.Cell(FRowOf[Index], FColOf[Index]);
  }
  uint64_t KeyOf(const TCell& Cell, uint8_t Index) const {
    if (Cell.Owner != LocalPlayer && Cell.Owner != Opponent)
      return 0;
    return Keys.Cell[Index][(Cell.Owner ^ FRoot) * 4 + (Cell.Mass & 3)];
  }
  // A cell's mass, and its mass weighted by its capacity, positive for the
  // searching player.
  int32_t MassOf(const TCell& Cell) const {
    return Cell.Owner == FRoot ? Cell.Mass : Cell.Owner == NoOwner ? 0 : -Cell.Mass;
  }
  int32_t MaterialOf(const TCell& Cell) const {
    return MassWeights[std::min<uint8_t>(Cell.Capacity, 4)] * MassOf(Cell);
  }
  uint64_t HashOf(const TBord& Board) const;
  void Tally(int Ply);
  int32_t Evaluate(int Ply, uint8_t Player) const;
  // The value of a finished game: its winner by the mass totals.
  int32_t GameOver(uint8_t Player, int Ply) const;
  int Candidates(const TBord& Board, uint8_t Player, int Ply, uint8_t HashMove, TCells& Moves,
                 TScores& Scores) const;
  // Plays Cell for Player on the board after Ply, as a copy of the board at
  // Ply (First: a full copy), with its material, and updates Hash unless the
  // new board is a leaf. False when the search must stop before this placement.
  bool Place(int Ply, uint8_t Cell, uint8_t Player, bool First, bool Leaf, uint64_t& Hash);
  int32_t Negamax(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta, uint64_t Hash);
  void Remember(int Ply, uint8_t Player, int Depth, uint8_t Cell);
  void ReportBudget();

  const uint8_t FRoot;
  const TDeepLimits FLimits;
  TSearchControl& FControl;
  TThinkProgress* const FProgress;
  std::array<std::unique_ptr<TBord>, MaxPly + 2> FBoards;
  // Per board, the sums of MaterialOf and of MassOf its cells.
  std::array<int32_t, MaxPly + 2> FMaterial{};
  std::array<int32_t, MaxPly + 2> FMargin{};
  std::vector<TEntry> FTable;
  uint64_t FMask = 0;
  std::array<uint8_t, MaxCells> FRowOf{};
  std::array<uint8_t, MaxCells> FColOf{};
  std::array<std::array<uint8_t, 2>, MaxPly + 2> FKillers{};
  std::array<std::array<int32_t, MaxCells>, 2> FHistory{};
  uint64_t FUsed = 0;
  bool FAborted = false;
  // An iteration's value rests on a static evaluation somewhere.
  bool FHorizon = false;
};

int32_t ToTable(int32_t Value, int Ply) {
  if (Value > DecidedValue)
    return Value + Ply * PlyStep;
  if (Value < -DecidedValue)
    return Value - Ply * PlyStep;
  return Value;
}

int32_t FromTable(int32_t Value, int Ply) {
  if (Value > DecidedValue)
    return Value - Ply * PlyStep;
  if (Value < -DecidedValue)
    return Value + Ply * PlyStep;
  return Value;
}

TDeepSearch::TDeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
                         TSearchControl& Control)
    : FRoot(Player), FLimits(Limits), FControl(Control), FProgress(Control.Progress()) {
  FBoards[0] = TBord::CreateCopy(Board);
  for (auto& Killers : FKillers)
    Killers.fill(NoCell);
  for (uint8_t R = 0; R < Board.Rows; ++R)
    for (uint8_t C = 0; C < Board.Cols; ++C) {
      FRowOf[R * Board.Cols + C] = R;
      FColOf[R * Board.Cols + C] = C;
    }
}

uint64_t TDeepSearch::HashOf(const TBord& Board) const {
  uint64_t Hash = 0;
  for (uint8_t I = 0; I < Board.Rows * Board.Cols; ++I)
    Hash ^= KeyOf(CellAt(Board, I), I);
  return Hash;
}

void TDeepSearch::Tally(int Ply) {
  const TBord& Board = *FBoards[Ply];
  FMaterial[Ply] = FMargin[Ply] = 0;
  for (uint8_t I = 0; I < Board.Rows * Board.Cols; ++I) {
    FMaterial[Ply] += MaterialOf(CellAt(Board, I));
    FMargin[Ply] += MassOf(CellAt(Board, I));
  }
}

int32_t TDeepSearch::Evaluate(int Ply, uint8_t Player) const {
  return Player == FRoot ? FMaterial[Ply] : -FMaterial[Ply];
}

int32_t TDeepSearch::GameOver(uint8_t Player, int Ply) const {
  const int32_t Margin = Player == FRoot ? FMargin[Ply] : -FMargin[Ply];
  if (Margin > 0)
    return WinValue - Ply * PlyStep + Margin;
  if (Margin < 0)
    return -WinValue + Ply * PlyStep + Margin;
  return 0;
}

int TDeepSearch::Candidates(const TBord& Board, uint8_t Player, int Ply, uint8_t HashMove,
                            TCells& Moves, TScores& Scores) const {
  const uint8_t Other = static_cast<uint8_t>(1 - Player);
  int Count = 0;
  for (uint8_t I = 0; I < Board.Rows * Board.Cols; ++I) {
    const TCell& Cell = CellAt(Board, I);
    if (Cell.Owner == Other)
      continue;
    int32_t Score = FHistory[Player][I];
    if (I == HashMove)
      Score = HashMoveScore;
    else if (I == FKillers[Ply][0])
      Score = KillerScore[0];
    else if (I == FKillers[Ply][1])
      Score = KillerScore[1];
    else if (Cell.Owner == Player && Cell.Mass + 1 == Cell.Capacity)
      Score += ExplodingScore;
    Moves[Count] = I;
    Scores[Count] = Score;
    ++Count;
  }
  return Count;
}

bool TDeepSearch::Place(int Ply, uint8_t Cell, uint8_t Player, bool First, bool Leaf,
                        uint64_t& Hash) {
  if (FUsed >= FLimits.Placements || !FControl.KeepThinking()) {
    FAborted = true;
    return false;
  }
  ++FUsed;
  ++FControl.PlacementsSearched;
  if (FUsed % MessagePeriod == 0 || FUsed == FLimits.Placements)
    ReportBudget();
  const TBord& Parent = *FBoards[Ply];
  auto& Slot = FBoards[Ply + 1];
  if (!Slot)
    Slot = std::make_unique<TBord>(nullptr, Parent.Rows, Parent.Cols);
  TBord& Child = *Slot;
  if (First)
    Child.CopyFrom(Parent);
  else
    Child.RestoreFrom(Parent);
  Child.Cell(FRowOf[Cell], FColOf[Cell])->AddMass(Player, false);
  // Most placements change a cell or two: the material, the mass margin
  // and the hash follow from the parent's and the cells the placement touched.
  int32_t Material = FMaterial[Ply];
  int32_t Margin = FMargin[Ply];
  uint64_t Change = 0;
  for (uint64_t Touched = Child.TouchedCells(); Touched; Touched &= Touched - 1) {
    const auto I = static_cast<uint8_t>(std::countr_zero(Touched));
    const TCell& Before = CellAt(Parent, I);
    const TCell& After = CellAt(Child, I);
    Material += MaterialOf(After) - MaterialOf(Before);
    Margin += MassOf(After) - MassOf(Before);
    // A leaf is evaluated, never looked up.
    if (!Leaf)
      Change ^= KeyOf(Before, I) ^ KeyOf(After, I);
  }
  if (!Leaf) {
    Hash ^= Keys.OtherToMove ^ Change;
    // The new node reads its table entry first; the table is larger than
    // the processor's caches.
    __builtin_prefetch(&FTable[Hash & FMask]);
  }
  FMaterial[Ply + 1] = Material;
  FMargin[Ply + 1] = Margin;
  return true;
}

void TDeepSearch::ReportBudget() {
  if (!FProgress)
    return;
  const uint64_t Share = FUsed * BudgetGaugeMax / std::max<uint64_t>(FLimits.Placements, 1);
  FProgress->SetProgress(1, int(std::min<uint64_t>(Share, BudgetGaugeMax)));
  FProgress->ProcessMessages();
}

void TDeepSearch::Remember(int Ply, uint8_t Player, int Depth, uint8_t Cell) {
  auto& Killers = FKillers[Ply];
  if (Killers[0] != Cell) {
    Killers[1] = Killers[0];
    Killers[0] = Cell;
  }
  auto& History = FHistory[Player];
  History[Cell] += Depth * Depth;
  if (History[Cell] >= HistoryLimit)
    for (auto& Count : History)
      Count /= 2;
}

int32_t TDeepSearch::Negamax(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta,
                             uint64_t Hash) {
  const TBord& Board = *FBoards[Ply];
  if (Board.Finished || !Board.CanMove(Player))
    return GameOver(Player, Ply);
  if (Depth <= 0 || Ply >= MaxPly) {
    FHorizon = true;
    return Evaluate(Ply, Player);
  }

  TEntry& Entry = FTable[Hash & FMask];
  uint8_t HashMove = NoCell;
  if (Entry.Bound != NoBound && Entry.Key == Hash) {
    HashMove = Entry.Move;
    if (Entry.Depth >= Depth) {
      const int32_t Stored = FromTable(Entry.Value, Ply);
      if (Entry.Bound == ExactBound || (Entry.Bound == LowerBound && Stored >= Beta) ||
          (Entry.Bound == UpperBound && Stored <= Alpha)) {
        FHorizon |= Stored >= -DecidedValue && Stored <= DecidedValue;
        return Stored;
      }
    }
  }

  TCells Moves;
  TScores Scores;
  const int Count = Candidates(Board, Player, Ply, HashMove, Moves, Scores);
  const auto Other = static_cast<uint8_t>(1 - Player);
  const int32_t AlphaAtStart = Alpha;
  int32_t Best = -Infinity;
  uint8_t BestMove = NoCell;
  for (int K = 0; K < Count; ++K) {
    // Selection by score, earliest cell first among equals.
    int Pick = K;
    for (int J = K + 1; J < Count; ++J)
      if (Scores[J] > Scores[Pick])
        Pick = J;
    std::swap(Moves[K], Moves[Pick]);
    std::swap(Scores[K], Scores[Pick]);
    const uint8_t Cell = Moves[K];

    uint64_t ChildHash = Hash;
    if (!Place(Ply, Cell, Player, K == 0, Depth == 1, ChildHash))
      return 0;
    int32_t Value;
    if (K == 0) {
      Value = -Negamax(Ply + 1, Other, Depth - 1, -Beta, -Alpha, ChildHash);
    } else {
      Value = -Negamax(Ply + 1, Other, Depth - 1, -Alpha - 1, -Alpha, ChildHash);
      if (!FAborted && Value > Alpha && Value < Beta)
        Value = -Negamax(Ply + 1, Other, Depth - 1, -Beta, -Alpha, ChildHash);
    }
    if (FAborted)
      return 0;
    if (Value > Best) {
      Best = Value;
      BestMove = Cell;
      if (Value > Alpha) {
        Alpha = Value;
        if (Alpha >= Beta) {
          Remember(Ply, Player, Depth, Cell);
          break;
        }
      }
    }
  }

  Entry.Key = Hash;
  Entry.Value = ToTable(Best, Ply);
  Entry.Depth = static_cast<int8_t>(Depth);
  Entry.Bound = Best <= AlphaAtStart ? UpperBound : Best >= Beta ? LowerBound : ExactBound;
  Entry.Move = BestMove;
  return Best;
}

TDeepResult TDeepSearch::Run() {
  const TBord& Root = *FBoards[0];
  TDeepResult Result;
  TCells Order;
  TScores Scores{};
  int Count = 0;
  const auto Other = static_cast<uint8_t>(1 - FRoot);
  for (uint8_t I = 0; I < Root.Rows * Root.Cols; ++I)
    if (CellAt(Root, I).Owner != Other)
      Order[Count++] = I;
  if (Count == 0) {
    Result.Move = TMove(Root.Rows, 0);
    return Result;
  }
  Result.Move = TMove(FRowOf[Order[0]], FColOf[Order[0]]);
  if (Count == 1)
    return Result;

  // About one entry per four placements: most placements end in a leaf.
  const uint64_t Entries = std::clamp<uint64_t>(FLimits.Placements / 4, 1024, uint64_t(1) << 18);
  FTable.resize(std::bit_ceil(Entries));
  FMask = FTable.size() - 1;
  if (FProgress) {
    FProgress->SetMaxValue(1, BudgetGaugeMax);
    FProgress->SetMaxValue(2, Count);
  }
  const uint64_t RootHash = HashOf(Root);
  Tally(0);
  const int MaxDepth = std::clamp(FLimits.MaxDepth, 1, MaxPly);
  for (int Depth = 1; Depth <= MaxDepth && !FAborted; ++Depth) {
    FHorizon = false;
    int32_t Alpha = -Infinity;
    int Best = -1;
    int Provisional = -1;
    if (FProgress)
      FProgress->SetProgress(2, 0);
    for (int K = 0; K < Count; ++K) {
      uint64_t ChildHash = RootHash;
      if (!Place(0, Order[K], FRoot, K == 0, Depth == 1, ChildHash))
        break;
      int32_t Value;
      if (K == 0) {
        Value = -Negamax(1, Other, Depth - 1, -Infinity, Infinity, ChildHash);
      } else {
        Value = -Negamax(1, Other, Depth - 1, -Alpha - 1, -Alpha, ChildHash);
        // A candidate that proved better than the best so far may be played
        // even if its exact value is not known before the budget runs out.
        if (!FAborted && Value > Alpha) {
          Provisional = K;
          Value = -Negamax(1, Other, Depth - 1, -Infinity, -Alpha, ChildHash);
        }
      }
      if (FAborted)
        break;
      Provisional = -1;
      Scores[K] = Value;
      if (Value > Alpha) {
        Alpha = Value;
        Best = K;
      }
      if (FProgress)
        FProgress->SetProgress(2, K + 1);
    }
    // The first candidate of an iteration is the previous one's best, so a
    // best among the candidates this iteration finished is at least as sound.
    if (const int Chosen = Provisional >= 0 ? Provisional : Best; Chosen >= 0) {
      Result.Move = TMove(FRowOf[Order[Chosen]], FColOf[Order[Chosen]]);
      Result.Value = Alpha;
    }
    if (FAborted)
      break;
    Result.Depth = Depth;
    // The best first, the rest by their (bounded) values, earlier first among equals.
    std::rotate(Order.begin(), Order.begin() + Best, Order.begin() + Best + 1);
    std::rotate(Scores.begin(), Scores.begin() + Best, Scores.begin() + Best + 1);
    std::array<int, MaxCells> Rank;
    for (int K = 0; K < Count; ++K)
      Rank[K] = K;
    std::stable_sort(Rank.begin() + 1, Rank.begin() + Count,
                     [&](int A, int B) { return Scores[A] > Scores[B]; });
    TCells Sorted;
    TScores SortedScores;
    for (int K = 0; K < Count; ++K) {
      Sorted[K] = Order[Rank[K]];
      SortedScores[K] = Scores[Rank[K]];
    }
    Order = Sorted;
    Scores = SortedScores;
    if (Alpha > DecidedValue || Alpha < -DecidedValue || !FHorizon)
      break;
  }
  Result.Placements = FUsed;
  Result.CutShort = FAborted;
  return Result;
}

} // namespace

TDeepResult DeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
                       TSearchControl& Control) {
  const TShownProgress Shown(Control.Progress());
  return TDeepSearch(Board, Player, Limits, Control).Run();
}
