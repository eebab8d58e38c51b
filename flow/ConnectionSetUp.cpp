#include "ConnectionSetUp.h"

#include "GameController.h"

TConnectionSetUp::TConnectionSetUp(TGameController& Game, TPorts Ports)
    : FGame(Game), FPorts(Ports) {
  FConnectionWait.setSingleShot(true);
  connect(&FConnectionWait, &QTimer::timeout, this,
          [this] { FGame.Post([this] { ConnectionTimedOut(); }); });
}

TConnectionSetUp::~TConnectionSetUp() = default;

// One pass of the connection loop: the game type, a new opponent, and the
// wait for the link.
void TConnectionSetUp::ChooseGame() {
  TSettings& Settings = *FGame.FSettings;
  while (!FGame.Modal([&] { return FGame.FView.AskGameType(Settings); }))
    FGame.Message(QStringLiteral("You must select a connection type"), TMsgType::Error,
                  TMsgButton::OK);

  Release();
  if (Settings.ConnectionLastGame == 0) {
    FOpponent = std::make_unique<TComputerOpponent>(FGame.FComputer);
  } else {
    try {
      auto Network = std::make_unique<TNetworkOpponent>(
          Settings.RelationLastGame == 1, Settings.InternetAddress, FPorts.Game, FPorts.Chat);
      // Queued: the sockets' own handlers return before a step reacts.
      connect(
          &Network->Module(), &TComDataModule::Changed, this,
          [this] { FGame.Post([this] { ConnectionChanged(); }); }, Qt::QueuedConnection);
      connect(
          &Network->Module(), &TComDataModule::LinkChanged, &FGame,
          [this](bool Up) { FGame.Post([this, Up] { FGame.LinkChanged(Up); }); },
          Qt::QueuedConnection);
      FOpponent = std::move(Network);
    } catch (const std::exception& E) {
      Release();
      FGame.Message(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
      return FGame.Post([this] { ChooseGame(); });
    }
  }

  FCouldConnect = true;
  FGame.SetPhase(TPhase::Connecting);
  FGame.Modal([this] { FGame.FView.ShowWaitBox(QStringLiteral("Establishing connection ...")); });
  FConnectionWait.start(ConnectionWait);
  ConnectionChanged();
}

void TConnectionSetUp::ConnectionChanged() {
  if (FGame.FPhase != TPhase::Connecting || !FOpponent)
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
  if (FGame.FPhase != TPhase::Connecting)
    return;
  FConnectionWait.stop();
  if (FGame.Message(QStringLiteral("Continue waiting"), TMsgType::Confirmation,
                    TMsgButton::Yes | TMsgButton::No) != TMsgButton::No) {
    if (FOpponent && FOpponent->Connected())
      return Connected();
    FConnectionWait.start(ConnectionWait);
    return;
  }
  Release();
  FGame.FView.HideWaitBox();
  ChooseGame();
}

void TConnectionSetUp::Connected() {
  FConnectionWait.stop();
  FGame.FView.HideWaitBox();
  TSettings& Settings = *FGame.FSettings;
  if (FGame.IsMaster()) {
    // Cancel too gives a new, empty board.
    if (const auto Dimensions = FGame.Modal(
            [&] { return FGame.FView.AskDimensions(Settings.NumRows, Settings.NumCols); }))
      std::tie(Settings.NumRows, Settings.NumCols) = *Dimensions;
    FGame.ResizeBoard(Settings.NumRows, Settings.NumCols);
  }
  FGame.SetPhase(TPhase::Exchanging);
  FGame.Modal(
      [this] { FGame.FView.ShowWaitBox(QStringLiteral("Waiting for opponent to connect")); });
  FOpponent->Exchange(Settings.PlayerNames[0], [this](const TExchange& Result) {
    FGame.Post([this, Result] { FirstExchangeDone(Result); });
  });
}

void TConnectionSetUp::FirstExchangeDone(const TExchange& Result) {
  if (FGame.FPhase != TPhase::Exchanging)
    return;
  FGame.FView.HideWaitBox();
  if (Result.Failure) {
    // A partner that leaves, or answers the exchange with something else,
    // is no partner to play with: say why and let the user choose again.
    QString Text;
    try {
      std::rethrow_exception(Result.Failure);
    } catch (const LinkHasBeenClosed&) {
      Text = QStringLiteral("Link closed");
    } catch (const std::exception& E) {
      Text = QString::fromUtf8(E.what());
    }
    Release();
    FGame.Message(Text, TMsgType::Error, TMsgButton::OK);
    return ChooseGame();
  }
  FGame.StartUpDone(std::move(FOpponent), Result);
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
