// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program on the other computer, reduced to its bytes: a partner on
// loopback that answers the set-up exchange on its own (as slave its name to
// the master's name; as master its name on connection and Dimensions after
// the slave's name) and otherwise sends only what the test tells it. It
// keeps every message and all chat text it receives.

#include "ConnectionSetUp.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class TWirePeer : public QObject {
public:
  // A master listens on free loopback ports at once.
  explicit TWirePeer(bool AMaster, const QByteArray& AName = "Peer")
      : Master(AMaster), Name(AName) {
    if (Master &&
        !(GameServer.listen(QHostAddress::LocalHost) && ChatServer.listen(QHostAddress::LocalHost)))
      qFatal("cannot listen on loopback");
    Listening = {GameServer.serverPort(), ChatServer.serverPort()};
    connect(&GameServer, &QTcpServer::newConnection, this, [this] {
      if (Take(Game, GameServer.nextPendingConnection()) && !Greeting.isEmpty())
        Send(Greeting);
    });
    connect(&ChatServer, &QTcpServer::newConnection, this,
            [this] { Take(Chat, ChatServer.nextPendingConnection()); });
  }

  const bool Master;
  const QByteArray Name;
  // Sent by a master on connection, and by a slave to every Name.
  QByteArray Greeting = "\x03" + Name;
  // Sent by a master after the slave's Name; empty: nothing.
  QByteArray Dimensions = "\x04"
                          "4;4";
  QTcpServer GameServer, ChatServer;
  QPointer<QTcpSocket> Game, Chat;
  QList<QByteArray> Received;
  QByteArray ChatStream;
  TPorts Listening{0, 0};

  // The ports the program is to call (a master peer's listeners).
  TPorts Ports() const { return Listening; }
  // As slave: calls the program's listeners.
  void Call(quint16 GamePort, quint16 ChatPort = 0) {
    for (auto [Slot, Port] : {std::pair{&Game, GamePort}, std::pair{&Chat, ChatPort}})
      if (Port && Take(*Slot, new QTcpSocket(this)))
        (*Slot)->connectToHost(QHostAddress::LocalHost, Port);
  }
  void Send(const QByteArray& Bytes) {
    Game->write(Bytes);
    Game->flush();
  }
  void SendMove(int Row, int Col) {
    Send("\x01" + QByteArray::number(Row) + ';' + QByteArray::number(Col));
  }
  void SendChat(const QByteArray& Text) {
    Chat->write(Text);
    Chat->flush();
  }
  void Leave() {
    for (QTcpSocket* Socket : {Game.get(), Chat.get()})
      if (Socket)
        Socket->disconnectFromHost();
  }

private:
  bool Take(QPointer<QTcpSocket>& Slot, QTcpSocket* Socket) {
    if (Slot)
      return false;
    Slot = Socket;
    Socket->setParent(this);
    const bool IsGame = &Slot == &Game;
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket, IsGame] {
      const QByteArray Chunk = Socket->readAll();
      if (!IsGame)
        return void(ChatStream += Chunk);
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
