// SPDX-License-Identifier: GPL-3.0-or-later
#include "Phase.h"

TOffers OffersIn(TPhase Phase, bool Local, bool HasOpponent, bool CanUndo) {
  TOffers Result;
  Result.RestartShown = HasOpponent && Local;
  switch (Phase) {
  case TPhase::OwnTurn:
    Result.Grid = true;
    Result.Restart = Result.RestartShown;
    Result.Undo = Local && CanUndo;
    Result.Hint = true;
    break;
  case TPhase::BetweenGames:
    Result.StartGame = true;
    Result.Dimensions = true;
    Result.Restart = Result.RestartShown;
    break;
  default:
    break;
  }
  return Result;
}
