// Whole games between the computer's levels, with the real rules: the
// win/draw/loss table per pairing and board size, and the time per move of
// each level.
//
//   tournament [games-per-pairing] [--threads N] [--sizes 5,6,7,8]
//              [--pairing strong:standard] ...
//
// Each pairing plays its games evenly over the board sizes. On each size the
// games start from fixed random openings (a few placements by each side from
// a fixed seed, no game decided yet), every opening twice, so that each level
// moves first once. A game runs with silent placements until the player to
// move has no cell or a cascade is stopped as endless; the larger mass total
// wins. Games run on several threads at once, but each game depends only on
// its opening and its two levels, so the table does not depend on the number
// of threads. The times per move are given as wall time and as the
// processor time of the searching thread, which the other games and programs
// on the machine disturb less. The slowest move of each level is printed as a
// position with owner 1 to move, so that
//   echo POSITION | fizzgrid-engine move --level LEVEL --stats
// times it again on its own.

#include "CrowdedPositions.h"
#include "DataStructures.h"
#include "Levels.h"
#include "PositionText.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

struct TPairing {
  TComputerLevel First; // the level whose wins are counted
  TComputerLevel Second;
};

struct TGame {
  TPairing Pairing;
  int Size = 0;
  int Opening = 0;
  // The level playing owner 0, who moves first after the opening.
  TComputerLevel Starter = TComputerLevel::Standard;
};

struct TMoveTimes {
  int Count = 0;
  double TotalMillis = 0, WorstMillis = 0;
  double TotalCpuMillis = 0, WorstCpuMillis = 0;
  void Add(double Millis, double CpuMillis) {
    ++Count;
    TotalMillis += Millis;
    WorstMillis = std::max(WorstMillis, Millis);
    TotalCpuMillis += CpuMillis;
    WorstCpuMillis = std::max(WorstCpuMillis, CpuMillis);
  }
  void Add(const TMoveTimes& Other) {
    Count += Other.Count;
    TotalMillis += Other.TotalMillis;
    WorstMillis = std::max(WorstMillis, Other.WorstMillis);
    TotalCpuMillis += Other.TotalCpuMillis;
    WorstCpuMillis = std::max(WorstCpuMillis, Other.WorstCpuMillis);
  }
};

double ThreadCpuMillis() {
  timespec Now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return double(Now.tv_sec) * 1e3 + double(Now.tv_nsec) / 1e6;
}

struct TSlowest {
  double CpuMillis = -1;
  std::string Position;
  void Add(const TSlowest& Other) {
    if (Other.CpuMillis > CpuMillis)
      *this = Other;
  }
};

struct TOutcome {
  // +1 the pairing's first level won, 0 a draw, -1 it lost.
  int Result = 0;
  int Moves = 0;
  std::array<int, 2> Masses{};
  // Per level (index by TComputerLevel): all moves, and those on 8 x 8.
  std::array<TMoveTimes, 3> Times;
  std::array<TMoveTimes, 3> Times8;
  std::array<TSlowest, 3> Slowest;
};

constexpr int OpeningPlacements = 3; // by each side

// An open board after a few random placements by each side, owner 0 to move.
std::unique_ptr<TBord> Opening(int Size, int Index) {
  TRandom Random(uint64_t(Size) * 1000 + uint64_t(Index) + 1);
  for (;;) {
    auto Board = std::make_unique<TBord>(nullptr, uint8_t(Size), uint8_t(Size));
    for (int K = 0; K < 2 * OpeningPlacements; ++K) {
      const auto Player = static_cast<uint8_t>(K % 2);
      const TMoveList Moves = Board->GenerateMoves(Player);
      const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      Board->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
    }
    if (!Board->Finished && Board->CanMove(LocalPlayer) && Board->CanMove(Opponent))
      return Board;
  }
}

TOutcome Play(const TGame& Game) {
  TOutcome Outcome;
  auto Board = Opening(Game.Size, Game.Opening);
  const TComputerLevel Other =
      Game.Starter == Game.Pairing.First ? Game.Pairing.Second : Game.Pairing.First;
  const std::array<TComputerLevel, 2> LevelOf = {Game.Starter, Other};
  uint8_t Player = LocalPlayer;
  while (Board->CanMove(Player)) {
    const double CpuStart = ThreadCpuMillis();
    const auto Start = std::chrono::steady_clock::now();
    const TMove Move = PlayerMove(*Board, Player, LevelOf[Player]);
    const double Millis =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    const double CpuMillis = ThreadCpuMillis() - CpuStart;
    const auto Level = static_cast<std::size_t>(LevelOf[Player]);
    Outcome.Times[Level].Add(Millis, CpuMillis);
    if (Game.Size == 8)
      Outcome.Times8[Level].Add(Millis, CpuMillis);
    if (CpuMillis > Outcome.Slowest[Level].CpuMillis)
      Outcome.Slowest[Level] = {
          CpuMillis, FormatPosition(Player == Opponent ? *Board : *MirroredCopy(*Board))};
    TCell* Target = Board->GetCell(Move.Row, Move.Col);
    if (!Target || Target->Owner == 1 - Player) {
      std::fprintf(stderr, "illegal move %d %d by %s\n", Move.Row, Move.Col,
                   std::string(LevelName(LevelOf[Player])).c_str());
      std::exit(1);
    }
    Target->AddMass(Player, false);
    ++Outcome.Moves;
    if (Board->Finished)
      break;
    Player = static_cast<uint8_t>(1 - Player);
  }
  const auto Masses = Board->CountMasses();
  Outcome.Masses = {Masses[0], Masses[1]};
  const int FirstIs = LevelOf[0] == Game.Pairing.First ? 0 : 1;
  const int Margin = Masses[FirstIs] - Masses[1 - FirstIs];
  Outcome.Result = Margin > 0 ? 1 : Margin < 0 ? -1 : 0;
  return Outcome;
}

bool ParseSizes(std::string_view Text, std::vector<int>& Sizes) {
  Sizes.clear();
  std::size_t Start = 0;
  while (Start <= Text.size()) {
    const std::size_t Comma = std::min(Text.find(',', Start), Text.size());
    const std::string Item(Text.substr(Start, Comma - Start));
    const int Size = std::atoi(Item.c_str());
    if (Size < 4 || Size > 8)
      return false;
    Sizes.push_back(Size);
    Start = Comma + 1;
  }
  return !Sizes.empty();
}

bool ParsePairing(std::string_view Text, TPairing& Pairing) {
  const std::size_t Colon = Text.find(':');
  return Colon != std::string_view::npos && TryParseLevel(Text.substr(0, Colon), Pairing.First) &&
         TryParseLevel(Text.substr(Colon + 1), Pairing.Second) && Pairing.First != Pairing.Second;
}

int Usage(std::FILE* To = stderr, int Status = 2) {
  std::fprintf(To, "usage: tournament [games-per-pairing] [--threads N] [--sizes 5,6,7,8]\n"
                   "                  [--pairing strong:standard] ...\n"
                   "Default: 200 games for each of the pairings strong:standard and\n"
                   "expert:strong, on 2 threads.\n");
  return Status;
}

std::string Name(TComputerLevel Level) {
  return std::string(LevelName(Level));
}

} // namespace

int main(int argc, char** argv) {
  int GamesPerPairing = 200;
  unsigned Threads = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
  std::vector<int> Sizes = {5, 6, 7, 8};
  std::vector<TPairing> Pairings;
  for (int I = 1; I < argc; ++I) {
    const std::string_view Argument = argv[I];
    if (Argument == "--help" || Argument == "-h")
      return Usage(stdout, 0);
    if (Argument == "--threads" && I + 1 < argc)
      Threads = unsigned(std::max(1, std::atoi(argv[++I])));
    else if (Argument == "--sizes" && I + 1 < argc) {
      if (!ParseSizes(argv[++I], Sizes))
        return Usage();
    } else if (Argument == "--pairing" && I + 1 < argc) {
      TPairing Pairing;
      if (!ParsePairing(argv[++I], Pairing))
        return Usage();
      Pairings.push_back(Pairing);
    } else if (!Argument.empty() && Argument[0] != '-')
      GamesPerPairing = std::max(1, std::atoi(argv[I]));
    else
      return Usage();
  }
  if (Pairings.empty())
    Pairings = {{TComputerLevel::Strong, TComputerLevel::Standard},
                {TComputerLevel::Expert, TComputerLevel::Strong}};

  // Per pairing and size, openings in order, each played with either level first.
  const int OpeningsPerSize =
      std::max(1, (GamesPerPairing + 2 * int(Sizes.size()) - 1) / (2 * int(Sizes.size())));
  std::vector<TGame> Games;
  for (const TPairing& Pairing : Pairings)
    for (const int Size : Sizes)
      for (int Opening = 0; Opening < OpeningsPerSize; ++Opening)
        for (const TComputerLevel Starter : {Pairing.First, Pairing.Second})
          Games.push_back({Pairing, Size, Opening, Starter});

  std::vector<TOutcome> Outcomes(Games.size());
  std::atomic<std::size_t> Next{0};
  std::atomic<std::size_t> Done{0};
  const auto Start = std::chrono::steady_clock::now();
  const auto Worker = [&] {
    for (std::size_t I; (I = Next.fetch_add(1)) < Games.size();) {
      Outcomes[I] = Play(Games[I]);
      const std::size_t Finished = Done.fetch_add(1) + 1;
      if (Finished % 10 == 0 || Finished == Games.size())
        std::fprintf(stderr, "\r%zu/%zu games", Finished, Games.size());
    }
  };
  std::vector<std::thread> Pool;
  for (unsigned T = 0; T < Threads; ++T)
    Pool.emplace_back(Worker);
  for (auto& Thread : Pool)
    Thread.join();
  std::fprintf(stderr, "\n");
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();

  std::printf("%d games per pairing, %d openings per size, each level first once; %u threads, "
              "%.0f s\n\n",
              OpeningsPerSize * 2 * int(Sizes.size()), OpeningsPerSize, Threads, Seconds);
  std::printf("%-20s %5s %5s %5s %5s %7s %10s\n", "pairing", "size", "won", "drawn", "lost",
              "won %", "moves/game");
  std::array<TMoveTimes, 3> Times, Times8;
  std::array<TSlowest, 3> Slowest;
  for (const TPairing& Pairing : Pairings) {
    const std::string Label = Name(Pairing.First) + " - " + Name(Pairing.Second);
    std::array<int, 3> Total{};
    int TotalMoves = 0;
    for (const int Size : Sizes) {
      std::array<int, 3> Count{}; // lost, drawn, won
      int Moves = 0;
      for (std::size_t I = 0; I < Games.size(); ++I) {
        const TGame& Game = Games[I];
        if (Game.Pairing.First != Pairing.First || Game.Pairing.Second != Pairing.Second ||
            Game.Size != Size)
          continue;
        ++Count[std::size_t(Outcomes[I].Result + 1)];
        Moves += Outcomes[I].Moves;
        for (std::size_t L = 0; L < 3; ++L) {
          Times[L].Add(Outcomes[I].Times[L]);
          Times8[L].Add(Outcomes[I].Times8[L]);
          Slowest[L].Add(Outcomes[I].Slowest[L]);
        }
      }
      const int Played = Count[0] + Count[1] + Count[2];
      std::printf("%-20s %2dx%-2d %5d %5d %5d %6.1f%% %10.1f\n", Label.c_str(), Size, Size,
                  Count[2], Count[1], Count[0], 100.0 * Count[2] / std::max(Played, 1),
                  double(Moves) / std::max(Played, 1));
      for (std::size_t K = 0; K < 3; ++K)
        Total[K] += Count[K];
      TotalMoves += Moves;
    }
    const int Played = Total[0] + Total[1] + Total[2];
    std::printf("%-20s %5s %5d %5d %5d %6.1f%% %10.1f\n\n", Label.c_str(), "all", Total[2],
                Total[1], Total[0], 100.0 * Total[2] / std::max(Played, 1),
                double(TotalMoves) / std::max(Played, 1));
  }
  std::printf("time per move in ms, wall (processor)\n");
  std::printf("%-10s %8s %18s %18s %18s %18s\n", "level", "moves", "mean", "worst", "mean 8x8",
              "worst 8x8");
  const auto Both = [](int Count, double Wall, double Cpu) {
    char Text[40] = "-";
    if (Count > 0)
      std::snprintf(Text, sizeof Text, "%.1f (%.1f)", Wall, Cpu);
    return std::string(Text);
  };
  for (const TComputerLevel Level : ComputerLevels) {
    const TMoveTimes& All = Times[std::size_t(Level)];
    const TMoveTimes& On8 = Times8[std::size_t(Level)];
    if (All.Count == 0)
      continue;
    const double Moves8 = std::max(On8.Count, 1);
    std::printf(
        "%-10s %8d %18s %18s %18s %18s\n", Name(Level).c_str(), All.Count,
        Both(All.Count, All.TotalMillis / All.Count, All.TotalCpuMillis / All.Count).c_str(),
        Both(All.Count, All.WorstMillis, All.WorstCpuMillis).c_str(),
        Both(On8.Count, On8.TotalMillis / Moves8, On8.TotalCpuMillis / Moves8).c_str(),
        Both(On8.Count, On8.WorstMillis, On8.WorstCpuMillis).c_str());
  }
  std::printf("\nslowest move of each level (processor time), owner 1 to move:\n");
  for (const TComputerLevel Level : ComputerLevels)
    if (const TSlowest& Worst = Slowest[std::size_t(Level)]; Worst.CpuMillis >= 0)
      std::printf("%-10s %8.1f ms  %s\n", Name(Level).c_str(), Worst.CpuMillis,
                  Worst.Position.c_str());
  return 0;
}
