// SPDX-License-Identifier: GPL-3.0-or-later
#include "PeerPlayers.h"

#include "CrowdedPositions.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int WonScore = 10000;

std::unique_ptr<TBord> After(const TBord& Board, const TMove& Move, uint8_t Player) {
  auto Copy = TBord::CreateCopy(Board);
  Copy->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
  return Copy;
}

// The game is over for the player to move next.
bool Over(const TBord& Board, uint8_t Next) {
  return Board.Finished || !Board.CanMove(Next);
}

// +1 Player won, -1 lost, 0 drawn, by the mass totals.
int Winner(const TBord& Board, uint8_t Player) {
  const auto Masses = Board.CountMasses();
  const int Margin = Masses[Player] - Masses[1 - Player];
  return Margin > 0 ? 1 : Margin < 0 ? -1 : 0;
}

bool IsCritical(const TCell& Cell) {
  return Cell.Mass + 1 == Cell.Capacity;
}

// The critical player's evaluation, for Player, of an open board.
int CriticalValue(const TBord& Board, uint8_t Player) {
  const auto Other = static_cast<uint8_t>(1 - Player);
  int Value = 0;
  for (uint8_t R = 0; R < Board.Rows; ++R)
    for (uint8_t C = 0; C < Board.Cols; ++C) {
      const TCell& Cell = *Board.Cell(R, C);
      if (Cell.Owner != Player)
        continue;
      Value += Cell.Mass;
      bool Threatened = false;
      for (const TCell* Neighbour : Cell.Neighbours)
        if (Neighbour && Neighbour->Owner == Other && IsCritical(*Neighbour)) {
          Threatened = true;
          Value -= 5 - Cell.Capacity;
        }
      if (Threatened)
        continue;
      Value += Cell.Capacity == 2 ? 3 : Cell.Capacity == 3 ? 2 : 0;
      if (IsCritical(Cell))
        Value += 2;
    }
  // Twice the size of each connected group of own critical cells.
  std::vector<const TCell*> Seen, Stack;
  for (uint8_t R = 0; R < Board.Rows; ++R)
    for (uint8_t C = 0; C < Board.Cols; ++C) {
      const TCell* Start = Board.Cell(R, C);
      if (Start->Owner != Player || !IsCritical(*Start) ||
          std::find(Seen.begin(), Seen.end(), Start) != Seen.end())
        continue;
      int Size = 0;
      Stack = {Start};
      Seen.push_back(Start);
      while (!Stack.empty()) {
        const TCell* Cell = Stack.back();
        Stack.pop_back();
        ++Size;
        for (const TCell* Next : Cell->Neighbours)
          if (Next && Next->Owner == Player && IsCritical(*Next) &&
              std::find(Seen.begin(), Seen.end(), Next) == Seen.end()) {
            Seen.push_back(Next);
            Stack.push_back(Next);
          }
      }
      Value += 2 * Size;
    }
  return Value;
}

// The critical player's value of the board after Mover's placement, for
// Judge (the searching player).
int Judged(const TBord& Board, uint8_t Mover, uint8_t Judge) {
  if (Over(Board, uint8_t(1 - Mover)))
    return WonScore * Winner(Board, Judge);
  return CriticalValue(Board, Judge);
}

struct TChild {
  TMove Move;
  std::unique_ptr<TBord> Board;
  int Value;
};

// The six placements the mover values most, earlier cells first among equals.
std::vector<TChild> SixBest(const TBord& Board, uint8_t ToMove) {
  std::vector<TChild> Children;
  for (const TMove& Move : Board.GenerateMoves(ToMove)) {
    auto Child = After(Board, Move, ToMove);
    const int Value = Judged(*Child, ToMove, ToMove);
    Children.push_back({Move, std::move(Child), Value});
  }
  std::stable_sort(Children.begin(), Children.end(),
                   [](const TChild& A, const TChild& B) { return A.Value > B.Value; });
  if (Children.size() > 6)
    Children.resize(6);
  return Children;
}

// Minimax over the six best placements at each node, Depth plies from here,
// valued for Judge.
int CriticalSearch(const TBord& Board, uint8_t ToMove, uint8_t Judge, int Depth) {
  int Best = ToMove == Judge ? -2 * WonScore : 2 * WonScore;
  for (const TChild& Child : SixBest(Board, ToMove)) {
    int Value;
    if (Over(*Child.Board, uint8_t(1 - ToMove)))
      Value = WonScore * Winner(*Child.Board, Judge);
    else if (Depth <= 1)
      Value = CriticalValue(*Child.Board, Judge);
    else
      Value = CriticalSearch(*Child.Board, uint8_t(1 - ToMove), Judge, Depth - 1);
    Best = ToMove == Judge ? std::max(Best, Value) : std::min(Best, Value);
  }
  return Best;
}

struct TNode {
  TMove Move;
  int Parent = -1;
  std::vector<int> Children;
  std::vector<TMove> Untried;
  // The player who moved into this node, and its score over the visits.
  uint8_t Mover = 0;
  int Visits = 0;
  double Score = 0;
};

} // namespace

TMove GreedyMove(const TBord& Board, uint8_t Player, uint64_t Seed) {
  const TMoveList Moves = Board.GenerateMoves(Player);
  if (Moves.empty())
    return TMove(Board.Rows, 0);
  std::vector<TMove> Best;
  int BestMass = -1;
  for (const TMove& Move : Moves) {
    const int Mass = After(Board, Move, Player)->CountMasses()[Player];
    if (Mass > BestMass) {
      BestMass = Mass;
      Best.clear();
    }
    if (Mass == BestMass)
      Best.push_back(Move);
  }
  TRandom Random(Seed);
  return Best[std::size_t(Random.Below(int(Best.size())))];
}

TMove CriticalMove(const TBord& Board, uint8_t Player) {
  if (!Board.CanMove(Player))
    return TMove(Board.Rows, 0);
  // Depth 3: this placement, the reply, and one more of our own.
  TMove Best(Board.Rows, 0);
  int BestValue = -3 * WonScore;
  for (const TChild& Child : SixBest(Board, Player)) {
    const int Value = Over(*Child.Board, uint8_t(1 - Player))
                          ? WonScore * Winner(*Child.Board, Player)
                          : CriticalSearch(*Child.Board, uint8_t(1 - Player), Player, 2);
    if (Value > BestValue) {
      BestValue = Value;
      Best = Child.Move;
    }
  }
  return Best;
}

TMove UctMove(const TBord& Board, uint8_t Player, uint64_t Seed, int Playouts) {
  const TMoveList RootMoves = Board.GenerateMoves(Player);
  if (RootMoves.empty())
    return TMove(Board.Rows, 0);
  TRandom Random(Seed);
  std::vector<TNode> Tree(1);
  Tree[0].Mover = uint8_t(1 - Player);
  Tree[0].Untried.assign(RootMoves.begin(), RootMoves.end());
  auto Scratch = TBord::CreateCopy(Board);
  for (int Playout = 0; Playout < Playouts; ++Playout) {
    Scratch->CopyFrom(Board);
    int Node = 0;
    uint8_t ToMove = Player;
    // Selection by UCB1 while the node is fully expanded.
    while (Tree[std::size_t(Node)].Untried.empty() && !Tree[std::size_t(Node)].Children.empty()) {
      const TNode& Parent = Tree[std::size_t(Node)];
      int Best = Parent.Children[0];
      double BestValue = -1;
      for (const int Child : Parent.Children) {
        const TNode& C = Tree[std::size_t(Child)];
        const double Value =
            C.Score / C.Visits + 1.4 * std::sqrt(std::log(double(Parent.Visits)) / C.Visits);
        if (Value > BestValue) {
          BestValue = Value;
          Best = Child;
        }
      }
      Node = Best;
      const TMove Move = Tree[std::size_t(Node)].Move;
      Scratch->GetCell(Move.Row, Move.Col)->AddMass(ToMove, false);
      ToMove = uint8_t(1 - ToMove);
    }
    // Expansion of one untried move, unless the game is over here.
    if (!Tree[std::size_t(Node)].Untried.empty() && !Over(*Scratch, ToMove)) {
      auto& Untried = Tree[std::size_t(Node)].Untried;
      const std::size_t Pick = std::size_t(Random.Below(int(Untried.size())));
      const TMove Move = Untried[Pick];
      Untried.erase(Untried.begin() + std::ptrdiff_t(Pick));
      Scratch->GetCell(Move.Row, Move.Col)->AddMass(ToMove, false);
      TNode Child;
      Child.Move = Move;
      Child.Parent = Node;
      Child.Mover = ToMove;
      ToMove = uint8_t(1 - ToMove);
      if (!Over(*Scratch, ToMove)) {
        const TMoveList Next = Scratch->GenerateMoves(ToMove);
        Child.Untried.assign(Next.begin(), Next.end());
      }
      Tree.push_back(std::move(Child));
      const int Added = int(Tree.size()) - 1;
      Tree[std::size_t(Node)].Children.push_back(Added);
      Node = Added;
    }
    // A random playout to the end; a game longer than any real one is
    // judged where it stands.
    for (int Ply = 0; Ply < 1000 && !Over(*Scratch, ToMove); ++Ply) {
      const TMoveList Moves = Scratch->GenerateMoves(ToMove);
      const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      Scratch->GetCell(Move.Row, Move.Col)->AddMass(ToMove, false);
      ToMove = uint8_t(1 - ToMove);
    }
    const int Result = Winner(*Scratch, Player); // for the searching player
    for (int Up = Node; Up >= 0; Up = Tree[std::size_t(Up)].Parent) {
      TNode& Visited = Tree[std::size_t(Up)];
      ++Visited.Visits;
      const double ForPlayer = Result > 0 ? 1.0 : Result < 0 ? 0.0 : 0.5;
      Visited.Score += Visited.Mover == Player ? ForPlayer : 1.0 - ForPlayer;
    }
  }
  // The most visited move.
  int Best = -1;
  for (const int Child : Tree[0].Children)
    if (Best < 0 || Tree[std::size_t(Child)].Visits > Tree[std::size_t(Best)].Visits)
      Best = Child;
  return Best < 0 ? RootMoves[0] : Tree[std::size_t(Best)].Move;
}
