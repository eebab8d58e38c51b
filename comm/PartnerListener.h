// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TPartnerListener: a listener that keeps only its first partner. It owns
// its QTcpServer and the connection it accepted; TComDataModule has one for
// the game and one for the chat.
//
// The first accepted connection is the partner. Every later one is closed at
// once, also after the partner has left: for the life of the listener (one
// connection attempt) nobody takes the partner's place, so a stranger can
// never take over a game in progress. The listener reads nothing itself; it
// passes on what the partner's socket signals.
//
// Order of use: construct, Open, watch Accepted / ReadyRead / Disconnected /
// Failed; Close or destroy to drop the partner.

#include <QAbstractSocket>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

class TPartnerListener : public QObject {
  Q_OBJECT

public:
  // Name becomes the server's object name. ReadBufferSize bounds what the
  // partner's socket buffers (0: no bound). Port 0 picks a free port.
  TPartnerListener(const QString& Name, quint16 Port, qint64 ReadBufferSize, QObject* Owner);
  ~TPartnerListener() override;

  // Listens on IPv4 and IPv6; false when that fails at once (for instance
  // the port is taken).
  bool Open();
  // Stops listening and drops the partner without a signal. Returns whether
  // a standing connection was dropped.
  bool Close();
  bool Active() const;
  // The listening port once listening, else the configured one.
  quint16 Port() const;
  // The partner's connection while it stands, else nullptr.
  QTcpSocket* Partner() const;
  // Socket is the partner, standing or not yet forgotten.
  bool Holds(const QTcpSocket* Socket) const;

Q_SIGNALS:
  // The partner arrived.
  void Accepted();
  void ReadyRead(QTcpSocket* Socket);
  // The partner left; it is already forgotten.
  void Disconnected();
  // The partner's socket failed (never for an orderly close by the partner).
  void Failed(QAbstractSocket::SocketError Error);

private:
  void Accept();
  void Forget();

  QTcpServer* FServer;
  quint16 FPort;
  qint64 FReadBufferSize;
  QPointer<QTcpSocket> FPartner;
  // A partner was accepted at some time.
  bool FTaken = false;
};
