// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TConnectionSetUp: the start-up of a session, up to its first game.
//
// ChooseGame -> the game type (AskGameType, again until one is chosen) ->
// the opponent: the computer, or a data module and command object whose
// game sockets listen or connect -> "Establishing connection ..."
// (Connecting) -> the link is up (or the 30 s wait runs out: "Continue
// waiting", No chooses again) -> the master's dimensions (BoardChosen),
// "Waiting for opponent to connect", the first exchange (Exchanging) ->
// Ready hands over the opponent and what the exchange brought. A failed
// attempt leaves nothing behind: its sockets close with it.
//
// It runs on the session's step queue and dialogs, and tells the session
// what it needs to know through TSetUpEvents; it knows nothing else of it.

#include "Communication.h"
#include "ComputerPlayer.h"
#include "GameView.h"
#include "Opponent.h"
#include "Phase.h"
#include "RuntimeData.h"
#include "StepQueue.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

// The ports of the connections (tests use free ones; port 0 lets a listener
// pick one).
struct TPorts {
  quint16 Game = DefaultGamePort;
  quint16 Chat = DefaultChatPort;
};

struct TSetUpEvents {
  // The set-up's phase: Connecting, Exchanging.
  std::function<void(TPhase Phase)> PhaseChanged;
  // The master's board for the first game.
  std::function<void(uint8_t Rows, uint8_t Cols)> BoardChosen;
  // The link of the connection went up or down.
  std::function<void(bool Up)> LinkChanged;
  // The opponent is ready and the first exchange done.
  std::function<void(std::unique_ptr<TOpponent> Opponent, const TExchange& First)> Ready;
};

class TConnectionSetUp : public QObject {
public:
  static constexpr int ConnectionWait = 30000;

  TConnectionSetUp(TGameView& View, TStepQueue& Steps, TComputerPlayer& Computer, TPorts Ports,
                   TSetUpEvents Events);
  ~TConnectionSetUp() override;

  // The opponent of the attempt under way, if any.
  TOpponent* Pending() const { return FOpponent.get(); }

  // Runs the start-up on Settings, which it updates with the choices made;
  // they must outlive the start-up.
  void ChooseGame(TSettings& Settings);
  // The window closes: the wait ends, the attempt goes.
  void Close();

private:
  TMsgButton Message(const QString& Text, TMsgType Type, TMsgButtons Buttons);
  void SetPhase(TPhase Phase);
  void ConnectionChanged();
  void ConnectionTimedOut();
  void Connected();
  void FirstExchangeDone(const TExchange& Result);
  void Release();

  TGameView& FView;
  TStepQueue& FSteps;
  TComputerPlayer& FComputer;
  const TPorts FPorts;
  const TSetUpEvents FEvents;
  TSettings* FSettings = nullptr;
  TPhase FPhase = TPhase::Idle;
  std::unique_ptr<TOpponent> FOpponent;
  QTimer FConnectionWait;
  // Some socket of the attempt could still bring the link up.
  bool FCouldConnect = true;
};
