// SPDX-License-Identifier: GPL-3.0-or-later
#include "CascadeReplay.h"

#include "ErrorReport.h"
#include "GameView.h"

#include <algorithm>
#include <utility>

TCascadeReplay::TCascadeReplay(TGameView& View, QObject* Parent) : QObject(Parent), FView(View) {
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Guarded([this] { NextFrame(); }); });
  FNoteTimer.setSingleShot(true);
  connect(&FNoteTimer, &QTimer::timeout, this, [this] {
    FNoteShown = true;
    FView.ShowSkipNote(true);
  });
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
  FCascadeClock.start();
  FNoteTimer.start(NoteFrames * FFrameTime);
  Advance();
}

void TCascadeReplay::Stop() {
  FTimer.stop();
  HideNote();
  if (FFrame >= 0 && FNext < FSteps.size())
    FView.ShowExplosionFrame(FSteps[FNext].Row, FSteps[FNext].Col, -1);
  FFrame = -1;
  FSteps.clear();
  FNext = 0;
  FDone = nullptr;
}

void TCascadeReplay::Finish() {
  if (!Running())
    return;
  FTimer.stop();
  if (FFrame >= 0)
    FView.ShowExplosionFrame(FSteps[FNext].Row, FSteps[FNext].Col, -1);
  FFrame = -1;
  // The pictures the full replay would leave: the last change of each cell.
  for (; FNext < FSteps.size(); ++FNext)
    if (FSteps[FNext].Kind == TCascadeStep::Change)
      Show(FSteps[FNext]);
  Advance();
}

void TCascadeReplay::HideNote() {
  FNoteTimer.stop();
  if (std::exchange(FNoteShown, false))
    FView.ShowSkipNote(false);
}

void TCascadeReplay::Show(const TCascadeStep& Change) {
  FShown[Change.Row][Change.Col] = Change.Picture;
  FView.InvalidateCell(Change.Row, Change.Col);
}

bool TCascadeReplay::OverTime() const {
  return FExplosionSpeed == TAnimationSpeed::Fast &&
         FCascadeClock.elapsed() >= qint64(FastLimit) * FFrameTime;
}

qint64 TCascadeReplay::FrameNsecs() const {
  const qint64 Normal = qint64(FFrameTime) * 1'000'000;
  return FExplosionSpeed == TAnimationSpeed::Fast ? Normal / 8 : Normal;
}

void TCascadeReplay::Advance() {
  while (FNext < FSteps.size()) {
    const TCascadeStep& Step = FSteps[FNext];
    if (Step.Kind == TCascadeStep::Change) {
      Show(Step);
      ++FNext;
      continue;
    }
    // The counts follow the cascade explosion by explosion, shown or not.
    FView.DisplayScore(Step.Score[0], Step.Score[1]);
    FExplosionSpeed = FSpeed;
    if (FExplosionSpeed == TAnimationSpeed::Off) {
      ++FNext;
      continue;
    }
    if (OverTime())
      return Finish();
    // A chain of quick explosions would start the sound again and again.
    if (!FSoundClock.isValid() || FSoundClock.elapsed() >= SoundInterval) {
      FView.PlayExplosionSound();
      FSoundClock.start();
    }
    FFrame = 0;
    FView.ShowExplosionFrame(Step.Row, Step.Col, FFrame);
    FExplosionClock.start();
    Schedule();
    return;
  }
  FSteps.clear();
  FNext = 0;
  HideNote();
  if (const std::function<void()> Done = std::exchange(FDone, nullptr))
    Done();
}

void TCascadeReplay::Schedule() {
  // Each frame at its due time from the explosion's start, so the frames of
  // an explosion take their time in all, whatever each tick costs.
  const qint64 Due = FrameNsecs() * (FFrame + 1) - FExplosionClock.nsecsElapsed();
  FTimer.start(int(std::max<qint64>(0, (Due + 999'999) / 1'000'000)));
}

void TCascadeReplay::NextFrame() {
  const TCascadeStep& Step = FSteps[FNext];
  if (OverTime())
    return Finish();
  if (++FFrame < ExplosionFrames) {
    FView.ShowExplosionFrame(Step.Row, Step.Col, FFrame);
    Schedule();
    return;
  }
  // The full picture again; the cell is emptied by the next step.
  FView.ShowExplosionFrame(Step.Row, Step.Col, -1);
  FFrame = -1;
  ++FNext;
  Advance();
}
