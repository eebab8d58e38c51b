// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TGameView: what the game controller needs of the window that shows the
// game. The window draws, plays the sound, shows the dialogs and message
// boxes and forwards the user's clicks, keys and menu commands to the
// controller; it decides nothing about the game. Tests implement this with
// a recorder, so the whole flow of play runs without a screen.

#include "Messages.h"
#include "Phase.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include <QString>

struct TChatLink;
struct TSettings;

enum class TAnimationSpeed : uint8_t;
enum class TComputerLevel : uint8_t;

class TGameView {
public:
  virtual ~TGameView() = default;

  // Modal dialogs and boxes: each returns once the user has answered, with
  // the answer as a value. AskPlayerName gives the name to play with (the
  // stored one offered); AskGameType edits the connection choice in the
  // settings it is handed, on OK and Cancel alike, and is true on OK;
  // AskDimensions gives the rows and columns chosen, nothing on Cancel.
  virtual QString AskPlayerName(const QString& Stored) = 0;
  virtual bool AskGameType(TSettings& Settings) = 0;
  virtual std::optional<std::pair<uint8_t, uint8_t>> AskDimensions(uint8_t NumRows,
                                                                   uint8_t NumCols) = 0;
  virtual TMsgButton Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) = 0;
  // Whether a modal dialog or box is open; while one is, the controller
  // holds back what arrives and goes on once the view calls Resume().
  virtual bool ModalOpen() const = 0;
  // The modeless wait box of the start-up. Neither runs an event loop: the
  // box shows once the wait has lasted long enough to be seen, painted as it
  // appears, and a wait that ends at once leaves it unshown.
  virtual void ShowWaitBox(const QString& Text) = 0;
  virtual void HideWaitBox() = 0;

  // Read-outs. "\r" in an information text breaks the line.
  virtual void SetInformation(const QString& Text, int Size, bool Bold) = 0;
  virtual void DisplayScore(int Own, int Opponent) = 0;
  // Shows the local player's name and the opponent's.
  virtual void ShowPlayerNames(const std::array<QString, 2>& PlayerNames) = 0;
  virtual void SetHourGlass(bool On) = 0;
  virtual void ShowOffers(const TOffers& Offers) = 0;
  // The animation speed in force (the "Explosions" check mark is on unless
  // it is Off).
  virtual void ShowAnimationSpeed(TAnimationSpeed Speed) = 0;
  // The computer's strength, and whether it varies its play.
  virtual void ShowComputerLevel(TComputerLevel Level, bool Varied) = 0;

  // The board: its size, and the picture of a cell (the controller's
  // ShownPicture) or an explosion frame over it (-1 for none), painted from
  // the next turn of the event loop on.
  virtual void ResizeGrid(int Rows, int Cols) = 0;
  virtual void InvalidateCell(int Row, int Col) = 0;
  virtual void InvalidateBoard() = 0;
  virtual void ShowExplosionFrame(int Row, int Col, int Frame) = 0;
  virtual void PlayExplosionSound() = 0;
  // A note over the board, for a cascade that has been on show a while:
  // a click or Escape shows its end at once.
  virtual void ShowSkipNote(bool On) = 0;

  // The chat window on Link, once per connection, after the first exchange.
  virtual void OpenChat(const TChatLink& Link) = 0;
  // The start-up is over: the first game is on.
  virtual void StartUpDone() = 0;
  // Closes the main window, which ends the program.
  virtual void CloseForm() = 0;
};
