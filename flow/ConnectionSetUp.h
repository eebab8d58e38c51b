#pragma once

// TConnectionSetUp: the start-up of a session, up to its first game, as a
// part of the game controller.
//
// ChooseGame -> the game type (AskGameType, again until one is chosen) ->
// the opponent: the computer, or a data module and command object whose
// game sockets listen or connect -> "Establishing connection ..."
// (Connecting) -> the link is up (or the 30 s wait runs out: "Continue
// waiting", No chooses again) -> the master's dimensions, "Waiting for
// opponent to connect", the first exchange (Exchanging) -> the controller's
// StartUpDone gets the ready opponent and what the exchange brought. A
// failed attempt leaves nothing behind: its sockets close with it.

#include "Communication.h"
#include "Opponent.h"
#include "Phase.h"

#include <QObject>
#include <QTimer>

#include <memory>

class TGameController;

// The ports of the connections (tests use free ones; port 0 lets a listener
// pick one).
struct TPorts {
  quint16 Game = DefaultGamePort;
  quint16 Chat = DefaultChatPort;
};

class TConnectionSetUp : public QObject {
public:
  static constexpr int ConnectionWait = 30000;

  TConnectionSetUp(TGameController& Game, TPorts Ports);
  ~TConnectionSetUp() override;

  TPorts Ports() const { return FPorts; }
  // The opponent of the attempt under way, if any.
  TOpponent* Pending() const { return FOpponent.get(); }

  void ChooseGame();
  // The window closes: the wait ends, the attempt goes.
  void Close();

private:
  void ConnectionChanged();
  void ConnectionTimedOut();
  void Connected();
  void FirstExchangeDone(const TExchange& Result);
  void Release();

  TGameController& FGame;
  const TPorts FPorts;
  std::unique_ptr<TOpponent> FOpponent;
  QTimer FConnectionWait;
  // Some socket of the attempt could still bring the link up.
  bool FCouldConnect = true;
};
