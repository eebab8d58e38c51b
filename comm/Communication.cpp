// SPDX-License-Identifier: GPL-3.0-or-later
#include "Communication.h"

#include "ErrorReport.h"
#include "PartnerListener.h"
#include "Wire.h"

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
      Server(new TPartnerListener(QStringLiteral("Server"), AGamePort, 0, this)),
      ChatClient(new QTcpSocket(this)),
      ChatServer(new TPartnerListener(QStringLiteral("ChatServer"), AChatPort, MaxChatRead, this)) {
  setObjectName(QStringLiteral("ComDataModule"));
  Client->setObjectName(QStringLiteral("Client"));
  ChatClient->setObjectName(QStringLiteral("ChatClient"));
  WireClient(Client, false);
  WireClient(ChatClient, true);
  ChatClient->setReadBufferSize(MaxChatRead);
  WireListener(Server, false);
  WireListener(ChatServer, true);
}

TComDataModule::~TComDataModule() {
  // No handler may run on a half-destroyed module while the sockets close.
  for (QObject* Socket : {static_cast<QObject*>(Client), static_cast<QObject*>(Server),
                          static_cast<QObject*>(ChatClient), static_cast<QObject*>(ChatServer)})
    QObject::disconnect(Socket, nullptr, this, nullptr);
  // The listeners close their partners' connections as they go.
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

void TComDataModule::WireListener(TPartnerListener* Listener, bool Chat) {
  // Only the game partner brings the link up.
  if (!Chat)
    connect(Listener, &TPartnerListener::Accepted, this,
            [this] { Guarded([this] { ClientConnect(); }); });
  connect(Listener, &TPartnerListener::Disconnected, this,
          [this] { Guarded([this] { SocketDisconnect(); }); });
  connect(Listener, &TPartnerListener::ReadyRead, this, [this, Chat](QTcpSocket* Socket) {
    Guarded([&] { Chat ? ChatRead(Socket) : SocketRead(Socket); });
  });
  connect(Listener, &TPartnerListener::Failed, this, [this](QAbstractSocket::SocketError Error) {
    Guarded([&] { ClientError(SocketErrorNumber(Error)); });
  });
}

quint16 TComDataModule::GamePort() const {
  return Server->Port();
}

quint16 TComDataModule::ChatPort() const {
  return ChatServer->Port();
}

bool TComDataModule::OpenServer() {
  return Server->Open();
}

bool TComDataModule::OpenChatServer() {
  return ChatServer->Open();
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

void TComDataModule::CloseServer() {
  // Dropping the partner's connection is a disconnect like any other.
  if (Server->Close())
    SocketDisconnect();
  Q_EMIT Changed();
}

void TComDataModule::CloseChatServer() {
  if (ChatServer->Close())
    SocketDisconnect();
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
  return Server->Active();
}

bool TComDataModule::ClientActive() const {
  return Client->state() != QAbstractSocket::UnconnectedState;
}

bool TComDataModule::ChatServerActive() const {
  return ChatServer->Active();
}

bool TComDataModule::ChatClientActive() const {
  return ChatClient->state() != QAbstractSocket::UnconnectedState;
}

QTcpSocket* TComDataModule::GamePartner() const {
  if (QTcpSocket* Partner = Server->Partner())
    return Partner;
  return Client->state() == QAbstractSocket::ConnectedState ? Client : nullptr;
}

QTcpSocket* TComDataModule::ChatPartner() const {
  if (QTcpSocket* Partner = ChatServer->Partner())
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

void TComDataModule::SocketRead(QTcpSocket* Socket) {
  // A newer message replaces one not yet taken.
  FReceiveBuffer = ReceivedChunk(Socket->readAll());
  FDataAvailable = true;
  Q_EMIT Changed();
}

void TComDataModule::ChatRead(QTcpSocket* Socket) {
  const QByteArray Text = Socket->read(MaxChatRead);
  // Whatever is left is taken on a later turn of the event loop: a flood of
  // chat text never keeps the game connection waiting.
  if (Socket->bytesAvailable() > 0)
    QTimer::singleShot(0, Socket, [this, Socket] {
      if (Socket == ChatClient || ChatServer->Holds(Socket))
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
