#pragma once
// TMainForm: the game window, a view of the game controller.
//
// It draws the board and its explosions, plays the sound, shows the
// dialogs, the message boxes and the read-outs the controller asks for
// (TGameView), and forwards the user's clicks and menu commands to it
// (BordDisplayClick, StartGameF21Click, Dimensions1Click, Restart1Click,
// Explosions1Click, eXit1Click); High Scores and About it shows itself. It
// owns the controller, the game type, name and dimensions dialogs, the wait
// box and, in a game against another computer, the chat window.
//
// Order of calls: construct (components, menus, cell pictures, dialogs) ->
// FormCreate, from the event loop, starts the controller's start-up ->
// StartedUp once the first game is on (the program entry then creates its
// windows), and the window shows itself -> play -> Closed when the window
// closes -> destruction: FormDestroy stores the settings.
//
// Every component's objectName is its form name (BordDisplay,
// InformationLabel, StartGameF21, ...); tests find them with findChild.

#include "CellTiles.h"
#include "GameController.h"
#include "GameView.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
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
// click on a cell is reported to BordDisplayClick. It takes clicks at any
// time; whether one places a mass is the controller's decision, and
// AcceptsMoves only mirrors it.
class TBordGrid : public QWidget {
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

  void SetAcceptsMoves(bool On) { FAcceptsMoves = On; }
  bool AcceptsMoves() const { return FAcceptsMoves; }

  // The explosion frame drawn over one cell, -1 for none.
  void SetOverlay(int Row, int Col, int Frame);
  int OverlayFrame(int Row, int Col) const;

  // The keyboard's cell, framed once a key has moved it (arrow keys move
  // it, Space and Enter place there as a click does).
  bool KeyFrameShown() const { return FKeyFrame; }
  int KeyRow() const { return FKeyRow; }
  int KeyCol() const { return FKeyCol; }

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  TMainForm* FOwner;
  int FRows = 0;
  int FCols = 0;
  bool FPressed = false;
  bool FAcceptsMoves = false;
  int FOverlayRow = -1;
  int FOverlayCol = -1;
  int FOverlayFrame = -1;
  bool FKeyFrame = false;
  int FKeyRow = 0;
  int FKeyCol = 0;
};

class TMainForm : public QMainWindow, private TGameView {
  Q_OBJECT
public:
  static constexpr int MinClientHeight = 105;

  // Ports are those of the connections to another computer.
  explicit TMainForm(TPorts Ports = {}, QWidget* Parent = nullptr);
  ~TMainForm() override;

  // Starts the start-up: name, game type, connection, first exchange.
  void FormCreate();
  TGameController& Controller() { return *FController; }

  // A null sound switches the sound off.
  void SetExplosionSound(std::unique_ptr<TExplosionSound> Sound);
  bool SoundOn() const { return FSoundOn; }
  // The read-out as set, with "\r" for its line breaks.
  const QString& InformationText() const { return FInformationText; }
  // The client size the board's dimensions give. The client area itself is
  // TBordGrid::Border pixels taller, the room the window's outer height
  // leaves below the grid, so the grid's lower border shows.
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }

  // Paints grid cell (Col, Row) into Rect: a raised tile with its picture.
  void BordDisplayDrawCell(QPainter& Canvas, int Col, int Row, QRect Rect);
  // The grid reports a click on a cell.
  void BordDisplayClick(int Row, int Col);

Q_SIGNALS:
  void StartedUp();
  void Closed();

protected:
  void closeEvent(QCloseEvent* Event) override;

private:
  void CreateComponents();
  void CreateMenus();
  // The items after the specified ones: undo, hint, the computer's strength,
  // the animation speed, how to play, and Escape for the end of a cascade.
  void CreateAidMenus();
  void LoadCellImages();
  void FormDestroy();

  // Menu commands.
  void StartGameF21Click();
  void Dimensions1Click();
  void Restart1Click();
  void Explosions1Click(bool Checked);
  void HighScores1Click();
  void HelpAbout();
  void eXit1Click();
  void Undo1Click();
  void HowToPlay1Click();

  // TGameView.
  QString AskPlayerName(const QString& Stored) override;
  bool AskGameType(TSettings& Settings) override;
  std::optional<std::pair<uint8_t, uint8_t>> AskDimensions(uint8_t NumRows,
                                                           uint8_t NumCols) override;
  TMsgButton Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) override;
  bool ModalOpen() const override;
  void ShowWaitBox(const QString& Text) override;
  void HideWaitBox() override;
  void SetInformation(const QString& Text, int Size, bool Bold) override;
  void DisplayScore(int Own, int Opponent) override;
  void ShowPlayerNames(const std::array<QString, 2>& PlayerNames) override;
  void SetHourGlass(bool On) override;
  void ShowOffers(const TOffers& Offers) override;
  void ShowAnimationSpeed(TAnimationSpeed Speed) override;
  void ShowComputerLevel(TComputerLevel Level) override;
  void ResizeGrid(int Rows, int Cols) override;
  void InvalidateCell(int Row, int Col) override;
  void InvalidateBoard() override;
  void ShowExplosionFrame(int Row, int Col, int Frame) override;
  void PlayExplosionSound() override;
  void OpenChat(const TChatLink& Link) override;
  void StartUpDone() override;
  void CloseForm() override;

  QMenu* Game1;
  QAction* Dimensions1;
  QAction* N1;
  QAction* StartGameF21;
  QAction* Restart1;
  QAction* Explosions1;
  QAction* HighScores1;
  QAction* eXit1;
  QAction* Undo1;
  QAction* Hint1;
  QMenu* ComputerStrength1;
  std::array<QAction*, 3> LevelItems; // Standard1, Strong1, Expert1
  QMenu* AnimationSpeed1;
  std::array<QAction*, 3> SpeedItems; // Normal1, Fast1, Off1
  QAction* FinishAnimation;
  QMenu* HelpMenu;
  QAction* HelpAboutItem;
  QAction* HowToPlay1;
  QGroupBox* Score;
  QLabel* NamePlayer1;
  QLabel* NamePlayer2;
  QLabel* Player1;
  QLabel* Player2;
  QFrame* InfoPanel;
  QLabel* InformationImage;
  QLabel* InformationLabel;
  // Between games, how to start the next one.
  QLabel* NextGameLabel;
  TBordGrid* BordDisplay;
  QWidget* FClient;

  TGameTypeSelection* GameTypeSelection;
  TEnterNameDialog* EnterNameDialog;
  TSizeDlg* SizeDlg;
  TInformationDialog* InformationDialog;
  QPointer<QDialog> FHowToPlay;
  QPointer<TChatForm> FChatForm;

  bool FSoundOn = true;
  std::unique_ptr<TExplosionSound> FSound;
  TCellImages FImages;
  int FClientWidth = 0;
  int FClientHeight = 0;
  QString FInformationText;
  // Last, so that it goes first: it reports to this window to the end.
  std::unique_ptr<TGameController> FController;
};

// The program-wide references, set and cleared by their owners (the program
// entry for the about box and the high-score window).
extern TMainForm* MainForm;
extern TAboutBox1* AboutBox1;
extern TScoreTable* ScoreTable;
