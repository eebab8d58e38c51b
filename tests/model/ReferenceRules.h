#pragma once

// A second, deliberately plain implementation of the rules, written apart
// from the model: its own grid of ints, capacities computed from the
// coordinates, a recursive placement, and the search on heap copies with
// shared bounds. The tests play the model against it move by move.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
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
  int Rows, Cols;
  std::vector<int> Mass, Owner, Nest;
  bool Finished = false;

  Board(int R, int C) : Rows(R), Cols(C), Mass(R * C, 0), Owner(R * C, 2), Nest(R * C, 0) {}
  bool operator==(const Board&) const = default;

  int At(int R, int C) const { return R * Cols + C; }
  int Capacity(int R, int C) const { return (C > 0) + (C < Cols - 1) + (R > 0) + (R < Rows - 1); }

  // Placement as the rules state it, recursion and all.
  void Add(int R, int C, int Player, std::vector<Event>* Log = nullptr) {
    const auto Note = [&](char Kind) {
      if (Log)
        Log->push_back({Kind, R, C});
    };
    const int I = At(R, C);
    ++Mass[I];
    ++Nest[I];
    Owner[I] = Player;
    Note('I');
    if (Finished || Nest[I] >= 6) {
      Finished = true;
    } else if (Mass[I] == Capacity(R, C)) {
      Note('E');
      Mass[I] = 0;
      Owner[I] = 2;
      Note('I');
      for (const auto& [Nr, Nc] : {Move{R, C - 1}, Move{R, C + 1}, Move{R - 1, C}, Move{R + 1, C}})
        if (Nr >= 0 && Nr < Rows && Nc >= 0 && Nc < Cols)
          Add(Nr, Nc, Player, Log);
    }
    --Nest[I];
  }

  int Evaluate() const {
    int Sum = 0;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) {
        const int Weight = Capacity(R, C) == 2 ? 10 : Capacity(R, C) == 3 ? 8 : 6;
        const int I = At(R, C);
        Sum += Owner[I] == 1 ? Weight * Mass[I] : Owner[I] == 0 ? -Weight * Mass[I] : 0;
      }
    return Sum;
  }

  int Empty() const { return int(std::count(Owner.begin(), Owner.end(), 2)); }

  std::vector<Move> Moves(int Player) const {
    std::vector<Move> List;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C)
        if (Owner[At(R, C)] != 1 - Player)
          List.emplace_back(R, C);
    return List;
  }

  bool CanMove(int Player) const { return !Moves(Player).empty(); }
};

// The search, transcribed step by step: a fresh heap copy per candidate,
// Alpha and Beta shared by reference and never restored.
struct Searcher {
  int Depth = 1;
  long Nodes = 0, Gauge2Expansions = 0;

  void Search(Board& B, int Level, int& Alpha, int& Beta, Move& Answer, int& Value) {
    const int Player = Level % 2 == 0 ? 1 : 0;
    Move BestMove{255, 255};
    int Best = Player == 0 ? INT_MAX : INT_MIN;
    if (Depth == 1 && B.Empty() < 20)
      Depth = 3;
    const auto Candidates = B.Moves(Player);
    if (Level == Depth || Candidates.empty()) {
      Value = B.Evaluate();
      B.Finished = false;
      return;
    }
    Gauge2Expansions += Level == 1;
    for (const auto& Candidate : Candidates) {
      auto Copy = std::make_unique<Board>(B);
      std::fill(Copy->Nest.begin(), Copy->Nest.end(), 0);
      Copy->Add(Candidate.first, Candidate.second, Player);
      ++Nodes;
      int ChildValue = 0;
      Search(*Copy, Level + 1, Alpha, Beta, Answer, ChildValue);
      if (Player == 0 ? ChildValue >= Best : ChildValue <= Best)
        continue;
      BestMove = Candidate;
      Best = ChildValue;
      if (Player == 1 && Alpha < Best) {
        Alpha = Best;
        if (Beta < Best)
          break;
      } else if (Player == 0 && Beta > Best) {
        Beta = Best;
        if (Alpha > Best)
          break;
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
