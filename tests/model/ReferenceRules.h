#pragma once

// A second, deliberately plain implementation of the rules, written apart
// from the model: its own grid of ints, capacities computed from the
// coordinates, a recursive placement, and the search on heap copies with
// shared bounds. The tests play the model against it move by move.

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Ref {

struct Event {
  char Kind; // 'I' invalidate, 'E' explode
  int Row;
  int Col;
  bool operator==(const Event&) const = default;
};

struct Board {
  int Rows;
  int Cols;
  std::vector<int> Mass;
  std::vector<int> Owner;
  std::vector<int> Nest;
  bool Finished = false;

  Board(int R, int C) : Rows(R), Cols(C), Mass(R * C, 0), Owner(R * C, 2), Nest(R * C, 0) {}

  int At(int R, int C) const { return R * Cols + C; }
  int Capacity(int R, int C) const {
    return (C > 0) + (C < Cols - 1) + (R > 0) + (R < Rows - 1);
  }

  // Placement as the rules state it, recursion and all.
  void Add(int R, int C, int Player, std::vector<Event>* Log = nullptr) {
    const int I = At(R, C);
    Mass[I] += 1;
    Nest[I] += 1;
    Owner[I] = Player;
    if (Log)
      Log->push_back({'I', R, C});
    const bool MayExplode = !Finished && Nest[I] < 6;
    if (MayExplode && Mass[I] == Capacity(R, C)) {
      if (Log)
        Log->push_back({'E', R, C});
      Mass[I] = 0;
      Owner[I] = 2;
      if (Log)
        Log->push_back({'I', R, C});
      const int Dr[4] = {0, 0, -1, 1};
      const int Dc[4] = {-1, 1, 0, 0};
      for (int K = 0; K < 4; ++K) {
        const int Nr = R + Dr[K];
        const int Nc = C + Dc[K];
        if (Nr >= 0 && Nr < Rows && Nc >= 0 && Nc < Cols)
          Add(Nr, Nc, Player, Log);
      }
    } else if (!MayExplode) {
      Finished = true;
    }
    Nest[I] -= 1;
  }

  int Evaluate() const {
    int Sum = 0;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) {
        const int Weight = Capacity(R, C) == 2 ? 10 : Capacity(R, C) == 3 ? 8 : 6;
        const int I = At(R, C);
        if (Owner[I] == 1)
          Sum += Weight * Mass[I];
        else if (Owner[I] == 0)
          Sum -= Weight * Mass[I];
      }
    return Sum;
  }

  int Empty() const {
    int N = 0;
    for (int O : Owner)
      N += O == 2;
    return N;
  }

  std::vector<std::pair<int, int>> Moves(int Player) const {
    std::vector<std::pair<int, int>> List;
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
  long Nodes = 0;
  long Gauge2Expansions = 0;

  void Search(Board& B, int Level, int& Alpha, int& Beta, std::pair<int, int>& Answer, int& Value) {
    const int Player = Level % 2 == 0 ? 1 : 0;
    std::pair<int, int> BestMove{255, 255};
    int Best = Player == 0 ? INT_MAX : INT_MIN;
    if (Depth == 1 && B.Empty() < 20)
      Depth = 3;
    if (Level == Depth) {
      Value = B.Evaluate();
      B.Finished = false;
      return;
    }
    const auto Candidates = B.Moves(Player);
    if (Candidates.empty()) {
      Value = B.Evaluate();
      B.Finished = false;
      return;
    }
    if (Level == 1)
      ++Gauge2Expansions;
    for (const auto& Candidate : Candidates) {
      auto Copy = std::make_unique<Board>(B);
      std::fill(Copy->Nest.begin(), Copy->Nest.end(), 0);
      Copy->Add(Candidate.first, Candidate.second, Player);
      ++Nodes;
      int ChildValue = 0;
      Search(*Copy, Level + 1, Alpha, Beta, Answer, ChildValue);
      const bool Improves = Player == 0 ? ChildValue < Best : ChildValue > Best;
      if (!Improves)
        continue;
      BestMove = Candidate;
      Best = ChildValue;
      if (Player == 1) {
        if (Alpha < Best) {
          Alpha = Best;
          if (Beta < Best)
            break;
        }
      } else if (Beta > Best) {
        Beta = Best;
        if (Alpha > Best)
          break;
      }
    }
    Value = Best;
    Answer = BestMove;
    B.Finished = false;
  }

  std::pair<int, int> ComputerMove(Board& B) {
    int Alpha = INT_MIN;
    int Beta = INT_MAX;
    std::pair<int, int> Answer{0, 0};
    int Value = 0;
    Depth = 1;
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
