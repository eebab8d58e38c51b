// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThinkRelay.h"

#include <algorithm>

TThinkRelay::TThinkRelay(QObject* Parent) : QObject(Parent) {}

TThinkRelay::~TThinkRelay() = default;

void TThinkRelay::Show() {
  Q_EMIT Shown();
}

void TThinkRelay::Hide() {
  Q_EMIT Hidden();
}

TThinkRelay::TGauge* TThinkRelay::GaugeOf(int Gauge) {
  return Gauge == 1 || Gauge == 2 ? &FGauges[Gauge - 1] : nullptr;
}

const TThinkRelay::TGauge* TThinkRelay::GaugeOf(int Gauge) const {
  return Gauge == 1 || Gauge == 2 ? &FGauges[Gauge - 1] : nullptr;
}

void TThinkRelay::SetMaxValue(int Gauge, int Value) {
  TGauge* State = GaugeOf(Gauge);
  if (!State)
    return;
  State->MaxValue = std::max(0, Value);
  State->Progress = std::min(State->Progress, State->MaxValue);
  Update(Gauge);
}

int TThinkRelay::MaxValue(int Gauge) const {
  const TGauge* State = GaugeOf(Gauge);
  return State ? State->MaxValue : 0;
}

int TThinkRelay::Progress(int Gauge) const {
  const TGauge* State = GaugeOf(Gauge);
  return State ? State->Progress : 0;
}

int TThinkRelay::Percent(int Gauge) const {
  return Gauge == 1 || Gauge == 2 ? FPublished[Gauge - 1].load(std::memory_order_relaxed) : 0;
}

void TThinkRelay::SetProgress(int Gauge, int Value) {
  TGauge* State = GaugeOf(Gauge);
  if (!State)
    return;
  State->Progress = std::clamp(Value, 0, State->MaxValue);
  Update(Gauge);
}

void TThinkRelay::Update(int Gauge) {
  TGauge& State = FGauges[Gauge - 1];
  const int Percent =
      State.MaxValue > 0 ? static_cast<int>(qint64(State.Progress) * 100 / State.MaxValue) : 0;
  // The search steps far more finely than a gauge can show; only a change
  // the player can see goes to the window.
  if (Percent == State.Percent)
    return;
  State.Percent = Percent;
  FPublished[Gauge - 1].store(Percent, std::memory_order_relaxed);
  // Published before the flag is read: a window that took the flag away
  // reads this value or signals again.
  if (!FSignalled.exchange(true, std::memory_order_acq_rel))
    Q_EMIT ProgressChanged();
}
