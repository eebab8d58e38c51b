#include "Main.h"

#include "Chat.h"
#include "CommandIO.h"
#include "Communication.h"
#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "Information.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "SizeDialog.h"

#include <QAction>
#include <QDialog>

void TMainForm::FormCreate() {
  LoadSettings();
  FSoundOn = true;
  LoadCellImages();

  GameTypeSelection = new TGameTypeSelection(this);
  EnterNameDialog = new TEnterNameDialog(this);
  SizeDlg = new TSizeDlg(this);
  InformationDialog = new TInformationDialog(this);

  AskPlayerName();
  while (!ConnectOnce()) {
  }

  if (!IsLocalGame()) {
    // The game goes on without chat when the chat cannot be set up.
    try {
      FChatForm = new TChatForm(this);
      FChatForm->show();
    } catch (const std::exception& E) {
      MessageDlg(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    }
  }
  ShowPlayerNames();
  if (!IsMaster())
    ResizeBoard();
  BordDisplay->setEnabled(IsMaster());
  SetCursor(*BordDisplay, TCursorKind::HandPoint);
  StartGameF21->setEnabled(false);
  SetInformation(QStringLiteral("Fizzgrid"), 12, true);
}

// One pass of the connection loop; true once connected and the settings are
// exchanged, false to begin the next pass at the game type dialog.
bool TMainForm::ConnectOnce() {
  while (RunModal(*GameTypeSelection) != QDialog::Accepted)
    MessageDlg(QStringLiteral("You must select a connection type"), TMsgType::Error,
               TMsgButton::OK);

  ReleaseConnection();
  FComData = new TComDataModule(this, GamePort(), ChatPort());
  try {
    FCommandIO = std::make_unique<TCommandIO>(RelationLastGame == 1, FComData);
  } catch (const std::exception& E) {
    ReleaseConnection();
    MessageDlg(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    return false;
  }
  if (FBord)
    FCommandIO->SetBoard(FBord.get());
  if (IsLocalGame()) {
    Restart1->setVisible(true);
    Restart1->setEnabled(true);
  }

  ShowWaitBox(QStringLiteral("Establishing connection ..."));
  while (!WaitForConnection(ConnectionWait)) {
    if (MessageDlg(QStringLiteral("Continue waiting"), TMsgType::Confirmation,
                   TMsgButton::Yes | TMsgButton::No) == TMsgButton::No) {
      FCommandIO.reset();
      break;
    }
  }
  HideWaitBox();
  if (!FCommandIO || !FCommandIO->Connected())
    return false;

  if (IsMaster())
    Dimensions1Click();
  Dimensions1->setEnabled(false);

  ShowWaitBox(QStringLiteral("Waiting for opponent to connect"));
  try {
    FCommandIO->ExchangeSettings();
  } catch (const LinkHasBeenClosed&) {
    HideWaitBox();
    ReleaseConnection();
    MessageDlg(QStringLiteral("Link closed"), TMsgType::Error, TMsgButton::OK);
    return false;
  } catch (const std::exception& E) {
    // A partner that answers the exchange with something else is no
    // partner to play with: say why and let the user choose again.
    HideWaitBox();
    ReleaseConnection();
    MessageDlg(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    return false;
  }
  HideWaitBox();
  return true;
}

// The command object closes its sockets; the data module of the attempt goes
// with it, so a failed attempt leaves nothing listening behind.
void TMainForm::ReleaseConnection() {
  FCommandIO.reset();
  delete FComData;
}

void TMainForm::AskPlayerName() {
  EnterNameDialog->EditPlayerName->setText(PlayerNames[0]);
  EnterNameDialog->EditPlayerName->selectAll();
  EnterNameDialog->StoreName(RunModal(*EnterNameDialog));
}

void TMainForm::ShowWaitBox(const QString& Text) {
  InformationDialog->ShowNotice(Text);
}

void TMainForm::HideWaitBox() {
  InformationDialog->HideNotice();
}

bool TMainForm::WaitForConnection(int Msecs) {
  return FCommandIO && FCommandIO->WaitForConnection(Msecs);
}

void TMainForm::FormDestroy() {
  QString Failure;
  if (!SaveSettings(&Failure))
    MessageDlg(Failure, TMsgType::Error, TMsgButton::OK);
  FBord.reset();
  delete GameTypeSelection;
  delete EnterNameDialog;
  delete InformationDialog;
  delete SizeDlg;
  delete FChatForm;
  // The command object before the data module whose sockets it uses.
  FCommandIO.reset();
  delete FComData;
  FImageList = {};
  FExplosionList = {};
}
