// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "BordAccessible.h"
#include "Chat.h"
#include "EnterPlayer.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "HelpAbout.h"
#include "HighScores.h"
#include "HowToPlay.h"
#include "Information.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "SizeDialog.h"
#include "Thinking.h"
#include "Trefoil.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

#include <functional>

namespace {

QLabel* MakeLabel(const char* Name, const QString& Text, QWidget* Parent, QRect Geometry,
                  Qt::Alignment Align) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setTextFormat(Qt::PlainText);
  Label->setAlignment(Align);
  Label->setGeometry(Geometry);
  return Label;
}

} // namespace

TMainForm::TMainForm(TPorts Ports, const QString& ScoreFile, QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      FScoreFile(ScoreFile) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(tr("Fizzgrid"));
  // The board is a table to assistive technology; once per process, as Qt
  // asks the factories in the order installed.
  static const bool AccessibleBoard = [] {
    QAccessible::installFactory(BordAccessibleFactory);
    return true;
  }();
  Q_UNUSED(AccessibleBoard);
  FSound = std::make_unique<TResourceSound>();
  FController = std::make_unique<TGameController>(static_cast<TGameView&>(*this), Ports);
  FController->SetScoreRecorder([this](const QString& Name, bool Won) {
    if (ScoreTable)
      ScoreTable->UpdateScore(Name, Won);
  });
  CreateMenus();
  CreateComponents();
  // The window's size follows the board: ResizeGrid fixes the client area
  // and the frame takes the size the menu bar and client need.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  GameTypeSelection = new TGameTypeSelection(this);
  EnterNameDialog = new TEnterNameDialog(this);
  SizeDlg = new TSizeDlg(this);
  InformationDialog = new TInformationDialog(this);
  OnModalEnded(this, [this] {
    if (FController)
      FController->Resume();
  });
}

TMainForm::~TMainForm() {
  FormDestroy();
}

void TMainForm::FormCreate() {
  FSoundOn = true;
  FController->Start();
}

void TMainForm::FormDestroy() {
  QString Failure;
  if (const std::optional<TSettings>& Settings = FController->Settings();
      Settings && !SaveSettings(*Settings, &Failure))
    MessageDlg(Failure, TMsgType::Error, TMsgButton::OK);
  // The chat's sockets belong to the controller's data module.
  delete FChatForm;
  FController.reset();
  // The high-score window writes its file as it goes.
  delete ScoreTable;
  delete ThinkGauges;
  delete AboutBox1;
  delete FHowToPlay;
  delete GameTypeSelection;
  delete EnterNameDialog;
  delete InformationDialog;
  delete SizeDlg;
}

void TMainForm::ShowHowToPlay() {
  // Modeless: it may stay open beside the game.
  if (!FHowToPlay)
    FHowToPlay = new THowToPlay(BordDisplay->Images(), this);
  FHowToPlay->show();
  FHowToPlay->raise();
  FHowToPlay->activateWindow();
}

void TMainForm::CreateComponents() {
  FClient = new QWidget(this);
  FClient->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(FClient);
  // The window's own cursor until the opponent's first turn sets it.
  setCursor(Qt::IBeamCursor);

  BordDisplay = new TBordGrid(*FController, FClient);
  BordDisplay->OnClick = [this](int Row, int Col) { FController->PlaceAt(Row, Col); };
  BordDisplay->setObjectName(QStringLiteral("BordDisplay"));
  BordDisplay->setToolTip(tr("Click on the field you want to place a mass on"));
  BordDisplay->move(TBordGrid::Border, TBordGrid::Border);

  Score = new QGroupBox(tr(" Score "), FClient);
  Score->setObjectName(QStringLiteral("Score"));
  Score->setAccessibleName(tr("Score: you %1, the opponent %2").arg(0).arg(0));
  Score->setGeometry(0, 0, FormScaled(228), FormScaled(60));
  const Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
  const Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
  const int NameLeft = 4;
  const int NameWidth = FormScaled(110) - NameLeft;
  const int CountLeft = FormScaled(113);
  const int CountWidth = FormScaled(228) - CountLeft - 4;
  const int RowHeight = FormScaled(19);
  NamePlayer1 = MakeLabel("NamePlayer1", QString(), Score,
                          QRect(NameLeft, FormScaled(20) - 2, NameWidth, RowHeight), Right);
  NamePlayer2 = MakeLabel("NamePlayer2", QString(), Score,
                          QRect(NameLeft, FormScaled(39) - 2, NameWidth, RowHeight), Right);
  Player1 = MakeLabel("Player1", QStringLiteral("0"), Score,
                      QRect(CountLeft, FormScaled(20) - 2, CountWidth, RowHeight), Left);
  Player2 = MakeLabel("Player2", QStringLiteral("0"), Score,
                      QRect(CountLeft, FormScaled(39) - 2, CountWidth, RowHeight), Left);

  InfoPanel = new QFrame(FClient);
  InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
  InfoPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  InfoPanel->setLineWidth(1);
  InfoPanel->setGeometry(0, FormScaled(62), FormScaled(228), FormScaled(82));
  // The panel takes no input; it stays enabled so its texts keep their
  // colours and the label's hint still shows.
  InfoPanel->setFocusPolicy(Qt::NoFocus);

  InformationImage = new QLabel(InfoPanel);
  InformationImage->setObjectName(QStringLiteral("InformationImage"));
  InformationImage->setGeometry(FormScaled(5), FormScaled(6), FormScaled(80), FormScaled(70));
  InformationImage->setScaledContents(true);
  InformationImage->setPixmap(TrefoilPicture(devicePixelRatioF()));

  const int LabelLeft = FormScaled(87);
  InformationLabel =
      MakeLabel("InformationLabel", QString(), InfoPanel,
                QRect(LabelLeft, FormScaled(6), FormScaled(228) - LabelLeft - 3, FormScaled(70)),
                Qt::AlignLeft | Qt::AlignVCenter);
  InformationLabel->setWordWrap(true);
  InformationLabel->setToolTip(tr("This indicates the last move of your opponent (Row, Column)"));
  SetInformation(tr("Fizzgrid"), 12, true);
  // Shares the read-out's place between games, below it.
  const QRect Readout = InformationLabel->geometry();
  NextGameLabel =
      MakeLabel("NextGameLabel", tr("Click the board or press F2 for a new game"), InfoPanel,
                Readout.adjusted(0, Readout.height() / 2, 0, 0), Qt::AlignLeft | Qt::AlignTop);
  NextGameLabel->setWordWrap(true);
  QFont Small = NextGameLabel->font();
  Small.setPointSize(7);
  NextGameLabel->setFont(Small);
  NextGameLabel->hide();
  SetCursor(*BordDisplay, TCursorKind::HandPoint);
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  Guarded([this] {
    // The window goes at once: a running search stops, a replay and every
    // wait end, and no other window of the game stays behind.
    FController->Close();
    if (FChatForm)
      FChatForm->hide();
    if (ThinkGauges)
      ThinkGauges->hide();
    if (FHowToPlay)
      FHowToPlay->hide();
    InformationDialog->HideNotice();
  });
  Event->accept();
  Q_EMIT Closed();
}

QString TMainForm::AskPlayerName(const QString& Stored) {
  return EnterNameDialog->AskPlayerName(Stored);
}

bool TMainForm::AskGameType(TSettings& Settings) {
  return GameTypeSelection->AskGameType(Settings);
}

std::optional<std::pair<uint8_t, uint8_t>> TMainForm::AskDimensions(uint8_t NumRows,
                                                                    uint8_t NumCols) {
  return SizeDlg->AskDimensions(NumRows, NumCols);
}

TMsgButton TMainForm::Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
  return MessageDlg(Text, Type, Buttons);
}

bool TMainForm::ModalOpen() const {
  return ::ModalOpen();
}

void TMainForm::ShowWaitBox(const QString& Text) {
  InformationDialog->ShowNotice(Text);
}

void TMainForm::HideWaitBox() {
  InformationDialog->HideNotice();
}

void TMainForm::SetInformation(const QString& Text, int Size, bool Bold) {
  FInformationText = Text;
  QFont Font = InformationLabel->font();
  Font.setPointSize(Size);
  Font.setBold(Bold);
  InformationLabel->setFont(Font);
  // A carriage return breaks the line, as the read-outs are written.
  QString Shown = Text;
  Shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  InformationLabel->setText(Shown);
}

void TMainForm::DisplayScore(int Own, int Opponent) {
  Player1->setText(QString::number(Own));
  Player2->setText(QString::number(Opponent));
  // Read out on each change, so that a placement is heard with its result.
  Score->setAccessibleName(tr("Score: you %1, the opponent %2").arg(Own).arg(Opponent));
}

void TMainForm::ShowPlayerNames(const std::array<QString, 2>& PlayerNames) {
  NamePlayer1->setText(PlayerNames[0] + QStringLiteral(" : "));
  NamePlayer2->setText(PlayerNames[1] + QStringLiteral(" : "));
}

void TMainForm::SetHourGlass(bool On) {
  SetCursor(*this, On ? TCursorKind::HourGlass : TCursorKind::Arrow);
}

void TMainForm::ShowOffers(const TOffers& Offers) {
  BordDisplay->SetAcceptsMoves(Offers.Grid);
  StartGameF21->setEnabled(Offers.StartGame);
  Dimensions1->setEnabled(Offers.Dimensions);
  Restart1->setVisible(Offers.RestartShown);
  Restart1->setEnabled(Offers.Restart);
  Undo1->setEnabled(Offers.Undo);
  Hint1->setEnabled(Offers.Hint);
  // When "Start Game" is offered, a click on the board starts it too; the
  // read-out then takes the upper half of its place.
  QRect Readout = NextGameLabel->geometry();
  Readout.setTop(InformationImage->y());
  if (Offers.StartGame)
    Readout.setBottom(NextGameLabel->y() - 1);
  InformationLabel->setGeometry(Readout);
  NextGameLabel->setVisible(Offers.StartGame);
}

void TMainForm::ShowComputerLevel(TComputerLevel Level, bool Varied) {
  LevelItems[std::size_t(Level) % LevelItems.size()]->setChecked(true);
  VaryPlay1->setChecked(Varied);
}

void TMainForm::ShowAnimationSpeed(TAnimationSpeed Speed) {
  // The check mark and the speed are one setting: without the mark the
  // speed is Off.
  const QSignalBlocker Quiet(Explosions1);
  Explosions1->setChecked(Speed != TAnimationSpeed::Off);
  SpeedItems[std::size_t(Speed) % SpeedItems.size()]->setChecked(true);
}

void TMainForm::PlayExplosionSound() {
  // Once the sound could not start, it is not tried again in this run.
  if (FSoundOn)
    FSoundOn = FSound && FSound->Play();
}

void TMainForm::OpenChat(const TChatLink& Link) {
  FChatForm = new TChatForm(Link, this);
  FChatForm->show();
}

void TMainForm::StartUpDone() {
  AboutBox1 = new TAboutBox1(this);
  ThinkGauges = new TThinkGauges(this);
  ThinkGauges->Follow(FController->ThinkRelay());
  ScoreTable = new TScoreTable(this, FScoreFile);
  Q_EMIT StartedUp();
  show();
  // The start-up's dialogs have come and gone; the keyboard and the menu
  // shortcuts belong to this window from its first moment on.
  raise();
  activateWindow();
}
