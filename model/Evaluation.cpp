#include "Evaluation.h"

#include <bit>

// One mass is worth 10 in a corner, 8 on an edge and 6 inside (MassWeights);
// the terms below are in the same units.
//
// Found by bench/tune_eval (see its header): a coordinate search from
// hand-set values, each step a match of the changed weights against the
// current ones over fixed openings on 5 x 5 to 7 x 7, keeping a change only
// when it scored above 55 %.
const TEvalWeights DefaultEvalWeights = {
    -12, // ThreatenedCorner
    -12, // ThreatenedEdge
    -10, // ThreatenedInside
    6,   // SafeCorner
    3,   // SafeEdge
    6,   // SafeCritical
    3,   // Chain
    20,  // Initiative
};

namespace {

int32_t SideTerms(const TSearchBoard& Board, uint8_t Player, const TEvalWeights& W) {
  const uint64_t Own = Board.Owned(Player);
  const uint64_t Critical = Board.Critical(Player);
  const uint64_t Danger = Board.Neighbours(Board.Critical(uint8_t(1 - Player)));
  const uint64_t Corners = Board.Corners();
  const uint64_t Edges = Board.Edges();
  const uint64_t Threatened = Own & Danger;
  const uint64_t Safe = Own & ~Danger;
  return W[ThreatenedCorner] * std::popcount(Threatened & Corners) +
         W[ThreatenedEdge] * std::popcount(Threatened & Edges) +
         W[ThreatenedInside] * std::popcount(Threatened & ~(Corners | Edges)) +
         W[SafeCorner] * std::popcount(Safe & Corners) + W[SafeEdge] * std::popcount(Safe & Edges) +
         W[SafeCritical] * std::popcount(Safe & Critical) +
         W[Chain] * std::popcount(Critical & Board.Neighbours(Critical));
}

} // namespace

int32_t Evaluate(const TSearchBoard& Board, uint8_t Mover, const TEvalWeights& Weights) {
  const auto Other = static_cast<uint8_t>(1 - Mover);
  const int32_t Material = Board.Perspective() == Mover ? Board.Material() : -Board.Material();
  int32_t Value = Material + SideTerms(Board, Mover, Weights) - SideTerms(Board, Other, Weights);
  if (Board.Critical(Mover) & Board.Neighbours(Board.Owned(Other)))
    Value += Weights[Initiative];
  return Value;
}
