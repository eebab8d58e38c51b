#include "Communication.h"

#include "CommandIO.h"
#include "ErrorReport.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <utility>

QByteArray ReceivedChunk(QByteArrayView Chunk) {
  const QByteArrayView Text = ZeroTerminated(Chunk);
  return Text.first(std::min<qsizetype>(Text.size(), MaxChunkLength)).toByteArray();
}

int SocketErrorNumber(int QtSocketError) {
  switch (static_cast<QAbstractSocket::SocketError>(QtSocketError)) {
  case QAbstractSocket::ConnectionRefusedError:
    return ECONNREFUSED;
  case QAbstractSocket::RemoteHostClosedError:
    return ECONNRESET;
  case QAbstractSocket::HostNotFoundError:
    return EHOSTUNREACH;
  case QAbstractSocket::SocketAccessError:
    return EACCES;
  case QAbstractSocket::SocketResourceError:
    return ENOBUFS;
  case QAbstractSocket::SocketTimeoutError:
    return ETIMEDOUT;
  case QAbstractSocket::NetworkError:
    return ENETDOWN;
  case QAbstractSocket::AddressInUseError:
    return EADDRINUSE;
  case QAbstractSocket::SocketAddressNotAvailableError:
    return EADDRNOTAVAIL;
  case QAbstractSocket::UnsupportedSocketOperationError:
    return EOPNOTSUPP;
  default:
    return EIO;
  }
}

TComDataModule::TComDataModule(QObject* Owner, quint16 AGamePort, quint16 AChatPort)
    : QObject(Owner), FGamePort(AGamePort), FChatPort(AChatPort), Client(new QTcpSocket(this)),
      Server(new QTcpServer(this)), ChatClient(new QTcpSocket(this)),
      ChatServer(new QTcpServer(this)) {
  setObjectName(QStringLiteral("ComDataModule"));
  Client->setObjectName(QStringLiteral("Client"));
  Server->setObjectName(QStringLiteral("Server"));
  ChatClient->setObjectName(QStringLiteral("ChatClient"));
  ChatServer->setObjectName(QStringLiteral("ChatServer"));
  WireClient(Client, false);
  WireClient(ChatClient, true);
  ChatClient->setReadBufferSize(MaxChatRead);
  connect(Server, &QTcpServer::newConnection, this,
          [this] { Guarded([this] { ServerAccept(); }); });
  connect(ChatServer, &QTcpServer::newConnection, this,
          [this] { Guarded([this] { ChatServerAccept(); }); });
}

TComDataModule::~TComDataModule() {
  // No handler may run on a half-destroyed module while the sockets close.
  for (QObject* Socket : {static_cast<QObject*>(Client), static_cast<QObject*>(Server),
                          static_cast<QObject*>(ChatClient), static_cast<QObject*>(ChatServer)})
    QObject::disconnect(Socket, nullptr, this, nullptr);
  for (auto* List : {&FAccepted, &FChatAccepted})
    for (const QPointer<QTcpSocket>& Socket : std::exchange(*List, {}))
      if (Socket) {
        Unwire(Socket);
        Socket->abort();
      }
  Client->abort();
  ChatClient->abort();
}

void TComDataModule::WireClient(QTcpSocket* Socket, bool Chat) {
  connect(Socket, &QTcpSocket::connected, this, [this] { Guarded([this] { ClientConnect(); }); });
  connect(Socket, &QTcpSocket::disconnected, this,
          [this] { Guarded([this] { SocketDisconnect(); }); });
  connect(Socket, &QTcpSocket::readyRead, this,
          [this, Socket, Chat] { Guarded([&] { Chat ? ChatRead(Socket) : SocketRead(Socket); }); });
  connect(Socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError Error) {
    // A partner's orderly close is a disconnect, not a failure.
    if (Error != QAbstractSocket::RemoteHostClosedError)
      Guarded([&] { ClientError(SocketErrorNumber(Error)); });
  });
}

void TComDataModule::WireAccepted(QTcpSocket* Socket, bool Chat) {
  connect(Socket, &QTcpSocket::disconnected, this, [this, Socket] {
    Guarded([&] {
      Forget(Socket);
      SocketDisconnect();
    });
  });
  connect(Socket, &QTcpSocket::readyRead, this,
          [this, Socket, Chat] { Guarded([&] { Chat ? ChatRead(Socket) : SocketRead(Socket); }); });
  connect(Socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError Error) {
    if (Error != QAbstractSocket::RemoteHostClosedError)
      Guarded([&] { ClientError(SocketErrorNumber(Error)); });
  });
}

void TComDataModule::Unwire(QTcpSocket* Socket) {
  QObject::disconnect(Socket, nullptr, this, nullptr);
}

void TComDataModule::Forget(QTcpSocket* Socket) {
  Unwire(Socket);
  FAccepted.removeAll(Socket);
  FChatAccepted.removeAll(Socket);
  Socket->deleteLater();
}

quint16 TComDataModule::GamePort() const {
  return Server->isListening() ? Server->serverPort() : FGamePort;
}

quint16 TComDataModule::ChatPort() const {
  return ChatServer->isListening() ? ChatServer->serverPort() : FChatPort;
}

bool TComDataModule::OpenServer() {
  // QHostAddress::Any listens on IPv4 and IPv6 alike.
  return Server->isListening() || Server->listen(QHostAddress::Any, FGamePort);
}

bool TComDataModule::OpenChatServer() {
  return ChatServer->isListening() || ChatServer->listen(QHostAddress::Any, FChatPort);
}

void TComDataModule::OpenClient(const QString& Host) {
  Client->abort();
  Client->connectToHost(Host, FGamePort);
  Q_EMIT Changed();
}

void TComDataModule::OpenChatClient(const QString& Host) {
  ChatClient->abort();
  ChatClient->connectToHost(Host, FChatPort);
  Q_EMIT Changed();
}

void TComDataModule::DropAccepted(QList<QPointer<QTcpSocket>>& Accepted) {
  bool WasConnected = false;
  for (const QPointer<QTcpSocket>& Socket : std::exchange(Accepted, {})) {
    if (!Socket)
      continue;
    Unwire(Socket);
    WasConnected = WasConnected || Socket->state() == QAbstractSocket::ConnectedState;
    Socket->abort();
    Socket->deleteLater();
  }
  // Dropping the partner's connection is a disconnect like any other.
  if (WasConnected)
    SocketDisconnect();
}

void TComDataModule::CloseServer() {
  Server->close();
  DropAccepted(FAccepted);
  Q_EMIT Changed();
}

void TComDataModule::CloseChatServer() {
  ChatServer->close();
  DropAccepted(FChatAccepted);
  Q_EMIT Changed();
}

void TComDataModule::CloseClient() {
  // abort() reports the disconnect of a standing connection through the
  // wired signal.
  Client->abort();
  Q_EMIT Changed();
}

void TComDataModule::CloseChatClient() {
  ChatClient->abort();
  Q_EMIT Changed();
}

bool TComDataModule::ServerActive() const {
  return Server->isListening();
}

bool TComDataModule::ClientActive() const {
  return Client->state() != QAbstractSocket::UnconnectedState;
}

bool TComDataModule::ChatServerActive() const {
  return ChatServer->isListening();
}

bool TComDataModule::ChatClientActive() const {
  return ChatClient->state() != QAbstractSocket::UnconnectedState;
}

namespace {

QTcpSocket* FirstStanding(const QList<QPointer<QTcpSocket>>& Accepted) {
  for (const QPointer<QTcpSocket>& Socket : Accepted)
    if (Socket && Socket->state() == QAbstractSocket::ConnectedState)
      return Socket;
  return nullptr;
}

} // namespace

QTcpSocket* TComDataModule::GamePartner() const {
  if (QTcpSocket* Partner = FirstStanding(FAccepted))
    return Partner;
  return Client->state() == QAbstractSocket::ConnectedState ? Client : nullptr;
}

QTcpSocket* TComDataModule::ChatPartner() const {
  if (QTcpSocket* Partner = FirstStanding(FChatAccepted))
    return Partner;
  return ChatClient->state() == QAbstractSocket::ConnectedState ? ChatClient : nullptr;
}

void TComDataModule::SetConnected(bool Up) {
  const bool Changes = FConnected != Up;
  FConnected = Up;
  if (Changes)
    Q_EMIT LinkChanged(Up);
  Q_EMIT Changed();
}

void TComDataModule::ClientConnect() {
  SetConnected(true);
}

void TComDataModule::SocketDisconnect() {
  SetConnected(false);
}

void TComDataModule::TakeChunk(QByteArrayView Chunk) {
  // A newer message replaces one not yet taken.
  FReceiveBuffer = ReceivedChunk(Chunk);
  FDataAvailable = true;
  Q_EMIT Changed();
}

void TComDataModule::SocketRead(QTcpSocket* Socket) {
  TakeChunk(Socket->readAll());
}

void TComDataModule::ChatRead(QTcpSocket* Socket) {
  const QByteArray Text = Socket->read(MaxChatRead);
  // Whatever is left is taken on a later turn of the event loop: a flood of
  // chat text never keeps the game connection waiting.
  if (Socket->bytesAvailable() > 0)
    QTimer::singleShot(0, Socket, [this, Socket] {
      if (Socket == ChatClient || FChatAccepted.contains(Socket))
        Guarded([&] { ChatRead(Socket); });
    });
  if (!Text.isEmpty() && OnChatText)
    OnChatText(QString::fromLatin1(Text));
}

void TComDataModule::CloseAll() {
  SetConnected(false);
  CloseClient();
  CloseServer();
  CloseChatClient();
  CloseChatServer();
}

void TComDataModule::ClientError(int ErrorNumber) {
  CloseAll();
  ReportError(QStringLiteral("Asynchronous socket error %1").arg(ErrorNumber));
}

void TComDataModule::Accept(QTcpServer* Listener, QList<QPointer<QTcpSocket>>& Accepted,
                            bool& Taken, bool Chat) {
  while (QTcpSocket* Socket = Listener->nextPendingConnection()) {
    // Exactly one partner per connection attempt: everybody after the first
    // is closed at once, also once the first has left, without touching the
    // partner's connection or the link. A stranger must never take over a
    // game in progress.
    if (Taken) {
      Socket->abort();
      Socket->deleteLater();
      continue;
    }
    Taken = true;
    Accepted.append(Socket);
    WireAccepted(Socket, Chat);
    if (Chat)
      Socket->setReadBufferSize(MaxChatRead);
    else
      SetConnected(true);
  }
}

void TComDataModule::ServerAccept() {
  Accept(Server, FAccepted, FGamePartnerTaken, false);
}

void TComDataModule::ChatServerAccept() {
  Accept(ChatServer, FChatAccepted, FChatPartnerTaken, true);
}

QByteArray TComDataModule::GetBuffer() {
  if (!FConnected)
    throw LineClosed("While reading buffer");
  FReadBuffer = std::exchange(FReceiveBuffer, {});
  FDataAvailable = false;
  return FReadBuffer;
}

bool TComDataModule::CanConnect() const {
  return ServerActive() || ClientActive() || ChatClientActive();
}
