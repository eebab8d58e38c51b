// Times the stronger levels' moves on the crowded 8 x 8 positions, where
// their placements cost the most, and on a few lighter ones.
//
//   bench_levels [repetitions-per-position] [strong|expert ...]
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

#include <algorithm>
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
  TDeepLimits Limits;
  Limits.Placements = LevelBudget(Level);
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

  std::vector<TNamedPosition> Positions = CrowdedPositions();
  Positions.push_back({"6x6 midgame", Reached(6, 6, 14, 7)});
  Positions.push_back({"8x8 opening", Reached(8, 8, 50, 3)});

  for (const TComputerLevel Level : Levels) {
    std::printf("== %s, %llu placements per move\n", std::string(LevelName(Level)).c_str(),
                static_cast<unsigned long long>(LevelBudget(Level)));
    std::printf("%-32s %9s %9s %11s %6s %10s  %s\n", "position", "ms/move", "cpu ms", "placements",
                "depth", "value", "answer");
    double Worst = 0, Sum = 0, Slowest = 0, WorstCpu = 0, SumCpu = 0;
    int Crowded = 0;
    for (const auto& Position : Positions) {
      const TTiming Timing = Measure(*Position.Board, Level, Repetitions);
      const TDeepResult& Result = Timing.Result;
      std::printf("%-32s %9.1f %9.1f %11llu %6d %10d  %d %d\n", Position.Name.c_str(),
                  Timing.BestMillis, Timing.BestCpuMillis,
                  static_cast<unsigned long long>(Result.Placements), Result.Depth, Result.Value,
                  Result.Move.Row, Result.Move.Col);
      if (Position.Name.rfind("crowded", 0) == 0) {
        Worst = std::max(Worst, Timing.BestMillis);
        Slowest = std::max(Slowest, Timing.SlowestMillis);
        Sum += Timing.BestMillis;
        WorstCpu = std::max(WorstCpu, Timing.BestCpuMillis);
        SumCpu += Timing.BestCpuMillis;
        ++Crowded;
      }
    }
    std::printf("crowded 8x8: worst %.1f ms, mean %.1f ms per move (processor: worst %.1f ms, "
                "mean %.1f ms); slowest single move %.1f ms\n\n",
                Worst, Sum / std::max(Crowded, 1), WorstCpu, SumCpu / std::max(Crowded, 1),
                Slowest);
  }
  return 0;
}
