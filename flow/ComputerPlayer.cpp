// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComputerPlayer.h"

#include <QMetaObject>

#include <stdexcept>

TSearchJob::TSearchJob(TThinkProgress* Progress, QObject* Parent)
    : QObject(Parent), FProgress(Progress) {}

TSearchJob::~TSearchJob() {
  // The worker posts its answer to this object: it must be gone before the
  // object is.
  Cancel();
}

void TSearchJob::Start(const TBord& Board, TSearch Search, TDone Done) {
  if (Running())
    throw std::logic_error("The computer is already thinking");
  const unsigned Generation = ++FGeneration;
  // A new token per search: a cancelled one stays stopped for good, and
  // nothing has to be set again for the next.
  FControl = std::make_unique<TSearchControl>(FProgress);
  FWorker = std::thread([this, Generation, Control = FControl.get(),
                         Copy = std::shared_ptr<TBord>(TBord::CreateCopy(Board)),
                         Search = std::move(Search), Done = std::move(Done)]() mutable {
    const TMove Move = Search(*Copy, *Control);
    QMetaObject::invokeMethod(
        this,
        [this, Generation, Move, Done = std::move(Done)] {
          if (Generation != FGeneration)
            return;
          FWorker.join();
          Done(Move);
        },
        Qt::QueuedConnection);
  });
}

void TSearchJob::Cancel() {
  if (!Running())
    return;
  FControl->StopThinking();
  FWorker.join();
  ++FGeneration;
}

TComputerPlayer::TComputerPlayer(TThinkProgress* Progress) : FReplies(Progress), FHints(nullptr) {}

void TComputerPlayer::Reply(const TBord& Board, TDone Done) {
  FReplies.Start(
      Board,
      [Level = FLevel, Seed = FSeed](TBord& Copy, TSearchControl& Control) {
        return LevelMove(Copy, Level, Control, Seed);
      },
      std::move(Done));
}

void TComputerPlayer::Hint(const TBord& Board, TDone Done) {
  FHints.Start(
      Board, [](TBord& Copy, TSearchControl& Control) { return HintMove(Copy, Control); },
      std::move(Done));
}
