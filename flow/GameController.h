// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TGameController: the session and its flow of play, from the start-up
// dialogs to the last game, without a single widget. It owns the settings
// of the session, the board, the opponent (the computer, or the connection
// to a person on another computer), the computer as a player (its replies
// and the hints), the replay of the cascades and the queue of steps; it
// knows the phase of play and refuses what the phase does not allow. Its
// view (TGameView) shows what it reports and forwards the user's intents:
// PlaceAt, StartGame, ChangeDimensions, Restart, SetExplosions, Exit, Close,
// and the player's aids: FinishReplay, SetAnimationSpeed, Undo, Hint,
// SetComputerLevel.
//
// Everything advances on events: a click, a move of the opponent (a message,
// or the computer's answer from its worker thread), the end of a replay, the
// link going down, the connection timer. Each event posts a step to the
// queue (TStepQueue), which runs it from the event loop, to its end; what
// arrives meanwhile, or while a modal dialog is open, waits its turn. No step
// waits, sleeps or runs an event loop of its own, except the view's modal
// dialogs.
//
// The start-up, up to the first game, is TConnectionSetUp's. The play, from
// a click to the next turn, reads top to bottom in GamePlay.cpp:
//   PlaceAt -> SendMove, PlaceRecorded (the board is final at once)
//   -> replay (OwnReplay) -> AwaitOpponentMove: the thinking or waiting
//   read-out, the opponent asked (OpponentTurn) -> its move arrives ->
//   "Moved" read-out, PlaceRecorded -> replay (OpponentReplay) -> AfterTurn:
//   the turn is back (OwnTurn), or GameOver.
// GameOver -> result, high scores, "Do you want to play again" -> the
//   master waits for StartGame (BetweenGames); the slave runs the next
//   exchange at once (WaitingNextGame), rebuilds its board and waits for the
//   first move.
// The aids (undo, the hint, the last moves, the animation speed and the
// computer's strength) are in GameAids.cpp.

#include "CascadeReplay.h"
#include "ComputerPlayer.h"
#include "ConnectionSetUp.h"
#include "DataStructures.h"
#include "GameView.h"
#include "Levels.h"
#include "Opponent.h"
#include "Phase.h"
#include "RuntimeData.h"
#include "StepQueue.h"
#include "ThinkRelay.h"

#include <QObject>
#include <QRandomGenerator>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TGameController : public QObject {
public:
  // Records one finished game for a player (the high-score table).
  using TScoreRecorder = std::function<void(const QString& Name, bool Won)>;

  explicit TGameController(TGameView& View, TPorts Ports = {}, QObject* Parent = nullptr);
  ~TGameController() override;

  void SetScoreRecorder(TScoreRecorder Recorder) { FRecord = std::move(Recorder); }

  // The user's intents. Each is refused (does nothing) where the phase does
  // not allow it.
  void Start();
  void PlaceAt(int Row, int Col);
  void StartGame();
  void ChangeDimensions();
  void Restart();
  // The "Explosions" check mark: off is the animation speed Off, on the
  // speed it had before.
  void SetExplosions(bool On) {
    if (On != (AnimationSpeed() != TAnimationSpeed::Off))
      SetAnimationSpeed(On ? FSpeedWhenOn : TAnimationSpeed::Off);
  }
  void SetAnimationSpeed(TAnimationSpeed Speed);
  TAnimationSpeed AnimationSpeed() const { return FReplay.Speed(); }
  // A click on the board or Escape while a placement is shown: its end at
  // once, and after the player's own placement the opponent's reply too is
  // shown at once (drawn, with its read-outs, but without the explosions).
  void FinishReplay() {
    Post([this] { SkipTurn(); });
  }
  // Against the computer, on the player's turn: back to before the player's
  // last move and the computer's reply.
  void Undo();
  // On the player's turn: marks the cell the Strong level would play for
  // the player (found on a worker thread); places nothing.
  void Hint();
  // The computer's strength from its next move on.
  void SetComputerLevel(TComputerLevel Level);
  // Whether the stronger levels vary their play; each game draws its seed.
  void SetVaryPlay(bool On) {
    FVaryPlay = On;
    if (FSettings)
      FSettings->VaryPlay = On;
    NewGameSeed();
    FView.ShowComputerLevel(ComputerLevel(), On);
  }
  TComputerLevel ComputerLevel() const { return FComputer.Level(); }
  // Asks "Are you sure"; Yes closes the window.
  void Exit();
  // The window closes: the searches stop, the replay and every wait end now.
  void Close();
  // The view's own modal dialog has closed: what waited runs now.
  void Resume() { FSteps.Resume(); }

  TPhase Phase() const { return FPhase; }
  const TStepQueue& Steps() const { return FSteps; }
  // The session's settings, once the start-up has loaded them.
  const std::optional<TSettings>& Settings() const { return FSettings; }
  // The progress of the computer's replies, for the thinking window.
  TThinkRelay& ThinkRelay() { return FRelay; }
  // Each player's most recent placement in this game (owner 0 and 1).
  std::optional<TMove> LastMove(uint8_t Player) const { return FLastMoves[Player & 1]; }
  // The cell a hint marks, while it stands.
  std::optional<TMove> HintCell() const { return FHint; }
  TOffers Offers() const {
    return OffersIn(FPhase, IsLocalGame(), FOpponent != nullptr, !FTurns.empty());
  }
  const TBord* Bord() const { return FBord.get(); }
  // The picture the window shows for a cell; it lags behind the board while
  // a placement is replayed.
  int ShownPicture(int Row, int Col) const { return FReplay.Picture(Row, Col); }
  TCascadeReplay& Replay() { return FReplay; }
  // The opponent of the session, once the start-up has chosen one.
  TOpponent* OtherPlayer() const { return FOpponent.get(); }
  // The data module of the connection to another computer, the session's
  // or the one being set up.
  TComDataModule* ComData() const {
    const auto* Network =
        dynamic_cast<const TNetworkOpponent*>(FOpponent ? FOpponent.get() : FSetUp.Pending());
    return Network ? &Network->Module() : nullptr;
  }
  bool IsLocalGame() const { return FSettings && FSettings->ConnectionLastGame == 0; }
  bool IsMaster() const { return IsLocalGame() || (FSettings && FSettings->RelationLastGame == 1); }

  // Rebuilds the board and the grid for Rows x Cols (2..8 each), which
  // become the dimensions in force. Refused while a placement is shown or
  // the computer is thinking on the board: nothing may free the board a step
  // is using.
  void ResizeBoard(uint8_t Rows, uint8_t Cols);

private:
  void Post(TStepQueue::TStep Step) { FSteps.Post(std::move(Step)); }
  // The same seed and the same moves of the player give the same game.
  void NewGameSeed() {
    FComputer.SetSeed(FVaryPlay ? QRandomGenerator::global()->generate64() | 1 : NoVariety);
  }
  // Runs one of the view's modal dialogs or boxes; steps wait until it ends.
  template <typename F>
  auto Modal(F&& Show) {
    const TStepQueue::TNested Nested(FSteps);
    return Show();
  }
  TMsgButton Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
    return Modal([&] { return FView.Message(Text, Type, Buttons); });
  }
  void SetPhase(TPhase Phase);
  void SkipTurn() {
    if (FPhase != TPhase::OwnReplay && FPhase != TPhase::OpponentReplay)
      return;
    FSkipTurn = true;
    FReplay.Finish();
  }
  void SetHourGlass(bool On) {
    FHourGlass = On;
    FView.SetHourGlass(On);
  }
  void Failed(const std::exception& Error);
  // The set-up is through: the opponent is ready, the first exchange done.
  void StartUpDone(std::unique_ptr<TOpponent> Opponent, const TExchange& First);

  // Play (GamePlay.cpp).
  void Replay(TCascadeSteps Steps, TPhase During, std::function<void()> Then);
  void AwaitOpponentMove();
  void OpponentMoved(const TOpponentMove& Result);
  void AfterTurn();
  void GameOver();
  void NextGameExchanged(const TExchange& Result);
  // Takes the partner's name from a next game's exchange. False when the
  // exchange failed: the partner gone is reported, anything else rethrown.
  bool TakeExchange(const TExchange& Result);
  void ShowScore();
  void ReportLinkClosed();
  void LinkChanged(bool Up);

  // The read-out as set last, kept for undo.
  struct TInformation {
    QString Text;
    int Size = 12;
    bool Bold = true;
  };
  // What undo goes back to: the game before one of the player's moves.
  struct TTurn {
    std::unique_ptr<TBord> Board;
    TInformation Information;
    std::array<std::optional<TMove>, 2> LastMoves;
  };

  void SetInformation(const QString& Text, int Size, bool Bold) {
    FInformation = {Text, Size, Bold};
    FView.SetInformation(Text, Size, Bold);
  }
  // The board was emptied or replaced: no last moves, nothing to undo.
  void ForgetGame();
  void SetLastMove(uint8_t Player, TMove Move);
  // The hint goes with the position it was for.
  void DropHint();

  TGameView& FView;
  std::optional<TSettings> FSettings;
  TStepQueue FSteps;
  TThinkRelay FRelay;
  TComputerPlayer FComputer;
  TCascadeReplay FReplay;
  std::unique_ptr<TBord> FBord;
  TConnectionSetUp FSetUp;
  std::unique_ptr<TOpponent> FOpponent;
  TScoreRecorder FRecord;
  TPhase FPhase = TPhase::Idle;
  bool FHourGlass = false;
  TInformation FInformation;
  std::array<std::optional<TMove>, 2> FLastMoves;
  std::vector<TTurn> FTurns;
  // The speed the "Explosions" check mark goes back to.
  TAnimationSpeed FSpeedWhenOn = TAnimationSpeed::Normal;
  bool FVaryPlay = true;
  std::optional<TMove> FHint;
  // The player has skipped the showing of this turn: the reply that follows
  // is shown at once as well.
  bool FSkipTurn = false;
  // The click that started the next game: its first move.
  std::optional<TMove> FStartMove;
};
