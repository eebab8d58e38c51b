// SPDX-License-Identifier: GPL-3.0-or-later
// Solves a board from its empty position by exhaustive search: who wins
// with perfect play, and then by how much.
//
//   solve_board [rows] [cols] [seconds] [table-bits]   (defaults 4 4 1800 22)
//
// Every placement adds one mass and an explosion only moves masses, while
// an open board holds at most its capacities less one on each cell: a game
// is decided within that many placements and one more. So the game's value
// (win, draw or loss for the first player) is found by alpha-beta over
// TSearchBoard with a transposition table, deepening one placement at a
// time up to that bound; each finished depth is an exact result of its own
// ("no forced win within 14 placements"), which is what a run cut short by
// its time limit reports, with how many of the second player's answers its
// last depth got through. Then the final mass margin with perfect play
// (both players maximising their own margin) by null-window tests around
// that value. Each first move is solved in turn, one of each kind up to the
// board's symmetry. It prints the positions searched, the time and the
// table's size.

#include "DataStructures.h"
#include "SearchBoard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr uint64_t BlackToMove = 0x7F4A7C159E3779B9ULL;

constexpr uint64_t SplitMix(uint64_t& State) {
  uint64_t Z = (State += 0x9E3779B97F4A7C15ULL);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

// The board's mirror images: as cell maps, and a position's key as the
// least of its images' keys, so that the table holds one entry for all of
// them. A square board has eight, turns and transposes included; any other
// four.
class TSymmetry {
public:
  TSymmetry(int Rows, int Cols) : FCount(Rows == Cols ? 8 : 4) {
    for (int S = 0; S < FCount; ++S)
      for (int R = 0; R < Rows; ++R)
        for (int C = 0; C < Cols; ++C) {
          int R2 = S & 1 ? Rows - 1 - R : R, C2 = S & 2 ? Cols - 1 - C : C;
          if (S & 4)
            std::swap(R2, C2);
          const auto Cell = uint8_t(R * Cols + C), Image = uint8_t(R2 * Cols + C2);
          FMap[S][Cell] = Image;
          FBack[S][Image] = Cell;
        }
    uint64_t State = 0x536F6C7665ULL;
    for (auto& Cell : FKeys)
      for (auto& Key : Cell)
        Key = SplitMix(State);
  }

  // Board's key and the image it was taken from.
  std::pair<uint64_t, int> Key(const TSearchBoard& Board) const {
    std::array<uint64_t, 8> Keys{};
    const uint64_t Taken = Board.Owned(0) | Board.Owned(1);
    for (uint64_t Left = Taken; Left; Left &= Left - 1) {
      const auto Cell = static_cast<uint8_t>(std::countr_zero(Left));
      const int State = Board.Owner(Cell) * 4 + (Board.Mass(Cell) & 3);
      for (int S = 0; S < FCount; ++S)
        Keys[std::size_t(S)] ^= FKeys[FMap[S][Cell]][State];
    }
    int Least = 0;
    for (int S = 1; S < FCount; ++S)
      if (Keys[std::size_t(S)] < Keys[std::size_t(Least)])
        Least = S;
    return {Keys[std::size_t(Least)], Least};
  }
  uint8_t ToImage(int S, uint8_t Cell) const { return FMap[S][Cell]; }
  uint8_t FromImage(int S, uint8_t Cell) const { return FBack[S][Cell]; }

private:
  int FCount;
  std::array<std::array<uint8_t, TSearchBoard::MaxCells>, 8> FMap{}, FBack{};
  std::array<std::array<uint64_t, 8>, TSearchBoard::MaxCells> FKeys{};
};

enum TBound : uint8_t { NoBound, Exact, Lower, Upper };

struct TEntry {
  uint64_t Key = 0;
  int16_t Value = 0;
  TBound Bound = NoBound;
  uint8_t Move = 0;
  // The placements the value looked ahead.
  uint8_t Depth = 0;
};

class TSolver {
public:
  TSolver(const TBord& Board, int TableBits, double Seconds)
      : FSymmetry(Board.Rows, Board.Cols), FTable(std::size_t(1) << TableBits),
        FMask((uint64_t(1) << TableBits) - 1),
        FDeadline(std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                      std::chrono::duration<double>(Seconds))) {
    FBoard.Load(Board, LocalPlayer);
  }

  // Placements after which the board can no longer be open.
  int Horizon() const {
    int Masses = 0, Room = 0;
    for (int I = 0; I < FBoard.Count(); ++I) {
      Masses += FBoard.Mass(I);
      Room += FBoard.Capacity(I) - 1;
    }
    return Room - Masses + 1;
  }

  // Player's value after placing Cell, looking Depth placements further:
  // +1 a win, -1 a loss within them, 0 neither. Sets OutOfTime when the
  // time ran out (the value is then meaningless). Answers counts the other
  // player's answers that this depth finished.
  int SolveWithin(uint8_t Cell, uint8_t Player, int Depth) {
    FMargin = false;
    FBoard.Place(Cell, Player);
    Answers = 0;
    const int Value = -Search(uint8_t(1 - Player), -1, 1, Depth, 0);
    FBoard.Undo();
    return Value;
  }

  // Player's mass margin with perfect play after placing Cell.
  int SolveMargin(uint8_t Cell, uint8_t Player) {
    FMargin = true;
    Clear();
    FBoard.Place(Cell, Player);
    const auto Other = uint8_t(1 - Player);
    // Null-window tests, MTD(f) style, from a guess of 0.
    int Low = -Limit, High = Limit, Guess = 0;
    while (Low < High && !OutOfTime) {
      const int Beta = Guess == Low ? Guess + 1 : Guess;
      Guess = -Search(Other, -Beta, -Beta + 1, UINT8_MAX, 0);
      (Guess < Beta ? High : Low) = Guess;
    }
    FBoard.Undo();
    return Low;
  }

  void Clear() { std::fill(FTable.begin(), FTable.end(), TEntry{}); }

  uint64_t Nodes = 0;
  int Answers = 0;
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

  // A position's placements are its masses, so every path reaches it at
  // the same ply and with the same Depth left within one deepening step. A
  // shallower step's win or loss holds deeper too; its 0 may not.
  int Search(uint8_t Player, int Alpha, int Beta, int Depth, int Ply) {
    ++Nodes;
    if (FBoard.Finished() || !FBoard.CanMove(Player))
      return Terminal(Player);
    if (Depth == 0)
      return 0;
    if ((Nodes & 0xFFFFF) == 0 && std::chrono::steady_clock::now() > FDeadline)
      OutOfTime = true;
    if (OutOfTime)
      return 0;
    const auto [Image, Shape] = FSymmetry.Key(FBoard);
    const uint64_t Key = Image ^ (Player == Opponent ? BlackToMove : 0);
    // Two entries a bucket: the first keeps the deepest search, the second
    // the latest, so that the long searches near the root outlive the
    // flood of short ones below.
    TEntry* const Bucket = &FTable[Key & FMask & ~uint64_t(1)];
    TEntry* Entry = nullptr;
    for (TEntry* Slot : {Bucket, Bucket + 1})
      if (Slot->Bound != NoBound && Slot->Key == Key)
        Entry = Slot;
    uint8_t First = TSearchBoard::NoCell;
    if (Entry) {
      First = FSymmetry.FromImage(Shape, Entry->Move);
      const bool Decided = !FMargin && Entry->Value != 0;
      if ((Entry->Depth >= Depth || Decided) &&
          (Entry->Bound == Exact || (Entry->Bound == Lower && Entry->Value >= Beta) ||
           (Entry->Bound == Upper && Entry->Value <= Alpha)))
        return Entry->Value;
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
        const int Value = -Search(Other, -Beta, -Alpha, Depth - 1, Ply + 1);
        FBoard.Undo();
        if (OutOfTime)
          return 0;
        Answers += Ply == 0;
        if (Value > Best) {
          Best = Value;
          BestMove = Cell;
          Alpha = std::max(Alpha, Value);
          if (Alpha >= Beta)
            goto Stored;
        }
      }
  Stored:
    if (!Entry)
      Entry = Bucket->Bound == NoBound || Depth > Bucket->Depth ? Bucket : Bucket + 1;
    Entry->Key = Key;
    Entry->Value = static_cast<int16_t>(Best);
    Entry->Bound = Best <= AlphaAtStart ? Upper : Best >= Beta ? Lower : Exact;
    Entry->Move = FSymmetry.ToImage(Shape, BestMove);
    Entry->Depth = static_cast<uint8_t>(std::min(Depth, int(UINT8_MAX)));
    return Best;
  }

  TSearchBoard FBoard;
  const TSymmetry FSymmetry;
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
      if (Solver.OutOfTime) {
        std::printf("first move (%d, %d): not tried\n", R, C);
        continue;
      }
      const auto Cell = static_cast<uint8_t>(R * Cols + C);
      // The placements left after the first; the deepest step is exact.
      const int Bound = Solver.Horizon() - 1;
      Solver.Clear();
      int Wdl = 0, Depth = 1;
      for (; Depth <= Bound; ++Depth) {
        const int Within = Solver.SolveWithin(Cell, LocalPlayer, Depth);
        if (Solver.OutOfTime)
          break;
        Wdl = Within;
        if (Wdl != 0 || Depth == Bound) {
          std::printf(Wdl ? "first move (%d, %d): %s within %d more placements"
                          : "first move (%d, %d): %s; every game ends within %d more placements",
                      R, C, Outcome(Wdl), Depth);
          std::printf(" (%llu positions, %.1f s)\n", static_cast<unsigned long long>(Solver.Nodes),
                      Elapsed());
          break;
        }
        std::printf(
            "first move (%d, %d): no forced win for either player within %d more placements "
            "(%llu positions, %.1f s)\n",
            R, C, Depth, static_cast<unsigned long long>(Solver.Nodes), Elapsed());
        std::fflush(stdout);
      }
      if (Solver.OutOfTime) {
        std::printf("first move (%d, %d): within %d more placements, %d of the second player's "
                    "%d answers searched when the time ran out (%llu positions, %.0f s)\n",
                    R, C, Depth, Solver.Answers, Rows * Cols - 1,
                    static_cast<unsigned long long>(Solver.Nodes), Elapsed());
        Complete = false;
        continue;
      }
      BestWdl = std::max(BestWdl, Wdl);
      std::fflush(stdout);
      const int Margin = Solver.SolveMargin(Cell, LocalPlayer);
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
