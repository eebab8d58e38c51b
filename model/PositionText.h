// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text form of a position, shared by the engine tool and the tests:
//
//   position := rows "x" cols { " " cell }      (rows * cols cells, row-major)
//   cell     := "." | "a" digit | "b" digit     (a = owner 0, b = owner 1)
//
// for example "4x4 a1 . . b2 . . . . . . . . . . . .". Each dimension lies
// in 2..8 and an owned cell holds 1 up to one less than its capacity, so a
// parsed board is a position between moves with Finished clear.

#include "DataStructures.h"

#include <memory>
#include <string>
#include <string_view>

// On success Board holds the new board (no view) and the result is true;
// otherwise Error names the problem and Board is left unchanged.
bool ParsePosition(std::string_view Text, std::unique_ptr<TBord>& Board, std::string& Error);

// Writes every cell as it is, also masses at or above capacity of a finished
// board (as long as they fit one digit; larger ones are written in full).
std::string FormatPosition(const TBord& Board);
