#pragma once

// TSearchJob: one computer search off the user-interface thread.
//
// Start copies the board (a copy has no view, so nothing the search does can
// reach a window) and runs the search function on the copy on a worker
// thread; Done then runs on the thread that owns the job, as an event of its
// own, with the move. Only one search runs at a time per job.
//
// Cancel stops a running search through StopThinking, waits for the worker
// (the search returns promptly once stopped), drops its answer and lets the
// next search think again; Stop does the same for good, when the program
// closes. Destroying the job cancels it.

#include "DataStructures.h"

#include <QObject>

#include <functional>
#include <memory>
#include <thread>

class TSearchJob : public QObject {
public:
  using TSearch = std::function<TMove(TBord& Board)>;
  using TDone = std::function<void(TMove Move)>;

  explicit TSearchJob(QObject* Parent = nullptr);
  ~TSearchJob() override;

  void Start(const TBord& Board, TSearch Search, TDone Done);
  bool Running() const { return FWorker.joinable(); }
  void Cancel();
  void Stop();

private:
  void Join();

  std::thread FWorker;
  // Each start gets a new number; an answer of an earlier one is dropped.
  unsigned FGeneration = 0;
};
