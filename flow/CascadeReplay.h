// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TCascadeReplay: shows a placement that has already happened, step by step.
//
// The controller places a mass with PlaceRecorded, which leaves the board in
// its final state and returns the steps; the replay then shows them on the
// view: every cell change at once, and for every explosion the score of that
// moment, the sound and 16 frames over the full cell, on a timer. Between
// frames the event loop runs: the window repaints, its menus and the chat
// stay live. Nothing sleeps.
//
// The speed: Normal shows each explosion for 16 frames of FrameTime ms;
// Fast shows the same 16 frames in an eighth of that, and a cascade that
// would take longer than FastLimit frame times (5 s) jumps to its end there;
// Off shows no frame and plays no sound, only the score follows. Finish jumps to the end
// at any time. The sound starts at most once per SoundInterval ms. A cascade
// on show for NoteFrames frame times (3 s at Normal) gets the view's note
// that a click or Escape shows its end at once, until the replay ends.
//
// Until the replay is over, Picture() answers what the window shows, which
// may lag behind the board; otherwise it is the board's picture.

#include "CascadeSteps.h"
#include "DataStructures.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

class TGameView;

enum class TAnimationSpeed : uint8_t { Normal = 0, Fast = 1, Off = 2 };

class TCascadeReplay : public QObject {
public:
  static constexpr int ExplosionFrames = 16;
  static constexpr int FrameTime = 50;
  static constexpr int FastLimit = 100;
  static constexpr int SoundInterval = 50;
  static constexpr int NoteFrames = 60;

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
  // Shows the rest at once, as the full replay would leave it, and ends.
  void Finish();
  // Drops the rest of the replay; Done is not called.
  void Stop();

  // Read at the start of every explosion.
  void SetSpeed(TAnimationSpeed Speed) { FSpeed = Speed; }
  TAnimationSpeed Speed() const { return FSpeed; }
  // The length of one frame at Normal speed; tests make it 0.
  void SetFrameTime(int Msecs) { FFrameTime = Msecs; }

private:
  void Advance();
  void NextFrame();
  void Schedule();
  qint64 FrameNsecs() const;
  // A Fast cascade has been on show long enough.
  bool OverTime() const;
  void Show(const TCascadeStep& Change);
  void HideNote();

  TGameView& FView;
  std::array<std::array<uint8_t, MaxDimension>, MaxDimension> FShown{};
  TCascadeSteps FSteps;
  std::size_t FNext = 0;
  // The frame on screen during an explosion, -1 between explosions.
  int FFrame = -1;
  QTimer FTimer;
  QTimer FNoteTimer;
  bool FNoteShown = false;
  // Since the start of the cascade, of the explosion on screen, of the
  // last sound.
  QElapsedTimer FCascadeClock;
  QElapsedTimer FExplosionClock;
  QElapsedTimer FSoundClock;
  TAnimationSpeed FExplosionSpeed = TAnimationSpeed::Normal;
  std::function<void()> FDone;
  TAnimationSpeed FSpeed = TAnimationSpeed::Normal;
  int FFrameTime = FrameTime;
};
