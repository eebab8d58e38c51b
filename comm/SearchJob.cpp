#include "SearchJob.h"

#include "Search.h"

#include <QMetaObject>

#include <stdexcept>

TSearchJob::TSearchJob(QObject* Parent) : QObject(Parent) {}

TSearchJob::~TSearchJob() {
  // The worker posts its answer to this object: it must be gone before the
  // object is.
  Cancel();
}

void TSearchJob::Start(const TBord& Board, TSearch Search, TDone Done) {
  if (Running())
    throw std::logic_error("The computer is already thinking");
  const unsigned Generation = ++FGeneration;
  FWorker = std::thread([this, Generation, Copy = std::shared_ptr<TBord>(TBord::CreateCopy(Board)),
                         Search = std::move(Search), Done = std::move(Done)]() mutable {
    const TMove Move = Search(*Copy);
    QMetaObject::invokeMethod(
        this,
        [this, Generation, Move, Done = std::move(Done)] {
          if (Generation != FGeneration)
            return;
          Join();
          Done(Move);
        },
        Qt::QueuedConnection);
  });
}

void TSearchJob::Join() {
  if (FWorker.joinable())
    FWorker.join();
}

void TSearchJob::Cancel() {
  if (!Running())
    return;
  const bool Thinking = KeepThinking;
  StopThinking();
  Join();
  ++FGeneration;
  KeepThinking = Thinking;
}

void TSearchJob::Stop() {
  StopThinking();
  Join();
  ++FGeneration;
}
