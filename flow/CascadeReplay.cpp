#include "CascadeReplay.h"

#include "GameView.h"

#include <utility>

TCascadeReplay::TCascadeReplay(TGameView& View, QObject* Parent) : QObject(Parent), FView(View) {
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { NextFrame(); });
}

void TCascadeReplay::ShowBoard(const TBord& Board) {
  Stop();
  for (int Row = 0; Row < Board.Rows; ++Row)
    for (int Col = 0; Col < Board.Cols; ++Col)
      FShown[Row][Col] = static_cast<uint8_t>(Board.Cell(Row, Col)->CellImageIndex());
  FView.InvalidateBoard();
}

int TCascadeReplay::Picture(int Row, int Col) const {
  return FShown[std::size_t(Row) % MaxDimension][std::size_t(Col) % MaxDimension];
}

void TCascadeReplay::Start(TCascadeSteps Steps, std::function<void()> Done) {
  Stop();
  FSteps = std::move(Steps);
  FNext = 0;
  FDone = std::move(Done);
  Advance();
}

void TCascadeReplay::Stop() {
  FTimer.stop();
  if (FFrame >= 0 && FNext < FSteps.size())
    FView.ShowExplosionFrame(FSteps[FNext].Row, FSteps[FNext].Col, -1);
  FFrame = -1;
  FSteps.clear();
  FNext = 0;
  FDone = nullptr;
}

void TCascadeReplay::Advance() {
  while (FNext < FSteps.size()) {
    const TCascadeStep& Step = FSteps[FNext];
    if (Step.Kind == TCascadeStep::Change) {
      FShown[Step.Row][Step.Col] = Step.Picture;
      FView.InvalidateCell(Step.Row, Step.Col);
      ++FNext;
      continue;
    }
    // The counts follow the cascade explosion by explosion, shown or not.
    FView.DisplayScore(Step.Score[0], Step.Score[1]);
    if (!FAnimate) {
      ++FNext;
      continue;
    }
    FView.PlayExplosionSound();
    FFrame = 0;
    FView.ShowExplosionFrame(Step.Row, Step.Col, FFrame);
    FTimer.start(FFrameTime);
    return;
  }
  FSteps.clear();
  FNext = 0;
  if (const std::function<void()> Done = std::exchange(FDone, nullptr))
    Done();
}

void TCascadeReplay::NextFrame() {
  const TCascadeStep& Step = FSteps[FNext];
  if (++FFrame < ExplosionFrames) {
    FView.ShowExplosionFrame(Step.Row, Step.Col, FFrame);
    FTimer.start(FFrameTime);
    return;
  }
  // The full picture again; the cell is emptied by the next step.
  FView.ShowExplosionFrame(Step.Row, Step.Col, -1);
  FFrame = -1;
  ++FNext;
  Advance();
}
