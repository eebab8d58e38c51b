// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TThinkRelay: the search's progress, passed on to the thinking window.
//
// The computer searches on a worker thread and reports through the
// TThinkProgress interface. The relay keeps the two gauges' state on the
// searching thread and emits a signal only when something the window shows
// changes (shown, hidden, a gauge's percentage); the signals reach the
// window queued, on the user-interface thread. ProcessMessages does
// nothing: the event loop runs on its own while the worker searches.
//
// The game controller owns it and hands it to the searches that show the
// window (the computer's replies); the hint searches silently.

#include "SearchControl.h"

#include <QObject>

class TThinkRelay : public QObject, public TThinkProgress {
  Q_OBJECT

public:
  explicit TThinkRelay(QObject* Parent = nullptr);
  ~TThinkRelay() override;

  void Show() override;
  void Hide() override;
  // Gauge is 1 or 2; other numbers are ignored (Progress answers 0).
  void SetMaxValue(int Gauge, int Value) override;
  int MaxValue(int Gauge) const;
  int Progress(int Gauge) const override;
  // The percentage last passed on to the window.
  int Percent(int Gauge) const;
  // Kept within 0 and the gauge's maximum.
  void SetProgress(int Gauge, int Value) override;
  void ProcessMessages() override {}

Q_SIGNALS:
  void Shown();
  void Hidden();
  // The share of the gauge's maximum that is done, 0..100, rounded down.
  void PercentChanged(int Gauge, int Percent);

private:
  struct TGauge {
    int MaxValue = 100;
    int Progress = 0;
    int Percent = 0;
  };
  TGauge* GaugeOf(int Gauge);
  const TGauge* GaugeOf(int Gauge) const;
  void Update(int Gauge);

  TGauge FGauges[2];
};
