// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games between the computer's levels, the peer-style opponents of
// PeerPlayers.h and, when given, another build's fizzgrid-engine: the
// win/draw/loss table per pairing and board size with Wilson 95 % intervals,
// an Elo estimate per player, and the time per move of each player.
//
//   tournament [games-per-pairing] [--threads N] [--sizes 5,6,7,8]
//              [--base PATH] [--pairing expert:greedy] ...
//
// Players: standard, strong, expert (the levels), greedy, critical, uct (the
// peers), and with --base PATH base-standard, base-strong, base-expert: the
// engine at PATH at that level, spoken to over its line protocol. Without
// --pairing each level meets each peer, the levels meet each other, and with
// --base, Strong and Expert meet the base build's Strong and Expert.
//
// Each pairing plays its games evenly over the board sizes. On each size the
// games start from fixed random openings (three placements by each side from
// a fixed seed, no game decided yet), every opening twice, so that each
// player moves first once. A game runs until the player to move has no cell
// or a cascade is stopped as endless; the larger mass total wins. Each game
// depends only on its opening and its two players (the peers draw their
// random choices from a seed made of the game and the move), so the tables
// do not depend on the number of threads. The times per move are wall time
// and, for the players that run in this process, the processor time of the
// searching thread, which other programs on the machine disturb less. The
// slowest move of each level is printed as a position with owner 1 to move,
// so that
//   echo POSITION | fizzgrid-engine move --level LEVEL --stats
// times it again on its own.
//
// The Elo estimates are the maximum-likelihood Bradley-Terry ratings over
// all games played (a draw counts half a win for each), with Standard at 0,
// and one drawn game added to every pairing so that a clean sweep gives a
// finite rating; the intervals are 1.96 standard errors from each player's
// own Fisher information, an approximation that ignores how the other
// ratings are uncertain too.

#include "CrowdedPositions.h"
#include "DataStructures.h"
#include "EnginePlayer.h"
#include "Levels.h"
#include "PeerPlayers.h"
#include "PositionText.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

const std::vector<std::string> LevelPlayers = {"standard", "strong", "expert"};
const std::vector<std::string> PeerNames = {"greedy", "critical", "uct"};
constexpr std::string_view BasePrefix = "base-";

struct TPairing {
  std::string First; // the player whose wins are counted
  std::string Second;
};

struct TGame {
  std::size_t Pairing = 0;
  int Size = 0;
  int Opening = 0;
  bool FirstStarts = true; // the pairing's first player is owner 0 and moves first
};

struct TMoveTimes {
  int Count = 0;
  double TotalMillis = 0, WorstMillis = 0;
  double TotalCpuMillis = 0, WorstCpuMillis = 0;
  double SlowestCpu = -1;
  std::string Slowest;
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
    if (Other.SlowestCpu > SlowestCpu) {
      SlowestCpu = Other.SlowestCpu;
      Slowest = Other.Slowest;
    }
  }
};

double ThreadCpuMillis() {
  timespec Now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return double(Now.tv_sec) * 1e3 + double(Now.tv_nsec) / 1e6;
}

struct TOutcome {
  // +1 the pairing's first player won, 0 a draw, -1 it lost.
  int Result = 0;
  int Moves = 0;
  // Index 0: the pairing's first player, 1: its second.
  std::array<TMoveTimes, 2> Times;
};

constexpr int OpeningPlacements = 3; // by each side

// An open board after a few random placements by each side, owner 0 to move.
std::unique_ptr<TBord> Opening(int Size, int Index) {
  return RandomOpening(Size, OpeningPlacements, uint64_t(Size) * 1000 + uint64_t(Index) + 1);
}

bool IsLevel(const std::string& Name) {
  return std::find(LevelPlayers.begin(), LevelPlayers.end(), Name) != LevelPlayers.end();
}

// One player for one game: the engine's process lives as long as the game.
class TGamePlayer {
public:
  TGamePlayer(const std::string& Name, const std::string& BasePath) : FName(Name) {
    if (Name.rfind(BasePrefix, 0) == 0)
      FEngine = std::make_unique<TEnginePlayer>(BasePath, Name.substr(BasePrefix.size()));
  }
  bool InProcess() const { return !FEngine; }
  TMove Move(const TBord& Board, uint8_t Player, uint64_t Seed) {
    if (FEngine)
      return FEngine->Move(Board, Player);
    if (FName == "greedy")
      return GreedyMove(Board, Player, Seed);
    if (FName == "critical")
      return CriticalMove(Board, Player);
    if (FName == "uct")
      return UctMove(Board, Player, Seed);
    return PlayerMove(Board, Player, ParseLevel(FName));
  }

private:
  const std::string FName;
  std::unique_ptr<TEnginePlayer> FEngine;
};

TOutcome Play(const TGame& Game, const TPairing& Pairing, const std::string& BasePath) {
  TOutcome Outcome;
  auto Board = Opening(Game.Size, Game.Opening);
  // Seat 0 plays owner 0.
  const std::array<int, 2> SideOfSeat = {Game.FirstStarts ? 0 : 1, Game.FirstStarts ? 1 : 0};
  const std::array<std::string, 2> Names = {Pairing.First, Pairing.Second};
  std::array<std::unique_ptr<TGamePlayer>, 2> Seats = {
      std::make_unique<TGamePlayer>(Names[std::size_t(SideOfSeat[0])], BasePath),
      std::make_unique<TGamePlayer>(Names[std::size_t(SideOfSeat[1])], BasePath)};
  const uint64_t GameSeed =
      (uint64_t(Game.Size) << 40) ^ (uint64_t(Game.Opening) << 8) ^ (Game.FirstStarts ? 1 : 2);
  uint8_t Player = LocalPlayer;
  while (Board->CanMove(Player)) {
    const double CpuStart = ThreadCpuMillis();
    const auto Start = std::chrono::steady_clock::now();
    const TMove Move =
        Seats[Player]->Move(*Board, Player, GameSeed * 1000 + uint64_t(Outcome.Moves));
    const double Millis =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    const double CpuMillis = Seats[Player]->InProcess() ? ThreadCpuMillis() - CpuStart : Millis;
    TMoveTimes& Times = Outcome.Times[std::size_t(SideOfSeat[Player])];
    Times.Add(Millis, CpuMillis);
    if (CpuMillis > Times.SlowestCpu) {
      Times.SlowestCpu = CpuMillis;
      Times.Slowest = FormatPosition(Player == Opponent ? *Board : *MirroredCopy(*Board));
    }
    TCell* Target = Board->GetCell(Move.Row, Move.Col);
    if (!Target || Target->Owner == 1 - Player) {
      std::fprintf(stderr, "illegal move %d %d by %s\n", Move.Row, Move.Col,
                   Names[std::size_t(SideOfSeat[Player])].c_str());
      std::exit(1);
    }
    Target->AddMass(Player, false);
    ++Outcome.Moves;
    if (Board->Finished)
      break;
    Player = static_cast<uint8_t>(1 - Player);
  }
  const auto Masses = Board->CountMasses();
  const int FirstIs = SideOfSeat[0] == 0 ? 0 : 1; // the owner the first player played
  const int Margin = Masses[std::size_t(FirstIs)] - Masses[std::size_t(1 - FirstIs)];
  Outcome.Result = Margin > 0 ? 1 : Margin < 0 ? -1 : 0;
  return Outcome;
}

// The Wilson score interval, 95 %, of a share Score of N games.
std::pair<double, double> Wilson(double Score, int N) {
  if (N == 0)
    return {0, 1};
  const double Z = 1.96, P = Score / N;
  const double Centre = (P + Z * Z / (2 * N)) / (1 + Z * Z / N);
  const double Half = Z / (1 + Z * Z / N) * std::sqrt(P * (1 - P) / N + Z * Z / (4.0 * N * N));
  return {std::max(0.0, Centre - Half), std::min(1.0, Centre + Half)};
}

struct TRating {
  double Elo = 0, Interval = 0;
  int Games = 0;
  double Score = 0;
};

std::map<std::string, TRating> Ratings(const std::vector<TPairing>& Pairings,
                                       const std::vector<std::array<int, 3>>& Totals) {
  std::vector<std::string> Names;
  for (const TPairing& Pairing : Pairings)
    for (const std::string& Name : {Pairing.First, Pairing.Second})
      if (std::find(Names.begin(), Names.end(), Name) == Names.end())
        Names.push_back(Name);
  const std::size_t N = Names.size();
  const auto IndexOf = [&](const std::string& Name) {
    return std::size_t(std::find(Names.begin(), Names.end(), Name) - Names.begin());
  };
  // Games and wins (draws half, one extra draw per pairing) between each two.
  std::vector<std::vector<double>> Games(N, std::vector<double>(N)), Wins = Games;
  std::map<std::string, TRating> Result;
  for (std::size_t P = 0; P < Pairings.size(); ++P) {
    const std::size_t A = IndexOf(Pairings[P].First), B = IndexOf(Pairings[P].Second);
    const auto& [Lost, Drawn, Won] = Totals[P];
    const double Played = Lost + Drawn + Won;
    Games[A][B] += Played + 1;
    Games[B][A] += Played + 1;
    Wins[A][B] += Won + 0.5 * Drawn + 0.5;
    Wins[B][A] += Lost + 0.5 * Drawn + 0.5;
    Result[Pairings[P].First].Games += int(Played);
    Result[Pairings[P].Second].Games += int(Played);
    Result[Pairings[P].First].Score += Won + 0.5 * Drawn;
    Result[Pairings[P].Second].Score += Lost + 0.5 * Drawn;
  }
  // Minorization-maximization for the Bradley-Terry strengths.
  std::vector<double> Gamma(N, 1.0);
  for (int Round = 0; Round < 2000; ++Round)
    for (std::size_t I = 0; I < N; ++I) {
      double Won = 0, Weight = 0;
      for (std::size_t J = 0; J < N; ++J)
        if (Games[I][J] > 0) {
          Won += Wins[I][J];
          Weight += Games[I][J] / (Gamma[I] + Gamma[J]);
        }
      if (Weight > 0)
        Gamma[I] = std::max(Won / Weight, 1e-12);
    }
  const std::size_t Anchor = std::min(IndexOf("standard"), N - 1);
  const double Scale = 400.0 / std::log(10.0);
  for (std::size_t I = 0; I < N; ++I) {
    double Information = 0;
    for (std::size_t J = 0; J < N; ++J)
      if (Games[I][J] > 0) {
        const double P = Gamma[I] / (Gamma[I] + Gamma[J]);
        Information += Games[I][J] * P * (1 - P);
      }
    TRating& Rating = Result[Names[I]];
    Rating.Elo = Scale * std::log(Gamma[I] / Gamma[Anchor]);
    Rating.Interval = Information > 0 ? 1.96 * Scale / std::sqrt(Information) : 0;
  }
  return Result;
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

bool KnownPlayer(const std::string& Name, bool HaveBase) {
  if (IsLevel(Name) || std::find(PeerNames.begin(), PeerNames.end(), Name) != PeerNames.end())
    return true;
  return HaveBase && Name.rfind(BasePrefix, 0) == 0 && IsLevel(Name.substr(BasePrefix.size()));
}

int Usage(std::FILE* To = stderr, int Status = 2) {
  std::fprintf(To, "usage: tournament [games-per-pairing] [--threads N] [--sizes 5,6,7,8]\n"
                   "                  [--base PATH] [--pairing PLAYER:PLAYER] ...\n"
                   "Players: standard strong expert greedy critical uct, and with --base PATH\n"
                   "base-standard base-strong base-expert (that fizzgrid-engine at that level).\n"
                   "Default: 200 games for each level against each peer, the levels against\n"
                   "each other and, with --base, strong:base-strong and expert:base-expert;\n"
                   "one thread.\n");
  return Status;
}

std::string Millis(int Count, double Wall, double Cpu, bool WithCpu) {
  char Text[48] = "-";
  if (Count > 0 && WithCpu)
    std::snprintf(Text, sizeof Text, "%.1f (%.1f)", Wall, Cpu);
  else if (Count > 0)
    std::snprintf(Text, sizeof Text, "%.1f", Wall);
  return Text;
}

} // namespace

int main(int argc, char** argv) {
  int GamesPerPairing = 200;
  unsigned Threads = 1;
  std::vector<int> Sizes = {5, 6, 7, 8};
  std::vector<std::string> PairingTexts;
  std::string BasePath;
  for (int I = 1; I < argc; ++I) {
    const std::string_view Argument = argv[I];
    if (Argument == "--help" || Argument == "-h")
      return Usage(stdout, 0);
    if (Argument == "--threads" && I + 1 < argc)
      Threads = unsigned(std::max(1, std::atoi(argv[++I])));
    else if (Argument == "--sizes" && I + 1 < argc) {
      if (!ParseSizes(argv[++I], Sizes))
        return Usage();
    } else if (Argument == "--pairing" && I + 1 < argc)
      PairingTexts.emplace_back(argv[++I]);
    else if (Argument == "--base" && I + 1 < argc)
      BasePath = argv[++I];
    else if (!Argument.empty() && Argument[0] != '-')
      GamesPerPairing = std::max(1, std::atoi(argv[I]));
    else
      return Usage();
  }
  std::vector<TPairing> Pairings;
  for (const std::string& Text : PairingTexts) {
    const std::size_t Colon = Text.find(':');
    TPairing Pairing{Text.substr(0, std::min(Colon, Text.size())),
                     Colon == std::string::npos ? "" : Text.substr(Colon + 1)};
    if (!KnownPlayer(Pairing.First, !BasePath.empty()) ||
        !KnownPlayer(Pairing.Second, !BasePath.empty()) || Pairing.First == Pairing.Second) {
      std::fprintf(stderr, "unknown pairing \"%s\"\n", Text.c_str());
      return Usage();
    }
    Pairings.push_back(Pairing);
  }
  if (Pairings.empty()) {
    for (const std::string& Level : LevelPlayers)
      for (const std::string& Peer : PeerNames)
        Pairings.push_back({Level, Peer});
    Pairings.push_back({"strong", "standard"});
    Pairings.push_back({"expert", "standard"});
    Pairings.push_back({"expert", "strong"});
    if (!BasePath.empty()) {
      Pairings.push_back({"strong", "base-strong"});
      Pairings.push_back({"expert", "base-expert"});
    }
  }

  // Per pairing and size, openings in order, each played with either player first.
  const int OpeningsPerSize =
      std::max(1, (GamesPerPairing + 2 * int(Sizes.size()) - 1) / (2 * int(Sizes.size())));
  std::vector<TGame> Games;
  for (std::size_t P = 0; P < Pairings.size(); ++P)
    for (const int Size : Sizes)
      for (int Opening = 0; Opening < OpeningsPerSize; ++Opening)
        for (const bool FirstStarts : {true, false})
          Games.push_back({P, Size, Opening, FirstStarts});

  std::vector<TOutcome> Outcomes(Games.size());
  std::atomic<std::size_t> Next{0};
  std::atomic<std::size_t> Done{0};
  const auto Start = std::chrono::steady_clock::now();
  const auto Worker = [&] {
    for (std::size_t I; (I = Next.fetch_add(1)) < Games.size();) {
      Outcomes[I] = Play(Games[I], Pairings[Games[I].Pairing], BasePath);
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

  std::printf("%d games per pairing, %d openings per size, each player first once; %u threads, "
              "%.0f s\n\n",
              OpeningsPerSize * 2 * int(Sizes.size()), OpeningsPerSize, Threads, Seconds);
  std::printf("%-24s %5s %5s %5s %5s %22s %10s\n", "pairing", "size", "won", "drawn", "lost",
              "score [Wilson 95 %]", "moves/game");
  std::map<std::string, TMoveTimes> Times;
  std::vector<std::array<int, 3>> Totals(Pairings.size());
  const auto Row = [](const std::string& Label, const std::string& Size,
                      const std::array<int, 3>& Count, double Moves) {
    const int Played = Count[0] + Count[1] + Count[2];
    const double Score = Count[2] + 0.5 * Count[1];
    const auto [Low, High] = Wilson(Score, Played);
    char Share[40];
    std::snprintf(Share, sizeof Share, "%5.1f%% [%5.1f, %5.1f]",
                  100.0 * Score / std::max(Played, 1), 100 * Low, 100 * High);
    std::printf("%-24s %5s %5d %5d %5d %22s %10.1f\n", Label.c_str(), Size.c_str(), Count[2],
                Count[1], Count[0], Share, Moves / std::max(Played, 1));
  };
  for (std::size_t P = 0; P < Pairings.size(); ++P) {
    const TPairing& Pairing = Pairings[P];
    const std::string Label = Pairing.First + " - " + Pairing.Second;
    int TotalMoves = 0;
    for (const int Size : Sizes) {
      std::array<int, 3> Count{}; // lost, drawn, won
      int Moves = 0;
      for (std::size_t I = 0; I < Games.size(); ++I) {
        if (Games[I].Pairing != P || Games[I].Size != Size)
          continue;
        ++Count[std::size_t(Outcomes[I].Result + 1)];
        Moves += Outcomes[I].Moves;
        Times[Pairing.First].Add(Outcomes[I].Times[0]);
        Times[Pairing.Second].Add(Outcomes[I].Times[1]);
      }
      Row(Label, std::to_string(Size) + "x" + std::to_string(Size), Count, Moves);
      for (std::size_t K = 0; K < 3; ++K)
        Totals[P][K] += Count[K];
      TotalMoves += Moves;
    }
    Row(Label, "all", Totals[P], TotalMoves);
    std::printf("\n");
  }

  std::printf("Elo (Bradley-Terry, standard = 0 when it plays), 95 %% interval\n");
  std::printf("%-16s %8s %8s %8s %8s\n", "player", "Elo", "+-", "games", "score");
  auto Rated = Ratings(Pairings, Totals);
  std::vector<std::pair<std::string, TRating>> Sorted(Rated.begin(), Rated.end());
  std::sort(Sorted.begin(), Sorted.end(),
            [](const auto& A, const auto& B) { return A.second.Elo > B.second.Elo; });
  for (const auto& [Name, Rating] : Sorted)
    std::printf("%-16s %8.0f %8.0f %8d %7.1f%%\n", Name.c_str(), Rating.Elo, Rating.Interval,
                Rating.Games, 100.0 * Rating.Score / std::max(Rating.Games, 1));

  std::printf("\ntime per move in ms, wall (processor; engines: wall only)\n");
  std::printf("%-16s %8s %20s %20s\n", "player", "moves", "mean", "worst");
  for (const auto& [Name, Time] : Times) {
    const bool Cpu = Name.rfind(BasePrefix, 0) != 0;
    std::printf("%-16s %8d %20s %20s\n", Name.c_str(), Time.Count,
                Millis(Time.Count, Time.TotalMillis / std::max(Time.Count, 1),
                       Time.TotalCpuMillis / std::max(Time.Count, 1), Cpu)
                    .c_str(),
                Millis(Time.Count, Time.WorstMillis, Time.WorstCpuMillis, Cpu).c_str());
  }
  std::printf("\nslowest move of each level (processor time), owner 1 to move:\n");
  for (const auto& [Name, Time] : Times)
    if (IsLevel(Name) && Time.SlowestCpu >= 0)
      std::printf("%-10s %8.1f ms  %s\n", Name.c_str(), Time.SlowestCpu, Time.Slowest.c_str());
  return 0;
}
