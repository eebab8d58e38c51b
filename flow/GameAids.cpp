#include "GameController.h"

#include "RuntimeData.h"

// What players of the genre expect beside the rules: the pace of the
// animation, a cascade cut short, a move taken back, the last moves shown.

void TGameController::SetAnimationSpeed(TAnimationSpeed Speed) {
  if (Speed != TAnimationSpeed::Off)
    FSpeedWhenOn = Speed;
  FReplay.SetSpeed(Speed);
  ::AnimationSpeed = static_cast<uint8_t>(Speed);
  FView.ShowAnimationSpeed(Speed);
}

void TGameController::FinishReplay() {
  Dispatch([this] {
    if (FPhase == TPhase::OwnReplay || FPhase == TPhase::OpponentReplay)
      FReplay.Finish();
  });
}

void TGameController::Undo() {
  Dispatch([this] {
    if (!Offers().Undo)
      return;
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
