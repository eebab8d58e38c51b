// SPDX-License-Identifier: GPL-3.0-or-later
// Solves a board from its empty position by exhaustive search: who wins
// with perfect play, and then by how much.
//
//   solve_board [rows] [cols] [seconds] [table-bits]   (defaults 4 4 1800 22)
//
// First the game's value (win, draw or loss for the first player) by
// alpha-beta over TSearchBoard with a transposition table, then the final
// mass margin with perfect play (both players maximising their own margin)
// by null-window tests around that value. Each first move is solved in
// turn, one of each kind up to the board's symmetry, so that a run cut short
// by its time limit still reports the moves it proved. It prints the
// positions searched, the time and the table's size.

#include "DataStructures.h"
#include "SearchBoard.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint64_t BlackToMove = 0x7F4A7C159E3779B9ULL;

enum TBound : uint8_t { NoBound, Exact, Lower, Upper };

struct TEntry {
  uint64_t Key = 0;
  int16_t Value = 0;
  TBound Bound = NoBound;
  uint8_t Move = 0;
};

class TSolver {
public:
  TSolver(const TBord& Board, int TableBits, double Seconds)
      : FTable(std::size_t(1) << TableBits), FMask((uint64_t(1) << TableBits) - 1),
        FDeadline(std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                      std::chrono::duration<double>(Seconds))) {
    FBoard.Load(Board, LocalPlayer);
  }

  // Value for Player to move after placing Cell: Margin true for the mass
  // margin, false for +1/0/-1. Sets OutOfTime when the time ran out (the
  // value is then meaningless).
  int SolveMove(uint8_t Cell, uint8_t Player, bool Margin) {
    FMargin = Margin;
    std::fill(FTable.begin(), FTable.end(), TEntry{});
    FBoard.Place(Cell, Player);
    const auto Other = uint8_t(1 - Player);
    int Value;
    if (!Margin) {
      Value = -Search(Other, -1, 1);
    } else {
      // Null-window tests, MTD(f) style, from a guess of 0.
      int Low = -Limit, High = Limit, Guess = 0;
      while (Low < High && !OutOfTime) {
        const int Beta = Guess == Low ? Guess + 1 : Guess;
        Guess = -Search(Other, -Beta, -Beta + 1);
        (Guess < Beta ? High : Low) = Guess;
      }
      Value = Low;
    }
    FBoard.Undo();
    return Value;
  }

  uint64_t Nodes = 0;
  bool OutOfTime = false;
  std::size_t TableEntries() const { return FTable.size(); }
  std::size_t TableBytes() const { return FTable.size() * sizeof(TEntry); }

private:
  static constexpr int Limit = 1000;

  int Terminal(uint8_t Player) const {
    const int Margin = Player == LocalPlayer ? FBoard.Margin() : -FBoard.Margin();
    if (FMargin)
      return Margin;
    return Margin > 0 ? 1 : Margin < 0 ? -1 : 0;
  }

  int Search(uint8_t Player, int Alpha, int Beta) {
    ++Nodes;
    if (FBoard.Finished() || !FBoard.CanMove(Player))
      return Terminal(Player);
    if ((Nodes & 0xFFFFF) == 0 && std::chrono::steady_clock::now() > FDeadline)
      OutOfTime = true;
    if (OutOfTime)
      return 0;
    const uint64_t Key = FBoard.Hash() ^ (Player == Opponent ? BlackToMove : 0);
    TEntry& Entry = FTable[Key & FMask];
    uint8_t First = TSearchBoard::NoCell;
    if (Entry.Bound != NoBound && Entry.Key == Key) {
      First = Entry.Move;
      if (Entry.Bound == Exact || (Entry.Bound == Lower && Entry.Value >= Beta) ||
          (Entry.Bound == Upper && Entry.Value <= Alpha))
        return Entry.Value;
    }
    const auto Other = uint8_t(1 - Player);
    // The table's move, then strikes, then other explosions, then the rest.
    const uint64_t Moves = FBoard.Moves(Player);
    const uint64_t Exploding = FBoard.Critical(Player) & Moves;
    const uint64_t Strikes = Exploding & FBoard.Neighbours(FBoard.Owned(Other));
    const uint64_t Groups[4] = {First == TSearchBoard::NoCell ? 0 : uint64_t(1) << First, Strikes,
                                Exploding & ~Strikes, Moves & ~Exploding};
    const int AlphaAtStart = Alpha;
    int Best = -Limit - 1;
    uint8_t BestMove = 0;
    uint64_t Done = 0;
    for (const uint64_t Group : Groups)
      for (uint64_t Left = Group & ~Done; Left; Left &= Left - 1) {
        const auto Cell = static_cast<uint8_t>(std::countr_zero(Left));
        Done |= uint64_t(1) << Cell;
        FBoard.Place(Cell, Player);
        const int Value = -Search(Other, -Beta, -Alpha);
        FBoard.Undo();
        if (OutOfTime)
          return 0;
        if (Value > Best) {
          Best = Value;
          BestMove = Cell;
          Alpha = std::max(Alpha, Value);
          if (Alpha >= Beta)
            goto Stored;
        }
      }
  Stored:
    Entry.Key = Key;
    Entry.Value = static_cast<int16_t>(Best);
    Entry.Bound = Best <= AlphaAtStart ? Upper : Best >= Beta ? Lower : Exact;
    Entry.Move = BestMove;
    return Best;
  }

  TSearchBoard FBoard;
  std::vector<TEntry> FTable;
  const uint64_t FMask;
  const std::chrono::steady_clock::time_point FDeadline;
  bool FMargin = false;
};

const char* Outcome(int Value) {
  return Value > 0 ? "first player wins" : Value < 0 ? "second player wins" : "draw";
}

} // namespace

int main(int argc, char** argv) {
  const int Rows = argc > 1 ? std::clamp(std::atoi(argv[1]), 2, 8) : 4;
  const int Cols = argc > 2 ? std::clamp(std::atoi(argv[2]), 2, 8) : 4;
  const double Seconds = argc > 3 ? std::max(1.0, std::atof(argv[3])) : 1800;
  const int Bits = argc > 4 ? std::clamp(std::atoi(argv[4]), 10, 28) : 22;
  const TBord Empty(nullptr, uint8_t(Rows), uint8_t(Cols));
  TSolver Solver(Empty, Bits, Seconds);
  const auto Start = std::chrono::steady_clock::now();
  const auto Elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  };
  std::printf("%dx%d from the empty board, table %zu entries (%zu MB), %.0f s at most\n", Rows,
              Cols, Solver.TableEntries(), Solver.TableBytes() >> 20, Seconds);
  // One first move of each kind: up to the board's mirror images, only the
  // cells in the upper left quarter.
  int BestWdl = -2, BestMargin = -1001;
  bool Complete = true;
  for (int R = 0; R < (Rows + 1) / 2; ++R)
    for (int C = 0; C < (Cols + 1) / 2; ++C) {
      if (Rows == Cols && C < R)
        continue;
      const auto Cell = static_cast<uint8_t>(R * Cols + C);
      const int Wdl = Solver.SolveMove(Cell, LocalPlayer, false);
      if (Solver.OutOfTime) {
        std::printf("first move (%d, %d): not solved in time (%llu positions, %.0f s)\n", R, C,
                    static_cast<unsigned long long>(Solver.Nodes), Elapsed());
        Complete = false;
        continue;
      }
      BestWdl = std::max(BestWdl, Wdl);
      std::printf("first move (%d, %d): %s (%llu positions, %.1f s)\n", R, C, Outcome(Wdl),
                  static_cast<unsigned long long>(Solver.Nodes), Elapsed());
      std::fflush(stdout);
      const int Margin = Solver.SolveMove(Cell, LocalPlayer, true);
      if (Solver.OutOfTime) {
        std::printf("  margin: not found in time\n");
        Complete = false;
        continue;
      }
      BestMargin = std::max(BestMargin, Margin);
      std::printf("  first player's margin with perfect play: %+d (%llu positions, %.1f s)\n",
                  Margin, static_cast<unsigned long long>(Solver.Nodes), Elapsed());
      std::fflush(stdout);
    }
  if (Complete)
    std::printf("%dx%d: %s, by %d masses with perfect play; %llu positions, %.1f s\n", Rows, Cols,
                Outcome(BestWdl), std::abs(BestMargin),
                static_cast<unsigned long long>(Solver.Nodes), Elapsed());
  else
    std::printf("%dx%d: not every first move solved; best proven so far: %s\n", Rows, Cols,
                BestWdl > -2 ? Outcome(BestWdl) : "none");
  return 0;
}
