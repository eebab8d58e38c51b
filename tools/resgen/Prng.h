// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small deterministic random source (SplitMix64). The generator must give the
// same pictures and sound on every run, so nothing here is seeded from time.

#include <cstdint>

class TPrng {
public:
  explicit TPrng(std::uint64_t Seed) : FState(Seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

  // Uniform in [Low, High).
  double Range(double Low, double High) { return Low + (High - Low) * Unit(); }

private:
  std::uint64_t FState;
};

// A stateless hash of a lattice point, in [0, 1): the corner values of the value noise.
inline double LatticeValue(std::int64_t X, std::int64_t Y, std::uint64_t Seed) {
  TPrng Mix(Seed ^ (static_cast<std::uint64_t>(X) * 0x632BE59BD9B4E019ull) ^
            (static_cast<std::uint64_t>(Y) * 0x8CB92BA72F3D8DD7ull));
  return Mix.Unit();
}
