#include "Main.h"

#include "CommandIO.h"
#include "Facilities.h"
#include "HelpAbout.h"
#include "HighScores.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "Search.h"
#include "SizeDialog.h"

#include <QAction>
#include <QDialog>

namespace {

// The window's arrow cursor once the wait for the opponent is over, also
// when the wait ends with an error.
class TArrowAfterWait {
public:
  explicit TArrowAfterWait(QWidget& Window) : FWindow(Window) {}
  ~TArrowAfterWait() { SetCursor(FWindow, TCursorKind::Arrow); }
  TArrowAfterWait(const TArrowAfterWait&) = delete;
  TArrowAfterWait& operator=(const TArrowAfterWait&) = delete;

private:
  QWidget& FWindow;
};

void Record(const QString& Name, bool Won) {
  if (ScoreTable)
    ScoreTable->UpdateScore(Name, Won);
}

} // namespace

void TMainForm::BordDisplayClick() {
  Restart1->setEnabled(false);
  int Col = 0;
  int Row = 0;
  const TCell* Target = nullptr;
  if (BordDisplay->MouseToCell(BordDisplay->ClickPos(), Col, Row) && FBord)
    Target = FBord->GetCell(uint8_t(Row), uint8_t(Col));
  if (Target) {
    BordDisplay->setEnabled(false);
    if (Target->Owner == Opponent) {
      MessageDlg(QStringLiteral("You cannot click on fields occupied by your opponent"),
                 TMsgType::Error, TMsgButton::OK);
      BordDisplay->setEnabled(true);
    } else {
      // Sent before it is played here, so the opponent can start on it.
      FCommandIO->SendCommand(TCommand::MakeMove(uint8_t(Row), uint8_t(Col)));
      FBord->GetCell(uint8_t(Row), uint8_t(Col))->AddMass(LocalPlayer, true);
      DisplayScore();
      AwaitOpponentMove();
      if (FClosing || !FBord)
        return;
      if (!FBord->Finished && !FBord->CanMove(LocalPlayer)) {
        // Only this side sees that it cannot move; the no-move marker
        // ends the same game on the side waiting for this move.
        // A partner already gone cannot be told; this side still ends
        // its game, and the next wait for the partner reports the loss.
        if (!IsLocalGame()) {
          try {
            FCommandIO->SendCommand(TCommand::MakeMove(FBord->Rows, 0));
          } catch (const LinkHasBeenClosed&) {
          }
        }
        GameOver();
        if (FClosing || !FBord)
          return;
      }
      BordDisplay->setEnabled(!FBord->Finished);
    }
  }
  if (IsLocalGame())
    Restart1->setEnabled(true);
}

void TMainForm::AwaitOpponentMove() {
  // Closed during the own placement: the opponent is not asked any more.
  if (FClosing || !FBord)
    return;
  if (!FBord->Finished) {
    TArrowAfterWait Arrow(*this);
    SetCursor(*this, TCursorKind::HourGlass);
    if (IsLocalGame())
      SetInformation(QStringLiteral("Just a second...\rThinking"), 10, false);
    else
      SetInformation(QStringLiteral("Waiting for opponent"), 8, false);
    TCommand Move;
    try {
      Move = FCommandIO->ReadCommand(TCommandKind::Move);
    } catch (const LinkHasBeenClosed&) {
      if (!FClosing)
        ReportLinkClosed();
      return;
    }
    // A close request during the wait ends the game here: nothing more is
    // placed or asked.
    if (FClosing || !FBord)
      return;
    if (Move.Row == FBord->Rows) {
      FBord->Finished = true;
    } else {
      TCell* Target = FBord->GetCell(Move.Row, Move.Col);
      if (!Target)
        throw ProtocolError("Received a move outside the board");
      SetInformation(QStringLiteral("Moved :\r     [%1,%2]").arg(Move.Row + 1).arg(Move.Col + 1),
                     12, true);
      Target->AddMass(Opponent, true);
      DisplayScore();
    }
  } else {
    SetCursor(*this, TCursorKind::Arrow);
  }
  if (!FClosing && FBord && FBord->Finished)
    GameOver();
}

void TMainForm::WaitForFirstMove() {
  AwaitOpponentMove();
  if (!FClosing && FBord && !FBord->Finished)
    BordDisplay->setEnabled(true);
}

void TMainForm::GameOver() {
  BordDisplay->setEnabled(false);
  const std::array<int, 3> Masses = FBord->CountMasses();
  QString Text;
  if (Masses[0] > Masses[1]) {
    Text = PlayerNames[0] + QStringLiteral(" wins");
    Record(PlayerNames[0], true);
    Record(PlayerNames[1], false);
  } else if (Masses[1] > Masses[0]) {
    Text = PlayerNames[1] + QStringLiteral(" wins");
    Record(PlayerNames[1], true);
    Record(PlayerNames[0], false);
  } else {
    // A draw counts as a win for both.
    Text = QStringLiteral("We have a draw");
    Record(PlayerNames[0], true);
    Record(PlayerNames[1], true);
  }
  Text.truncate(100);
  MessageDlg(QStringLiteral("\nGAME OVER\r") + Text, TMsgType::Information, TMsgButton::OK);
  const bool Again = MessageDlg(QStringLiteral("Do you want to play again"), TMsgType::Confirmation,
                                TMsgButton::Yes | TMsgButton::No) != TMsgButton::No;
  if (!Again)
    CloseForm();

  if (!FBord)
    return;
  FBord->Reset();
  // The empty board waits for the next start: nothing may explode on it.
  FBord->Finished = true;
  BordDisplay->update();
  DisplayScore();
  SetInformation(QStringLiteral("Fizzgrid"), 12, true);

  if (IsMaster()) {
    Dimensions1->setEnabled(true);
    StartGameF21->setEnabled(true);
    return;
  }
  if (!Again || FClosing)
    return;
  SetInformation(QStringLiteral("Waiting for opponent\rto start game"), 8, false);
  try {
    FCommandIO->ExchangeSettings();
    ShowPlayerNames();
    ResizeBoard();
    FBord->Finished = false;
    WaitForFirstMove();
  } catch (const LinkHasBeenClosed&) {
    if (!FClosing)
      ReportLinkClosed();
  }
}

void TMainForm::ReportLinkClosed() {
  MessageDlg(QStringLiteral("Link has been closed by partner"), TMsgType::Error, TMsgButton::OK);
  CloseForm();
}

void TMainForm::StartGameF21Click() {
  StartGameF21->setEnabled(false);
  Dimensions1->setEnabled(false);
  if (!IsLocalGame()) {
    try {
      FCommandIO->ExchangeSettings();
    } catch (const LinkHasBeenClosed&) {
      if (!FClosing)
        ReportLinkClosed();
      return;
    }
    ShowPlayerNames();
  }
  BordDisplay->setEnabled(true);
  if (FBord)
    FBord->Finished = false;
}

void TMainForm::Dimensions1Click() {
  SizeDlg->ShowDimensions();
  if (RunModal(*SizeDlg) == QDialog::Accepted)
    SizeDlg->StoreDimensions();
  ResizeBoard();
}

void TMainForm::Restart1Click() {
  if (!FBord)
    return;
  FBord->Reset();
  BordDisplay->update();
  DisplayScore();
  SetInformation(QStringLiteral("Fizzgrid"), 12, true);
}

void TMainForm::Explosions1Click() {
  Explosions1->toggle();
}

void TMainForm::HighScores1Click() {
  if (ScoreTable)
    RunModal(*ScoreTable);
}

void TMainForm::HelpAbout() {
  if (AboutBox1)
    RunModal(*AboutBox1);
}

void TMainForm::eXit1Click() {
  if (MessageDlg(QStringLiteral("Are you sure"), TMsgType::Confirmation,
                 TMsgButton::Yes | TMsgButton::Cancel) != TMsgButton::Yes)
    return;
  StopThinking();
  CloseForm();
}
