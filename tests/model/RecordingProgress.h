// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A thinking window for the tests: it records every call the search makes,
// notes any gauge value outside 0..MaxValue, and can stop the search of
// its Control inside a chosen round of message processing.

#include "SearchControl.h"

#include <algorithm>
#include <vector>

struct TRecordingProgress : TThinkProgress {
  struct TCall {
    char What; // 's'how, 'h'ide, 'm'ax, 'p'rogress
    int Gauge, Value;
    bool operator==(const TCall&) const = default;
  };
  TSearchControl Control{this};
  std::vector<TCall> Calls;
  int Values[3] = {}, Maxima[3] = {};
  bool OutOfRange = false;
  long Processed = 0, StopAt = -1; // StopThinking inside that ProcessMessages call (0-based)

  void Show() override { Calls.push_back({'s', 0, 0}); }
  void Hide() override { Calls.push_back({'h', 0, 0}); }
  void SetMaxValue(int Gauge, int Value) override {
    Calls.push_back({'m', Gauge, Maxima[Gauge] = Value});
  }
  int Progress(int Gauge) const override { return Values[Gauge]; }
  void SetProgress(int Gauge, int Value) override {
    OutOfRange |= Value < 0 || Value > Maxima[Gauge];
    Calls.push_back({'p', Gauge, Values[Gauge] = Value});
  }
  void ProcessMessages() override {
    if (Processed++ == StopAt)
      Control.StopThinking();
  }
  long Count(char What, int Gauge = 0) const {
    return long(std::count_if(Calls.begin(), Calls.end(),
                              [&](const TCall& C) { return C.What == What && C.Gauge == Gauge; }));
  }
};
