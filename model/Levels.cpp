// SPDX-License-Identifier: GPL-3.0-or-later
#include "Levels.h"

#include "DeepSearch.h"
#include "Search.h"

#include <cctype>

namespace {

constexpr std::array<std::string_view, 3> Names = {"Standard", "Strong", "Expert"};

// Chosen so that a move on a crowded board takes at most about 0.3 s
// (Strong) and 1.5 s (Expert) on an ordinary desktop processor: there most
// placements set off long cascades, and the endless ones, which end the
// game, move several hundred masses each. Expert's five times larger budget
// buys it about one ply more.
constexpr uint64_t StrongBudget = 200000;
constexpr uint64_t ExpertBudget = 1000000;
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

uint64_t LevelBudget(TComputerLevel Level) {
  switch (Level) {
  case TComputerLevel::Strong:
    return StrongBudget;
  case TComputerLevel::Expert:
    return ExpertBudget;
  default:
    return 0;
  }
}

TDeepLimits LevelLimits(TComputerLevel Level, uint64_t Seed) {
  TDeepLimits Limits;
  Limits.Placements = LevelBudget(Level);
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
