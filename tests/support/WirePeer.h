// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program on the other computer, reduced to its bytes: a partner on
// loopback that answers the set-up exchange on its own (as slave its name to
// the master's name; as master its name on connection and Dimensions after
// the slave's name) and otherwise sends only what the test tells it. It
// keeps every message it receives.

#include "ConnectionSetUp.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class TWirePeer : public QObject {
public:
  // A master listens on a free loopback port at once.
  explicit TWirePeer(bool AMaster, const QByteArray& AName = "Peer")
      : Master(AMaster), Name(AName) {
    if (Master && !GameServer.listen(QHostAddress::LocalHost))
      qFatal("cannot listen on loopback");
    Listening = {GameServer.serverPort(), 0};
    connect(&GameServer, &QTcpServer::newConnection, this, [this] {
      if (Take(GameServer.nextPendingConnection()) && !Greeting.isEmpty())
        Send(Greeting);
    });
  }

  const bool Master;
  const QByteArray Name;
  // Sent by a master on connection, and by a slave to every Name.
  QByteArray Greeting = "\x03" + Name;
  // Sent by a master after the slave's Name; empty: nothing.
  QByteArray Dimensions = "\x04"
                          "4;4";
  QTcpServer GameServer;
  QPointer<QTcpSocket> Game;
  QList<QByteArray> Received;
  TPorts Listening{0, 0};

  // The ports the program is to call (a master peer's listeners).
  TPorts Ports() const { return Listening; }
  // As slave: calls the program's listener.
  void Call(quint16 GamePort) {
    if (Take(new QTcpSocket(this)))
      Game->connectToHost(QHostAddress::LocalHost, GamePort);
  }
  void Send(const QByteArray& Bytes) {
    Game->write(Bytes);
    Game->flush();
  }
  void SendMove(int Row, int Col) {
    Send("\x01" + QByteArray::number(Row) + ';' + QByteArray::number(Col));
  }
  void Leave() {
    if (Game)
      Game->disconnectFromHost();
  }

private:
  bool Take(QTcpSocket* Socket) {
    if (Game)
      return false;
    Game = Socket;
    Socket->setParent(this);
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket] {
      const QByteArray Chunk = Socket->readAll();
      // A message is its code byte (1 to 4) and printable text.
      for (qsizetype Start = 0, End = 1; End <= Chunk.size(); ++End)
        if (End == Chunk.size() || (Chunk[End] >= 1 && Chunk[End] <= 4)) {
          Answer(Chunk.mid(Start, End - Start));
          Start = End;
        }
    });
    return true;
  }
  void Answer(const QByteArray& Message) {
    Received << Message;
    if (Message.startsWith('\x03'))
      Send(Master ? Dimensions : Greeting);
  }
};
