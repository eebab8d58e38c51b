#pragma once

// TGameController: the flow of play, from the start-up dialogs to the last
// game, without a single widget. It owns the board, the command object and
// the socket data module of the current connection attempt, and the replay
// of the cascades; it knows the phase of play and refuses what the phase
// does not allow. Its view (TGameView) shows what it reports and forwards
// the user's intents: PlaceAt, StartGame, ChangeDimensions, Restart,
// SetExplosions, Exit, Close, and the player's aids: FinishReplay,
// SetAnimationSpeed, Undo, Hint, SetComputerLevel.
//
// Everything advances on events: a click, a message of the opponent (or the
// computer's move, found on a worker thread), the end of a replay, the link
// going down, the connection timer. Each event runs as one step to its end;
// what arrives meanwhile, or while one of the view's modal dialogs is open,
// waits in a queue and runs next. No step waits, sleeps or runs an event
// loop of its own, except the view's modal dialogs.
//
// A click, end to end:
//   PlaceAt -> SendCommand(Move), PlaceRecorded (the board is final at once)
//   -> replay (OwnReplay) -> AwaitOpponentMove: the thinking or waiting
//   read-out, ReadCommand(Move) (OpponentTurn) -> the move arrives -> "Moved"
//   read-out, PlaceRecorded -> replay (OpponentReplay) -> AfterTurn: the
//   turn is back (OwnTurn), or GameOver.
// Start-up: Start -> AskPlayerName -> ChooseGame: game type, data module and
//   command object, "Establishing connection ..." (Connecting) -> the link
//   is up -> the master's dimensions, "Waiting for opponent to connect",
//   ExchangeSettings (Exchanging) -> StartUpDone: the master moves, the
//   slave waits for the first move (AwaitOpponentMove).
// GameOver -> result, high scores, "Do you want to play again" -> the
//   master waits for StartGame (BetweenGames); the slave runs the next
//   exchange at once (WaitingNextGame), rebuilds its board and waits for the
//   first move.

#include "CascadeReplay.h"
#include "Communication.h"
#include "DataStructures.h"
#include "GameView.h"
#include "Levels.h"
#include "SearchJob.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TCommandIO;
class TCommandResult;

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

class TGameController : public QObject {
public:
  // Records one finished game for a player (the high-score table).
  using TScoreRecorder = std::function<void(const QString& Name, bool Won)>;

  static constexpr int ConnectionWait = 30000;

  explicit TGameController(TGameView& View, QObject* Parent = nullptr);
  ~TGameController() override;

  // The ports of the data modules created from now on (tests use free
  // ones; port 0 lets a listener pick one).
  static void SetPorts(quint16 GamePort, quint16 ChatPort);
  static quint16 GamePort();
  static quint16 ChatPort();

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
  void SetExplosions(bool On);
  void SetAnimationSpeed(TAnimationSpeed Speed);
  TAnimationSpeed AnimationSpeed() const { return FReplay.Speed(); }
  // A click on the board or Escape while a placement is shown: its end at
  // once.
  void FinishReplay();
  // Against the computer, on the player's turn: back to before the player's
  // last move and the computer's reply.
  void Undo();
  // On the player's turn: marks the cell the Strong level would play for
  // the player (found on a worker thread); places nothing.
  void Hint();
  // The computer's strength from its next move on.
  void SetComputerLevel(TComputerLevel Level);
  TComputerLevel ComputerLevel() const { return FLevel; }
  // Asks "Are you sure"; Yes closes the window.
  void Exit();
  // The window closes: the search stops, the replay and every wait end now.
  void Close();
  // The view's modal dialog has closed: what waited runs now.
  void Resume();

  TPhase Phase() const { return FPhase; }
  // Each player's most recent placement in this game (owner 0 and 1).
  std::optional<TMove> LastMove(uint8_t Player) const { return FLastMoves[Player & 1]; }
  // The cell a hint marks, while it stands.
  std::optional<TMove> HintCell() const { return FHint; }
  TOffers Offers() const;
  const TBord* Bord() const { return FBord.get(); }
  // The picture the window shows for a cell; it lags behind the board while
  // a placement is replayed.
  int ShownPicture(int Row, int Col) const { return FReplay.Picture(Row, Col); }
  TCascadeReplay& Replay() { return FReplay; }
  TCommandIO* CommandIO() const { return FCommandIO.get(); }
  TComDataModule* ComData() const { return FComData; }
  bool IsLocalGame() const;
  bool IsMaster() const;

  // Rebuilds the board and the grid for NumRows x NumCols (2..8 each, and
  // the dimensions in force become those). Refused while a placement is
  // shown or the computer is thinking on the board: nothing may free the
  // board a step is using.
  void ResizeBoard();

private:
  // Runs Step now, or after the step that is running and once no modal
  // dialog of the view is open. A step that fails is reported and leaves
  // the game Halted.
  void Dispatch(std::function<void()> Step);
  void Drain();
  void SetPhase(TPhase Phase);
  void SetHourGlass(bool On);

  // Start-up (GameStartUp.cpp).
  void ChooseGame();
  void ConnectionChanged();
  void ConnectionTimedOut();
  void Connected();
  void FirstExchangeDone(std::exception_ptr Failure);
  void StartUpDone();
  void ReleaseConnection();

  // Play (GamePlay.cpp).
  void Replay(TCascadeSteps Steps, TPhase During, std::function<void()> Then);
  void AwaitOpponentMove();
  void OpponentMoved(const TCommandResult& Result);
  void AfterTurn();
  void GameOver();
  void NextGameExchanged(std::exception_ptr Failure);
  void BeginGame();
  void ShowScore();
  void ReportLinkClosed();
  // Rethrows Failure, unless it is the partner gone, which is reported:
  // true then, false without a failure.
  bool PartnerLeft(std::exception_ptr Failure);
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

  void SetInformation(const QString& Text, int Size, bool Bold);
  // The board was emptied or replaced: no last moves, nothing to undo.
  void ForgetGame();
  void SetLastMove(uint8_t Player, TMove Move);
  // The hint goes with the position it was for.
  void DropHint();
  void UseComputerLevel();

  TGameView& FView;
  TCascadeReplay FReplay;
  std::unique_ptr<TBord> FBord;
  std::unique_ptr<TCommandIO> FCommandIO;
  QPointer<TComDataModule> FComData;
  QTimer FConnectionWait;
  TScoreRecorder FRecord;
  TPhase FPhase = TPhase::Idle;
  std::deque<std::function<void()>> FQueue;
  bool FInStep = false;
  bool FHourGlass = false;
  bool FResumePosted = false;
  // Some socket of the connection attempt could still bring the link up.
  bool FCouldConnect = true;
  TInformation FInformation;
  std::array<std::optional<TMove>, 2> FLastMoves;
  std::vector<TTurn> FTurns;
  // The speed the "Explosions" check mark goes back to.
  TAnimationSpeed FSpeedWhenOn = TAnimationSpeed::Normal;
  TComputerLevel FLevel = TComputerLevel::Standard;
  std::unique_ptr<TSearchJob> FHintJob;
  std::optional<TMove> FHint;
};
