// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the receive path of the game connection: what a game
// read keeps of one socket read (ReceivedChunk: NUL cut, length cut),
// decoding, and every check a read makes. Each input must give a command within the
// rules or one of the protocol's clear errors; anything else aborts.

#include "CommandIO.h"
#include "Communication.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void CheckCommand(const TCommand& Command, TCommandKind Expected, uint8_t NumRows,
                  uint8_t NumCols) {
  Require(Command.Kind == Expected, "delivered kind differs from the expected one");
  switch (Command.Kind) {
  case TCommandKind::Move: {
    const bool OnBoard = Command.Row < NumRows && Command.Col < NumCols;
    const bool NoMove = Command.Row == NumRows && Command.Col == 0;
    Require(OnBoard || NoMove, "move off the board delivered");
    break;
  }
  case TCommandKind::Dimensions:
    Require(Command.Rows() >= 2 && Command.Rows() <= 8 && Command.Cols() >= 2 &&
                Command.Cols() <= 8,
            "dimensions outside 2..8 delivered");
    break;
  case TCommandKind::Name:
    Require(Command.Name.size() <= MaxCommandName, "name longer than 20 delivered");
    break;
  default:
    break;
  }
  // What was delivered survives a trip through the encoder.
  const TCommand Again = TextToCommand(CommandToText(Command));
  Require(Again.Kind == Command.Kind && Again.Row == Command.Row && Again.Col == Command.Col,
          "re-encoded command differs");
}

void ClearError(const std::exception& Error) {
  Require(std::strlen(Error.what()) > 0, "error without a message");
}

// What a game read keeps, worked out here byte by byte.
void CheckChunk(const QByteArray& Message, const uint8_t* Data, size_t Size) {
  const void* Nul = std::memchr(Data, 0, Size);
  const size_t Text = Nul ? size_t(static_cast<const uint8_t*>(Nul) - Data) : Size;
  const size_t Kept = std::min<size_t>(Text, MaxChunkLength);
  Require(size_t(Message.size()) == Kept, "chunk not cut at its NUL or at the buffer's length");
  Require(Kept == 0 || std::memcmp(Message.constData(), Data, Kept) == 0, "chunk copy differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const auto NumRows = uint8_t(2 + Size % 7);
  const auto NumCols = uint8_t(2 + (Size / 7) % 7);

  const QByteArray Message =
      ReceivedChunk(QByteArrayView(reinterpret_cast<const char*>(Data), qsizetype(Size)));
  CheckChunk(Message, Data, Size);

  // A read parses the same text whatever kind it expects and only then
  // compares the kinds, so reading each input as the kind it claims and as
  // one other kind (chosen by its length) takes every path; trying all six
  // kinds made five of every six reads throw.
  const auto Claimed =
      Message.isEmpty() ? TCommandKind::None : static_cast<TCommandKind>(uint8_t(Message[0]));
  const auto Other = static_cast<TCommandKind>((int(Claimed) + 1 + int(Size % 5)) % 6);
  for (const TCommandKind Expected : {Claimed, Other}) {
    try {
      CheckCommand(CheckedCommand(Message, Expected, NumRows, NumCols), Expected, NumRows, NumCols);
    } catch (const ProtocolError& E) {
      ClearError(E);
    } catch (const ConvertError& E) {
      ClearError(E);
    } catch (const RangeError& E) {
      ClearError(E);
    }
  }
  return 0;
}
