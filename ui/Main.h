// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TMainForm: the game window, a view of the game controller.
//
// It shows the board (TBordGrid) and its explosions, plays the sound, shows
// the dialogs, the message boxes and the read-outs the controller asks for
// (TGameView), and forwards the user's clicks, keys and menu commands to it;
// the menus are built from one table (MainMenus.cpp). High Scores, About and
// How to play it shows itself. It owns the controller and every other
// window of the game: the game type, name and dimensions dialogs, the wait
// box, the about box, the thinking window, the high-score window, How to
// play and, in a game against another computer, the chat window.
//
// Order of calls: construct (components, menus, dialogs) -> FormCreate, from
// the event loop, starts the controller's start-up -> StartUpDone once the
// first game is on: the about box, the thinking window and the high-score
// window are created, StartedUp is signalled and the window shows itself ->
// play -> Closed when the window closes -> destruction: FormDestroy stores
// the settings and the high scores.
//
// Every component's objectName is its form name (BordDisplay,
// InformationLabel, StartGameF21, ...); tests find them with findChild.

#include "BordGrid.h"
#include "ConnectionSetUp.h"
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
class TScoreTable;
class TSizeDlg;
class TThinkGauges;
struct TMenuItem;

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

class TMainForm : public QMainWindow, private TGameView {
  Q_OBJECT
public:
  static constexpr int MinClientHeight = 105;

  // Ports are those of the connections to another computer; ScoreFile is
  // the high-score file, read when the first game is on.
  explicit TMainForm(TPorts Ports = {}, const QString& ScoreFile = QStringLiteral("HighScores.Dat"),
                     QWidget* Parent = nullptr);
  ~TMainForm() override;

  // Starts the start-up: name, game type, connection, first exchange.
  void FormCreate();
  TGameController& Controller() { return *FController; }

  // A null sound switches the sound off.
  void SetExplosionSound(std::unique_ptr<TExplosionSound> Sound) { FSound = std::move(Sound); }
  bool SoundOn() const { return FSoundOn; }
  // The read-out as set, with "\r" for its line breaks.
  const QString& InformationText() const { return FInformationText; }
  // The client size the board's dimensions give. The client area itself is
  // TBordGrid::Border pixels taller, the room the window's outer height
  // leaves below the grid, so the grid's lower border shows.
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }

Q_SIGNALS:
  void StartedUp();
  void Closed();

protected:
  void closeEvent(QCloseEvent* Event) override;

private:
  void CreateComponents();
  // The menus and the keys without a menu item, from one table.
  void CreateMenus();
  QAction* AddMenuItem(QMenu* Menu, const TMenuItem& Item);
  void FormDestroy();
  void ShowHowToPlay();

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
  void ShowComputerLevel(TComputerLevel Level, bool Varied) override;
  void ResizeGrid(int Rows, int Cols) override;
  void InvalidateCell(int Row, int Col) override { BordDisplay->InvalidateCell(Row, Col); }
  void InvalidateBoard() override { BordDisplay->update(); }
  void ShowExplosionFrame(int Row, int Col, int Frame) override {
    BordDisplay->SetOverlay(Row, Col, Frame);
    BordDisplay->InvalidateCell(Row, Col);
  }
  void PlayExplosionSound() override;
  void ShowSkipNote(bool On) override {
    BordDisplay->SetNote(On ? tr("Click or press Escape to see the result") : QString());
  }
  void OpenChat(const TChatLink& Link) override;
  void StartUpDone() override;
  void CloseForm() override { close(); }

  QMenu* Game1 = nullptr;
  QAction* Dimensions1 = nullptr;
  QAction* StartGameF21 = nullptr;
  QAction* Restart1 = nullptr;
  QAction* Explosions1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Hint1 = nullptr;
  QAction* VaryPlay1 = nullptr;
  std::array<QAction*, 3> LevelItems{}; // Standard1, Strong1, Expert1
  std::array<QAction*, 3> SpeedItems{}; // Normal1, Fast1, Off1
  QMenu* HelpMenu = nullptr;
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
  // Created once the first game is on.
  TAboutBox1* AboutBox1 = nullptr;
  TThinkGauges* ThinkGauges = nullptr;
  TScoreTable* ScoreTable = nullptr;
  QPointer<QDialog> FHowToPlay;
  QPointer<TChatForm> FChatForm;

  const QString FScoreFile;
  bool FSoundOn = true;
  std::unique_ptr<TExplosionSound> FSound;
  int FClientWidth = 0;
  int FClientHeight = 0;
  QString FInformationText;
  // Last, so that it goes first: it reports to this window to the end.
  std::unique_ptr<TGameController> FController;
};
