// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameController.h"

#include "ErrorReport.h"

#include <QCoreApplication>

#include <algorithm>
#include <stdexcept>

TGameController::TGameController(TGameView& View, TPorts Ports, QObject* Parent)
    : QObject(Parent), FView(View), FSteps([&View] { return View.ModalOpen(); },
                                           [this](const std::exception& Error) { Failed(Error); }),
      FComputer(&FRelay), FReplay(View),
      FSetUp(View, FSteps, FComputer, Ports,
             {[this](TPhase Phase) { SetPhase(Phase); },
              [this](uint8_t Rows, uint8_t Cols) { ResizeBoard(Rows, Cols); },
              [this](bool Up) { LinkChanged(Up); },
              [this](std::unique_ptr<TOpponent> Opponent, const TExchange& First) {
                StartUpDone(std::move(Opponent), First);
              }}) {}

TGameController::~TGameController() {
  Close();
}

void TGameController::SetPhase(TPhase Phase) {
  FPhase = Phase;
  // A skip holds from the player's own placement to the end of the reply.
  if (Phase != TPhase::OwnReplay && Phase != TPhase::OpponentTurn &&
      Phase != TPhase::OpponentReplay)
    FSkipTurn = false;
  FView.ShowOffers(Offers());
}

void TGameController::Failed(const std::exception& Error) {
  // The game stays where the error left it; the user sees why.
  if (FPhase != TPhase::Closed)
    SetPhase(TPhase::Halted);
  ReportError(QString::fromUtf8(Error.what()));
}

void TGameController::Start() {
  Post([this] {
    if (FPhase != TPhase::Idle)
      return;
    FSettings = LoadSettings();
    SetAnimationSpeed(TAnimationSpeed(FSettings->AnimationSpeed));
    SetComputerLevel(TComputerLevel(FSettings->ComputerLevel));
    SetVaryPlay(FSettings->VaryPlay);
    FSettings->PlayerNames[0] =
        Modal([this] { return FView.AskPlayerName(FSettings->PlayerNames[0]); });
    FSetUp.ChooseGame(*FSettings);
  });
}

void TGameController::StartUpDone(std::unique_ptr<TOpponent> Opponent, const TExchange& First) {
  FOpponent = std::move(Opponent);
  FSettings->PlayerNames[1] = First.PartnerName;
  if (!IsLocalGame()) {
    // The game goes on without chat when the chat cannot be set up.
    try {
      FView.OpenChat(FOpponent->ChatLink());
    } catch (const std::exception& E) {
      Message(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    }
  }
  FView.ShowPlayerNames(FSettings->PlayerNames);
  if (!IsMaster())
    ResizeBoard(First.NumRows, First.NumCols);
  SetInformation(QCoreApplication::translate("TGameController", "Fizzgrid"), 12, true);
  FView.StartUpDone();
  NewGameSeed();
  if (IsMaster())
    SetPhase(TPhase::OwnTurn);
  else
    AwaitOpponentMove();
}

void TGameController::Close() {
  if (FPhase == TPhase::Closed)
    return;
  SetPhase(TPhase::Closed);
  FSteps.Close();
  if (FHourGlass)
    SetHourGlass(false);
  FReplay.Stop();
  FSetUp.Close();
  // A running search returns at once and its answer is dropped.
  FComputer.CancelReply();
  FComputer.CancelHint();
  if (FOpponent)
    FOpponent->CancelMove();
}

void TGameController::ResizeBoard(uint8_t Rows, uint8_t Cols) {
  switch (FPhase) {
  case TPhase::OwnReplay:
  case TPhase::OpponentTurn:
  case TPhase::OpponentReplay:
    throw std::logic_error("The board cannot be replaced while a move is being played");
  default:
    break;
  }
  // The board holds 2..8 rows and columns; the grid shows exactly the
  // board, and the dimensions in force (sent, checked and stored) are the
  // board's.
  Rows = std::clamp<uint8_t>(Rows, 2, MaxDimension);
  Cols = std::clamp<uint8_t>(Cols, 2, MaxDimension);
  if (FSettings) {
    FSettings->NumRows = Rows;
    FSettings->NumCols = Cols;
  }
  FView.ResizeGrid(Rows, Cols);
  FBord = std::make_unique<TBord>(nullptr, Rows, Cols);
  ForgetGame();
  FReplay.ShowBoard(*FBord);
  if (TOpponent* Other = FOpponent ? FOpponent.get() : FSetUp.Pending())
    Other->SetDimensions(Rows, Cols);
}
