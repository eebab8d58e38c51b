// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The other player of a game, as the controller sees it: the exchange of
// names and dimensions before a game, the moves sent to it and the moves it
// answers with.
//
// TComputerOpponent is the computer: it drops what it is sent, calls itself
// "Computer" and answers a move with its player's reply (or with the no-move
// marker at once when it owns no cell it may play). TNetworkOpponent is a
// person on another computer: it owns the data module of the connection and
// the command object on it, and passes every move over the wire.
//
// Every answer (an exchange, a move) reaches its callback later, as an event
// of its own, exactly once, unless it is cancelled or the opponent destroyed
// first.

#include "ChatIO.h"
#include "CommandIO.h"
#include "ComputerPlayer.h"
#include "DataStructures.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>

class TComDataModule;

// A move the opponent answered with, or why there is none.
struct TOpponentMove {
  TMove Move;
  std::exception_ptr Failure;
  // The move; rethrows the failure (LinkHasBeenClosed, ProtocolError, ...).
  TMove Take() const;
};

class TOpponent {
public:
  using TMoveDone = std::function<void(const TOpponentMove& Result)>;

  virtual ~TOpponent() = default;
  virtual bool Connected() const = 0;
  // The board in play: its dimensions bound the moves that may arrive.
  virtual void SetDimensions(uint8_t NumRows, uint8_t NumCols) = 0;
  virtual void Exchange(const QString& OwnName, TExchangeDone Done) = 0;
  // Raises LinkHasBeenClosed when the move cannot be sent.
  virtual void SendMove(TMove Move) = 0;
  // The opponent's move on Board (owner 1's), or the no-move marker.
  virtual void AwaitMove(const TBord& Board, TMoveDone Done) = 0;
  virtual void CancelMove() = 0;
  // The chat's connection; no data module in a game against the computer.
  virtual TChatLink ChatLink() const { return {}; }
};

class TComputerOpponent : public TOpponent {
public:
  explicit TComputerOpponent(TComputerPlayer& Player) : FPlayer(Player) {}
  ~TComputerOpponent() override;

  bool Connected() const override { return true; }
  void SetDimensions(uint8_t NumRows, uint8_t NumCols) override;
  void Exchange(const QString& OwnName, TExchangeDone Done) override;
  void SendMove(TMove) override {}
  void AwaitMove(const TBord& Board, TMoveDone Done) override;
  void CancelMove() override;

private:
  TComputerPlayer& FPlayer;
  uint8_t FNumRows = 0;
  uint8_t FNumCols = 0;
  // The context of the answers that need no search.
  QObject FContext;
};

class TNetworkOpponent : public TOpponent {
public:
  // Creates the data module on the ports and switches its game sockets on:
  // the master listens, the slave connects to Address. Raises what the
  // command object raises.
  TNetworkOpponent(bool Master, const QString& Address, quint16 GamePort, quint16 ChatPort);
  ~TNetworkOpponent() override;

  bool Connected() const override;
  void SetDimensions(uint8_t NumRows, uint8_t NumCols) override;
  void Exchange(const QString& OwnName, TExchangeDone Done) override;
  void SendMove(TMove Move) override;
  void AwaitMove(const TBord& Board, TMoveDone Done) override;
  void CancelMove() override;
  TChatLink ChatLink() const override;

  TComDataModule& Module() const { return *FModule; }
  TCommandIO& CommandIO() const { return *FCommandIO; }

private:
  bool FMaster;
  QString FAddress;
  std::unique_ptr<TComDataModule> FModule;
  // After the data module, so that it goes first: it closes the sockets.
  std::unique_ptr<TCommandIO> FCommandIO;
};
