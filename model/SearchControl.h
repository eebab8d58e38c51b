// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a search is handed from outside: its stop token and its progress
// sink, and what it hands back besides its move, the number of placements
// it made. Every search has its own, so two searches (a reply and a hint)
// run side by side and stop independently.

#include <atomic>
#include <cstdint>

// What the search needs of the thinking window. For the game's own search
// gauge 1 counts the computer's candidates at the top level, gauge 2 the
// user's replies; the deeper searches show the share of their budget used on
// gauge 1 and the candidates of the running iteration on gauge 2.
class TThinkProgress {
public:
  virtual ~TThinkProgress() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetMaxValue(int Gauge, int Value) = 0;
  virtual int Progress(int Gauge) const = 0;
  virtual void SetProgress(int Gauge, int Value) = 0;
  // A point between placements where the window may catch up; the search
  // checks its stop token right after it.
  virtual void ProcessMessages() = 0;
};

// Shows the thinking window, both gauges at 0, for a whole move, and hides
// it again, both gauges back at 0, however the move ends; with no window it
// does nothing.
class TShownProgress {
public:
  explicit TShownProgress(TThinkProgress* Progress) : FProgress(Progress) {
    if (!FProgress)
      return;
    FProgress->SetProgress(1, 0);
    FProgress->SetProgress(2, 0);
    FProgress->Show();
  }
  ~TShownProgress() {
    if (!FProgress)
      return;
    FProgress->SetProgress(1, 0);
    FProgress->SetProgress(2, 0);
    FProgress->Hide();
  }
  TShownProgress(const TShownProgress&) = delete;
  TShownProgress& operator=(const TShownProgress&) = delete;

private:
  TThinkProgress* const FProgress;
};

class TSearchControl {
public:
  // Without a sink the search runs silently.
  explicit TSearchControl(TThinkProgress* Progress = nullptr) : FProgress(Progress) {}
  TSearchControl(const TSearchControl&) = delete;
  TSearchControl& operator=(const TSearchControl&) = delete;

  // From any thread: the search returns promptly, still with a legal move.
  void StopThinking() { FKeepThinking.store(false, std::memory_order_relaxed); }
  bool KeepThinking() const { return FKeepThinking.load(std::memory_order_relaxed); }
  TThinkProgress* Progress() const { return FProgress; }

  // Silent placements made by the searches run with this control. Only the
  // searching thread writes it; read it once the search has returned.
  uint64_t PlacementsSearched = 0;

private:
  std::atomic<bool> FKeepThinking{true};
  TThinkProgress* const FProgress;
};
