#pragma once

// The computer's choice of move: a minimax of one level, or of three once a
// searched board has fewer than 20 empty cells, over copies of the board.
//
// ComputerMove -> Search (level 0) -> for each candidate: copy, silent
// AddMass, Search (level + 1) ... -> Evaluate at level SearchDepth.
// All levels of one move share Alpha, Beta and the answer record; no level
// restores them. The search reports its progress through TThinkProgress
// (the thinking window); without one attached it runs silently.

#include "DataStructures.h"

#include <atomic>
#include <cstdint>

// What the search needs of the thinking window. Gauge 1 counts the
// computer's candidates at the top level, gauge 2 the user's replies.
class TThinkProgress {
public:
  virtual ~TThinkProgress() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetMaxValue(int Gauge, int Value) = 0;
  virtual int Progress(int Gauge) const = 0;
  virtual void SetProgress(int Gauge, int Value) = 0;
  // Lets the application process its pending messages.
  virtual void ProcessMessages() = 0;
};

// nullptr (the default) makes the search silent.
void SetThinkProgress(TThinkProgress* Progress);
TThinkProgress* ThinkProgress();

// Level at which the search evaluates: 1, or 3 from the deepening switch
// until the end of the computer's move. Each thread has its own, so a search
// on a worker thread shares nothing with the thread that loads the settings,
// and two searches can run side by side.
extern thread_local constinit uint8_t SearchDepth;
// Cleared by StopThinking: for good when the program is closing, and for
// the moment it takes a cancelled search to return (the caller then sets it
// again). Any thread may clear it while a search runs on another.
extern std::atomic<bool> KeepThinking;
void StopThinking();

// Evaluation weight of a mass by its cell's capacity (10 corner, 8 edge,
// 6 inside; 0 for the capacities no board of 2 x 2 or more has).
inline constexpr int MassWeights[5] = {0, 0, 10, 8, 6};

// Number of silent placements the searches of this thread have made since it
// started; the benchmarks and the engine tool read it before and after a move.
extern thread_local constinit uint64_t PlacementsSearched;

// Owner 0 prefers smaller values, owner 1 larger; both strict.
bool Better(int32_t Value, int32_t Best, uint8_t Player);

// One level of the search (Level 0 at the top). Writes Value and, when the
// level is expanded, the answer record.
void Search(TBord& Board, uint8_t Level, int32_t& Alpha, int32_t& Beta, TMove& Answer,
            int32_t& Value);

// The computer's move (owner 1) on the real board: always a legal move, even
// when the search was cut short by StopThinking, or the no-move marker
// (Rows, 0) when every cell belongs to the user.
TMove ComputerMove(TBord& Board);
