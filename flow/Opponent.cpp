// SPDX-License-Identifier: GPL-3.0-or-later
#include "Opponent.h"

#include "Communication.h"
#include "RuntimeData.h"

#include <QTimer>

TMove TOpponentMove::Take() const {
  if (Failure)
    std::rethrow_exception(Failure);
  return Move;
}

TComputerOpponent::~TComputerOpponent() {
  FPlayer.CancelReply();
}

void TComputerOpponent::SetDimensions(uint8_t NumRows, uint8_t NumCols) {
  FNumRows = NumRows;
  FNumCols = NumCols;
}

void TComputerOpponent::Exchange(const QString&, TExchangeDone Done) {
  const TExchange Result{nullptr, DefaultNames[1].left(MaxCommandName), FNumRows, FNumCols};
  QTimer::singleShot(0, &FContext, [Result, Done = std::move(Done)] { Done(Result); });
}

void TComputerOpponent::AwaitMove(const TBord& Board, TMoveDone Done) {
  if (Board.CanMove(Opponent)) {
    FPlayer.Reply(Board, [Done = std::move(Done)](TMove Move) { Done({Move, nullptr}); });
    return;
  }
  const TOpponentMove NoMove{TMove(Board.Rows, 0), nullptr};
  QTimer::singleShot(0, &FContext, [NoMove, Done = std::move(Done)] { Done(NoMove); });
}

void TComputerOpponent::CancelMove() {
  FPlayer.CancelReply();
}

TNetworkOpponent::TNetworkOpponent(bool Master, const QString& Address, quint16 GamePort,
                                   quint16 ChatPort)
    : FMaster(Master), FAddress(Address),
      FModule(std::make_unique<TComDataModule>(nullptr, GamePort, ChatPort)),
      FCommandIO(std::make_unique<TCommandIO>(Master, Address, FModule.get())) {}

TNetworkOpponent::~TNetworkOpponent() {
  // The command object closes the game sockets of the data module.
  FCommandIO.reset();
}

bool TNetworkOpponent::Connected() const {
  return FCommandIO->Connected();
}

void TNetworkOpponent::SetDimensions(uint8_t NumRows, uint8_t NumCols) {
  FCommandIO->SetDimensions(NumRows, NumCols);
}

void TNetworkOpponent::Exchange(const QString& OwnName, TExchangeDone Done) {
  FCommandIO->ExchangeSettings(OwnName, std::move(Done));
}

void TNetworkOpponent::SendMove(TMove Move) {
  FCommandIO->SendCommand(TCommand::MakeMove(Move.Row, Move.Col));
}

void TNetworkOpponent::AwaitMove(const TBord&, TMoveDone Done) {
  FCommandIO->ReadCommand(TCommandKind::Move, [Done = std::move(Done)](const TCommandResult& Read) {
    TOpponentMove Result;
    try {
      const TCommand Move = Read.Take();
      Result.Move = TMove(Move.Row, Move.Col);
    } catch (...) {
      Result.Failure = std::current_exception();
    }
    Done(Result);
  });
}

void TNetworkOpponent::CancelMove() {
  FCommandIO->CancelRead();
}

TChatLink TNetworkOpponent::ChatLink() const {
  return {FModule.get(), FMaster, FAddress};
}
