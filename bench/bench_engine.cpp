// SPDX-License-Identifier: GPL-3.0-or-later
// Times the computer's move on a fixed set of positions and counts the heap
// allocations made while it searches (there must be none).
//
//   bench_engine [repetitions-per-position]

#include "CrowdedPositions.h"
#include "DataStructures.h"
#include "PositionText.h"
#include "Search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {
std::atomic<uint64_t> GAllocations{0};
}

void* operator new(std::size_t Size) {
  GAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* Block = std::malloc(Size ? Size : 1))
    return Block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t Size) {
  return ::operator new(Size);
}
void operator delete(void* Block) noexcept {
  std::free(Block);
}
void operator delete[](void* Block) noexcept {
  std::free(Block);
}
void operator delete(void* Block, std::size_t) noexcept {
  std::free(Block);
}
void operator delete[](void* Block, std::size_t) noexcept {
  std::free(Block);
}

namespace {

struct TResult {
  double BestMillis = 0;
  uint64_t Placements = 0;
  uint64_t Allocations = 0;
  TMove Answer;
};

TResult Measure(TBord& Board, int Repetitions) {
  TResult Result;
  Result.BestMillis = 1e300;
  for (int I = 0; I < Repetitions; ++I) {
    TSearchControl Silent;
    const uint64_t Allocated = GAllocations.load();
    const auto Start = std::chrono::steady_clock::now();
    Result.Answer = ComputerMove(Board, Silent);
    const auto Took = std::chrono::steady_clock::now() - Start;
    Result.Allocations += GAllocations.load() - Allocated;
    Result.Placements = Silent.PlacementsSearched;
    Result.BestMillis =
        std::min(Result.BestMillis, std::chrono::duration<double, std::milli>(Took).count());
  }
  return Result;
}

} // namespace

int main(int argc, char** argv) {
  const int Repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  std::vector<TNamedPosition> Positions;
  Positions.push_back({"empty 8x8 (one level)", std::make_unique<TBord>(nullptr, 8, 8)});
  for (auto& Crowded : CrowdedPositions())
    Positions.push_back(std::move(Crowded));
  Positions.push_back({"6x6 midgame", Reached(6, 6, 14, 7)});
  Positions.push_back({"4x4 midgame", Reached(4, 4, 8, 5)});

  std::printf("%-36s %10s %12s %10s %8s  %s\n", "position", "ms/move", "placements", "ns/place",
              "allocs", "answer");
  double WorstCrowded = 0;
  uint64_t TotalPlacements = 0;
  double TotalMillis = 0;
  uint64_t TotalAllocations = 0;
  for (auto& Position : Positions) {
    const TResult Result = Measure(*Position.Board, Repetitions);
    const double NsPerPlacement =
        Result.Placements ? Result.BestMillis * 1e6 / double(Result.Placements) : 0;
    std::printf("%-36s %10.3f %12llu %10.1f %8llu  %d %d\n", Position.Name.c_str(),
                Result.BestMillis, static_cast<unsigned long long>(Result.Placements),
                NsPerPlacement, static_cast<unsigned long long>(Result.Allocations),
                Result.Answer.Row, Result.Answer.Col);
    if (Position.Name.rfind("crowded", 0) == 0)
      WorstCrowded = std::max(WorstCrowded, Result.BestMillis);
    TotalPlacements += Result.Placements;
    TotalMillis += Result.BestMillis;
    TotalAllocations += Result.Allocations;
  }
  std::printf("\nworst crowded 8x8 move: %.3f ms\n", WorstCrowded);
  std::printf("overall: %.1f ns per searched placement\n",
              TotalMillis * 1e6 / double(std::max<uint64_t>(TotalPlacements, 1)));
  std::printf("heap allocations during the searches: %llu\n",
              static_cast<unsigned long long>(TotalAllocations));
  return TotalAllocations == 0 ? 0 : 1;
}
