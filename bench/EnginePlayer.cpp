// SPDX-License-Identifier: GPL-3.0-or-later
#include "EnginePlayer.h"

#include "Levels.h"
#include "PositionText.h"

#include <cstdlib>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

[[noreturn]] void Fail(const std::string& Problem) {
  std::fprintf(stderr, "engine player: %s\n", Problem.c_str());
  std::exit(1);
}

} // namespace

TEnginePlayer::TEnginePlayer(std::string Path, std::string Level)
    : FPath(std::move(Path)), FLevel(std::move(Level)) {}

TEnginePlayer::~TEnginePlayer() {
  if (FToEngine)
    std::fclose(FToEngine);
  if (FFromEngine)
    std::fclose(FFromEngine);
  if (FPid > 0)
    waitpid(FPid, nullptr, 0);
}

void TEnginePlayer::Start() {
  int ToChild[2], FromChild[2];
  if (pipe(ToChild) != 0 || pipe(FromChild) != 0)
    Fail("no pipe");
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, ToChild[0], 0);
  posix_spawn_file_actions_adddup2(&Actions, FromChild[1], 1);
  for (const int Fd : {ToChild[0], ToChild[1], FromChild[0], FromChild[1]})
    posix_spawn_file_actions_addclose(&Actions, Fd);
  std::string Move = "move", Option = "--level";
  char* Arguments[] = {const_cast<char*>(FPath.c_str()), Move.data(), Option.data(),
                       const_cast<char*>(FLevel.c_str()), nullptr};
  if (posix_spawn(&FPid, FPath.c_str(), &Actions, nullptr, Arguments, environ) != 0)
    Fail("cannot start " + FPath);
  posix_spawn_file_actions_destroy(&Actions);
  close(ToChild[0]);
  close(FromChild[1]);
  // A child that dies must end the game with a message, not a signal.
  signal(SIGPIPE, SIG_IGN);
  FToEngine = fdopen(ToChild[1], "w");
  FFromEngine = fdopen(FromChild[0], "r");
  if (!FToEngine || !FFromEngine)
    Fail("no stream");
}

TMove TEnginePlayer::Move(const TBord& Board, uint8_t Player) {
  if (!FToEngine)
    Start();
  // The engine always plays owner 1.
  const std::string Position = FormatPosition(Player == Opponent ? Board : *MirroredCopy(Board));
  if (std::fprintf(FToEngine, "%s\n", Position.c_str()) < 0 || std::fflush(FToEngine) != 0)
    Fail(FPath + " stopped reading");
  char Line[64];
  if (!std::fgets(Line, sizeof Line, FFromEngine))
    Fail(FPath + " gave no answer to " + Position);
  int Row = -1, Col = -1;
  if (std::string(Line).rfind("none", 0) == 0)
    return TMove(Board.Rows, 0);
  if (std::sscanf(Line, "%d %d", &Row, &Col) != 2 || Row < 0 || Col < 0 || Row >= Board.Rows ||
      Col >= Board.Cols)
    Fail(FPath + " answered \"" + Line + "\" to " + Position);
  return TMove(uint8_t(Row), uint8_t(Col));
}
