// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The phases of a session, from the start-up to the window's closing.

enum class TPhase {
  Idle,            // before Start
  Connecting,      // waiting for the link, the wait box shown
  Exchanging,      // the first exchange of names and dimensions
  OwnTurn,         // the local player may place
  OwnReplay,       // the local player's placement is shown
  OpponentTurn,    // waiting for the opponent's move, or the computer thinks
  OpponentReplay,  // the opponent's placement is shown
  GameOver,        // the result and the question about the next game
  BetweenGames,    // the master (or the player against the computer) may start
  StartingGame,    // the master's exchange for the next game
  WaitingNextGame, // the slave waits for the master's next game
  Halted,          // an error left the game where it was; only the menu works
  Closed           // the window is closing
};

// What the window offers the user right now; everything else is refused by
// the controller anyway.
struct TOffers {
  bool Grid = false; // a click on a cell places a mass
  bool StartGame = false;
  bool Dimensions = false;
  bool Restart = false;
  bool RestartShown = false; // games against the computer only
  bool Undo = false;
  bool Hint = false;

  friend bool operator==(const TOffers&, const TOffers&) = default;
};

// What the player may do in Phase: in a game against the computer (Local)
// or over the network, once the opponent is there, with turns to take back
// (CanUndo) or none.
TOffers OffersIn(TPhase Phase, bool Local, bool HasOpponent, bool CanUndo);
