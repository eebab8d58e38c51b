#pragma once

// Raw endpoints for the loopback tests: a peer that speaks bytes only (as a
// foreign program that knows the wire format and nothing more), a listener
// for the slave's tests, and a recorder for the default error report.

#include "ErrorReport.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>

class TRawPeer : public QObject {
public:
  explicit TRawPeer(QTcpSocket* Accepted = nullptr) : Socket(Accepted ? Accepted : new QTcpSocket) {
    Socket->setParent(this);
    connect(Socket, &QTcpSocket::readyRead, this, [this] {
      const QByteArray Chunk = Socket->readAll();
      Received += Chunk;
      if (OnChunk)
        OnChunk(Chunk);
    });
  }

  bool ConnectTo(quint16 Port, const QString& Host = QStringLiteral("127.0.0.1")) {
    QSignalSpy Up(Socket, &QTcpSocket::connected);
    Socket->connectToHost(Host, Port);
    return Up.wait(5000);
  }

  void Send(const QByteArray& Bytes) {
    Socket->write(Bytes);
    Socket->flush();
  }

  bool Standing() const { return Socket->state() == QAbstractSocket::ConnectedState; }

  QTcpSocket* Socket;
  // Everything received, in order, joined.
  QByteArray Received;
  std::function<void(const QByteArray& Chunk)> OnChunk;
};

// A master that is no TComDataModule: accepts one partner and wraps it.
class TRawListener : public QObject {
public:
  explicit TRawListener(const QHostAddress& Address = QHostAddress::Any) {
    Server.listen(Address, 0);
    connect(&Server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* Socket = Server.nextPendingConnection()) {
        Peers.push_back(std::make_unique<TRawPeer>(Socket));
        if (OnAccept)
          OnAccept(*Peers.back());
      }
    });
  }

  quint16 Port() const { return Server.serverPort(); }

  QTcpServer Server;
  std::vector<std::unique_ptr<TRawPeer>> Peers;
  std::function<void(TRawPeer&)> OnAccept;
};

// Records what the default error report would show, for the lifetime of the
// object.
class TReportRecorder {
public:
  TReportRecorder() {
    FPrevious = SetErrorReport([this](const QString& Message) { Messages << Message; });
  }
  ~TReportRecorder() { SetErrorReport(FPrevious); }
  TReportRecorder(const TReportRecorder&) = delete;
  TReportRecorder& operator=(const TReportRecorder&) = delete;

  QStringList Messages;

private:
  TErrorReport FPrevious;
};
