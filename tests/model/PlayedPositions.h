// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions for the search tests, reached by deterministic random play (the
// same on every platform) rather than written out by hand.

#include "DataStructures.h"
#include "RandomPlay.h"

#include <memory>
#include <random>

// The computer to move with at most MaxEmpty empty cells on an open board.
inline std::unique_ptr<TBord> Played(int Size, int MaxEmpty, uint64_t Seed) {
  std::mt19937_64 Random(Seed);
  return RandomlyPlayed(uint8_t(Size), uint8_t(Size), 0, MaxEmpty,
                        [&](int N) { return int(Random() % uint64_t(N)); });
}
