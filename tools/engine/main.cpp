#include "EngineCommands.h"
#include "Version.h"

#include <iostream>
#include <string_view>

namespace {

constexpr std::string_view Usage =
    "usage: fizzgrid-engine move [--stats]\n"
    "       fizzgrid-engine place\n"
    "       fizzgrid-engine --version\n"
    "\n"
    "Reads one position per line from standard input:\n"
    "  RxC followed by R*C cells, row-major: '.' empty, aN / bN owner 0 / 1 with N masses\n"
    "  e.g. 4x4 a1 . b2 . . . . . . . . . . . . .\n"
    "move   prints the computer's answer (owner 1) as \"R C\" (0-based), or \"none\";\n"
    "       --stats adds the placements searched and the time taken.\n"
    "place  reads \"POSITION ; P R C\", places one mass for player P on (R, C) and\n"
    "       prints the resulting position followed by \" ; finished\" or \" ; open\".\n"
    "Bad lines are reported on standard error; the exit code is then 1.\n";

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
    for (int I = 2; I < argc; ++I) {
      if (std::string_view(argv[I]) != "--stats")
        return BadArguments();
      Stats = true;
    }
    return RunMoveCommand(std::cin, std::cout, std::cerr, Stats);
  }
  if (Command == "place" && argc == 2)
    return RunPlaceCommand(std::cin, std::cout, std::cerr);
  return BadArguments();
}
