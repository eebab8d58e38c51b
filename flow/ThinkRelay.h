// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TThinkRelay: the search's progress, passed on to the thinking window.
//
// The computer searches on a worker thread and reports through the
// TThinkProgress interface. The relay keeps the two gauges' state on the
// searching thread; the signals reach the window queued, on the
// user-interface thread. Shown and Hidden come once per search. A gauge's
// percentage is published in an atomic, and ProgressChanged is emitted only
// when the window has taken the last one (TakeProgress): a search steps its
// gauges hundreds of times, and a queue of as many events would hold back
// Hidden and the search's answer behind them. ProcessMessages does nothing:
// the event loop runs on its own while the worker searches, which never
// waits for it.
//
// The game controller owns it and hands it to the searches that show the
// window (the computer's replies); the hint searches silently.

#include "SearchControl.h"

#include <QObject>

#include <atomic>

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
  // The percentage published last, from any thread.
  int Percent(int Gauge) const;
  // The window takes the published percentages: the next change signals
  // again.
  void TakeProgress() { FSignalled.exchange(false, std::memory_order_acq_rel); }
  // Kept within 0 and the gauge's maximum.
  void SetProgress(int Gauge, int Value) override;
  void ProcessMessages() override {}

Q_SIGNALS:
  void Shown();
  void Hidden();
  // A percentage (the share of a gauge's maximum that is done, 0..100,
  // rounded down) has changed since the window last took them.
  void ProgressChanged();

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
  std::atomic<int> FPublished[2] = {0, 0};
  std::atomic<bool> FSignalled = false;
};
