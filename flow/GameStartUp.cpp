#include "GameController.h"

#include "CommandIO.h"
#include "Communication.h"
#include "RuntimeData.h"

void TGameController::Start() {
  Dispatch([this] {
    if (FPhase != TPhase::Idle)
      return;
    LoadSettings();
    SetAnimationSpeed(TAnimationSpeed(::AnimationSpeed));
    SetComputerLevel(TComputerLevel(::ComputerLevel));
    FView.AskPlayerName();
    ChooseGame();
  });
}

// One pass of the connection loop: the game type, a new data module and
// command object, and the wait for the link.
void TGameController::ChooseGame() {
  while (!FView.AskGameType())
    FView.Message(QStringLiteral("You must select a connection type"), TMsgType::Error,
                  TMsgButton::OK);

  ReleaseConnection();
  FComData = new TComDataModule(this, GamePort(), ChatPort());
  try {
    FCommandIO = std::make_unique<TCommandIO>(RelationLastGame == 1, FComData);
  } catch (const std::exception& E) {
    ReleaseConnection();
    FView.Message(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    return Dispatch([this] { ChooseGame(); });
  }
  if (FBord)
    FCommandIO->SetBoard(FBord.get());
  UseComputerLevel();
  // Queued: the sockets' own handlers return before a step reacts.
  connect(
      FComData, &TComDataModule::Changed, this,
      [this] { Dispatch([this] { ConnectionChanged(); }); }, Qt::QueuedConnection);
  connect(
      FComData, &TComDataModule::LinkChanged, this,
      [this](bool Up) { Dispatch([this, Up] { LinkChanged(Up); }); }, Qt::QueuedConnection);

  FCouldConnect = true;
  SetPhase(TPhase::Connecting);
  FView.ShowWaitBox(QStringLiteral("Establishing connection ..."));
  FConnectionWait.start(ConnectionWait);
  ConnectionChanged();
}

void TGameController::ConnectionChanged() {
  if (FPhase != TPhase::Connecting || !FCommandIO)
    return;
  if (FCommandIO->Connected())
    return Connected();
  // Nothing is left that could bring the link up (the connect was refused,
  // the port is taken): the user decides now rather than in 30 s.
  const bool CanConnect = FComData && FComData->CanConnect();
  const bool JustFailed = FCouldConnect && !CanConnect;
  FCouldConnect = CanConnect;
  if (JustFailed)
    ConnectionTimedOut();
}

void TGameController::ConnectionTimedOut() {
  if (FPhase != TPhase::Connecting)
    return;
  FConnectionWait.stop();
  if (FView.Message(QStringLiteral("Continue waiting"), TMsgType::Confirmation,
                    TMsgButton::Yes | TMsgButton::No) != TMsgButton::No) {
    if (FCommandIO && FCommandIO->Connected())
      return Connected();
    FConnectionWait.start(ConnectionWait);
    return;
  }
  ReleaseConnection();
  FView.HideWaitBox();
  ChooseGame();
}

void TGameController::Connected() {
  FConnectionWait.stop();
  FView.HideWaitBox();
  if (IsMaster()) {
    FView.AskDimensions();
    ResizeBoard();
  }
  SetPhase(TPhase::Exchanging);
  FView.ShowWaitBox(QStringLiteral("Waiting for opponent to connect"));
  FCommandIO->ExchangeSettings([this](std::exception_ptr Failure) {
    Dispatch([this, Failure] { FirstExchangeDone(Failure); });
  });
}

void TGameController::FirstExchangeDone(std::exception_ptr Failure) {
  if (FPhase != TPhase::Exchanging)
    return;
  FView.HideWaitBox();
  if (Failure) {
    // A partner that leaves, or answers the exchange with something else,
    // is no partner to play with: say why and let the user choose again.
    QString Text;
    try {
      std::rethrow_exception(Failure);
    } catch (const LinkHasBeenClosed&) {
      Text = QStringLiteral("Link closed");
    } catch (const std::exception& E) {
      Text = QString::fromUtf8(E.what());
    }
    ReleaseConnection();
    FView.Message(Text, TMsgType::Error, TMsgButton::OK);
    return ChooseGame();
  }
  StartUpDone();
}

void TGameController::StartUpDone() {
  if (!IsLocalGame()) {
    // The game goes on without chat when the chat cannot be set up.
    try {
      FView.OpenChat();
    } catch (const std::exception& E) {
      FView.Message(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    }
  }
  FView.ShowPlayerNames();
  if (!IsMaster())
    ResizeBoard();
  SetInformation(QStringLiteral("Fizzgrid"), 12, true);
  FView.StartUpDone();
  if (IsMaster())
    SetPhase(TPhase::OwnTurn);
  else
    AwaitOpponentMove();
}

// The command object closes its sockets; the data module of the attempt goes
// with it, so a failed attempt leaves nothing listening behind.
void TGameController::ReleaseConnection() {
  FConnectionWait.stop();
  FCommandIO.reset();
  delete FComData;
}
