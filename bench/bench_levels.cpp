// SPDX-License-Identifier: GPL-3.0-or-later
// Times the stronger levels' moves on crowded positions of every size from
// 5 x 5 to 8 x 8, where their placements cost the most, and on two lighter
// ones, with the placements and the explosions each move's search made, and
// compares the placements per processor second with the search as it was
// before its board became undoable.
//
//   bench_levels [repetitions-per-position] [strong|expert ...]
//
// That baseline, the mean of two runs of `bench_levels 1` at commit 95c064c
// on the shared 2-core machine the team develops on (Release build):
//
//   crowded   Strong worst cpu ms  Mplc/s    Expert worst cpu ms  Mplc/s
//   5x5                 122          2.78                347        3.70
//   6x6                 269          1.83               1128        2.08
//   7x7                 237          2.48               1312        2.46
//   8x8                 258          1.79               1273        1.98
//   all                 282          2.23               1377        2.43
//
// Per position the fastest of the repetitions is kept (the machine's other
// load only ever adds time); the summary gives the worst and the mean of
// those over the crowded positions, and the slowest single move seen. The
// processor time of the searching thread is shown beside the wall time: on
// a shared machine it is the steadier of the two.

#include "CrowdedPositions.h"
#include "DataStructures.h"
#include "DeepSearch.h"
#include "Levels.h"
#include "SearchBoard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct TTiming {
  double BestMillis = 1e300;
  double BestCpuMillis = 1e300;
  double SlowestMillis = 0;
  TDeepResult Result;
};

double ThreadCpuMillis() {
  timespec Now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return double(Now.tv_sec) * 1e3 + double(Now.tv_nsec) / 1e6;
}

TTiming Measure(const TBord& Board, TComputerLevel Level, int Repetitions) {
  TTiming Timing;
  const TDeepLimits Limits = LevelLimits(Level);
  for (int I = 0; I < Repetitions; ++I) {
    const double CpuStart = ThreadCpuMillis();
    const auto Start = std::chrono::steady_clock::now();
    TSearchControl Silent;
    Timing.Result = DeepSearch(Board, Opponent, Limits, Silent);
    const double Millis =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    Timing.BestCpuMillis = std::min(Timing.BestCpuMillis, ThreadCpuMillis() - CpuStart);
    Timing.BestMillis = std::min(Timing.BestMillis, Millis);
    Timing.SlowestMillis = std::max(Timing.SlowestMillis, Millis);
  }
  return Timing;
}

// Millions of placements per processor second over the crowded positions of
// each size (5x5, 6x6, 7x7, 8x8) and over all positions, for Strong and
// Expert, measured with the search as it was before the undoable board
// (commit 95c064c; see the header comment).
constexpr double BaselineRate[2][5] = {{2.78, 1.83, 2.48, 1.79, 2.23},
                                       {3.70, 2.08, 2.46, 1.98, 2.43}};

struct TSummary {
  int Count = 0;
  double WorstMillis = 0, WorstCpuMillis = 0, CpuMillis = 0;
  uint64_t Placements = 0;
  void Add(const TTiming& Timing) {
    ++Count;
    WorstMillis = std::max(WorstMillis, Timing.BestMillis);
    WorstCpuMillis = std::max(WorstCpuMillis, Timing.BestCpuMillis);
    CpuMillis += Timing.BestCpuMillis;
    Placements += Timing.Result.Placements;
  }
  double Rate() const { return double(Placements) / std::max(CpuMillis, 1e-9) / 1e3; }
};

// Nanoseconds per placement, the fastest of Repetitions, over every
// placement of the computer and every reply on the crowded positions: the
// search's board placing and taking back, against the way the search worked
// before, a copy of the parent board (restored from the cells the last
// placement touched), the rules' silent placement and the material, margin
// and hash kept up over the cells it touched.
// What the search kept up per placement before: material, margin and hash
// changes over the touched cells.
uint64_t Follow(const TBord& Parent, const TBord& Child) {
  int32_t Material = 0, Margin = 0;
  uint64_t Hash = 0;
  for (uint64_t Touched = Child.TouchedCells(); Touched; Touched &= Touched - 1) {
    const int I = std::countr_zero(Touched);
    for (const TBord* Board : {&Parent, &Child}) {
      const TCell& Cell = *Board->Cell(I / Board->Cols, I % Board->Cols);
      const int32_t Sign = Cell.Owner == Opponent ? 1 : Cell.Owner == LocalPlayer ? -1 : 0;
      Material += Sign * MassWeights[std::min<uint8_t>(Cell.Capacity, 4)] * Cell.Mass;
      Margin += Sign * Cell.Mass;
      Hash ^= (uint64_t(I) << 8 | uint64_t(Cell.Owner) << 4 | Cell.Mass) * 0x9E3779B97F4A7C15ULL;
    }
  }
  return Hash + uint64_t(Material) + uint64_t(Margin);
}

std::pair<double, double> PlacementCost(const std::vector<TNamedPosition>& Positions,
                                        int Repetitions) {
  double Undoable = 1e300, Copied = 1e300;
  uint64_t Totals = 0;
  for (int Repetition = 0; Repetition < Repetitions; ++Repetition) {
    uint64_t Count = 0;
    double Start = ThreadCpuMillis();
    for (const auto& Position : Positions) {
      TSearchBoard Board;
      Board.Load(*Position.Board, Opponent);
      for (uint64_t Mine = Board.Moves(Opponent); Mine; Mine &= Mine - 1) {
        Board.Place(uint8_t(std::countr_zero(Mine)), Opponent);
        ++Count;
        if (!Board.Finished())
          for (uint64_t Theirs = Board.Moves(LocalPlayer); Theirs; Theirs &= Theirs - 1, ++Count) {
            Board.Place(uint8_t(std::countr_zero(Theirs)), LocalPlayer);
            Board.Undo();
          }
        Board.Undo();
      }
    }
    Undoable = std::min(Undoable, (ThreadCpuMillis() - Start) * 1e6 / double(Count));
    Count = 0;
    Start = ThreadCpuMillis();
    for (const auto& Position : Positions) {
      const TBord& Root = *Position.Board;
      TBord Child(nullptr, Root.Rows, Root.Cols), Grandchild(nullptr, Root.Rows, Root.Cols);
      Child.CopyFrom(Root);
      Grandchild.CopyFrom(Root);
      for (const TMove& Mine : Root.GenerateMoves(Opponent)) {
        Child.RestoreFrom(Root);
        Child.GetCell(Mine.Row, Mine.Col)->AddMass(Opponent, false);
        Totals += Follow(Root, Child);
        ++Count;
        if (Child.Finished)
          continue;
        Grandchild.CopyFrom(Child);
        for (const TMove& Theirs : Child.GenerateMoves(LocalPlayer)) {
          Grandchild.RestoreFrom(Child);
          Grandchild.GetCell(Theirs.Row, Theirs.Col)->AddMass(LocalPlayer, false);
          Totals += Follow(Child, Grandchild);
          ++Count;
        }
      }
    }
    Copied = std::min(Copied, (ThreadCpuMillis() - Start) * 1e6 / double(Count));
  }
  // Keeps the totals from being optimised away.
  if (Totals == 42)
    std::printf(" ");
  return {Undoable, Copied};
}

} // namespace

int main(int argc, char** argv) {
  const int Repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<TComputerLevel> Levels;
  for (int I = 2; I < argc; ++I) {
    TComputerLevel Level;
    if (!TryParseLevel(argv[I], Level) || Level == TComputerLevel::Standard) {
      std::fprintf(stderr, "usage: bench_levels [repetitions] [strong|expert ...]\n");
      return 2;
    }
    Levels.push_back(Level);
  }
  if (Levels.empty())
    Levels = {TComputerLevel::Strong, TComputerLevel::Expert};

  std::vector<TNamedPosition> Positions;
  for (int Size = 5; Size <= 8; ++Size)
    for (auto& Position : CrowdedPositions(Size))
      Positions.push_back(std::move(Position));
  Positions.push_back({"6x6 midgame", Reached(6, 6, 14, 7)});
  Positions.push_back({"8x8 opening", Reached(8, 8, 50, 3)});

  {
    std::vector<TNamedPosition> Crowded;
    for (const auto& Position : Positions)
      if (Position.Name.rfind("crowded", 0) == 0)
        Crowded.push_back({Position.Name, TBord::CreateCopy(*Position.Board)});
    const auto [Undoable, Copied] = PlacementCost(Crowded, std::max(Repetitions, 3));
    std::printf("== placement on the crowded positions, two plies: %.0f ns placing and taking "
                "back, %.0f ns copying and placing as before (%.1fx)\n\n",
                Undoable, Copied, Copied / Undoable);
  }
  for (const TComputerLevel Level : Levels) {
    std::printf("== %s, %llu placements per move\n", std::string(LevelName(Level)).c_str(),
                static_cast<unsigned long long>(LevelLimits(Level).Placements));
    std::printf("%-32s %9s %9s %11s %11s %6s %10s  %s\n", "position", "ms/move", "cpu ms",
                "placements", "explosions", "depth", "value", "answer");
    std::array<TSummary, 4> Crowded; // 5x5 .. 8x8
    TSummary All;
    for (const auto& Position : Positions) {
      const TTiming Timing = Measure(*Position.Board, Level, Repetitions);
      const TDeepResult& Result = Timing.Result;
      std::printf("%-32s %9.1f %9.1f %11llu %11llu %6d %10d  %d %d\n", Position.Name.c_str(),
                  Timing.BestMillis, Timing.BestCpuMillis,
                  static_cast<unsigned long long>(Result.Placements),
                  static_cast<unsigned long long>(Result.Explosions), Result.Depth, Result.Value,
                  Result.Move.Row, Result.Move.Col);
      All.Add(Timing);
      if (Position.Name.rfind("crowded", 0) == 0)
        Crowded[std::size_t(Position.Board->Rows - 5)].Add(Timing);
    }
    std::printf("\n%-8s %14s %14s %14s %12s %12s %8s\n", "crowded", "worst ms", "worst cpu ms",
                "mean cpu ms", "Mplc/s", "before", "ratio");
    const std::size_t L = Level == TComputerLevel::Strong ? 0 : 1;
    for (std::size_t S = 0; S < Crowded.size(); ++S) {
      const TSummary& Sum = Crowded[S];
      std::printf("%dx%-6d %14.1f %14.1f %14.1f %12.2f %12.2f %7.1fx\n", int(S) + 5, int(S) + 5,
                  Sum.WorstMillis, Sum.WorstCpuMillis, Sum.CpuMillis / std::max(Sum.Count, 1),
                  Sum.Rate(), BaselineRate[L][S], Sum.Rate() / BaselineRate[L][S]);
    }
    std::printf("%-8s %14.1f %14.1f %14.1f %12.2f %12.2f %7.1fx\n\n", "all", All.WorstMillis,
                All.WorstCpuMillis, All.CpuMillis / std::max(All.Count, 1), All.Rate(),
                BaselineRate[L][4], All.Rate() / BaselineRate[L][4]);
  }
  return 0;
}
