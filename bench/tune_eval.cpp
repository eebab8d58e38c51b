// SPDX-License-Identifier: GPL-3.0-or-later
// Tunes the stronger levels' evaluation weights (Evaluation.h) by a
// coordinate search in self-play:
//
//   tune_eval [games-per-trial] [placements-per-move] [passes]
//             (defaults 48, 20000, 2)
//   tune_eval --match W1,W2,...,W8 [games] [placements-per-move]
//

// Starting from DefaultEvalWeights, each pass tries every weight in turn
// raised and lowered by its step: a trial is a match of the changed weights
// against the current ones, both searching with the same small placement
// budget, over fixed random openings on 5 x 5 to 7 x 7, each opening played
// twice so that each side moves first once; otherwise both search as the
// Strong level does. A change is kept when it scores
// more than 55 % (a draw counts half); each pass halves the steps. The run
// is deterministic: the same arguments give the same trials and the same
// result on every machine. It prints every trial and the table to paste
// into Evaluation.cpp. With --match it plays only the given weights (in
// TEvalTerm order) against DefaultEvalWeights, to check a result at the
// levels' own budgets.

#include "CrowdedPositions.h"
#include "DataStructures.h"
#include "DeepSearch.h"
#include "Evaluation.h"
#include "Levels.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

std::unique_ptr<TBord> Opening(int Size, int Index) {
  return RandomOpening(Size, 3, uint64_t(Size) * 7919 + uint64_t(Index) + 17);
}

// +1 when the player with Weights[0] wins, -1 when it loses, 0 a draw.
int Game(int Size, int Index, bool FirstStarts, const TEvalWeights& First,
         const TEvalWeights& Second, uint64_t Budget) {
  auto Board = Opening(Size, Index);
  const TEvalWeights* Owner[2] = {FirstStarts ? &First : &Second, FirstStarts ? &Second : &First};
  uint8_t Player = LocalPlayer;
  while (Board->CanMove(Player)) {
    TDeepLimits Limits = LevelLimits(TComputerLevel::Strong);
    Limits.Placements = Budget;
    Limits.Weights = Owner[Player];
    TSearchControl Silent;
    const TMove Move = DeepSearch(*Board, Player, Limits, Silent).Move;
    Board->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
    if (Board->Finished)
      break;
    Player = uint8_t(1 - Player);
  }
  const auto Masses = Board->CountMasses();
  const int FirstOwner = FirstStarts ? 0 : 1;
  const int Margin = Masses[std::size_t(FirstOwner)] - Masses[std::size_t(1 - FirstOwner)];
  return Margin > 0 ? 1 : Margin < 0 ? -1 : 0;
}

// The share of points the candidate scores against the current weights.
double Match(const TEvalWeights& Candidate, const TEvalWeights& Current, int Games,
             uint64_t Budget) {
  double Points = 0;
  int Played = 0;
  for (int Index = 0; Played < Games; ++Index)
    for (const int Size : {5, 6, 7})
      for (const bool FirstStarts : {true, false}) {
        if (Played == Games)
          break;
        Points += 0.5 * (1 + Game(Size, Index, FirstStarts, Candidate, Current, Budget));
        ++Played;
      }
  return Points / Played;
}

void Print(const TEvalWeights& Weights) {
  for (std::size_t I = 0; I < Weights.size(); ++I)
    std::printf("    %d, // %s\n", Weights[I], EvalTermNames[I].data());
  std::fflush(stdout);
}

} // namespace

// The weights of a comma-separated list, false unless it holds exactly one
// number per term.
bool ParseWeights(const char* Text, TEvalWeights& Weights) {
  std::size_t Count = 0;
  for (const char* At = Text; *At;) {
    char* End = nullptr;
    const long Value = std::strtol(At, &End, 10);
    if (End == At || Count == Weights.size() || (*End && *End != ','))
      return false;
    Weights[Count++] = int32_t(Value);
    At = *End ? End + 1 : End;
  }
  return Count == Weights.size();
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--match") {
    TEvalWeights Candidate{};
    if (argc < 3 || !ParseWeights(argv[2], Candidate)) {
      std::fprintf(stderr, "usage: tune_eval --match W1,...,W%zu [games] [placements]\n",
                   Candidate.size());
      return 2;
    }
    const int Games = argc > 3 ? std::max(2, std::atoi(argv[3])) : 200;
    const uint64_t Budget = argc > 4 ? uint64_t(std::max(100, std::atoi(argv[4]))) : 200000;
    std::printf("against the current weights: %5.1f%%\n",
                100 * Match(Candidate, DefaultEvalWeights, Games, Budget));
    return 0;
  }
  const int Games = argc > 1 ? std::max(2, std::atoi(argv[1])) : 48;
  const uint64_t Budget = argc > 2 ? uint64_t(std::max(100, std::atoi(argv[2]))) : 20000;
  const int Passes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
  TEvalWeights Current = DefaultEvalWeights;
  const TEvalWeights MaterialOnly{};
  std::printf("start against material alone: %5.1f%%\n",
              100 * Match(Current, MaterialOnly, Games, Budget));
  TEvalWeights Step;
  for (std::size_t I = 0; I < Step.size(); ++I)
    Step[I] = std::max(2, std::abs(Current[I]) / 2);
  for (int Pass = 1; Pass <= Passes; ++Pass) {
    for (std::size_t I = 0; I < Current.size(); ++I)
      for (const int Sign : {+1, -1}) {
        TEvalWeights Candidate = Current;
        Candidate[I] += Sign * Step[I];
        const double Score = Match(Candidate, Current, Games, Budget);
        const bool Kept = Score > 0.55;
        std::printf("pass %d: %-16s %4d -> %4d: %5.1f%%%s\n", Pass, EvalTermNames[I].data(),
                    Current[I], Candidate[I], 100 * Score, Kept ? "  kept" : "");
        std::fflush(stdout);
        if (Kept) {
          Current = Candidate;
          break;
        }
      }
    for (int& S : Step)
      S = std::max(1, S / 2);
  }
  std::printf("tuned against material alone: %5.1f%%\n",
              100 * Match(Current, MaterialOnly, Games, Budget));
  std::printf("weights:\n");
  Print(Current);
  return 0;
}
