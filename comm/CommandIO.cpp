// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandIO.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

const char* const WriteFailed = "Could not write to socket";
const char* const ReadFailed = "Line closed while trying to read";

TComDataModule& Existing(TComDataModule* Module) {
  if (!Module)
    throw std::runtime_error("The connection module does not exist");
  return *Module;
}

TReadResult Failed(std::exception_ptr Failure) {
  return {QByteArray(), std::move(Failure)};
}

// The error Step raises, nullptr when it goes through.
template <typename F>
std::exception_ptr Attempt(F&& Step) {
  try {
    Step();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

} // namespace

TCommandResult::TCommandResult(const TReadResult& Result, TCommandKind Expected, uint8_t NumRows,
                               uint8_t NumCols)
    : FFailure(Result.Failure) {
  if (FFailure)
    return;
  try {
    FCommand = CheckedCommand(Result.Text, Expected, NumRows, NumCols);
  } catch (...) {
    FFailure = std::current_exception();
  }
}

TCommand TCommandResult::Take() const {
  if (FFailure)
    std::rethrow_exception(FFailure);
  return FCommand;
}

TAbstractBaseIO::TAbstractBaseIO(TComDataModule* AModule) : Module(AModule) {
  if (Module)
    QObject::connect(Module, &TComDataModule::Changed, &FContext, [this] { Poll(); });
}

TAbstractBaseIO::~TAbstractBaseIO() {
  TAbstractBaseIO::Close();
}

bool TAbstractBaseIO::Connected() const {
  return Module && Module->Connected();
}

void TAbstractBaseIO::Close() {}

void TAbstractBaseIO::Later(std::function<void()> Action) {
  QTimer::singleShot(0, &FContext, std::move(Action));
}

void TAbstractBaseIO::Read(TReadDone Done) {
  if (FPending)
    throw std::logic_error("A read of the opponent's message is already waiting");
  FPending = std::move(Done);
  Poll();
}

void TAbstractBaseIO::CancelRead() {
  FPending = nullptr;
}

void TAbstractBaseIO::Poll() {
  if (!FPending || FDeliveryPosted)
    return;
  if (Module && Module->Connected() && !Module->DataAvailable())
    return;
  // One turn of the event loop later: a disconnect that came with the data
  // lands first, since the link is tested before the data.
  FDeliveryPosted = true;
  Later([this] { Deliver(); });
}

void TAbstractBaseIO::Deliver() {
  FDeliveryPosted = false;
  if (!FPending)
    return;
  TReadResult Result;
  if (!Module) {
    Result = Failed(std::make_exception_ptr(LinkHasBeenClosed(ReadFailed)));
  } else if (Module->Connected() && !Module->DataAvailable()) {
    return; // taken back in the meantime; wait on
  } else {
    try {
      Result.Text = Module->GetBuffer();
    } catch (const LineClosed&) {
      Result = Failed(std::make_exception_ptr(LinkHasBeenClosed(ReadFailed)));
    }
  }
  const TReadDone Done = std::exchange(FPending, nullptr);
  Done(Result);
}

TInternetIO::TInternetIO(bool IsServer, const QString& Address, TComDataModule* AModule)
    : TAbstractBaseIO(AModule) {
  TComDataModule& Sockets = Existing(AModule);
  // A listener that cannot start leaves both game sockets off; the wait for
  // the connection then runs out and the user decides.
  if (IsServer) {
    if (!Sockets.OpenServer())
      Close();
  } else {
    Sockets.OpenClient(Address);
  }
}

TInternetIO::~TInternetIO() {
  Close();
}

void TInternetIO::Close() {
  if (!Module)
    return;
  Module->CloseClient();
  Module->CloseServer();
}

void TInternetIO::Write(const QByteArray& Text) {
  if (!Module)
    throw LinkHasBeenClosed(WriteFailed);
  QTcpSocket* Socket = nullptr;
  if (Module->ServerActive())
    Socket = Module->GamePartner();
  else if (Module->ClientActive() &&
           Module->ClientSocket()->state() == QAbstractSocket::ConnectedState)
    Socket = Module->ClientSocket();
  if (!Socket)
    throw LinkHasBeenClosed(WriteFailed);
  if (Socket->write(Text) < 0) {
    const QString Reason = Socket->errorString();
    const int Number = SocketErrorNumber(Socket->error());
    Module->CloseAll();
    throw std::runtime_error(QStringLiteral("Socket error: %1 (%2), on API 'send'")
                                 .arg(Reason)
                                 .arg(Number)
                                 .toStdString());
  }
  Socket->flush();
}

TCommandIO::TCommandIO(bool IsServer, const QString& Address, TComDataModule* Module)
    : IO(std::make_unique<TInternetIO>(IsServer, Address, Module)), FMaster(IsServer) {}

TCommandIO::~TCommandIO() = default;

bool TCommandIO::Connected() const {
  return IO->Connected();
}

void TCommandIO::SetDimensions(uint8_t NumRows, uint8_t NumCols) {
  FNumRows = NumRows;
  FNumCols = NumCols;
}

void TCommandIO::ExchangeSettings(const QString& OwnName, TExchangeDone Done) {
  // Strictly alternating: master Name, slave Name, master Dimensions. Every
  // error, a failed write included, reaches Done as the reads' do.
  if (FMaster) {
    if (std::exception_ptr Failure = Attempt([&] { SendName(OwnName); })) {
      QTimer::singleShot(0, &FContext, [Done, Failure] { Done({Failure, {}, 0, 0}); });
      return;
    }
    ReceiveName([this, Done](const TExchange& Received) {
      TExchange Result = Received;
      Result.NumRows = FNumRows;
      Result.NumCols = FNumCols;
      if (!Result.Failure)
        Result.Failure =
            Attempt([this] { SendCommand(TCommand::MakeDimensions(FNumRows, FNumCols)); });
      Done(Result);
    });
    return;
  }
  ReceiveName([this, OwnName, Done](const TExchange& Received) {
    TExchange Result = Received;
    if (!Result.Failure)
      Result.Failure = Attempt([&] { SendName(OwnName); });
    if (Result.Failure)
      return Done(Result);
    ReadCommand(TCommandKind::Dimensions, [Result, Done](const TCommandResult& Read) mutable {
      Result.Failure = Attempt([&] {
        const TCommand Dimensions = Read.Take();
        Result.NumRows = Dimensions.Rows();
        Result.NumCols = Dimensions.Cols();
      });
      Done(Result);
    });
  });
}

void TCommandIO::SendCommand(const TCommand& Command) {
  IO->Write(CommandToText(Command));
}

void TCommandIO::ReadCommand(TCommandKind Expected, TCommandDone Done) {
  IO->Read([this, Expected, Done = std::move(Done)](const TReadResult& Result) {
    Done(TCommandResult(Result, Expected, FNumRows, FNumCols));
  });
}

void TCommandIO::CancelRead() {
  IO->CancelRead();
}

void TCommandIO::SendName(const QString& Name) {
  SendCommand(TCommand::MakeName(Name));
}

void TCommandIO::ReceiveName(TExchangeDone Done) {
  ReadCommand(TCommandKind::Name, [Done = std::move(Done)](const TCommandResult& Read) {
    TExchange Result;
    Result.Failure = Attempt([&] { Result.PartnerName = Read.Take().Name; });
    Done(Result);
  });
}
