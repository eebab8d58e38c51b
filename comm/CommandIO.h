#pragma once

// The command protocol and its transports.
//
// TCommandIO is the one object through which the main window talks to its
// opponent: it encodes commands (CommandToText), hands them to its transport,
// decodes what arrives (TextToCommand), checks it, and runs the exchange of
// names and dimensions before every game. It creates and owns the transport:
// TLocalIO (the computer, answers every read at once) or TInternetIO (TCP via
// the data module of Communication.h).
//
// Order of use: TCommandIO(IsServer) -> Connected() (the data module's
// LinkChanged tells when) -> SetBoard -> ExchangeSettings -> SendCommand /
// ReadCommand per move ... -> destruction (closes the game sockets). Reads
// and the exchange never wait: they report to a callback, as an event of
// their own, once the message is there (or the computer has found its move
// on a worker thread).
//
// Errors are exceptions derived from std::runtime_error: LinkHasBeenClosed
// when the link is down (the game controller catches it where it waits for
// the opponent), ProtocolError for a message that is refused, ConvertError
// and RangeError for numbers that are not decimal or out of 0..255. A read
// hands its error to its callback, which rethrows it with Take(). A refused
// message never reaches the settings or a board.

#include "Communication.h"
#include "DataStructures.h"

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

class TSearchJob;

// The link is down (raised only inside the data module and the transports).
class LineClosed : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The link to the opponent is down: no message can be read or written.
class LinkHasBeenClosed : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received message is not what the protocol allows here.
class ProtocolError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received number is not a decimal integer.
class ConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received number lies outside 0..255.
class RangeError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

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

// The text up to its first NUL: the receiver's view of every message.
QByteArrayView ZeroTerminated(QByteArrayView Text);

// Decodes a received text up to its first NUL. Raises ProtocolError for a
// Move or Dimensions without ";", ConvertError / RangeError for its numbers.
// A first byte above 4 decodes to that code (CommandName gives "Unknown").
TCommand TextToCommand(QByteArrayView Text);

// What ReadCommand does with a received message: refuses one longer than
// MaxMessageLength, decodes it, checks its kind against Expected ("Expected
// Move but received Name"), and refuses a Move off the NumRows x NumCols
// board (the no-move marker, row NumRows with column 0, passes) and
// Dimensions outside 2..8.
TCommand CheckedCommand(QByteArrayView Text, TCommandKind Expected);

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
  TCommandResult(const TReadResult& Result, TCommandKind Expected);
  // The command; rethrows the read's error.
  TCommand Take() const;

private:
  TCommand FCommand;
  std::exception_ptr FFailure;
};
using TCommandDone = std::function<void(const TCommandResult& Result)>;
// nullptr when the exchange went through, else its error.
using TExchangeDone = std::function<void(std::exception_ptr Failure)>;

// The transport interface. A read never waits: it arms, and its Done runs
// later as an event of its own, exactly once, unless the read is cancelled
// or the transport destroyed first.
class TAbstractBaseIO {
public:
  // IsServer matters only to TInternetIO.
  explicit TAbstractBaseIO(bool IsServer, TComDataModule* AModule = ComDataModule);
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

  // The current board; not owned.
  void SetBoard(TBord* ABoard) { Board = ABoard; }

protected:
  // Runs Action as an event of its own, dropped if this transport goes first.
  void Later(std::function<void()> Action);

  TBord* Board = nullptr;
  // Not owned; cleared if the data module goes first.
  QPointer<TComDataModule> Module;

private:
  void Poll();
  void Deliver();

  // The context of the events this transport posts and receives.
  QObject FContext;
  TReadDone FPending;
  bool FDeliveryPosted = false;
};

// The computer as opponent: writes are dropped, every read is answered by
// Answer.
class TLocalIO : public TAbstractBaseIO {
public:
  // How the computer chooses its move on (a copy of) the board; by default
  // ComputerMove.
  using TMoveChoice = std::function<TMove(TBord& Board)>;

  explicit TLocalIO(bool IsServer = true);
  ~TLocalIO() override;

  bool Connected() const override { return true; }
  // Fails with ProtocolError "Local IO called Read-routine".
  void Read(TReadDone Done) override;
  void CancelRead() override;
  void Write(const QByteArray&) override {}

  // The computer's reply of the Expected kind: its move on the board, found
  // on a worker thread (or the no-move marker at once when it owns no cell
  // it may play), the name "Computer", the current dimensions.
  void Answer(TCommandKind Expected, TReadDone Done);
  void SetMoveChoice(TMoveChoice Choice);
  // The computer stops thinking for good (the program closes).
  void StopThinking();

private:
  TMoveChoice FChoice;
  std::unique_ptr<TSearchJob> FJob;
};

// A TCP peer: the master listens on the game port, the slave connects to
// InternetAddress at once.
class TInternetIO : public TAbstractBaseIO {
public:
  explicit TInternetIO(bool IsServer, TComDataModule* AModule = ComDataModule);
  ~TInternetIO() override;

  // Switches off the game client and the game listener.
  void Close() override;
  // Raises LinkHasBeenClosed "Could not write to socket" with no connection
  // to write to.
  void Write(const QByteArray& Text) override;
};

class TCommandIO {
public:
  // Creates the transport ConnectionLastGame asks for (0 the computer, 1 a
  // TCP peer; anything else raises). IsServer on the master side.
  explicit TCommandIO(bool IsServer, TComDataModule* Module = ComDataModule);
  TCommandIO(const TCommandIO&) = delete;
  TCommandIO& operator=(const TCommandIO&) = delete;
  ~TCommandIO();

  bool Connected() const;
  void SetBoard(TBord* Board);
  // Master: SendName, ReceiveName, send Dimensions. Slave: ReceiveName,
  // SendName, read Dimensions into NumRows/NumCols. Done runs once the
  // exchange is through or has failed, never inside this call.
  void ExchangeSettings(TExchangeDone Done);
  // Raises LinkHasBeenClosed "Could not write to socket" when the command
  // cannot be written.
  void SendCommand(const TCommand& Command);
  // Reads one message and checks it (CheckedCommand): Done gets the command
  // or the error, later, as an event of its own.
  void ReadCommand(TCommandKind Expected, TCommandDone Done);
  // Drops an armed read (and stops the computer's search).
  void CancelRead();
  void SendName();
  void ReceiveName(TExchangeDone Done);
  bool IsLocal() const;
  // The computer's transport in a local game, else nullptr.
  TLocalIO* Local() const;

private:
  // The context of the events the exchange posts.
  QObject FContext;
  std::unique_ptr<TAbstractBaseIO> IO;
  // The role in the exchange, fixed at creation: a local game is always the
  // master's.
  bool FMaster = true;
};
