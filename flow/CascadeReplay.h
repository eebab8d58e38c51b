#pragma once

// TCascadeReplay: shows a placement that has already happened, step by step.
//
// The controller places a mass with PlaceRecorded, which leaves the board in
// its final state and returns the steps; the replay then shows them on the
// view: every cell change at once, and for every explosion the score of that
// moment, the sound and 16 frames of FrameTime milliseconds each over the
// full cell, on a timer. Between frames the event loop runs: the window
// repaints, its menus and the chat stay live. Nothing sleeps.
//
// Until the replay is over, Picture() answers what the window shows, which
// may lag behind the board; otherwise it is the board's picture.

#include "CascadeSteps.h"
#include "DataStructures.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstddef>
#include <functional>

class TGameView;

class TCascadeReplay : public QObject {
public:
  static constexpr int ExplosionFrames = 16;
  static constexpr int FrameTime = 50;

  explicit TCascadeReplay(TGameView& View, QObject* Parent = nullptr);

  // Shows every cell of Board as it is now (a new board, a reset); a running
  // replay is dropped.
  void ShowBoard(const TBord& Board);
  // The picture shown for a cell (CellImageIndex).
  int Picture(int Row, int Col) const;

  // Replays Steps; Done runs once the last one is shown. Without anything to
  // animate that happens before Start returns.
  void Start(TCascadeSteps Steps, std::function<void()> Done);
  bool Running() const { return bool(FDone); }
  // Drops the rest of the replay; Done is not called.
  void Stop();

  // The "Explosions" check mark: without it an explosion only refreshes the
  // score. Read at the start of every explosion.
  void SetAnimate(bool On) { FAnimate = On; }
  bool Animate() const { return FAnimate; }
  void SetFrameTime(int Msecs) { FFrameTime = Msecs; }

private:
  void Advance();
  void NextFrame();

  TGameView& FView;
  std::array<std::array<uint8_t, MaxDimension>, MaxDimension> FShown{};
  TCascadeSteps FSteps;
  std::size_t FNext = 0;
  // The frame on screen during an explosion, -1 between explosions.
  int FFrame = -1;
  QTimer FTimer;
  std::function<void()> FDone;
  bool FAnimate = true;
  int FFrameTime = FrameTime;
};
