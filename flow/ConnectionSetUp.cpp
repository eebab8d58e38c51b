// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConnectionSetUp.h"

#include <QCoreApplication>

TConnectionSetUp::TConnectionSetUp(TGameView& View, TStepQueue& Steps, TComputerPlayer& Computer,
                                   TPorts Ports, TSetUpEvents Events)
    : FView(View), FSteps(Steps), FComputer(Computer), FPorts(Ports), FEvents(std::move(Events)) {
  FConnectionWait.setSingleShot(true);
  connect(&FConnectionWait, &QTimer::timeout, this,
          [this] { FSteps.Post([this] { ConnectionTimedOut(); }); });
}

TConnectionSetUp::~TConnectionSetUp() = default;

TMsgButton TConnectionSetUp::Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
  const TStepQueue::TNested Nested(FSteps);
  return FView.Message(Text, Type, Buttons);
}

void TConnectionSetUp::SetPhase(TPhase Phase) {
  FPhase = Phase;
  FEvents.PhaseChanged(Phase);
}

// One pass of the connection loop: the game type, a new opponent, and the
// wait for the link.
void TConnectionSetUp::ChooseGame(TSettings& Settings) {
  FSettings = &Settings;
  const auto AskGameType = [&] {
    const TStepQueue::TNested Nested(FSteps);
    return FView.AskGameType(Settings);
  };
  while (!AskGameType())
    Message(QCoreApplication::translate("TGameController", "You must select a connection type"),
            TMsgType::Error, TMsgButton::OK);

  Release();
  if (Settings.ConnectionLastGame == 0) {
    FOpponent = std::make_unique<TComputerOpponent>(FComputer);
  } else {
    try {
      auto Network = std::make_unique<TNetworkOpponent>(
          Settings.RelationLastGame == 1, Settings.InternetAddress, FPorts.Game, FPorts.Chat);
      // Queued: the sockets' own handlers return before a step reacts.
      connect(
          &Network->Module(), &TComDataModule::Changed, this,
          [this] { FSteps.Post([this] { ConnectionChanged(); }); }, Qt::QueuedConnection);
      connect(
          &Network->Module(), &TComDataModule::LinkChanged, this,
          [this](bool Up) { FSteps.Post([this, Up] { FEvents.LinkChanged(Up); }); },
          Qt::QueuedConnection);
      FOpponent = std::move(Network);
    } catch (const std::exception& E) {
      Release();
      Message(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
      return FSteps.Post([this] { ChooseGame(*FSettings); });
    }
  }

  FCouldConnect = true;
  SetPhase(TPhase::Connecting);
  FView.ShowWaitBox(QCoreApplication::translate("TGameController", "Establishing connection ..."));
  FConnectionWait.start(ConnectionWait);
  ConnectionChanged();
}

void TConnectionSetUp::ConnectionChanged() {
  if (FPhase != TPhase::Connecting || !FOpponent)
    return;
  if (FOpponent->Connected())
    return Connected();
  // Nothing is left that could bring the link up (the connect was refused,
  // the port is taken): the user decides now rather than in 30 s.
  const auto* Network = dynamic_cast<TNetworkOpponent*>(FOpponent.get());
  const bool CanConnect = Network && Network->Module().CanConnect();
  const bool JustFailed = FCouldConnect && !CanConnect;
  FCouldConnect = CanConnect;
  if (JustFailed)
    ConnectionTimedOut();
}

void TConnectionSetUp::ConnectionTimedOut() {
  if (FPhase != TPhase::Connecting)
    return;
  FConnectionWait.stop();
  if (Message(QCoreApplication::translate("TGameController", "Continue waiting"),
              TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::No) != TMsgButton::No) {
    if (FOpponent && FOpponent->Connected())
      return Connected();
    FConnectionWait.start(ConnectionWait);
    return;
  }
  Release();
  FView.HideWaitBox();
  ChooseGame(*FSettings);
}

void TConnectionSetUp::Connected() {
  FConnectionWait.stop();
  FView.HideWaitBox();
  TSettings& Settings = *FSettings;
  // A game against the computer is always the master's.
  if (Settings.ConnectionLastGame == 0 || Settings.RelationLastGame == 1) {
    const TStepQueue::TNested Nested(FSteps);
    // Cancel too gives a new, empty board.
    if (const auto Dimensions = FView.AskDimensions(Settings.NumRows, Settings.NumCols))
      std::tie(Settings.NumRows, Settings.NumCols) = *Dimensions;
    FEvents.BoardChosen(Settings.NumRows, Settings.NumCols);
  }
  SetPhase(TPhase::Exchanging);
  FView.ShowWaitBox(
      QCoreApplication::translate("TGameController", "Waiting for opponent to connect"));
  FOpponent->Exchange(Settings.PlayerNames[0], [this](const TExchange& Result) {
    FSteps.Post([this, Result] { FirstExchangeDone(Result); });
  });
}

void TConnectionSetUp::FirstExchangeDone(const TExchange& Result) {
  if (FPhase != TPhase::Exchanging)
    return;
  FView.HideWaitBox();
  if (Result.Failure) {
    // A partner that leaves, or answers the exchange with something else,
    // is no partner to play with: say why and let the user choose again.
    QString Text;
    try {
      std::rethrow_exception(Result.Failure);
    } catch (const LinkHasBeenClosed&) {
      Text = QCoreApplication::translate("TGameController", "Link closed");
    } catch (const std::exception& E) {
      Text = QString::fromUtf8(E.what());
    }
    Release();
    Message(Text, TMsgType::Error, TMsgButton::OK);
    return ChooseGame(*FSettings);
  }
  FPhase = TPhase::Idle;
  FEvents.Ready(std::move(FOpponent), Result);
}

void TConnectionSetUp::Close() {
  FConnectionWait.stop();
  if (FOpponent)
    FOpponent->CancelMove();
}

// The opponent of the attempt closes its sockets as it goes, so a failed
// attempt leaves nothing listening behind.
void TConnectionSetUp::Release() {
  FConnectionWait.stop();
  FOpponent.reset();
}
