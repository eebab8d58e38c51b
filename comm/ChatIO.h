// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chat transport: free text on a second TCP connection beside the game
// connection, on the data module's chat port (4133). The master listens, the
// slave connects to the partner's address. Nothing is negotiated, framed or
// buffered: a text goes out as its Latin-1 bytes, and the receiver hands the
// bytes of one socket read to OnReceive as one text.
//
// TChatIO is what the chat window creates; it picks the transport (there is
// one, TInternetChat) and owns it. A failed switch-on leaves the game running
// without chat. The chat sockets share the data module's link flag, so the
// chat connection dropping takes the game link down too.

#include "Communication.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

using TChatReceive = std::function<void(const QString& Text)>;

class TAbstractChatIO {
public:
  TAbstractChatIO() = default;
  TAbstractChatIO(const TAbstractChatIO&) = delete;
  TAbstractChatIO& operator=(const TAbstractChatIO&) = delete;
  virtual ~TAbstractChatIO() = default;

  virtual bool Connected() const = 0;
  virtual void Send(const QString& Text) = 0;
  virtual void Close() = 0;
};

class TInternetChat : public TAbstractChatIO {
public:
  // Stores OnReceive in the data module and switches the chat listener (on
  // the master) or the chat client (on the slave, to Address) on. The role
  // is taken once, here.
  TInternetChat(TChatReceive OnReceive, bool Master, const QString& Address,
                TComDataModule* AModule);
  ~TInternetChat() override;

  // The data module's link flag.
  bool Connected() const override;
  // Dropped without a message when the link is down or the partner's chat
  // connection does not stand yet.
  void Send(const QString& Text) override;
  // Switches the chat listener and the chat client off.
  void Close() override;

private:
  QPointer<TComDataModule> Module;
  bool FMaster;
};

// The connection a chat runs on: the data module of a game against another
// computer (nullptr in a game against the computer), the role and the
// partner's address.
struct TChatLink {
  TComDataModule* Module = nullptr;
  bool Master = false;
  QString Address;
};

class TChatIO {
public:
  // Raises std::runtime_error "Unknown connection for Chat" without a data
  // module, outside a game against another computer.
  TChatIO(TChatReceive OnReceive, const TChatLink& Link);

  void Send(const QString& Text);
  bool Connected() const;

private:
  std::unique_ptr<TAbstractChatIO> IO;
};
