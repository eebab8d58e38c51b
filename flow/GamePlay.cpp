// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameController.h"

#include "CommandIO.h"

#include <QCoreApplication>

void TGameController::PlaceAt(int Row, int Col) {
  Post([this, Row, Col] {
    // The board takes a click in other phases too: it ends a replay, and
    // between games it starts the next one and is its first move.
    if (FPhase == TPhase::OwnReplay || FPhase == TPhase::OpponentReplay)
      return SkipTurn();
    if (FPhase == TPhase::BetweenGames && Offers().StartGame) {
      if (Row >= 0 && Col >= 0)
        FStartMove = TMove(uint8_t(Row), uint8_t(Col));
      return StartGame();
    }
    if (FPhase != TPhase::OwnTurn || Row < 0 || Col < 0)
      return;
    const TCell* Target = FBord->GetCell(uint8_t(Row), uint8_t(Col));
    if (!Target)
      return;
    if (Target->Owner == Opponent) {
      Message(QCoreApplication::translate("TGameController",
                                          "You cannot click on fields occupied by your opponent"),
              TMsgType::Error, TMsgButton::OK);
      return;
    }
    DropHint();
    // Sent before it is played here, so the opponent can start on it.
    FOpponent->SendMove(TMove(uint8_t(Row), uint8_t(Col)));
    if (IsLocalGame())
      FTurns.push_back({TBord::CreateCopy(*FBord), FInformation, FLastMoves});
    SetLastMove(LocalPlayer, TMove(uint8_t(Row), uint8_t(Col)));
    Replay(PlaceRecorded(*FBord, uint8_t(Row), uint8_t(Col), LocalPlayer), TPhase::OwnReplay,
           [this] {
             ShowScore();
             AwaitOpponentMove();
           });
  });
}

void TGameController::Replay(TCascadeSteps Steps, TPhase During, std::function<void()> Then) {
  // Entering the own replay is the start of a turn: no skip yet.
  if (During == TPhase::OwnReplay)
    FSkipTurn = false;
  SetPhase(During);
  // After a skip the reply is shown as with the explosions off: at once,
  // without a frame or a sound.
  const TAnimationSpeed Speed = FReplay.Speed();
  if (FSkipTurn)
    FReplay.SetSpeed(TAnimationSpeed::Off);
  FReplay.Start(std::move(Steps), [this, Then = std::move(Then)] { Post(Then); });
  FReplay.SetSpeed(Speed);
}

void TGameController::AwaitOpponentMove() {
  // The own move ended the game: the opponent is not asked.
  if (FBord->Finished) {
    SetHourGlass(false);
    return AfterTurn();
  }
  SetHourGlass(true);
  if (IsLocalGame())
    SetInformation(QCoreApplication::translate("TGameController", "Just a second...\rThinking"), 10,
                   false);
  else
    SetInformation(QCoreApplication::translate("TGameController", "Waiting for opponent"), 8,
                   false);
  SetPhase(TPhase::OpponentTurn);
  FOpponent->AwaitMove(*FBord, [this](const TOpponentMove& Result) {
    Post([this, Result] { OpponentMoved(Result); });
  });
}

void TGameController::OpponentMoved(const TOpponentMove& Result) {
  if (FPhase != TPhase::OpponentTurn)
    return;
  TMove Move;
  try {
    Move = Result.Take();
  } catch (const LinkHasBeenClosed&) {
    SetHourGlass(false);
    return ReportLinkClosed();
  } catch (...) {
    SetHourGlass(false);
    throw;
  }
  if (Move.Row == FBord->Rows) {
    // The opponent owns no cell it may play: the game is over.
    FBord->Finished = true;
    SetHourGlass(false);
    return AfterTurn();
  }
  if (!FBord->GetCell(Move.Row, Move.Col))
    throw ProtocolError("Received a move outside the board");
  SetInformation(QCoreApplication::translate("TGameController", "Moved :\r     [%1,%2]")
                     .arg(Move.Row + 1)
                     .arg(Move.Col + 1),
                 12, true);
  SetLastMove(Opponent, TMove(Move.Row, Move.Col));
  Replay(PlaceRecorded(*FBord, Move.Row, Move.Col, Opponent), TPhase::OpponentReplay, [this] {
    ShowScore();
    SetHourGlass(false);
    AfterTurn();
  });
}

void TGameController::AfterTurn() {
  if (FBord->Finished)
    return GameOver();
  if (!FBord->CanMove(LocalPlayer)) {
    // Only this side sees that it cannot move; the no-move marker ends the
    // same game on the side waiting for this move. A partner already gone
    // cannot be told; this side still ends its game.
    if (!IsLocalGame()) {
      try {
        FOpponent->SendMove(TMove(FBord->Rows, 0));
      } catch (const LinkHasBeenClosed&) {
      }
    }
    return GameOver();
  }
  SetPhase(TPhase::OwnTurn);
}

void TGameController::GameOver() {
  SetPhase(TPhase::GameOver);
  const std::array<int, 3> Masses = FBord->CountMasses();
  const auto Record = [this](const QString& Name, bool Won) {
    if (FRecord)
      FRecord(Name, Won);
  };
  const std::array<QString, 2>& PlayerNames = FSettings->PlayerNames;
  QString Text;
  if (Masses[0] > Masses[1]) {
    Text = QCoreApplication::translate("TGameController", "%1 wins").arg(PlayerNames[0]);
    Record(PlayerNames[0], true);
    Record(PlayerNames[1], false);
  } else if (Masses[1] > Masses[0]) {
    Text = QCoreApplication::translate("TGameController", "%1 wins").arg(PlayerNames[1]);
    Record(PlayerNames[1], true);
    Record(PlayerNames[0], false);
  } else {
    // A draw counts as a win for both.
    Text = QCoreApplication::translate("TGameController", "We have a draw");
    Record(PlayerNames[0], true);
    Record(PlayerNames[1], true);
  }
  Text.truncate(100);
  Message(QCoreApplication::translate("TGameController", "\nGAME OVER\r%1").arg(Text),
          TMsgType::Information, TMsgButton::OK);
  if (Message(QCoreApplication::translate("TGameController", "Do you want to play again"),
              TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::No) == TMsgButton::No) {
    FView.CloseForm();
    return Close();
  }

  FBord->Reset();
  // The empty board waits for the next start: nothing may explode on it.
  FBord->Finished = true;
  ForgetGame();
  FReplay.ShowBoard(*FBord);
  ShowScore();
  SetInformation(QCoreApplication::translate("TGameController", "Fizzgrid"), 12, true);
  if (IsMaster())
    return SetPhase(TPhase::BetweenGames);

  SetInformation(
      QCoreApplication::translate("TGameController", "Waiting for opponent\rto start game"), 8,
      false);
  SetPhase(TPhase::WaitingNextGame);
  FOpponent->Exchange(FSettings->PlayerNames[0], [this](const TExchange& Result) {
    Post([this, Result] { NextGameExchanged(Result); });
  });
}

void TGameController::NextGameExchanged(const TExchange& Result) {
  if (FPhase != TPhase::WaitingNextGame || !TakeExchange(Result))
    return;
  ResizeBoard(Result.NumRows, Result.NumCols);
  FBord->Finished = false;
  AwaitOpponentMove();
}

bool TGameController::TakeExchange(const TExchange& Result) {
  if (Result.Failure) {
    try {
      std::rethrow_exception(Result.Failure);
    } catch (const LinkHasBeenClosed&) {
      ReportLinkClosed();
    }
    return false;
  }
  FSettings->PlayerNames[1] = Result.PartnerName;
  FView.ShowPlayerNames(FSettings->PlayerNames);
  return true;
}

void TGameController::StartGame() {
  Post([this] {
    if (FPhase != TPhase::BetweenGames) {
      FStartMove.reset();
      return;
    }
    SetPhase(TPhase::StartingGame);
    const auto Begin = [this] {
      NewGameSeed();
      FBord->Finished = false;
      SetPhase(TPhase::OwnTurn);
      if (const std::optional<TMove> First = std::exchange(FStartMove, std::nullopt))
        PlaceAt(First->Row, First->Col);
    };
    if (IsLocalGame())
      return Begin();
    FOpponent->Exchange(FSettings->PlayerNames[0], [this, Begin](const TExchange& Result) {
      Post([this, Begin, Result] {
        if (FPhase != TPhase::StartingGame || !TakeExchange(Result))
          return;
        Begin();
      });
    });
  });
}

void TGameController::ChangeDimensions() {
  Post([this] {
    if (FPhase != TPhase::BetweenGames)
      return;
    // Cancel too gives a new, empty board.
    if (const auto Dimensions =
            Modal([this] { return FView.AskDimensions(FSettings->NumRows, FSettings->NumCols); }))
      std::tie(FSettings->NumRows, FSettings->NumCols) = *Dimensions;
    ResizeBoard(FSettings->NumRows, FSettings->NumCols);
  });
}

void TGameController::Restart() {
  Post([this] {
    if (!IsLocalGame() || (FPhase != TPhase::OwnTurn && FPhase != TPhase::BetweenGames))
      return;
    FBord->Reset();
    ForgetGame();
    NewGameSeed();
    FReplay.ShowBoard(*FBord);
    ShowScore();
    SetInformation(QCoreApplication::translate("TGameController", "Fizzgrid"), 12, true);
  });
}

void TGameController::Exit() {
  Post([this] {
    if (Message(QCoreApplication::translate("TGameController", "Are you sure"),
                TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::Cancel) != TMsgButton::Yes)
      return;
    FView.CloseForm();
    Close();
  });
}

void TGameController::ShowScore() {
  if (!FBord)
    return;
  const std::array<int, 3> Masses = FBord->CountMasses();
  FView.DisplayScore(Masses[0], Masses[1]);
}

void TGameController::ReportLinkClosed() {
  Message(QCoreApplication::translate("TGameController", "Link has been closed by partner"),
          TMsgType::Error, TMsgButton::OK);
  FView.CloseForm();
  Close();
}

void TGameController::LinkChanged(bool Up) {
  if (Up || IsLocalGame())
    return;
  // A partner who leaves is noticed now, not at the next click. Where a
  // read is armed, its failure tells instead.
  switch (FPhase) {
  case TPhase::OwnTurn:
  case TPhase::OwnReplay:
  case TPhase::OpponentReplay:
  case TPhase::BetweenGames:
  case TPhase::Halted:
    ReportLinkClosed();
    break;
  default:
    break;
  }
}
