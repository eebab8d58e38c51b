// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Another build's fizzgrid-engine as a player: one process per player,
// started with "move --level LEVEL" and kept for the whole game, asked one
// position per line (owner 1 to move) and answering "R C" or "none". The
// tournament pairs the levels with it to compare two versions of the
// program, over the line protocol both speak.

#include "DataStructures.h"

#include <cstdio>
#include <string>
#include <sys/types.h>

class TEnginePlayer {
public:
  TEnginePlayer(std::string Path, std::string Level);
  ~TEnginePlayer();
  TEnginePlayer(const TEnginePlayer&) = delete;
  TEnginePlayer& operator=(const TEnginePlayer&) = delete;

  // Player's move on Board; the process is started on the first call. A
  // process that fails or answers nonsense ends the tournament with a
  // message: its results would mean nothing.
  TMove Move(const TBord& Board, uint8_t Player);

private:
  void Start();

  const std::string FPath;
  const std::string FLevel;
  pid_t FPid = -1;
  std::FILE* FToEngine = nullptr;
  std::FILE* FFromEngine = nullptr;
};
