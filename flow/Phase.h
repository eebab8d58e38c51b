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
