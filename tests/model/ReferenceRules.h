// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A second, deliberately plain implementation of the rules, written apart
// from the model: its own grid of ints, capacities computed from the
// coordinates, a recursive placement, and the search on copies with shared
// bounds. The tests play the model against it move by move.
//
// It is kept cheap because the tests run it for every node the model
// searches, in the unoptimised sanitizer build too: the grid is plain
// arrays, so a copy is a value on the stack, and the search walks the cells
// instead of listing the moves.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

namespace Ref {

struct Event {
  char Kind; // 'I' invalidate, 'E' explode
  int Row, Col;
  bool operator==(const Event&) const = default;
};

using Move = std::pair<int, int>;

struct Board {
  static constexpr int MaxCells = 8 * 8;

  int Rows, Cols;
  // Row-major over Rows x Cols; the entries past the board stay as built.
  int Mass[MaxCells] = {}, Owner[MaxCells] = {}, Nest[MaxCells] = {};
  bool Finished = false;

  Board(int R, int C) : Rows(R), Cols(C) { std::fill(Owner, Owner + MaxCells, 2); }
  bool operator==(const Board&) const = default;

  int At(int R, int C) const { return R * Cols + C; }
  int Capacity(int R, int C) const { return (C > 0) + (C < Cols - 1) + (R > 0) + (R < Rows - 1); }

  // Placement as the rules state it, recursion and all.
  void Add(int R, int C, int Player, std::vector<Event>* Log = nullptr) {
    const int I = At(R, C);
    ++Mass[I];
    ++Nest[I];
    Owner[I] = Player;
    if (Log)
      Log->push_back({'I', R, C});
    if (Finished || Nest[I] >= 6) {
      Finished = true;
    } else if (Mass[I] == Capacity(R, C)) {
      if (Log)
        Log->push_back({'E', R, C});
      Mass[I] = 0;
      Owner[I] = 2;
      if (Log)
        Log->push_back({'I', R, C});
      // Left, right, up, down.
      const int Dr[4] = {0, 0, -1, 1}, Dc[4] = {-1, 1, 0, 0};
      for (int K = 0; K < 4; ++K) {
        const int Nr = R + Dr[K], Nc = C + Dc[K];
        if (Nr >= 0 && Nr < Rows && Nc >= 0 && Nc < Cols)
          Add(Nr, Nc, Player, Log);
      }
    }
    --Nest[I];
  }

  // Masses weighted 10 in a corner, 8 on an edge, 6 inside; the computer's
  // (owner 1) count for it, the user's against.
  int Evaluate() const {
    int Sum = 0;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) {
        const int I = At(R, C);
        if (Owner[I] == 2)
          continue;
        const int Cap = Capacity(R, C), Weight = Cap == 2 ? 10 : Cap == 3 ? 8 : 6;
        Sum += Owner[I] == 1 ? Weight * Mass[I] : -Weight * Mass[I];
      }
    return Sum;
  }

  int Empty() const { return int(std::count(Owner, Owner + Rows * Cols, 2)); }

  // A player may place on a cell that is empty or its own.
  bool MayPlay(int R, int C, int Player) const { return Owner[At(R, C)] != 1 - Player; }

  bool CanMove(int Player) const {
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C)
        if (MayPlay(R, C, Player))
          return true;
    return false;
  }

  // Row by row, each row left to right.
  std::vector<Move> Moves(int Player) const {
    std::vector<Move> List;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C)
        if (MayPlay(R, C, Player))
          List.emplace_back(R, C);
    return List;
  }
};

// The search, transcribed step by step: a fresh copy per candidate, tried in
// the order of Moves, with Alpha and Beta shared by reference and never
// restored.
struct Searcher {
  int Depth = 1;
  long Nodes = 0, Gauge2Expansions = 0;

  void Search(Board& B, int Level, int& Alpha, int& Beta, Move& Answer, int& Value) {
    const int Player = Level % 2 == 0 ? 1 : 0;
    Move BestMove{255, 255};
    int Best = Player == 0 ? INT_MAX : INT_MIN;
    if (Depth == 1 && B.Empty() < 20)
      Depth = 3;
    if (Level == Depth || !B.CanMove(Player)) {
      Value = B.Evaluate();
      B.Finished = false;
      return;
    }
    Gauge2Expansions += Level == 1;
    bool Cut = false;
    for (int R = 0; R < B.Rows && !Cut; ++R)
      for (int C = 0; C < B.Cols && !Cut; ++C) {
        if (!B.MayPlay(R, C, Player))
          continue;
        Board Copy = B;
        std::fill(Copy.Nest, Copy.Nest + Board::MaxCells, 0);
        Copy.Add(R, C, Player);
        ++Nodes;
        int ChildValue = 0;
        Search(Copy, Level + 1, Alpha, Beta, Answer, ChildValue);
        if (Player == 0 ? ChildValue >= Best : ChildValue <= Best)
          continue;
        BestMove = {R, C};
        Best = ChildValue;
        if (Player == 1 && Alpha < Best) {
          Alpha = Best;
          Cut = Beta < Best;
        } else if (Player == 0 && Beta > Best) {
          Beta = Best;
          Cut = Alpha > Best;
        }
      }
    Value = Best;
    Answer = BestMove;
    B.Finished = false;
  }

  Move ComputerMove(Board& B) {
    int Alpha = INT_MIN, Beta = INT_MAX, Value = 0;
    Move Answer{0, 0};
    Search(B, 0, Alpha, Beta, Answer, Value);
    Depth = 1;
    return Answer;
  }
};

// Deterministic pseudo-random numbers (same sequence on every platform).
class Lcg {
public:
  explicit Lcg(uint64_t Seed) : FState(Seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
  int Below(int N) {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((FState >> 33) % static_cast<uint64_t>(N));
  }

private:
  uint64_t FState;
};

} // namespace Ref
