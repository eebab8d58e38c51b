// SPDX-License-Identifier: GPL-3.0-or-later
#include "Levels.h"

#include "DeepSearch.h"
#include "Search.h"

#include <cctype>

namespace {

constexpr std::array<std::string_view, 3> Names = {"Standard", "Strong", "Expert"};

// A placement costs the search about 0.15 us and each explosion it sets off
// about 0.01 us more. On an open board placements set off few explosions and
// the placement budget ends a move; Expert's five times larger one buys it
// about one ply more. On a crowded board most placements set off long
// cascades, and the endless ones, which end the game, some three hundred
// explosions each: there the explosion budget ends a move, which holds a
// move to about 0.06 s (Strong) and 0.3 s (Expert) of processor time on
// the 2-core machine the team develops on, where the placements alone let
// it take 0.33 s and 1.4 s. Both budgets are counts, not times, so a level
// still plays the same move on every machine.
constexpr uint64_t StrongBudget = 200000;
constexpr uint64_t ExpertBudget = 1000000;
constexpr uint64_t StrongExplosions = 2000000;
constexpr uint64_t ExpertExplosions = 10000000;
// Strikes searched in a row beyond the depth limit: a position in the middle
// of an exchange of explosions is judged when it has calmed down.
constexpr int Quiescence = 4;
// Variety: moves within this much of the best (one mass in a corner) may
// be played.
constexpr int32_t VarietyMargin = 10;

bool SameLetters(std::string_view A, std::string_view B) {
  if (A.size() != B.size())
    return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(A[I])) !=
        std::tolower(static_cast<unsigned char>(B[I])))
      return false;
  return true;
}

TMove Deep(const TBord& Board, uint8_t Player, TComputerLevel Level, TSearchControl& Control,
           uint64_t Seed) {
  return DeepSearch(Board, Player, LevelLimits(Level, Seed), Control).Move;
}

} // namespace

std::string_view LevelName(TComputerLevel Level) {
  const auto Index = static_cast<std::size_t>(Level);
  return Index < Names.size() ? Names[Index] : Names[0];
}

bool TryParseLevel(std::string_view Text, TComputerLevel& Level) {
  for (const TComputerLevel Candidate : ComputerLevels)
    if (SameLetters(Text, LevelName(Candidate))) {
      Level = Candidate;
      return true;
    }
  return false;
}

TComputerLevel ParseLevel(std::string_view Text) {
  TComputerLevel Level = TComputerLevel::Standard;
  TryParseLevel(Text, Level);
  return Level;
}

TDeepLimits LevelLimits(TComputerLevel Level, uint64_t Seed) {
  TDeepLimits Limits;
  if (Level == TComputerLevel::Strong) {
    Limits.Placements = StrongBudget;
    Limits.Explosions = StrongExplosions;
  } else if (Level == TComputerLevel::Expert) {
    Limits.Placements = ExpertBudget;
    Limits.Explosions = ExpertExplosions;
  }
  Limits.Quiescence = Quiescence;
  Limits.Seed = Seed;
  Limits.VarietyMargin = Seed != NoVariety ? VarietyMargin : 0;
  return Limits;
}

TMove LevelMove(TBord& Board, TComputerLevel Level, TSearchControl& Control, uint64_t Seed) {
  if (Level == TComputerLevel::Strong || Level == TComputerLevel::Expert)
    return Deep(Board, Opponent, Level, Control, Seed);
  return ComputerMove(Board, Control);
}

TMove LevelMove(TBord& Board, TComputerLevel Level) {
  TSearchControl Silent;
  return LevelMove(Board, Level, Silent);
}

TMove HintMove(const TBord& Board, TSearchControl& Control) {
  return Deep(Board, LocalPlayer, TComputerLevel::Strong, Control, NoVariety);
}

TMove HintMove(const TBord& Board) {
  TSearchControl Silent;
  return HintMove(Board, Silent);
}

TMove PlayerMove(const TBord& Board, uint8_t Player, TComputerLevel Level, uint64_t Seed) {
  if (Level == TComputerLevel::Strong || Level == TComputerLevel::Expert) {
    TSearchControl Silent;
    return Deep(Board, Player, Level, Silent, Seed);
  }
  if (!Board.CanMove(Player))
    return TMove(Board.Rows, 0);
  const auto Copy = Player == Opponent ? TBord::CreateCopy(Board) : MirroredCopy(Board);
  return ComputerMove(*Copy);
}

std::unique_ptr<TBord> MirroredCopy(const TBord& Board) {
  auto Copy = TBord::CreateCopy(Board);
  for (uint8_t R = 0; R < Copy->Rows; ++R)
    for (uint8_t C = 0; C < Copy->Cols; ++C) {
      TCell& Cell = *Copy->GetCell(R, C);
      if (Cell.Owner == LocalPlayer || Cell.Owner == Opponent)
        Cell.Owner = static_cast<uint8_t>(1 - Cell.Owner);
    }
  return Copy;
}
