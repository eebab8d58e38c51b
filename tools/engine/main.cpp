// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineCommands.h"
#include "Levels.h"
#include "Version.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

namespace {

// Both --help and wrong arguments print it. The manual page
// fizzgrid-engine(6) describes the same commands and options.
constexpr std::string_view Usage =
    "usage: fizzgrid-engine move [--stats] [--level standard|strong|expert] [--seed N]\n"
    "       fizzgrid-engine place\n"
    "       fizzgrid-engine --version\n"
    "       fizzgrid-engine --help\n"
    "\n"
    "Reads one position per line from standard input:\n"
    "  RxC followed by R*C cells, row-major: '.' empty, aN / bN owner 0 / 1 with N masses\n"
    "  e.g. 4x4 a1 . b2 . . . . . . . . . . . . .\n"
    "move   prints the computer's answer (owner 1) as \"R C\" (0-based), or \"none\";\n"
    "       --stats adds the placements searched and the time taken;\n"
    "       --level chooses the computer's strength (default standard);\n"
    "       --seed N (1 or more) varies Strong and Expert as a game with that seed\n"
    "       does; 0 or no seed, the default, plays without variety.\n"
    "place  reads \"POSITION ; P R C\", places one mass for player P on (R, C) and\n"
    "       prints the resulting position followed by \" ; finished\" or \" ; open\".\n"
    "Bad lines are reported on standard error; the exit code is then 1.\n"
    "Wrong arguments print this text on standard error and exit with 2.\n";

int BadArguments() {
  std::cerr << Usage;
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc < 2)
    return BadArguments();
  const std::string_view Command = argv[1];
  if (Command == "--help" || Command == "-h") {
    std::cout << Usage;
    return 0;
  }
  if (Command == "--version" && argc == 2) {
    std::cout << "fizzgrid-engine " << FizzgridVersion << '\n';
    return 0;
  }
  if (Command == "move") {
    bool Stats = false;
    TComputerLevel Level = TComputerLevel::Standard;
    uint64_t Seed = NoVariety;
    for (int I = 2; I < argc; ++I) {
      const std::string_view Option = argv[I];
      if (Option == "--stats") {
        Stats = true;
      } else if (Option == "--level" && I + 1 < argc) {
        const std::string_view Name = argv[++I];
        if (!TryParseLevel(Name, Level)) {
          std::cerr << "unknown level \"" << Name << "\" (expected standard, strong or expert)\n";
          return 1;
        }
      } else if (Option == "--seed" && I + 1 < argc) {
        const std::string_view Text = argv[++I];
        const auto [End, Status] = std::from_chars(Text.data(), Text.data() + Text.size(), Seed);
        if (Status != std::errc() || End != Text.data() + Text.size()) {
          std::cerr << "bad seed \"" << Text << "\" (expected a number from 0 to " << UINT64_MAX
                    << ")\n";
          return 1;
        }
      } else {
        return BadArguments();
      }
    }
    return RunMoveCommand(std::cin, std::cout, std::cerr, Stats, Level, Seed);
  }
  if (Command == "place" && argc == 2)
    return RunPlaceCommand(std::cin, std::cout, std::cerr);
  return BadArguments();
}
