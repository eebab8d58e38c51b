// SPDX-License-Identifier: GPL-3.0-or-later
#include "Search.h"

#include <array>
#include <limits>
#include <optional>

namespace {

constexpr int32_t LowestValue = std::numeric_limits<int32_t>::min();
constexpr int32_t HighestValue = std::numeric_limits<int32_t>::max();
constexpr uint8_t NotChosen = 255;
// Deepest level the search ever reaches; deeper SearchDepth values evaluate here.
constexpr uint8_t DeepestLevel = 3;

// One board per level below the top, reused for every candidate of the level
// above: a node costs (part of) a flat copy of the cells, not an allocation.
class TLevelBoards {
public:
  TBord& For(uint8_t Level, const TBord& Source) {
    auto& Slot = FBoards[Level];
    if (!Slot)
      Slot.emplace(nullptr, Source.Rows, Source.Cols);
    return *Slot;
  }

private:
  std::array<std::optional<TBord>, DeepestLevel + 1> FBoards;
};

int GaugeOf(uint8_t Level) {
  return Level == 0 ? 1 : Level == 1 ? 2 : 0;
}

// One Search call: its boards, its evaluation level and its control.
class TStandardSearch {
public:
  explicit TStandardSearch(TSearchControl& Control)
      : FControl(Control), FProgress(Control.Progress()) {}
  // Parent is the board Board was copied from by the level above, with its
  // evaluation ParentValue, or nullptr at the level the search started with.
  void ExpandLevel(TBord& Board, const TBord* Parent, int32_t ParentValue, uint8_t Level,
                   int32_t& Alpha, int32_t& Beta, TMove& Answer, int32_t& Value);

private:
  TSearchControl& FControl;
  TThinkProgress* const FProgress;
  TLevelBoards FBoards;
  // The level at which the search evaluates: 1, or 3 from the deepening
  // switch to the end of the call.
  uint8_t FSearchDepth = 1;
};

void TStandardSearch::ExpandLevel(TBord& Board, const TBord* Parent, int32_t ParentValue,
                                  uint8_t Level, int32_t& Alpha, int32_t& Beta, TMove& Answer,
                                  int32_t& Value) {
  if (!FControl.KeepThinking())
    return;
  const uint8_t Player = Level % 2 == 0 ? Opponent : LocalPlayer;
  TMove BestMove(NotChosen, NotChosen);
  int32_t Best = Player == LocalPlayer ? HighestValue : LowestValue;

  // Switching in the middle of a level is intended: candidates tried before
  // keep their one-level values and are compared with the later ones as is.
  if (FSearchDepth == 1 && Board.EmptyCount() < 20)
    FSearchDepth = 3;

  if (Level >= FSearchDepth || Level >= DeepestLevel) {
    // Most placements change few cells, so the value is the parent's plus
    // their change.
    Value = Parent ? Board.EvaluateFrom(*Parent, ParentValue) : Board.Evaluate();
    Board.Finished = false;
    return;
  }
  const TMoveList Candidates = Board.GenerateMoves(Player);
  if (Candidates.empty()) {
    Value = Parent ? Board.EvaluateFrom(*Parent, ParentValue) : Board.Evaluate();
    Board.Finished = false;
    return;
  }

  const int Gauge = GaugeOf(Level);
  const int Count = static_cast<int>(Candidates.size());
  if (Gauge && FProgress)
    FProgress->SetMaxValue(Gauge, Count);

  // One board for all candidates: the first takes a full copy, each later
  // one only takes back the cells the previous candidate's cascade touched.
  // The children evaluate from this board's value and those cells too.
  TBord& Copy = FBoards.For(static_cast<uint8_t>(Level + 1), Board);
  const int32_t BoardValue = Board.Evaluate();
  for (const TMove& Candidate : Candidates) {
    if (&Candidate == Candidates.begin())
      Copy.CopyFrom(Board);
    else
      Copy.RestoreFrom(Board);
    Copy.Cell(Candidate.Row, Candidate.Col)->AddMass(Player, false);
    ++FControl.PlacementsSearched;
    int32_t ChildValue = Best;
    ExpandLevel(Copy, &Board, BoardValue, static_cast<uint8_t>(Level + 1), Alpha, Beta, Answer,
                ChildValue);
    // A subtree cut short by StopThinking has no trustworthy value; the level
    // still finishes its loop, but only whole subtrees may become its best.
    const bool Complete = FControl.KeepThinking();
    if (Gauge && FProgress)
      FProgress->SetProgress(Gauge, FProgress->Progress(Gauge) + 1);
    if (FProgress)
      FProgress->ProcessMessages();
    if (!Complete || !Better(ChildValue, Best, Player))
      continue;
    BestMove = Candidate;
    Best = ChildValue;
    // Alpha and Beta are shared by all levels of the move and never
    // restored: a bound moved deep in one branch stays moved for the rest.
    bool CutOff = false;
    if (Player == Opponent) {
      if (Alpha < Best) {
        Alpha = Best;
        CutOff = Beta < Best;
      }
    } else if (Beta > Best) {
      Beta = Best;
      CutOff = Alpha > Best;
    }
    if (CutOff) {
      if (Gauge && FProgress)
        FProgress->SetProgress(Gauge, Count);
      break;
    }
  }

  Value = Best;
  // Only a search stopped before any subtree completed leaves the start
  // record; the caller may still place the answer, so it must be legal.
  if (BestMove.Row == NotChosen)
    BestMove = Candidates[0];
  Answer = BestMove;
  if (Gauge && FProgress)
    FProgress->SetProgress(Gauge, 0);
  Board.Finished = false;
}

bool IsLegalFor(const TBord& Board, const TMove& Move, uint8_t Player) {
  const TCell* Target = Board.GetCell(Move.Row, Move.Col);
  return Target && Target->Owner != 1 - Player;
}

} // namespace

bool Better(int32_t Value, int32_t Best, uint8_t Player) {
  return Player == LocalPlayer ? Value < Best : Value > Best;
}

void Search(TBord& Board, uint8_t Level, int32_t& Alpha, int32_t& Beta, TMove& Answer,
            int32_t& Value, TSearchControl& Control) {
  TStandardSearch(Control).ExpandLevel(Board, nullptr, 0, Level, Alpha, Beta, Answer, Value);
}

TMove ComputerMove(TBord& Board) {
  TSearchControl Silent;
  return ComputerMove(Board, Silent);
}

TMove ComputerMove(TBord& Board, TSearchControl& Control) {
  int32_t Alpha = LowestValue;
  int32_t Beta = HighestValue;
  TMove Answer(0, 0);
  int32_t Value = 0;

  {
    const TShownProgress Shown(Control.Progress());
    Search(Board, 0, Alpha, Beta, Answer, Value, Control);
  }

  // Reached only when the search was stopped before the top level ran, or
  // when the computer has no cell left to play.
  if (!IsLegalFor(Board, Answer, Opponent)) {
    const TMoveList Candidates = Board.GenerateMoves(Opponent);
    Answer = Candidates.empty() ? TMove(Board.Rows, 0) : Candidates[0];
  }
  return Answer;
}
