// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TStepQueue: the steps of the flow of play, one at a time, each from a
// turn of the event loop of its own.
//
// Post never runs its step inside the caller: the step runs from a later
// turn of the event loop, after every step posted before it, so no object is
// torn down while its own callback is still on the stack. A step that fails
// goes to the failure handler and the queue goes on.
//
// Steps wait while a nested event loop runs: a modal dialog or box the flow
// opened (counted by TNested for its lifetime) or one the window opened on
// its own (the Held predicate). When the last one ends, the queue goes on by
// itself for the counted ones; the window calls Resume for its own.

#include <QObject>

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>

class TStepQueue : public QObject {
public:
  using TStep = std::function<void()>;

  TStepQueue(std::function<bool()> Held, std::function<void(const std::exception&)> Failed,
             QObject* Parent = nullptr);

  void Post(TStep Step);
  // Something that held the queue has ended: go on.
  void Resume();
  // Drops every waiting step and takes no more.
  void Close();
  bool Closed() const { return FClosed; }
  // Steps posted so far, and steps run or dropped so far: a step posted as
  // the Nth has had its turn once Ended() reaches N.
  uint64_t Posted() const { return FPosted; }
  uint64_t Ended() const { return FEnded; }

  // A nested event loop of the flow's own, for the scope's lifetime.
  class TNested {
  public:
    explicit TNested(TStepQueue& Queue) : FQueue(Queue) { ++FQueue.FNested; }
    ~TNested() {
      if (--FQueue.FNested == 0)
        FQueue.Resume();
    }
    TNested(const TNested&) = delete;
    TNested& operator=(const TNested&) = delete;

  private:
    TStepQueue& FQueue;
  };

private:
  void RunNext();

  std::function<bool()> FHeld;
  std::function<void(const std::exception&)> FFailed;
  std::deque<TStep> FSteps;
  int FNested = 0;
  bool FScheduled = false;
  bool FRunning = false;
  bool FClosed = false;
  uint64_t FPosted = 0;
  uint64_t FEnded = 0;
};
