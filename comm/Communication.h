// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TComDataModule: every socket of a networked game and all receive state.
//
// Four sockets share one link flag, Connected():
//   Client      game connection of the slave       (connects to GamePort)
//   Server      game listener of the master        (listens on GamePort)
//   ChatClient  chat connection of the slave       (connects to ChatPort)
//   ChatServer  chat listener of the master        (listens on ChatPort)
// The listeners are TPartnerListener, which keep their first partner.
// The link goes up when a client connection is established (game or chat)
// or the game listener accepts, and down on any disconnect or error. After
// an error all four sockets are off and nothing reconnects.
//
// Each listener keeps only its first accepted connection and closes every
// later one at once, also after that partner has left: for the life of the
// data module (one connection attempt) nobody takes the partner's place.
// A game read takes the bytes of one socket read as one message; a newer
// message replaces one not yet taken. Nothing here waits: Changed() tells
// the transports and the game controller whenever the link, the received
// message or the sockets change, and GetBuffer takes the message.
//
// Errors in the socket handlers never leave them: a socket error takes the
// link down, switches every socket off and queues "Asynchronous socket error
// %d" (the system's error number) for the default error report
// (ErrorReport.h), which the user interface shows in its "Error" box.
//
// Order of use: construct (its owner hands it to the transports), let the
// transports switch sockets on (TInternetIO, TInternetChat), watch
// LinkChanged / Connected(), then GetBuffer per message once DataAvailable;
// destroy to close everything.

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QTcpSocket;
class TPartnerListener;

inline constexpr quint16 DefaultGamePort = 5133;
inline constexpr quint16 DefaultChatPort = 4133;

// Longest received chunk kept; longer ones are cut.
inline constexpr int MaxChunkLength = 1023;

// Most chat bytes taken from the socket at a time: a partner flooding the
// chat is read in pieces of this size, with the event loop (and the game
// connection) served between them, and no more than this is buffered.
inline constexpr qint64 MaxChatRead = 64 * 1024;

// What a game read keeps of one received chunk: the bytes before the first
// NUL, at most MaxChunkLength of them.
QByteArray ReceivedChunk(QByteArrayView Chunk);

class TComDataModule : public QObject {
  Q_OBJECT

public:
  // Port 0 for a listener picks a free port (see GamePort()/ChatPort()).
  explicit TComDataModule(QObject* Owner = nullptr, quint16 AGamePort = DefaultGamePort,
                          quint16 AChatPort = DefaultChatPort);
  ~TComDataModule() override;

  // The link flag, one for all four sockets.
  bool Connected() const { return FConnected; }
  // A received message waits in ReceiveBuffer().
  bool DataAvailable() const { return FDataAvailable; }
  // The message most recently received and not yet taken.
  const QByteArray& ReceiveBuffer() const { return FReceiveBuffer; }
  // The message most recently handed to a reader.
  const QByteArray& ReadBuffer() const { return FReadBuffer; }

  // Where received chat text goes, one socket read at a time.
  std::function<void(const QString& Text)> OnChatText;

  // Ports in use: the listening port once a listener is on, else the
  // configured one.
  quint16 GamePort() const;
  quint16 ChatPort() const;

  // Switching sockets on and off. OpenServer/OpenChatServer return false when
  // listening fails at once (for instance the port is taken); a client's
  // connect runs asynchronously and reports through the handlers.
  bool OpenServer();
  void OpenClient(const QString& Host);
  bool OpenChatServer();
  void OpenChatClient(const QString& Host);
  void CloseServer();
  void CloseClient();
  void CloseChatServer();
  void CloseChatClient();

  // A listener is active while it listens; a client while it connects or
  // its connection stands.
  bool ServerActive() const;
  bool ClientActive() const;
  bool ChatServerActive() const;
  bool ChatClientActive() const;

  // The connection to send on: the first accepted one on the master, the
  // established client connection on the slave; nullptr when there is none.
  QTcpSocket* GamePartner() const;
  QTcpSocket* ChatPartner() const;
  QTcpSocket* ClientSocket() const { return Client; }
  QTcpSocket* ChatClientSocket() const { return ChatClient; }

  // Link down and every socket off, without a report (a failed send, whose
  // own error goes to the writer).
  void CloseAll();

  // Takes the received message: returns it (also kept in ReadBuffer()) and
  // empties the receive state. Raises LineClosed "While reading buffer" when
  // the link is down, also when a message arrived just before it went.
  QByteArray GetBuffer();

  // Whether a socket is left that could still bring the link up (a listener
  // or a client that is connecting).
  bool CanConnect() const;

Q_SIGNALS:
  // The link flag changed.
  void LinkChanged(bool Up);
  // Anything changed: the link, the received message or the sockets.
  void Changed();

private:
  // The socket event handlers, each wired to the sockets' signals through
  // Guarded; only the sockets call them.
  void ClientConnect();
  void SocketDisconnect();
  // A game read: the bytes of one socket read are one message (see
  // ReceivedChunk); a newer message replaces one not yet taken.
  void SocketRead(QTcpSocket* Socket);
  void ChatRead(QTcpSocket* Socket);
  void ClientError(int ErrorNumber);

  void SetConnected(bool Up);
  void WireClient(QTcpSocket* Socket, bool Chat);
  void WireListener(TPartnerListener* Listener, bool Chat);

  quint16 FGamePort;
  quint16 FChatPort;
  QTcpSocket* Client;
  TPartnerListener* Server;
  QTcpSocket* ChatClient;
  TPartnerListener* ChatServer;
  bool FConnected = false;
  bool FDataAvailable = false;
  QByteArray FReceiveBuffer;
  QByteArray FReadBuffer;
};

// The system's error number for a socket error, as shown in "Asynchronous
// socket error %d".
int SocketErrorNumber(int QtSocketError);
