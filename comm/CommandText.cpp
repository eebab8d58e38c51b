// SPDX-License-Identifier: GPL-3.0-or-later
// The wire format of the game connection:
//
//   message    := None | Move | Start | Name | Dimensions
//   None       := 0x00
//   Move       := 0x01 number ";" number          row ";" column, from 0
//   Start      := 0x02
//   Name       := 0x03 { byte except NUL }        0..20 bytes, Latin-1
//   Dimensions := 0x04 number ";" number          rows ";" columns
//   number     := digit { digit }                  0..255, sent without sign,
//                                                  spaces or leading zeros
//
// The first byte is the kind's code as a raw byte. There is no terminator,
// length or framing: a message is the bytes of one send, and the receiver
// takes the bytes of one socket read as one message, up to its first NUL.
// The exchange alternates strictly, so at most one message is in flight.

#include "CommandIO.h"

#include "DataStructures.h"

#include <algorithm>
#include <string>

namespace {

constexpr uint8_t MinReceivedDimension = 2;

// Received bytes shown in a message: printable ones as they are, the others
// as "?", since they may be anything.
std::string Printable(QByteArrayView Bytes) {
  std::string Result;
  for (const char Byte : Bytes.first(std::min<qsizetype>(Bytes.size(), 32))) {
    const auto Code = static_cast<unsigned char>(Byte);
    Result += Code >= 0x20 && Code < 0x7F ? Byte : '?';
  }
  if (Bytes.size() > 32)
    Result += "...";
  return Result;
}

uint8_t ParseNumber(QByteArrayView Digits) {
  const bool Decimal = !Digits.isEmpty() && std::all_of(Digits.begin(), Digits.end(), [](char C) {
    return C >= '0' && C <= '9';
  });
  if (!Decimal)
    throw ConvertError("'" + Printable(Digits) + "' is not a valid integer value");
  unsigned Value = 0;
  for (const char Digit : Digits) {
    Value = Value * 10 + unsigned(Digit - '0');
    if (Value > 255)
      throw RangeError("Received number " + Printable(Digits) + " is out of range 0..255");
  }
  return static_cast<uint8_t>(Value);
}

std::string Number(unsigned Value) {
  return std::to_string(Value);
}

} // namespace

QByteArrayView ZeroTerminated(QByteArrayView Text) {
  const auto End = std::find(Text.begin(), Text.end(), '\0');
  return Text.first(End - Text.begin());
}

const char* CommandName(TCommandKind Kind) {
  const auto Code = static_cast<std::size_t>(Kind);
  return Code < CommandNames.size() ? CommandNames[Code] : "Unknown";
}

TCommand TCommand::MakeMove(uint8_t ARow, uint8_t ACol) {
  TCommand Command;
  Command.Kind = TCommandKind::Move;
  Command.Row = ARow;
  Command.Col = ACol;
  return Command;
}

TCommand TCommand::MakeDimensions(uint8_t ARows, uint8_t ACols) {
  TCommand Command;
  Command.Kind = TCommandKind::Dimensions;
  Command.Row = ARows;
  Command.Col = ACols;
  return Command;
}

TCommand TCommand::MakeName(const QString& AName) {
  TCommand Command;
  Command.Kind = TCommandKind::Name;
  Command.Name = AName.left(MaxCommandName);
  return Command;
}

QByteArray CommandToText(const TCommand& Command) {
  QByteArray Text(1, static_cast<char>(Command.Kind));
  switch (Command.Kind) {
  case TCommandKind::Move:
  case TCommandKind::Dimensions:
    Text += QByteArray::number(Command.Row) + ';' + QByteArray::number(Command.Col);
    break;
  case TCommandKind::Name: {
    // A NUL would end the name early on the receiving side.
    QByteArray Name = Command.Name.left(MaxCommandName).toLatin1();
    Name.replace('\0', '?');
    Text += Name;
    break;
  }
  default:
    break;
  }
  return Text;
}

TCommand TextToCommand(QByteArrayView Received) {
  const QByteArrayView Text = ZeroTerminated(Received);
  TCommand Command;
  if (Text.isEmpty())
    return Command;
  Command.Kind = static_cast<TCommandKind>(static_cast<uint8_t>(Text[0]));
  const QByteArrayView Body = Text.sliced(1);
  switch (Command.Kind) {
  case TCommandKind::Move:
  case TCommandKind::Dimensions: {
    const auto Semicolon = std::find(Body.begin(), Body.end(), ';');
    if (Semicolon == Body.end())
      throw ProtocolError(std::string(CommandName(Command.Kind)) + " message without \";\"");
    const qsizetype At = Semicolon - Body.begin();
    Command.Row = ParseNumber(Body.first(At));
    Command.Col = ParseNumber(Body.sliced(At + 1));
    break;
  }
  case TCommandKind::Name:
    Command.Name =
        QString::fromLatin1(Body.data(), std::min<qsizetype>(Body.size(), MaxCommandName));
    break;
  default:
    break;
  }
  return Command;
}

TCommand CheckedCommand(QByteArrayView Received, TCommandKind Expected, uint8_t NumRows,
                        uint8_t NumCols) {
  const QByteArrayView Text = ZeroTerminated(Received);
  if (Text.size() > MaxMessageLength)
    throw ProtocolError("Received message longer than " + Number(MaxMessageLength) + " characters");
  const TCommand Command = TextToCommand(Text);
  if (Command.Kind != Expected)
    throw ProtocolError(std::string("Expected ") + CommandName(Expected) + " but received " +
                        CommandName(Command.Kind));
  // A board has no room for anything else, so such a message must not reach it.
  if (Command.Kind == TCommandKind::Move) {
    const bool NoMoveMarker = Command.Row == NumRows && Command.Col == 0;
    if (!NoMoveMarker && (Command.Row >= NumRows || Command.Col >= NumCols))
      throw ProtocolError("Received move " + Number(Command.Row) + ";" + Number(Command.Col) +
                          " lies off the board of " + Number(NumRows) + " x " + Number(NumCols));
  } else if (Command.Kind == TCommandKind::Dimensions) {
    if (Command.Rows() < MinReceivedDimension || Command.Rows() > MaxDimension ||
        Command.Cols() < MinReceivedDimension || Command.Cols() > MaxDimension)
      throw ProtocolError("Received dimensions " + Number(Command.Rows()) + " x " +
                          Number(Command.Cols()) + " lie outside " + Number(MinReceivedDimension) +
                          ".." + Number(MaxDimension));
  }
  return Command;
}
