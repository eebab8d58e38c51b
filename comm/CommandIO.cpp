#include "CommandIO.h"

#include "DataStructures.h"
#include "RuntimeData.h"
#include "Search.h"
#include "SearchJob.h"

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

TCommandResult::TCommandResult(const TReadResult& Result, TCommandKind Expected)
    : FFailure(Result.Failure) {
  if (FFailure)
    return;
  try {
    FCommand = CheckedCommand(Result.Text, Expected);
  } catch (...) {
    FFailure = std::current_exception();
  }
}

TCommand TCommandResult::Take() const {
  if (FFailure)
    std::rethrow_exception(FFailure);
  return FCommand;
}

TAbstractBaseIO::TAbstractBaseIO(bool /*IsServer*/, TComDataModule* AModule) : Module(AModule) {
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

TLocalIO::TLocalIO(bool IsServer)
    : TAbstractBaseIO(IsServer, nullptr), FChoice(ComputerMove),
      FJob(std::make_unique<TSearchJob>()) {}

TLocalIO::~TLocalIO() = default;

void TLocalIO::Read(TReadDone Done) {
  Later([Done = std::move(Done)] {
    Done(Failed(std::make_exception_ptr(ProtocolError("Local IO called Read-routine"))));
  });
}

void TLocalIO::CancelRead() {
  FJob->Cancel();
  TAbstractBaseIO::CancelRead();
}

void TLocalIO::SetMoveChoice(TMoveChoice Choice) {
  FChoice = Choice ? std::move(Choice) : TMoveChoice(ComputerMove);
}

void TLocalIO::StopThinking() {
  FJob->Stop();
}

void TLocalIO::Answer(TCommandKind Expected, TReadDone Done) {
  TCommand Reply;
  Reply.Kind = Expected;
  switch (Expected) {
  case TCommandKind::Move:
    if (!Board)
      throw std::runtime_error("The computer has no board to play on");
    if (Board->CanMove(Opponent)) {
      FJob->Start(*Board, FChoice, [Done = std::move(Done)](TMove Move) {
        Done({CommandToText(TCommand::MakeMove(Move.Row, Move.Col)), nullptr});
      });
      return;
    }
    Reply.Row = NumRows;
    Reply.Col = 0;
    break;
  case TCommandKind::Name:
    Reply.Name = DefaultNames[1].left(MaxCommandName);
    break;
  case TCommandKind::Dimensions:
    Reply.Row = NumRows;
    Reply.Col = NumCols;
    break;
  default:
    break;
  }
  Later([Text = CommandToText(Reply), Done = std::move(Done)] { Done({Text, nullptr}); });
}

TInternetIO::TInternetIO(bool IsServer, TComDataModule* AModule)
    : TAbstractBaseIO(IsServer, AModule) {
  TComDataModule& Sockets = Existing(AModule);
  // A listener that cannot start leaves both game sockets off; the wait for
  // the connection then runs out and the user decides.
  if (IsServer) {
    if (!Sockets.OpenServer())
      Close();
  } else {
    Sockets.OpenClient(InternetAddress);
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

TCommandIO::TCommandIO(bool IsServer, TComDataModule* Module) {
  switch (ConnectionLastGame) {
  case 0:
    IO = std::make_unique<TLocalIO>(IsServer);
    break;
  case 1:
    IO = std::make_unique<TInternetIO>(IsServer, Module);
    FMaster = IsServer;
    break;
  default:
    throw std::runtime_error("Unknown connection type");
  }
}

TCommandIO::~TCommandIO() = default;

bool TCommandIO::Connected() const {
  return IO->Connected();
}

void TCommandIO::SetBoard(TBord* Board) {
  IO->SetBoard(Board);
}

bool TCommandIO::IsLocal() const {
  return Local() != nullptr;
}

TLocalIO* TCommandIO::Local() const {
  return dynamic_cast<TLocalIO*>(IO.get());
}

void TCommandIO::ExchangeSettings(TExchangeDone Done) {
  // Strictly alternating: master Name, slave Name, master Dimensions. Every
  // error, a failed write included, reaches Done as the reads' do.
  if (FMaster) {
    if (std::exception_ptr Failure = Attempt([this] { SendName(); })) {
      QTimer::singleShot(0, &FContext, [Done, Failure] { Done(Failure); });
      return;
    }
    ReceiveName([this, Done](std::exception_ptr Failure) {
      if (!Failure)
        Failure = Attempt([this] { SendCommand(TCommand::MakeDimensions(NumRows, NumCols)); });
      Done(Failure);
    });
    return;
  }
  ReceiveName([this, Done](std::exception_ptr Failure) {
    if (!Failure)
      Failure = Attempt([this] { SendName(); });
    if (Failure)
      return Done(Failure);
    ReadCommand(TCommandKind::Dimensions, [Done](const TCommandResult& Result) {
      Done(Attempt([&] {
        const TCommand Dimensions = Result.Take();
        NumRows = Dimensions.Rows();
        NumCols = Dimensions.Cols();
      }));
    });
  });
}

void TCommandIO::SendCommand(const TCommand& Command) {
  IO->Write(CommandToText(Command));
}

void TCommandIO::ReadCommand(TCommandKind Expected, TCommandDone Done) {
  auto Checked = [Expected, Done = std::move(Done)](const TReadResult& Result) {
    Done(TCommandResult(Result, Expected));
  };
  if (TLocalIO* Computer = Local())
    Computer->Answer(Expected, std::move(Checked));
  else
    IO->Read(std::move(Checked));
}

void TCommandIO::CancelRead() {
  IO->CancelRead();
}

void TCommandIO::SendName() {
  SendCommand(TCommand::MakeName(PlayerNames[0]));
}

void TCommandIO::ReceiveName(TExchangeDone Done) {
  ReadCommand(TCommandKind::Name, [Done = std::move(Done)](const TCommandResult& Result) {
    Done(Attempt([&] { PlayerNames[1] = Result.Take().Name; }));
  });
}
