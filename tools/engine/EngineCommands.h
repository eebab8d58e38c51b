// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The engine tool's two commands. Each reads lines from In until its end,
// writes one answer line per input line to Out and one error line per bad
// input line to Err ("line N: problem"), skips blank lines, and returns the
// process exit code: 0 when every line was answered, 1 otherwise.
//
//   move:  POSITION              -> "R C" (0-based) or "none", at the given level
//                                   (and seed, which varies Strong and Expert)
//   place: POSITION ; P R C      -> POSITION " ; finished" | " ; open"

#include "Levels.h"

#include <cstdint>
#include <iosfwd>

int RunMoveCommand(std::istream& In, std::ostream& Out, std::ostream& Err, bool Stats,
                   TComputerLevel Level = TComputerLevel::Standard, uint64_t Seed = NoVariety);
int RunPlaceCommand(std::istream& In, std::ostream& Out, std::ostream& Err);
