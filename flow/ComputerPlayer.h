// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer as a player: it answers a position with a move, found on a
// worker thread, and never touches the board it was asked about.
//
// TSearchJob runs one search at a time: Start copies the board (a copy has
// no view, so nothing the search does can reach a window), searches the copy
// on a worker thread with a stop token of its own, and runs Done on the
// thread that owns the job, as an event of its own, with the move. Cancel
// stops the running search, waits for the worker (a stopped search returns
// at once) and drops its answer; destroying the job cancels it.
//
// TComputerPlayer has one job for its replies, which report to the thinking
// window, and one for hints, which run silently. The two share nothing, so a
// hint and a reply may run at the same time and either may be cancelled
// alone.

#include "DataStructures.h"
#include "Levels.h"
#include "SearchControl.h"

#include <QObject>

#include <functional>
#include <memory>
#include <thread>

class TSearchJob : public QObject {
public:
  using TSearch = std::function<TMove(TBord& Board, TSearchControl& Control)>;
  using TDone = std::function<void(TMove Move)>;

  // Progress is the sink every search of this job reports to (nullptr: silent).
  explicit TSearchJob(TThinkProgress* Progress = nullptr, QObject* Parent = nullptr);
  ~TSearchJob() override;

  // Raises std::logic_error while a search runs.
  void Start(const TBord& Board, TSearch Search, TDone Done);
  bool Running() const { return FWorker.joinable(); }
  void Cancel();

private:
  TThinkProgress* const FProgress;
  std::unique_ptr<TSearchControl> FControl;
  std::thread FWorker;
  // Each start gets a new number; an answer of an earlier one is dropped.
  unsigned FGeneration = 0;
};

class TComputerPlayer {
public:
  using TDone = TSearchJob::TDone;

  // Progress is the thinking window's sink for the replies.
  explicit TComputerPlayer(TThinkProgress* Progress = nullptr);

  // The strength of the replies from the next one on.
  void SetLevel(TComputerLevel Level) { FLevel = Level; }
  TComputerLevel Level() const { return FLevel; }
  // The seed the stronger levels draw their choice among nearly best moves
  // from (NoVariety: the best move, always).
  void SetSeed(uint64_t Seed) { FSeed = Seed; }

  // The computer's (owner 1) move on Board at its level.
  void Reply(const TBord& Board, TDone Done);
  // The move the Strong level would play for the user (owner 0).
  void Hint(const TBord& Board, TDone Done);
  bool Replying() const { return FReplies.Running(); }
  bool Hinting() const { return FHints.Running(); }
  void CancelReply() { FReplies.Cancel(); }
  void CancelHint() { FHints.Cancel(); }

private:
  TComputerLevel FLevel = TComputerLevel::Standard;
  uint64_t FSeed = NoVariety;
  TSearchJob FReplies;
  TSearchJob FHints;
};
