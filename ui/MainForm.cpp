#include "Main.h"

#include "Chat.h"
#include "CommandIO.h"
#include "Communication.h"
#include "Facilities.h"
#include "RuntimeData.h"
#include "Search.h"
#include "Thinking.h"
#include "Trefoil.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

TMainForm* MainForm = nullptr;
TAboutBox1* AboutBox1 = nullptr;
TScoreTable* ScoreTable = nullptr;

namespace {

TMainForm::TModalRunner& ModalRunner() {
  static TMainForm::TModalRunner Runner;
  return Runner;
}

quint16 GPort = DefaultGamePort;
quint16 CPort = DefaultChatPort;

// The form was laid out at 120 pixels per inch; positions and sizes are
// logical pixels at 96 per inch, the same scale as the thinking window.
constexpr int Scaled(int DesignPixels) {
  return (DesignPixels * 4 + 2) / 5;
}

QLabel* MakeLabel(const char* Name, const QString& Text, QWidget* Parent, QRect Geometry,
                  Qt::Alignment Align) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setTextFormat(Qt::PlainText);
  Label->setAlignment(Align);
  Label->setGeometry(Geometry);
  return Label;
}

QAction* MakeAction(const char* Name, const QString& Caption, QMenu* Menu) {
  auto* Action = Menu->addAction(Caption);
  Action->setObjectName(QString::fromLatin1(Name));
  return Action;
}

} // namespace

TMainForm::TMainForm(QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
  MainForm = this;
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Fizzgrid"));
  FSound = std::make_unique<TResourceSound>();
  CreateMenus();
  CreateComponents();
  // The window's size follows the board: ResizeBoard fixes the client
  // area and the frame takes the size the menu bar and client need.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  if (MainForm == this)
    MainForm = nullptr;
}

void TMainForm::SetModalRunner(TModalRunner Runner) {
  ModalRunner() = std::move(Runner);
}

int TMainForm::RunModal(QDialog& Dialog) {
  if (ModalRunner())
    return ModalRunner()(Dialog);
  return Dialog.exec();
}

void TMainForm::SetPorts(quint16 GamePort, quint16 ChatPort) {
  GPort = GamePort;
  CPort = ChatPort;
}

quint16 TMainForm::GamePort() {
  return GPort;
}

quint16 TMainForm::ChatPort() {
  return CPort;
}

void TMainForm::CreateMenus() {
  Game1 = menuBar()->addMenu(QStringLiteral("&Game"));
  Game1->setObjectName(QStringLiteral("Game1"));
  Dimensions1 = MakeAction("Dimensions1", QStringLiteral("&Dimensions"), Game1);
  N1 = Game1->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  N1->setEnabled(false);
  StartGameF21 = MakeAction("StartGameF21", QStringLiteral("&Start Game"), Game1);
  StartGameF21->setShortcut(QKeySequence(Qt::Key_F2));
  Restart1 = MakeAction("Restart1", QStringLiteral("&Restart"), Game1);
  Restart1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
  Restart1->setVisible(false);
  Restart1->setEnabled(false);
  // Checkable, so Qt toggles the mark itself when the item is triggered.
  Explosions1 = MakeAction("Explosions1", QStringLiteral("&Explosions"), Game1);
  Explosions1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  Explosions1->setCheckable(true);
  Explosions1->setChecked(true);
  HighScores1 = MakeAction("HighScores1", QStringLiteral("&High Scores"), Game1);
  eXit1 = MakeAction("eXit1", QStringLiteral("E&xit"), Game1);

  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
  HelpAboutItem = MakeAction("HelpAboutItem", QStringLiteral("&About..."), HelpMenu);
  HelpAboutItem->setStatusTip(QStringLiteral("Show program information"));
  HelpAboutItem->setToolTip(QStringLiteral("Show program information"));
  HelpMenu->setToolTipsVisible(true);

  connect(Dimensions1, &QAction::triggered, this, Guard([this] { Dimensions1Click(); }));
  connect(StartGameF21, &QAction::triggered, this, Guard([this] { StartGameF21Click(); }));
  connect(Restart1, &QAction::triggered, this, Guard([this] { Restart1Click(); }));
  connect(HighScores1, &QAction::triggered, this, Guard([this] { HighScores1Click(); }));
  connect(eXit1, &QAction::triggered, this, Guard([this] { eXit1Click(); }));
  connect(HelpAboutItem, &QAction::triggered, this, Guard([this] { HelpAbout(); }));
}

void TMainForm::CreateComponents() {
  FClient = new QWidget(this);
  FClient->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(FClient);
  // The window's own cursor until the opponent's first turn sets it.
  setCursor(Qt::IBeamCursor);

  BordDisplay = new TBordGrid(this, FClient);
  BordDisplay->setObjectName(QStringLiteral("BordDisplay"));
  BordDisplay->setToolTip(QStringLiteral("Click on the field you want to place a mass on"));
  BordDisplay->move(TBordGrid::Border, TBordGrid::Border);

  Score = new QGroupBox(QStringLiteral(" Score "), FClient);
  Score->setObjectName(QStringLiteral("Score"));
  Score->setGeometry(0, 0, Scaled(228), Scaled(60));
  const Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
  const Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
  const int NameLeft = 4;
  const int NameWidth = Scaled(110) - NameLeft;
  const int CountLeft = Scaled(113);
  const int CountWidth = Scaled(228) - CountLeft - 4;
  const int RowHeight = Scaled(19);
  NamePlayer1 = MakeLabel("NamePlayer1", QString(), Score,
                          QRect(NameLeft, Scaled(20) - 2, NameWidth, RowHeight), Right);
  NamePlayer2 = MakeLabel("NamePlayer2", QString(), Score,
                          QRect(NameLeft, Scaled(39) - 2, NameWidth, RowHeight), Right);
  Player1 = MakeLabel("Player1", QStringLiteral("0"), Score,
                      QRect(CountLeft, Scaled(20) - 2, CountWidth, RowHeight), Left);
  Player2 = MakeLabel("Player2", QStringLiteral("0"), Score,
                      QRect(CountLeft, Scaled(39) - 2, CountWidth, RowHeight), Left);

  InfoPanel = new QFrame(FClient);
  InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
  InfoPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  InfoPanel->setLineWidth(1);
  InfoPanel->setGeometry(0, Scaled(62), Scaled(228), Scaled(82));
  // The panel takes no input; it stays enabled so its texts keep their
  // colours and the label's hint still shows.
  InfoPanel->setFocusPolicy(Qt::NoFocus);

  InformationImage = new QLabel(InfoPanel);
  InformationImage->setObjectName(QStringLiteral("InformationImage"));
  InformationImage->setGeometry(Scaled(5), Scaled(6), Scaled(80), Scaled(70));
  InformationImage->setScaledContents(true);
  InformationImage->setPixmap(TrefoilPicture(devicePixelRatioF()));

  const int LabelLeft = Scaled(87);
  InformationLabel = MakeLabel("InformationLabel", QString(), InfoPanel,
                               QRect(LabelLeft, Scaled(6), Scaled(228) - LabelLeft - 3, Scaled(70)),
                               Qt::AlignLeft | Qt::AlignVCenter);
  InformationLabel->setWordWrap(true);
  InformationLabel->setToolTip(
      QStringLiteral("This indicates the last move of your opponent (Row, Column)"));
  SetInformation(QStringLiteral("Fizzgrid"), 12, true);
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

void TMainForm::DisplayScore() {
  if (!FBord)
    return;
  const std::array<int, 3> Masses = FBord->CountMasses();
  Player1->setText(QString::number(Masses[0]));
  Player2->setText(QString::number(Masses[1]));
}

void TMainForm::ShowPlayerNames() {
  NamePlayer1->setText(PlayerNames[0] + QStringLiteral(" : "));
  NamePlayer2->setText(PlayerNames[1] + QStringLiteral(" : "));
}

bool TMainForm::IsLocalGame() const {
  return ConnectionLastGame == 0;
}

bool TMainForm::IsMaster() const {
  return IsLocalGame() || RelationLastGame == 1;
}

void TMainForm::CloseForm() {
  FClosing = true;
  close();
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  Guarded([this] {
    FClosing = true;
    // The window goes at once: a running search returns and a wait for
    // the partner ends, so the handlers below return to the message loop.
    StopThinking();
    if (FComData)
      FComData->AbortWaits();
    // The program ends when its last window closes; a window still shown
    // would keep it running with nothing on the screen.
    if (FChatForm)
      FChatForm->hide();
    if (ThinkGauges)
      ThinkGauges->hide();
  });
  Event->accept();
}
