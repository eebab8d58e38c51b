// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command protocol and its transports.
//
// TCommandIO is the one object through which the game talks to a partner on
// another computer: it encodes commands (CommandToText), hands them to its
// transport, decodes what arrives (TextToCommand), checks it against the
// board in play, and runs the exchange of names and dimensions before every
// game. It creates and owns the transport, TInternetIO (TCP via the data
// module of Communication.h). It knows the wire and nothing else: the
// computer as an opponent is not a transport but a player of the flow.
//
// Order of use: TCommandIO(IsServer, Address, Module) -> Connected() (the
// data module's LinkChanged tells when) -> SetDimensions -> ExchangeSettings
// -> SendCommand / ReadCommand per move ... -> destruction (closes the game
// sockets). Reads and the exchange never wait: they report to a callback, as
// an event of their own, once the message is there.
//
// Errors are exceptions derived from std::runtime_error: LinkHasBeenClosed
// when the link is down (the game controller catches it where it waits for
// the opponent), ProtocolError for a message that is refused, ConvertError
// and RangeError for numbers that are not decimal or out of 0..255. A read
// hands its error to its callback, which rethrows it with Take(). A refused
// message never reaches the session or a board.

#include "Communication.h"
#include "DataStructures.h"
#include "Wire.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

enum class TCommandKind : uint8_t { None = 0, Move = 1, Start = 2, Name = 3, Dimensions = 4 };

// The word of each kind, for error messages only.
inline constexpr std::array<const char*, 5> CommandNames = {"None", "Move", "Start", "Name",
                                                            "Dimensions"};
// CommandNames[Kind], or "Unknown" for a code that is no kind.
const char* CommandName(TCommandKind Kind);

// Longest text a player name keeps.
inline constexpr int MaxCommandName = 20;
// Longest message the reader accepts.
inline constexpr int MaxMessageLength = 255;

struct TCommand {
  TCommandKind Kind = TCommandKind::None;
  // A Move's cell, or a Dimensions' size: one field each, read under the
  // name that fits the kind.
  uint8_t Row = 0;
  uint8_t Col = 0;
  uint8_t Rows() const { return Row; }
  uint8_t Cols() const { return Col; }
  // A Name's text, at most MaxCommandName characters.
  QString Name;

  static TCommand MakeMove(uint8_t ARow, uint8_t ACol);
  static TCommand MakeDimensions(uint8_t ARows, uint8_t ACols);
  static TCommand MakeName(const QString& AName);
};

// The wire bytes of a command (names in Latin-1, a character outside it as
// "?", cut to 20).
QByteArray CommandToText(const TCommand& Command);

// Decodes a received text up to its first NUL. Raises ProtocolError for a
// Move or Dimensions without ";", ConvertError / RangeError for its numbers.
// A first byte above 4 decodes to that code (CommandName gives "Unknown").
TCommand TextToCommand(QByteArrayView Text);

// What ReadCommand does with a received message: refuses one longer than
// MaxMessageLength, decodes it, checks its kind against Expected ("Expected
// Move but received Name"), and refuses a Move off the NumRows x NumCols
// board in play (the no-move marker, row NumRows with column 0, passes) and
// Dimensions outside 2..8.
TCommand CheckedCommand(QByteArrayView Text, TCommandKind Expected, uint8_t NumRows,
                        uint8_t NumCols);

// What a read hands back, once: the bytes of one message, or the reason
// there is none (LinkHasBeenClosed, ProtocolError ...).
struct TReadResult {
  QByteArray Text;
  std::exception_ptr Failure;
};
using TReadDone = std::function<void(const TReadResult& Result)>;

// A read command: the command, or the error the read ended with.
class TCommandResult {
public:
  // Decodes and checks Result's text as CheckedCommand does; any error is
  // kept for Take.
  TCommandResult(const TReadResult& Result, TCommandKind Expected, uint8_t NumRows,
                 uint8_t NumCols);
  // The command; rethrows the read's error.
  TCommand Take() const;

private:
  TCommand FCommand;
  std::exception_ptr FFailure;
};
using TCommandDone = std::function<void(const TCommandResult& Result)>;
// What the exchange before a game brought: the partner's name and the
// dimensions of the game (the master's own, or those the slave received),
// or the error it ended with.
struct TExchange {
  std::exception_ptr Failure;
  QString PartnerName;
  uint8_t NumRows = 0;
  uint8_t NumCols = 0;
};
using TExchangeDone = std::function<void(const TExchange& Result)>;

// The transport interface. A read never waits: it arms, and its Done runs
// later as an event of its own, exactly once, unless the read is cancelled
// or the transport destroyed first.
class TAbstractBaseIO {
public:
  explicit TAbstractBaseIO(TComDataModule* AModule);
  TAbstractBaseIO(const TAbstractBaseIO&) = delete;
  TAbstractBaseIO& operator=(const TAbstractBaseIO&) = delete;
  virtual ~TAbstractBaseIO();

  // The link flag of the data module.
  virtual bool Connected() const;
  virtual void Close();
  // Takes the next message: one already received, or the next to arrive.
  // Fails with LinkHasBeenClosed "Line closed while trying to read" when
  // the link is down, also when a message arrived just before it went.
  // Raises std::logic_error when a read is already armed.
  virtual void Read(TReadDone Done);
  virtual void CancelRead();
  virtual void Write(const QByteArray& Text) = 0;

protected:
  // Not owned; cleared if the data module goes first.
  QPointer<TComDataModule> Module;

private:
  void Poll();
  void Deliver();
  // Runs Action as an event of its own, dropped if this transport goes first.
  void Later(std::function<void()> Action);

  // The context of the events this transport posts and receives.
  QObject FContext;
  TReadDone FPending;
  bool FDeliveryPosted = false;
};

// A TCP peer: the master listens on the game port, the slave connects to
// Address (the host as the user typed it) at once.
class TInternetIO : public TAbstractBaseIO {
public:
  TInternetIO(bool IsServer, const QString& Address, TComDataModule* AModule);
  ~TInternetIO() override;

  // Switches off the game client and the game listener.
  void Close() override;
  // Raises LinkHasBeenClosed "Could not write to socket" with no connection
  // to write to.
  void Write(const QByteArray& Text) override;
};

class TCommandIO {
public:
  // IsServer on the master side; the slave connects to Address.
  TCommandIO(bool IsServer, const QString& Address, TComDataModule* Module);
  TCommandIO(const TCommandIO&) = delete;
  TCommandIO& operator=(const TCommandIO&) = delete;
  ~TCommandIO();

  bool Connected() const;
  // The board in play, which a received move must lie on.
  void SetDimensions(uint8_t NumRows, uint8_t NumCols);
  // Master: SendName(OwnName), ReceiveName, send the dimensions in play.
  // Slave: ReceiveName, SendName(OwnName), read Dimensions. Done runs once
  // the exchange is through or has failed, never inside this call.
  void ExchangeSettings(const QString& OwnName, TExchangeDone Done);
  // Raises LinkHasBeenClosed "Could not write to socket" when the command
  // cannot be written.
  void SendCommand(const TCommand& Command);
  // Reads one message and checks it (CheckedCommand): Done gets the command
  // or the error, later, as an event of its own.
  void ReadCommand(TCommandKind Expected, TCommandDone Done);
  // Drops an armed read.
  void CancelRead();
  void SendName(const QString& Name);
  // Done gets the partner's name, or the read's error.
  void ReceiveName(TExchangeDone Done);

private:
  // The context of the events the exchange posts.
  QObject FContext;
  std::unique_ptr<TAbstractBaseIO> IO;
  // The role in the exchange, fixed at creation.
  bool FMaster = true;
  uint8_t FNumRows = 0;
  uint8_t FNumCols = 0;
};
