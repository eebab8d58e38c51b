// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The longest time the event loop could not serve a timer of 1 ms while it
// lives: a handler that runs long holds the next tick back by as much.
struct TLoopGaps {
  QElapsedTimer Clock;
  QTimer Tick;
  qint64 Last = -1, Longest = 0; // ns
  int Turns = 0;
  TLoopGaps() {
    Clock.start();
    Tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&Tick, &QTimer::timeout, [this] {
      const qint64 Now = Clock.nsecsElapsed();
      if (Last >= 0)
        Longest = std::max(Longest, Now - Last);
      Last = Now;
      ++Turns;
    });
    Tick.start(1);
  }
};
