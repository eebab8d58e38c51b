// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeepSearch.h"

#include "SearchBoard.h"

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
static_assert(MaxPly < TSearchBoard::MaxDepth);
constexpr uint8_t NoCell = TSearchBoard::NoCell;
constexpr std::size_t MaxCells = TSearchBoard::MaxCells;
// The thinking window hears from the search once per this many placements.
constexpr uint64_t MessagePeriod = 256;
constexpr int BudgetGaugeMax = 100;
// Hashed into the key when the player other than the searching one is to move.
constexpr uint64_t OtherToMove = 0x9D39247E33776D41ULL;

// Ordering: the table's move, then the killers, then placements on the
// mover's own critical cells that strike an enemy cell, then the other
// exploding ones, then the rest by history count.
constexpr int32_t HashMoveScore = 1 << 30;
constexpr int32_t KillerScore[2] = {1 << 29, 1 << 28};
constexpr int32_t StrikingScore = 1 << 25;
constexpr int32_t ExplodingScore = 1 << 24;
constexpr int32_t HistoryLimit = 1 << 22;

constexpr uint64_t SplitMix(uint64_t State) {
  uint64_t Z = State + 0x9E3779B97F4A7C15ULL;
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

enum TBound : uint8_t { NoBound, ExactBound, LowerBound, UpperBound };

struct TEntry {
  uint64_t Key = 0;
  int32_t Value = 0;
  int8_t Depth = 0;
  TBound Bound = NoBound;
  uint8_t Move = NoCell;
  // The value rests on a static evaluation somewhere below.
  bool Horizon = false;
};

bool IsDecided(int32_t Value) {
  return Value > DecidedValue || Value < -DecidedValue;
}

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

class TDeepSearch {
public:
  TDeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
              TSearchControl& Control);
  TDeepResult Run();

private:
  using TCells = std::array<uint8_t, MaxCells>;
  using TScores = std::array<int32_t, MaxCells>;

  TMove MoveOf(uint8_t Cell) const {
    return TMove(uint8_t(Cell / FBoard.Cols()), uint8_t(Cell % FBoard.Cols()));
  }
  uint64_t HashFor(uint8_t Player) const {
    return FBoard.Hash() ^ (Player == FRoot ? 0 : OtherToMove);
  }
  // The value of a finished game: its winner by the mass totals.
  int32_t GameOver(uint8_t Player, int Ply) const;
  int Candidates(uint8_t Player, int Ply, uint8_t HashMove, TCells& Moves, TScores& Scores) const;
  // Plays Cell for Player, counted against the budget; false (nothing
  // placed) when the search must stop first.
  bool Play(uint8_t Cell, uint8_t Player);
  int32_t Negamax(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta);
  // Beyond the depth limit only strikes are searched (placements on own
  // critical cells next to the other player's), up to Depth of them in a
  // row; the player to move may instead stand on the evaluation.
  int32_t Quiesce(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta);
  // The root candidate K's value in an iteration of Depth: exact (Exact set)
  // when it lies above Threshold, else an upper bound. Above sets when the
  // value proved to lie above Threshold, even if the search then stopped.
  int32_t SearchRootMove(int K, int Depth, int32_t Threshold, bool& Exact, bool& Above);
  void Remember(int Ply, uint8_t Player, int Depth, uint8_t Cell);
  void ReportBudget();
  bool ExplosionsSpent() const {
    return FLimits.Explosions && FBoard.Explosions() >= FLimits.Explosions;
  }
  TMove VariedMove(const TCells& Order, const TScores& Scores,
                   const std::array<bool, MaxCells>& Exact, int Count, int32_t Best) const;

  const uint8_t FRoot;
  const TDeepLimits FLimits;
  const TEvalWeights& FWeights;
  const bool FVaried;
  TSearchControl& FControl;
  TThinkProgress* const FProgress;
  TSearchBoard FBoard;
  std::vector<TEntry> FTable;
  uint64_t FMask = 0;
  std::array<std::array<uint8_t, 2>, MaxPly + 2> FKillers{};
  std::array<std::array<int32_t, MaxCells>, 2> FHistory{};
  TCells FOrder{};
  uint64_t FUsed = 0;
  bool FAborted = false;
  // The node being searched rests on a static evaluation somewhere.
  bool FHorizon = false;
};

TDeepSearch::TDeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
                         TSearchControl& Control)
    : FRoot(Player), FLimits(Limits),
      FWeights(Limits.Weights ? *Limits.Weights : DefaultEvalWeights),
      FVaried(Limits.Seed != 0 && Limits.VarietyMargin > 0), FControl(Control),
      FProgress(Control.Progress()) {
  FBoard.Load(Board, Player);
  for (auto& Killers : FKillers)
    Killers.fill(NoCell);
}

int32_t TDeepSearch::GameOver(uint8_t Player, int Ply) const {
  const int32_t Margin = Player == FRoot ? FBoard.Margin() : -FBoard.Margin();
  if (Margin > 0)
    return WinValue - Ply * PlyStep + Margin;
  if (Margin < 0)
    return -WinValue + Ply * PlyStep + Margin;
  return 0;
}

int TDeepSearch::Candidates(uint8_t Player, int Ply, uint8_t HashMove, TCells& Moves,
                            TScores& Scores) const {
  const auto Other = static_cast<uint8_t>(1 - Player);
  const uint64_t Exploding = FBoard.Critical(Player);
  const uint64_t Striking = Exploding & FBoard.Neighbours(FBoard.Owned(Other));
  int Count = 0;
  for (uint64_t Left = FBoard.Moves(Player); Left; Left &= Left - 1) {
    const auto I = static_cast<uint8_t>(std::countr_zero(Left));
    const uint64_t Bit = uint64_t(1) << I;
    int32_t Score = FHistory[Player][I];
    if (I == HashMove)
      Score = HashMoveScore;
    else if (I == FKillers[Ply][0])
      Score = KillerScore[0];
    else if (I == FKillers[Ply][1])
      Score = KillerScore[1];
    else if (Striking & Bit)
      Score += StrikingScore;
    else if (Exploding & Bit)
      Score += ExplodingScore;
    Moves[Count] = I;
    Scores[Count] = Score;
    ++Count;
  }
  return Count;
}

bool TDeepSearch::Play(uint8_t Cell, uint8_t Player) {
  if (FUsed >= FLimits.Placements || ExplosionsSpent() || !FControl.KeepThinking()) {
    FAborted = true;
    return false;
  }
  ++FUsed;
  ++FControl.PlacementsSearched;
  if (FUsed % MessagePeriod == 0 || FUsed == FLimits.Placements)
    ReportBudget();
  FBoard.Place(Cell, Player);
  return true;
}

void TDeepSearch::ReportBudget() {
  if (!FProgress)
    return;
  uint64_t Share = FUsed * BudgetGaugeMax / std::max<uint64_t>(FLimits.Placements, 1);
  if (FLimits.Explosions)
    Share = std::max(Share, FBoard.Explosions() * BudgetGaugeMax / FLimits.Explosions);
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

int32_t TDeepSearch::Negamax(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta) {
  if (FBoard.Finished() || !FBoard.CanMove(Player))
    return GameOver(Player, Ply);
  if (Depth <= 0 || Ply >= MaxPly)
    return Quiesce(Ply, Player, FLimits.Quiescence, Alpha, Beta);

  const uint64_t Hash = HashFor(Player);
  TEntry& Entry = FTable[Hash & FMask];
  uint8_t HashMove = NoCell;
  if (Entry.Bound != NoBound && Entry.Key == Hash) {
    HashMove = Entry.Move;
    // A value that rests on no evaluation holds at any depth.
    if (Entry.Depth >= Depth || !Entry.Horizon) {
      const int32_t Stored = FromTable(Entry.Value, Ply);
      if (Entry.Bound == ExactBound || (Entry.Bound == LowerBound && Stored >= Beta) ||
          (Entry.Bound == UpperBound && Stored <= Alpha)) {
        FHorizon |= Entry.Horizon;
        return Stored;
      }
    }
  }

  // This node's own horizon flag, for its table entry.
  const bool HorizonAbove = FHorizon;
  FHorizon = false;
  TCells Moves;
  TScores Scores;
  const int Count = Candidates(Player, Ply, HashMove, Moves, Scores);
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

    if (!Play(Cell, Player))
      return 0;
    // The child reads its table entry first; the table is larger than the
    // processor's caches.
    if (Depth > 1)
      __builtin_prefetch(&FTable[HashFor(Other) & FMask]);
    int32_t Value;
    if (K == 0) {
      Value = -Negamax(Ply + 1, Other, Depth - 1, -Beta, -Alpha);
    } else {
      Value = -Negamax(Ply + 1, Other, Depth - 1, -Alpha - 1, -Alpha);
      if (!FAborted && Value > Alpha && Value < Beta)
        Value = -Negamax(Ply + 1, Other, Depth - 1, -Beta, -Alpha);
    }
    FBoard.Undo();
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
  Entry.Horizon = FHorizon;
  FHorizon |= HorizonAbove;
  return Best;
}

int32_t TDeepSearch::Quiesce(int Ply, uint8_t Player, int Depth, int32_t Alpha, int32_t Beta) {
  if (FBoard.Finished() || !FBoard.CanMove(Player))
    return GameOver(Player, Ply);
  FHorizon = true;
  const int32_t Standing = Evaluate(FBoard, Player, FWeights);
  const auto Other = static_cast<uint8_t>(1 - Player);
  uint64_t Strikes = FBoard.Critical(Player) & FBoard.Neighbours(FBoard.Owned(Other));
  if (Depth <= 0 || Ply >= MaxPly || Standing >= Beta || !Strikes)
    return Standing;
  int32_t Best = Standing;
  Alpha = std::max(Alpha, Standing);
  for (; Strikes; Strikes &= Strikes - 1) {
    const auto Cell = static_cast<uint8_t>(std::countr_zero(Strikes));
    if (!Play(Cell, Player))
      return 0;
    const int32_t Value = -Quiesce(Ply + 1, Other, Depth - 1, -Beta, -Alpha);
    FBoard.Undo();
    if (FAborted)
      return 0;
    if (Value > Best) {
      Best = Value;
      if (Value > Alpha) {
        Alpha = Value;
        if (Alpha >= Beta)
          break;
      }
    }
  }
  return Best;
}

int32_t TDeepSearch::SearchRootMove(int K, int Depth, int32_t Threshold, bool& Exact, bool& Above) {
  const auto Other = static_cast<uint8_t>(1 - FRoot);
  Exact = Above = false;
  if (!Play(FOrder[K], FRoot))
    return 0;
  int32_t Value;
  if (K == 0) {
    Value = -Negamax(1, Other, Depth - 1, -Infinity, Infinity);
    Exact = true;
  } else {
    Value = -Negamax(1, Other, Depth - 1, -Threshold - 1, -Threshold);
    if (!FAborted && Value > Threshold) {
      Above = true;
      Value = -Negamax(1, Other, Depth - 1, -Infinity, -Threshold);
      Exact = !FAborted;
    }
  }
  FBoard.Undo();
  return Value;
}

TMove TDeepSearch::VariedMove(const TCells& Order, const TScores& Scores,
                              const std::array<bool, MaxCells>& Exact, int Count,
                              int32_t Best) const {
  // The eligible moves in cell order, so that the draw does not depend on
  // the order the search happened to try them in.
  uint64_t Eligible = 0;
  for (int K = 0; K < Count; ++K)
    if (Exact[K] && !IsDecided(Scores[K]) && Scores[K] >= Best - FLimits.VarietyMargin)
      Eligible |= uint64_t(1) << Order[K];
  uint64_t Pick = SplitMix(FLimits.Seed ^ SplitMix(FBoard.Hash())) %
                  uint64_t(std::max(std::popcount(Eligible), 1));
  for (; Eligible; Eligible &= Eligible - 1)
    if (Pick-- == 0)
      return MoveOf(uint8_t(std::countr_zero(Eligible)));
  return MoveOf(Order[0]);
}

TDeepResult TDeepSearch::Run() {
  TDeepResult Result;
  int Count = 0;
  for (uint64_t Left = FBoard.Moves(FRoot); Left; Left &= Left - 1)
    FOrder[Count++] = static_cast<uint8_t>(std::countr_zero(Left));
  if (Count == 0) {
    Result.Move = TMove(uint8_t(FBoard.Rows()), 0);
    return Result;
  }
  Result.Move = MoveOf(FOrder[0]);
  if (Count == 1)
    return Result;

  // About one entry per four placements: most placements end in a leaf.
  const uint64_t Entries = std::clamp<uint64_t>(FLimits.Placements / 4, 1024, uint64_t(1) << 18);
  FTable.resize(std::bit_ceil(Entries));
  FMask = FTable.size() - 1;
  // Endless cascades are the dearest placements and recur from one
  // iteration to the next.
  FBoard.RememberEndless(std::countr_zero(std::bit_ceil(Entries / 4)));
  if (FProgress) {
    FProgress->SetMaxValue(1, BudgetGaugeMax);
    FProgress->SetMaxValue(2, Count);
  }
  TScores Scores{};
  std::array<bool, MaxCells> Exact{};
  // The last completed iteration's values, for the varied choice.
  TCells DoneOrder{};
  TScores DoneScores{};
  std::array<bool, MaxCells> DoneExact{};
  int32_t DoneBest = 0;
  bool Horizon = true;
  const int MaxDepth = std::clamp(FLimits.MaxDepth, 1, MaxPly);
  for (int Depth = 1; Depth <= MaxDepth && !FAborted; ++Depth) {
    FHorizon = false;
    int32_t Alpha = -Infinity;
    int Best = -1;
    int Provisional = -1;
    if (FProgress)
      FProgress->SetProgress(2, 0);
    for (int K = 0; K < Count; ++K) {
      // With variety, every move within the margin of the best so far gets
      // its exact value; a decided best needs no company.
      const int32_t Threshold =
          FVaried && K > 0 && !IsDecided(Alpha) ? Alpha - FLimits.VarietyMargin - 1 : Alpha;
      bool Above = false;
      const int32_t Value = SearchRootMove(K, Depth, Threshold, Exact[K], Above);
      // A candidate that proved better than the best so far may be played
      // even if its exact value is not known before the budget runs out.
      if (FAborted) {
        if (K > 0 && Above && Threshold == Alpha)
          Provisional = K;
        break;
      }
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
      Result.Move = MoveOf(FOrder[Chosen]);
      Result.Value = Alpha;
    }
    if (FAborted)
      break;
    Result.Depth = Depth;
    Horizon = FHorizon;
    // The best first, the rest by their (bounded) values, earlier first among equals.
    std::rotate(FOrder.begin(), FOrder.begin() + Best, FOrder.begin() + Best + 1);
    std::rotate(Scores.begin(), Scores.begin() + Best, Scores.begin() + Best + 1);
    std::rotate(Exact.begin(), Exact.begin() + Best, Exact.begin() + Best + 1);
    std::array<int, MaxCells> Rank;
    for (int K = 0; K < Count; ++K)
      Rank[K] = K;
    std::stable_sort(Rank.begin() + 1, Rank.begin() + Count,
                     [&](int A, int B) { return Scores[A] > Scores[B]; });
    for (int K = 0; K < Count; ++K) {
      DoneOrder[K] = FOrder[Rank[K]];
      DoneScores[K] = Scores[Rank[K]];
      DoneExact[K] = Exact[Rank[K]];
    }
    FOrder = DoneOrder;
    DoneBest = Alpha;
    if (IsDecided(Alpha) || !Horizon)
      break;
  }
  Result.Placements = FUsed;
  Result.Explosions = FBoard.Explosions();
  Result.CutShort = FAborted;
  Result.Proven =
      Result.Depth > 0 && (IsDecided(DoneBest) || !Horizon) && Result.Move == MoveOf(DoneOrder[0]);
  // A proven result, or an interrupted iteration that changed its mind, is
  // played as it is.
  if (FVaried && Result.Depth > 0 && !Result.Proven && Result.Move == MoveOf(DoneOrder[0]))
    Result.Move = VariedMove(DoneOrder, DoneScores, DoneExact, Count, DoneBest);
  return Result;
}

} // namespace

TDeepResult DeepSearch(const TBord& Board, uint8_t Player, const TDeepLimits& Limits,
                       TSearchControl& Control) {
  const TShownProgress Shown(Control.Progress());
  return TDeepSearch(Board, Player, Limits, Control).Run();
}
