// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChatIO.h"

#include <QTcpSocket>

#include <stdexcept>

TInternetChat::TInternetChat(TChatReceive OnReceive, bool Master, const QString& Address,
                             TComDataModule* AModule)
    : Module(AModule), FMaster(Master) {
  if (!Module)
    throw std::runtime_error("The connection module does not exist");
  Module->OnChatText = std::move(OnReceive);
  // A chat that cannot start leaves the game running without it.
  if (FMaster) {
    if (!Module->OpenChatServer())
      Close();
  } else {
    Module->OpenChatClient(Address);
  }
}

TInternetChat::~TInternetChat() {
  Close();
  // The receiver usually dies with this object (the chat window's memo).
  if (Module)
    Module->OnChatText = nullptr;
}

bool TInternetChat::Connected() const {
  return Module && Module->Connected();
}

void TInternetChat::Send(const QString& Text) {
  if (!Connected())
    return;
  QTcpSocket* Socket = FMaster ? Module->ChatPartner()
                       : Module->ChatClientSocket()->state() == QAbstractSocket::ConnectedState
                           ? Module->ChatClientSocket()
                           : nullptr;
  const QByteArray Bytes = Text.toLatin1();
  if (!Socket || Bytes.isEmpty())
    return;
  // A failed send shows as the socket's error event (link down, report).
  Socket->write(Bytes);
  Socket->flush();
}

void TInternetChat::Close() {
  if (!Module)
    return;
  if (Module->ChatServerActive())
    Module->CloseChatServer();
  if (Module->ChatClientActive())
    Module->CloseChatClient();
}

TChatIO::TChatIO(TChatReceive OnReceive, const TChatLink& Link) {
  if (!Link.Module)
    throw std::runtime_error("Unknown connection for Chat");
  IO =
      std::make_unique<TInternetChat>(std::move(OnReceive), Link.Master, Link.Address, Link.Module);
}

void TChatIO::Send(const QString& Text) {
  IO->Send(Text);
}

bool TChatIO::Connected() const {
  return IO->Connected();
}
