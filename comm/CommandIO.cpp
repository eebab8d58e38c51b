#include "CommandIO.h"

#include "DataStructures.h"
#include "RuntimeData.h"
#include "Search.h"

#include <QTcpSocket>

namespace {

const char* const WriteFailed = "Could not write to socket";
const char* const ReadFailed = "Line closed while trying to read";

TComDataModule& Existing(TComDataModule* Module) {
  if (!Module)
    throw std::runtime_error("The connection module does not exist");
  return *Module;
}

} // namespace

TAbstractBaseIO::TAbstractBaseIO(bool /*IsServer*/, TComDataModule* AModule) : Module(AModule) {}

TAbstractBaseIO::~TAbstractBaseIO() {
  TAbstractBaseIO::Close();
}

bool TAbstractBaseIO::Connected() const {
  return Module && Module->Connected();
}

bool TAbstractBaseIO::WaitForConnection(int Msecs) {
  return Module && Module->WaitForLink(Msecs);
}

void TAbstractBaseIO::Close() {}

QByteArray TAbstractBaseIO::Read() {
  if (!Module)
    throw LinkHasBeenClosed(ReadFailed);
  try {
    return Module->GetBuffer();
  } catch (const LineClosed&) {
    if (Module && Module->Closing())
      throw LinkHasBeenClosed("The program is closing");
    throw LinkHasBeenClosed(ReadFailed);
  }
}

TLocalIO::TLocalIO(bool IsServer) : TAbstractBaseIO(IsServer, nullptr) {}

QByteArray TLocalIO::Read() {
  throw ProtocolError("Local IO called Read-routine");
}

QByteArray TLocalIO::Answer(TCommandKind Expected) {
  TCommand Reply;
  Reply.Kind = Expected;
  switch (Expected) {
  case TCommandKind::Move:
    if (!Board)
      throw std::runtime_error("The computer has no board to play on");
    if (Board->CanMove(Opponent)) {
      const TMove Move = ComputerMove(*Board);
      Reply.Row = Move.Row;
      Reply.Col = Move.Col;
    } else {
      Reply.Row = NumRows;
      Reply.Col = 0;
    }
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
  return CommandToText(Reply);
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

bool TCommandIO::WaitForConnection(int Msecs) {
  return IO->WaitForConnection(Msecs);
}

void TCommandIO::SetBoard(TBord* Board) {
  IO->SetBoard(Board);
}

bool TCommandIO::IsLocal() const {
  return dynamic_cast<const TLocalIO*>(IO.get()) != nullptr;
}

void TCommandIO::ExchangeSettings() {
  // Strictly alternating: master Name, slave Name, master Dimensions.
  if (FMaster) {
    SendName();
    ReceiveName();
    SendCommand(TCommand::MakeDimensions(NumRows, NumCols));
  } else {
    ReceiveName();
    SendName();
    const TCommand Dimensions = ReadCommand(TCommandKind::Dimensions);
    NumRows = Dimensions.Rows();
    NumCols = Dimensions.Cols();
  }
}

void TCommandIO::SendCommand(const TCommand& Command) {
  IO->Write(CommandToText(Command));
}

TCommand TCommandIO::ReadCommand(TCommandKind Expected) {
  auto* Local = dynamic_cast<TLocalIO*>(IO.get());
  const QByteArray Text = Local ? Local->Answer(Expected) : IO->Read();
  return CheckedCommand(Text, Expected);
}

void TCommandIO::SendName() {
  SendCommand(TCommand::MakeName(PlayerNames[0]));
}

void TCommandIO::ReceiveName() {
  PlayerNames[1] = ReadCommand(TCommandKind::Name).Name;
}
