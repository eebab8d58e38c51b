#include "GameController.h"

#include "CommandIO.h"
#include "Communication.h"
#include "ErrorReport.h"
#include "RuntimeData.h"
#include "Search.h"

#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace {

quint16 GPort = DefaultGamePort;
quint16 CPort = DefaultChatPort;

} // namespace

TGameController::TGameController(TGameView& View, QObject* Parent)
    : QObject(Parent), FView(View), FReplay(View), FHintJob(std::make_unique<TSearchJob>()) {
  FConnectionWait.setSingleShot(true);
  connect(&FConnectionWait, &QTimer::timeout, this,
          [this] { Dispatch([this] { ConnectionTimedOut(); }); });
}

TGameController::~TGameController() {
  Close();
  // The command object before the data module whose sockets it uses.
  FCommandIO.reset();
  delete FComData;
}

void TGameController::SetPorts(quint16 GamePort, quint16 ChatPort) {
  GPort = GamePort;
  CPort = ChatPort;
}

quint16 TGameController::GamePort() {
  return GPort;
}

quint16 TGameController::ChatPort() {
  return CPort;
}

bool TGameController::IsLocalGame() const {
  return ConnectionLastGame == 0;
}

bool TGameController::IsMaster() const {
  return IsLocalGame() || RelationLastGame == 1;
}

TOffers TGameController::Offers() const {
  TOffers Result;
  Result.RestartShown = FCommandIO && IsLocalGame();
  switch (FPhase) {
  case TPhase::OwnTurn:
    Result.Grid = true;
    Result.Restart = Result.RestartShown;
    Result.Undo = IsLocalGame() && !FTurns.empty();
    Result.Hint = true;
    break;
  case TPhase::BetweenGames:
    Result.StartGame = true;
    Result.Dimensions = true;
    Result.Restart = Result.RestartShown;
    break;
  default:
    break;
  }
  return Result;
}

void TGameController::SetHourGlass(bool On) {
  FHourGlass = On;
  FView.SetHourGlass(On);
}

void TGameController::SetInformation(const QString& Text, int Size, bool Bold) {
  FInformation = {Text, Size, Bold};
  FView.SetInformation(Text, Size, Bold);
}

void TGameController::SetPhase(TPhase Phase) {
  FPhase = Phase;
  FView.ShowOffers(Offers());
}

void TGameController::Dispatch(std::function<void()> Step) {
  if (FPhase == TPhase::Closed)
    return;
  FQueue.push_back(std::move(Step));
  Drain();
}

void TGameController::Drain() {
  if (FInStep)
    return;
  while (!FQueue.empty() && FPhase != TPhase::Closed && !FView.ModalOpen()) {
    const std::function<void()> Step = std::move(FQueue.front());
    FQueue.pop_front();
    FInStep = true;
    try {
      Step();
    } catch (const std::exception& E) {
      // The game stays where the error left it; the user sees why.
      if (FPhase != TPhase::Closed)
        SetPhase(TPhase::Halted);
      ReportError(QString::fromUtf8(E.what()));
    }
    FInStep = false;
  }
  if (FPhase == TPhase::Closed)
    FQueue.clear();
}

void TGameController::Resume() {
  if (FResumePosted)
    return;
  FResumePosted = true;
  // Not inside the handler that closed the dialog: from the event loop.
  QTimer::singleShot(0, this, [this] {
    FResumePosted = false;
    Drain();
  });
}

void TGameController::Close() {
  if (FPhase == TPhase::Closed)
    return;
  SetPhase(TPhase::Closed);
  FQueue.clear();
  if (FHourGlass)
    SetHourGlass(false);
  FReplay.Stop();
  FConnectionWait.stop();
  // A running search returns at once and its answer is dropped.
  StopThinking();
  FHintJob->Stop();
  if (FCommandIO) {
    FCommandIO->CancelRead();
    if (TLocalIO* Computer = FCommandIO->Local())
      Computer->StopThinking();
  }
}

void TGameController::ResizeBoard() {
  switch (FPhase) {
  case TPhase::OwnReplay:
  case TPhase::OpponentTurn:
  case TPhase::OpponentReplay:
    throw std::logic_error("The board cannot be replaced while a move is being played");
  default:
    break;
  }
  // The board holds 2..8 rows and columns; the grid shows exactly the
  // board, and the dimensions in force (sent, checked and stored) are the
  // board's.
  const uint8_t Rows = std::clamp<uint8_t>(NumRows, 2, MaxDimension);
  const uint8_t Cols = std::clamp<uint8_t>(NumCols, 2, MaxDimension);
  NumRows = Rows;
  NumCols = Cols;
  FView.ResizeGrid(Rows, Cols);
  FBord = std::make_unique<TBord>(nullptr, Rows, Cols);
  ForgetGame();
  FReplay.ShowBoard(*FBord);
  if (FCommandIO)
    FCommandIO->SetBoard(FBord.get());
}
