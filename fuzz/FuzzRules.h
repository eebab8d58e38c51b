// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a fuzz target does with an input that broke one of its rules: it says
// which rule, and aborts, so that libFuzzer stops and keeps the input.

#include <cstdio>
#include <cstdlib>

inline void Require(bool Condition, const char* What) {
  if (!Condition) {
    std::fprintf(stderr, "rule broken: %s\n", What);
    std::abort();
  }
}
