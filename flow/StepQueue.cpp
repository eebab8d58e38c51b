// SPDX-License-Identifier: GPL-3.0-or-later
#include "StepQueue.h"

#include <QTimer>

TStepQueue::TStepQueue(std::function<bool()> Held,
                       std::function<void(const std::exception&)> Failed, QObject* Parent)
    : QObject(Parent), FHeld(std::move(Held)), FFailed(std::move(Failed)) {}

void TStepQueue::Post(TStep Step) {
  if (FClosed)
    return;
  FSteps.push_back(std::move(Step));
  ++FPosted;
  Resume();
}

void TStepQueue::Resume() {
  if (FScheduled || FClosed || FSteps.empty())
    return;
  FScheduled = true;
  QTimer::singleShot(0, this, [this] {
    FScheduled = false;
    RunNext();
  });
}

void TStepQueue::RunNext() {
  // A step that opened a dialog is still running; the dialog's end (or the
  // step's) goes on.
  if (FRunning || FNested > 0 || FClosed || FSteps.empty() || (FHeld && FHeld()))
    return;
  const TStep Step = std::move(FSteps.front());
  FSteps.pop_front();
  FRunning = true;
  try {
    Step();
  } catch (const std::exception& E) {
    if (!FClosed)
      FFailed(E);
  }
  FRunning = false;
  ++FEnded;
  Resume();
}

void TStepQueue::Close() {
  FClosed = true;
  FSteps.clear();
  FEnded = FPosted;
}
