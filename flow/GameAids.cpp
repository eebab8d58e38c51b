// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameController.h"

#include <utility>

// What players of the genre expect beside the rules: the pace of the
// animation, a cascade cut short, a move taken back, the last moves shown,
// a hint, the computer's strength.

void TGameController::SetAnimationSpeed(TAnimationSpeed Speed) {
  if (Speed != TAnimationSpeed::Off)
    FSpeedWhenOn = Speed;
  FReplay.SetSpeed(Speed);
  if (FSettings)
    FSettings->AnimationSpeed = static_cast<uint8_t>(Speed);
  FView.ShowAnimationSpeed(Speed);
}

void TGameController::Undo() {
  Post([this] {
    if (!Offers().Undo)
      return;
    DropHint();
    TTurn Turn = std::move(FTurns.back());
    FTurns.pop_back();
    FBord->CopyFrom(*Turn.Board);
    FLastMoves = Turn.LastMoves;
    FReplay.ShowBoard(*FBord);
    ShowScore();
    SetInformation(Turn.Information.Text, Turn.Information.Size, Turn.Information.Bold);
    SetPhase(TPhase::OwnTurn);
  });
}

void TGameController::ForgetGame() {
  DropHint();
  FTurns.clear();
  FLastMoves = {};
  FView.InvalidateBoard();
  FView.ShowOffers(Offers());
}

void TGameController::SetLastMove(uint8_t Player, TMove Move) {
  if (const std::optional<TMove> Before = FLastMoves[Player & 1])
    FView.InvalidateCell(Before->Row, Before->Col);
  FLastMoves[Player & 1] = Move;
  FView.InvalidateCell(Move.Row, Move.Col);
}

void TGameController::Hint() {
  Post([this] {
    if (!Offers().Hint || FComputer.Hinting())
      return;
    FComputer.Hint(*FBord, [this](TMove Move) {
      Post([this, Move] {
        // The search is cancelled whenever the position changes, so a move
        // that arrives is for the position on the board.
        if (FPhase != TPhase::OwnTurn || !FBord->GetCell(Move.Row, Move.Col))
          return;
        DropHint();
        FHint = Move;
        FView.InvalidateCell(Move.Row, Move.Col);
      });
    });
  });
}

void TGameController::DropHint() {
  FComputer.CancelHint();
  if (const std::optional<TMove> Shown = std::exchange(FHint, std::nullopt))
    FView.InvalidateCell(Shown->Row, Shown->Col);
}

void TGameController::SetComputerLevel(TComputerLevel Level) {
  FComputer.SetLevel(Level);
  if (FSettings)
    FSettings->ComputerLevel = static_cast<uint8_t>(Level);
  FView.ShowComputerLevel(Level, FVaryPlay);
}
