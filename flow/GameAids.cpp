#include "GameController.h"

#include "CommandIO.h"
#include "RuntimeData.h"

#include <utility>

// What players of the genre expect beside the rules: the pace of the
// animation, a cascade cut short, a move taken back, the last moves shown,
// a hint, the computer's strength.

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
  Dispatch([this] {
    if (!Offers().Hint || FHintJob->Running())
      return;
    FHintJob->Start(
        *FBord, [](TBord& Board) { return HintMove(Board); },
        [this](TMove Move) {
          Dispatch([this, Move] {
            // The job is cancelled whenever the position changes, so a move
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
  FHintJob->Cancel();
  if (const std::optional<TMove> Shown = std::exchange(FHint, std::nullopt))
    FView.InvalidateCell(Shown->Row, Shown->Col);
}

void TGameController::SetComputerLevel(TComputerLevel Level) {
  FLevel = Level;
  ::ComputerLevel = static_cast<uint8_t>(Level);
  UseComputerLevel();
  FView.ShowComputerLevel(Level);
}

void TGameController::UseComputerLevel() {
  if (TLocalIO* Computer = FCommandIO ? FCommandIO->Local() : nullptr)
    Computer->SetMoveChoice([Level = FLevel](TBord& Board) { return LevelMove(Board, Level); });
}
