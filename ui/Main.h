#pragma once
// TMainForm: the game window and the controller of play.
//
// It owns the board FBord (replaced by every ResizeBoard), the command object
// FCommandIO with the socket data module of the current connection attempt,
// the game type, name and dimensions dialogs, the wait box and, in a game
// against another computer, the chat window. It is the board's view
// (TBordView): the board calls InvalidateCell for every changed cell and
// Explode for every explosion while a placement is animated.
//
// Order of calls:
//   constructor -> FormCreate: LoadSettings, AskPlayerName, the connection
//     loop (game type dialog, data module, command object, WaitForConnection,
//     Dimensions1Click on the master, ExchangeSettings), chat window, first
//     state. The program entry then runs WaitForFirstMove on the slave.
//   grid click -> BordDisplayClick -> SendCommand, AddMass (InvalidateCell,
//     Explode ...), DisplayScore, AwaitOpponentMove -> ReadCommand, AddMass,
//     GameOver -> "Do you want to play again"; on the slave GameOver waits
//     for the next game (ExchangeSettings, ResizeBoard, WaitForFirstMove).
//   menu -> StartGameF21Click, Dimensions1Click, Restart1Click,
//     Explosions1Click, HighScores1Click, HelpAbout, eXit1Click.
//   destructor -> FormDestroy: SaveSettings and releases.
// Every routine reads FBord afresh after each call it makes: the slave's next
// game is played inside the previous game's last move and may replace it.
//
// Testing: every modal dialog of the window is shown through the modal
// runner (SetModalRunner). The default runs QDialog::exec(); a test installs
// a runner that shows the dialog, fills or clicks its fields and closes it,
// then returns its result, before constructing the window, so the whole
// start-up runs headless. The explosion's 50 ms wait (SetFrameDelay) and its
// sound (SetExplosionSound) are injectable too, so tests count frames and
// sound attempts without timing. Message boxes go through MessageDlg and are
// answered by a TScriptedMessages in tests.

#include "Communication.h"
#include "DataStructures.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPainter;
class QSoundEffect;

class TAboutBox1;
class TChatForm;
class TCommandIO;
class TEnterNameDialog;
class TGameTypeSelection;
class TInformationDialog;
class TMainForm;
class TScoreTable;
class TSizeDlg;

// The explosion sound. Play starts it (cutting off one still playing) and
// tells whether it could start.
class TExplosionSound {
public:
  virtual ~TExplosionSound() = default;
  virtual bool Play() = 0;
};

// The sound through QSoundEffect from the program's resources. It cannot
// start when the system has no audio output or the effect reports an error.
class TResourceSound : public TExplosionSound {
public:
  TResourceSound();
  ~TResourceSound() override;
  bool Play() override;

private:
  std::unique_ptr<QSoundEffect> FEffect;
};

// The drawn grid: one 32 x 32 cell per board cell inside a 2-pixel border.
// Every cell is painted by the main window's BordDisplayDrawCell; a left
// click inside the grid reports its position to BordDisplayClick.
class TBordGrid : public QWidget {
  Q_OBJECT
public:
  static constexpr int CellSize = 32;
  static constexpr int Border = 2;

  TBordGrid(TMainForm* Owner, QWidget* Parent);

  int RowCount() const { return FRows; }
  int ColCount() const { return FCols; }
  void SetDimensions(int Rows, int Cols);
  // Grid cell (Col, Row) in the grid's client coordinates.
  QRect CellRect(int Col, int Row) const;
  // The cell under a point, false on the border.
  bool MouseToCell(QPoint Point, int& Col, int& Row) const;
  // Where the last click happened.
  QPoint ClickPos() const { return FClickPos; }

  // The explosion frame drawn over one cell, -1 for none.
  void SetOverlay(int Row, int Col, int Frame);
  int OverlayFrame(int Row, int Col) const;

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  TMainForm* FOwner;
  int FRows = 0;
  int FCols = 0;
  bool FPressed = false;
  QPoint FClickPos;
  int FOverlayRow = -1;
  int FOverlayCol = -1;
  int FOverlayFrame = -1;
};

class TMainForm : public QMainWindow, public TBordView {
  Q_OBJECT
public:
  using TModalRunner = std::function<int(QDialog& Dialog)>;
  using TFrameDelay = std::function<void(int Msecs)>;

  static constexpr int ConnectionWait = 30000;
  static constexpr int ExplosionFrames = 16;
  static constexpr int FrameTime = 50;
  static constexpr int MinClientHeight = 105;

  // Runs FormCreate, with its modal dialogs, before it returns.
  explicit TMainForm(QWidget* Parent = nullptr);
  ~TMainForm() override;

  // How every modal dialog of the window is shown; an empty function
  // restores QDialog::exec(). Install before constructing the window.
  static void SetModalRunner(TModalRunner Runner);
  static int RunModal(QDialog& Dialog);
  // The ports of the data modules the window creates from now on (tests
  // use free ones); port 0 lets a listener pick a free port.
  static void SetPorts(quint16 GamePort, quint16 ChatPort);
  static quint16 GamePort();
  static quint16 ChatPort();
  // The data module of the current connection attempt, nullptr if none.
  TComDataModule* ComData() const { return FComData; }

  // An empty delay function restores the real 50 ms sleep; a null sound
  // switches the sound off.
  void SetFrameDelay(TFrameDelay Delay);
  void SetExplosionSound(std::unique_ptr<TExplosionSound> Sound);

  // Components, named after their form names.
  QMenu* Game1;
  QAction* Dimensions1;
  QAction* N1;
  QAction* StartGameF21;
  QAction* Restart1;
  QAction* Explosions1;
  QAction* HighScores1;
  QAction* eXit1;
  QMenu* HelpMenu;
  QAction* HelpAboutItem;
  QGroupBox* Score;
  QLabel* NamePlayer1;
  QLabel* NamePlayer2;
  QLabel* Player1;
  QLabel* Player2;
  QFrame* InfoPanel;
  QLabel* InformationImage;
  QLabel* InformationLabel;
  TBordGrid* BordDisplay;

  TGameTypeSelection* GameTypeSelection = nullptr;
  TEnterNameDialog* EnterNameDialog = nullptr;
  TSizeDlg* SizeDlg = nullptr;
  TInformationDialog* InformationDialog = nullptr;

  // The current board and command object, nullptr when there is none.
  TBord* Bord() const { return FBord.get(); }
  TCommandIO* CommandIO() const { return FCommandIO.get(); }
  bool SoundOn() const { return FSoundOn; }
  // The read-out as set, with "\r" for its line breaks.
  const QString& InformationText() const { return FInformationText; }
  // Set once the window has been asked to close.
  bool Closing() const { return FClosing; }
  // The client size ResizeBoard computed. The client area itself is
  // TBordGrid::Border pixels taller, the room the window's outer height
  // leaves below the grid, so the grid's lower border shows.
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }

  // TBordView.
  void InvalidateCell(uint8_t Row, uint8_t Col) override;
  void Explode(uint8_t Row, uint8_t Col) override;

  // Board view.
  void LoadCellImages();
  void BordDisplayDrawCell(QPainter& Canvas, int Col, int Row, QRect Rect);
  void ResizeBoard();

  // Play.
  void BordDisplayClick();
  void AwaitOpponentMove();
  void WaitForFirstMove();
  void GameOver();
  void DisplayScore();
  void SetInformation(const QString& Text, int Size, bool Bold);
  void ReportLinkClosed();

  // Menu commands.
  void StartGameF21Click();
  void Dimensions1Click();
  void Restart1Click();
  void Explosions1Click();
  void HighScores1Click();
  void HelpAbout();
  void eXit1Click();

  // Start-up.
  void AskPlayerName();
  void ShowPlayerNames();
  void ShowWaitBox(const QString& Text);
  void HideWaitBox();
  bool WaitForConnection(int Msecs);

protected:
  void closeEvent(QCloseEvent* Event) override;

private:
  void CreateComponents();
  void CreateMenus();
  void FormCreate();
  void FormDestroy();
  bool ConnectOnce();
  void ReleaseConnection();
  void CloseForm();
  bool IsMaster() const;
  bool IsLocalGame() const;

  std::unique_ptr<TBord> FBord;
  std::unique_ptr<TCommandIO> FCommandIO;
  bool FSoundOn = true;

  QPointer<TComDataModule> FComData;
  QPointer<TChatForm> FChatForm;
  QWidget* FClient = nullptr;
  int FClientWidth = 0;
  int FClientHeight = 0;
  std::array<QPixmap, CellImageCount> FImageList;
  std::array<QPixmap, ExplosionFrames> FExplosionList;
  std::unique_ptr<TExplosionSound> FSound;
  TFrameDelay FFrameDelay;
  QString FInformationText;
  bool FClosing = false;
};

// The program-wide references, set and cleared by their owners (the program
// entry for the about box and the high-score window).
extern TMainForm* MainForm;
extern TAboutBox1* AboutBox1;
extern TScoreTable* ScoreTable;
