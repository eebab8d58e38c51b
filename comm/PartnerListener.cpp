// SPDX-License-Identifier: GPL-3.0-or-later
#include "PartnerListener.h"

#include "ErrorReport.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

TPartnerListener::TPartnerListener(const QString& Name, quint16 Port, qint64 ReadBufferSize,
                                   QObject* Owner)
    : QObject(Owner), FServer(new QTcpServer(this)), FPort(Port), FReadBufferSize(ReadBufferSize) {
  FServer->setObjectName(Name);
  connect(FServer, &QTcpServer::newConnection, this, [this] { Guarded([this] { Accept(); }); });
}

TPartnerListener::~TPartnerListener() {
  // Closing the partner's connection now signals nobody.
  if (FPartner) {
    QObject::disconnect(FPartner, nullptr, this, nullptr);
    FPartner->abort();
  }
}

bool TPartnerListener::Open() {
  // QHostAddress::Any listens on IPv4 and IPv6 alike.
  return FServer->isListening() || FServer->listen(QHostAddress::Any, FPort);
}

bool TPartnerListener::Close() {
  FServer->close();
  if (!FPartner)
    return false;
  QTcpSocket* Socket = std::exchange(FPartner, nullptr);
  QObject::disconnect(Socket, nullptr, this, nullptr);
  const bool WasConnected = Socket->state() == QAbstractSocket::ConnectedState;
  Socket->abort();
  Socket->deleteLater();
  return WasConnected;
}

bool TPartnerListener::Active() const {
  return FServer->isListening();
}

quint16 TPartnerListener::Port() const {
  return FServer->isListening() ? FServer->serverPort() : FPort;
}

QTcpSocket* TPartnerListener::Partner() const {
  return FPartner && FPartner->state() == QAbstractSocket::ConnectedState ? FPartner.data()
                                                                          : nullptr;
}

bool TPartnerListener::Holds(const QTcpSocket* Socket) const {
  return Socket != nullptr && FPartner == Socket;
}

void TPartnerListener::Accept() {
  while (QTcpSocket* Socket = FServer->nextPendingConnection()) {
    // Everybody after the first is closed at once, without touching the
    // partner's connection or the link.
    if (FTaken) {
      Socket->abort();
      Socket->deleteLater();
      continue;
    }
    FTaken = true;
    FPartner = Socket;
    if (FReadBufferSize > 0)
      Socket->setReadBufferSize(FReadBufferSize);
    connect(Socket, &QTcpSocket::disconnected, this, [this] { Guarded([this] { Forget(); }); });
    connect(Socket, &QTcpSocket::readyRead, this,
            [this, Socket] { Guarded([&] { Q_EMIT ReadyRead(Socket); }); });
    connect(Socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError Error) {
      // A partner's orderly close is a disconnect, not a failure.
      if (Error != QAbstractSocket::RemoteHostClosedError)
        Guarded([&] { Q_EMIT Failed(Error); });
    });
    Q_EMIT Accepted();
  }
}

void TPartnerListener::Forget() {
  if (QTcpSocket* Socket = std::exchange(FPartner, nullptr)) {
    QObject::disconnect(Socket, nullptr, this, nullptr);
    Socket->deleteLater();
  }
  Q_EMIT Disconnected();
}
