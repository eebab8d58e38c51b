// The game window against the computer: whole games with every read-out,
// the end conditions and high scores, the menu commands, the explosion
// animation and sound, closing while busy, and the README's screenshot.

#include "MainFormHarness.h"
#include "Thinking.h"

#include <QAudioDevice>
#include <QImage>
#include <QMediaDevices>

namespace {

// The user's choice in whole games: an own cell about to explode, else the
// first empty cell, else the first own one.
TMove PickMove(const TBord& Board) {
  TMove Best;
  int BestRank = 3;
  for (const TMove& Move : Board.GenerateMoves(LocalPlayer)) {
    const TCell* Cell = Board.GetCell(Move.Row, Move.Col);
    const int Rank = Cell->Owner == NoOwner ? 1 : Cell->Mass + 1 == Cell->Capacity ? 0 : 2;
    if (Rank < BestRank)
      std::tie(Best, BestRank) = std::pair(Move, Rank);
  }
  return Best;
}

struct TRecordingSound : TExplosionSound {
  TRecordingSound(int& ACount, const bool& AWorks) : Count(ACount), Works(AWorks) {}
  bool Play() override {
    ++Count;
    return Works;
  }
  int& Count;
  const bool& Works;
};

// The thinking window's part: what the game window showed when the computer
// began to think; Hook runs whenever the search lets messages through.
struct TThinkRecorder : TThinkProgress {
  explicit TThinkRecorder(TMainForm& AForm) : Form(AForm) { SetThinkProgress(this); }
  ~TThinkRecorder() override { SetThinkProgress(nullptr); }
  void Show() override { Seen << Readout(Form) + u" | "_s + Offers(Form); }
  void Hide() override {}
  void SetMaxValue(int, int) override {}
  int Progress(int) const override { return 0; }
  void SetProgress(int, int) override {}
  void ProcessMessages() override {
    if (Hook)
      Hook();
  }
  TMainForm& Form;
  QStringList Seen;
  std::function<void()> Hook;
};

// The real thinking window, with a hook in its message processing.
struct THookedGauges : TThinkGauges {
  void ProcessMessages() override {
    Hook();
    TThinkGauges::ProcessMessages();
  }
  std::function<void()> Hook;
};

const QString LocalTurn = u"grid restart menu | "_s;
const QString Thinking = u"Just a second...\rThinking @10 | menu busy"_s;
const QString BetweenGames = u"start dimensions restart menu | Fizzgrid @12b | 0/0"_s;
const QString GameOver = u"Information: \nGAME OVER\r%1|Confirm: Do you want to play again"_s;

} // namespace

class TestMainForm : public QObject {
  Q_OBJECT
  std::unique_ptr<TAppRig> R;
  int Frames = 0, Sounds = 0;
  bool SoundWorks = true;

  // A game against the computer for "Tester", the explosion's wait and
  // sound replaced by recorders.
  std::unique_ptr<TMainForm> StartLocalGame(int Rows = 5, int Cols = 5) {
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Tester"_s));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(Rows, Cols));
    auto Form = std::make_unique<TMainForm>();
    Form->SetFrameDelay([this](int Msecs) {
      QCOMPARE(Msecs, TMainForm::FrameTime);
      ++Frames;
    });
    Form->SetExplosionSound(std::make_unique<TRecordingSound>(Sounds, SoundWorks));
    Form->show();
    if (!QTest::qWaitForWindowExposed(Form.get()))
      qWarning("window not exposed");
    return Form;
  }
  void CheckBetweenGames(TMainForm& Form) {
    QCOMPARE(Screen(Form), BetweenGames);
    QVERIFY(Form.Bord()->Finished);
    QCOMPARE(Masses(Form.Bord()), u"0/0"_s);
  }

private Q_SLOTS:
  void init() {
    R = std::make_unique<TAppRig>();
    R->Messages.SetHandler([](const QString& Text, TMsgType, TMsgButtons) {
      return Text == u"Do you want to play again"_s ? TMsgButton::Yes : TMsgButton::OK;
    });
    Frames = Sounds = 0;
    SoundWorks = true;
  }
  void cleanup() { R.reset(); }

  void wholeGameAgainstTheComputer_data() {
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::newRow("4 x 4") << 4 << 4;
    QTest::newRow("5 x 5") << 5 << 5;
    QTest::newRow("4 x 6") << 4 << 6;
  }
  void wholeGameAgainstTheComputer() {
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    auto Form = StartLocalGame(Rows, Cols);
    TThinkRecorder Think(*Form);
    QCOMPARE(Screen(*Form), LocalTurn + u"Fizzgrid @12b | 0/0"_s);
    // The same game played silently on a copy predicts every reply.
    std::unique_ptr<TBord> Expected = TBord::CreateCopy(*Form->Bord());
    for (int Moves = 0; !Form->Bord()->Finished; ++Moves) {
      QVERIFY2(Moves < 300, "the game does not end");
      const TMove Mine = PickMove(*Form->Bord());
      Expected->GetCell(Mine.Row, Mine.Col)->AddMass(LocalPlayer, false);
      const bool ComputerMoves = !Expected->Finished && Expected->CanMove(Opponent);
      TMove Reply;
      if (ComputerMoves) {
        SetThinkProgress(nullptr);
        Reply = ComputerMove(*TBord::CreateCopy(*Expected));
        SetThinkProgress(&Think);
        Expected->GetCell(Reply.Row, Reply.Col)->AddMass(Opponent, false);
      }
      const std::array<int, 3> Final = Expected->CountMasses();
      Think.Seen.clear();
      ClickCell(*Form, Mine.Row, Mine.Col);
      QCOMPARE(Think.Seen, ComputerMoves ? QStringList{Thinking} : QStringList());
      if (!Expected->Finished && ComputerMoves && Expected->CanMove(LocalPlayer)) {
        QCOMPARE(R->Log(), QString());
        QCOMPARE(BoardDiff(Form->Bord(), *Expected), QString());
        QCOMPARE(Screen(*Form),
                 LocalTurn + u"Moved :\r     [%1,%2] @12b | %3/%4"_s.arg(Reply.Row + 1)
                                 .arg(Reply.Col + 1)
                                 .arg(Final[0])
                                 .arg(Final[1]));
        continue;
      }
      QCOMPARE(R->Log(), GameOver.arg(Final[0] > Final[1]   ? u"Tester wins"_s
                                      : Final[1] > Final[0] ? u"Computer wins"_s
                                                            : u"We have a draw"_s));
      QCOMPARE(R->Messages.Records()[1].Buttons, TMsgButton::Yes | TMsgButton::No);
      // A draw is a win for both.
      const int Won = Final[0] >= Final[1], Lost = Final[1] >= Final[0];
      QCOMPARE(R->Record(u"Tester"_s), std::pair(Won, 1 - Won));
      QCOMPARE(R->Record(u"Computer"_s), std::pair(Lost, 1 - Lost));
      CheckBetweenGames(*Form);
    }
    QVERIFY(Form->isVisible());
    QCOMPARE(Frames, Sounds * TMainForm::ExplosionFrames);
    // The next game starts with "Start Game" on the empty board.
    Form->StartGameF21->trigger();
    QVERIFY(!Form->Bord()->Finished);
    QVERIFY(Screen(*Form).startsWith(LocalTurn));
    ClickCell(*Form, 0, 0);
    QCOMPARE(Form->Bord()->GetCell(0, 0)->Owner, LocalPlayer);
    QCOMPARE(Masses(Form->Bord()), u"1/1"_s);
  }

  void clickOnOpponentCellOrBorder() {
    auto Form = StartLocalGame();
    Put(*Form->Bord(), 2, 3, Opponent, 2);
    ClickCell(*Form, 2, 3);
    QCOMPARE(R->Log(), u"Error: You cannot click on fields occupied by your opponent"_s);
    QCOMPARE(R->Messages.Records()[0].Buttons, TMsgButtons(TMsgButton::OK));
    QTest::mouseClick(Form->BordDisplay, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1)); // no cell
    QCOMPARE(R->Messages.Count(), 1);
    QCOMPARE(Masses(Form->Bord()), u"0/2"_s);
    QCOMPARE(Screen(*Form), LocalTurn + u"Fizzgrid @12b | 0/0"_s);
  }

  // Every cell the user's, none about to explode: after one more mass the
  // computer has nowhere to go. Only No to the next game closes.
  void computerWithNoMove_data() {
    QTest::addColumn<TMsgButton>("Answer");
    QTest::newRow("Yes") << TMsgButton::Yes;
    QTest::newRow("No") << TMsgButton::No;
    QTest::newRow("closed unanswered") << TMsgButton::None;
  }
  void computerWithNoMove() {
    QFETCH(TMsgButton, Answer);
    R->Messages.SetHandler([=](const QString&, TMsgType, TMsgButtons Buttons) {
      return Buttons & TMsgButton::No ? Answer : TMsgButton::OK;
    });
    auto Form = StartLocalGame(4, 4);
    for (int Cell = 0; Cell < 16; ++Cell)
      Put(*Form->Bord(), Cell / 4, Cell % 4, LocalPlayer, 1);
    TThinkRecorder Think(*Form);
    ClickCell(*Form, 1, 1);
    QCOMPARE(Think.Seen, QStringList());
    QCOMPARE(R->Log(), GameOver.arg(u"Tester wins"_s));
    QCOMPARE(R->Record(u"Tester"_s), std::pair(1, 0));
    QCOMPARE(R->Record(u"Computer"_s), std::pair(0, 1));
    QCOMPARE(Form->isVisible(), !Form->Closing());
    QCOMPARE(Form->Closing(), Answer == TMsgButton::No);
    if (Answer != TMsgButton::No)
      CheckBetweenGames(*Form);
  }

  void draw() {
    auto Form = StartLocalGame(4, 4);
    Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
    Put(*Form->Bord(), 3, 3, Opponent, 1);
    Form->GameOver();
    QCOMPARE(R->Log(), GameOver.arg(u"We have a draw"_s));
    QCOMPARE(R->Record(u"Tester"_s), std::pair(1, 0));
    QCOMPARE(R->Record(u"Computer"_s), std::pair(1, 0));
    CheckBetweenGames(*Form);
  }

  void restartMidGame() {
    auto Form = StartLocalGame();
    ClickCell(*Form, 0, 0);
    Form->Restart1->trigger();
    QCOMPARE(Masses(Form->Bord()), u"0/0"_s);
    QVERIFY(!Form->Bord()->Finished);
    QCOMPARE(Screen(*Form), LocalTurn + u"Fizzgrid @12b | 0/0"_s);
    QCOMPARE(Form->NamePlayer1->text() + Form->NamePlayer2->text(), u"Tester : Computer : "_s);
    QVERIFY(R->Scores.Entries().empty());
    QCOMPARE(R->Log(), QString());
    ClickCell(*Form, 4, 4);
    QCOMPARE(Form->Bord()->GetCell(4, 4)->Owner, LocalPlayer);
  }

  // New dimensions between games, through the dialog or stored outside its
  // range; then the dialog cancelled mid-game keeps them.
  void dimensionsChangedAndCancelled_data() {
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<QSize>("Grid");
    QTest::addColumn<int>("ClientHeight");
    QTest::newRow("dialog 4 x 8") << 4 << 8 << QSize(8, 4) << 132;
    QTest::newRow("2 rows: minimum height") << 2 << 5 << QSize(5, 2) << 105;
    QTest::newRow("above 8: no cell-less rows") << 12 << 9 << QSize(8, 8) << 260;
  }
  void dimensionsChangedAndCancelled() {
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(QSize, Grid);
    QFETCH(int, ClientHeight);
    auto Form = StartLocalGame();
    QCOMPARE(QSize(Form->ClientWidth(), Form->ClientHeight()),
             QSize(164 + 4 + Form->Score->width(), 164));
    ClickCell(*Form, 0, 0);
    Form->GameOver();
    R->Messages.Clear();
    if (Rows >= 4 && Rows <= 8) {
      R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(Rows, Cols));
      Form->Dimensions1->trigger();
      QCOMPARE(std::pair(int(NumRows), int(NumCols)), std::pair(Rows, Cols));
    } else {
      std::tie(NumRows, NumCols) = std::pair(uint8_t(Rows), uint8_t(Cols));
      Form->ResizeBoard();
    }
    for (int Round = 0; Round < 2; ++Round) {
      QCOMPARE(QSize(Form->Bord()->Cols, Form->Bord()->Rows), Grid);
      QCOMPARE(QSize(Form->BordDisplay->ColCount(), Form->BordDisplay->RowCount()), Grid);
      QCOMPARE(Form->BordDisplay->geometry(), QRect(QPoint(2, 2), Grid * 32 + QSize(4, 4)));
      QCOMPARE(Form->ClientHeight(), ClientHeight);
      QCOMPARE(Form->ClientWidth(), Grid.width() * 32 + 8 + Form->Score->width());
      QCOMPARE(Form->Score->geometry().right() + 1, Form->ClientWidth());
      QVERIFY(Form->centralWidget()->rect().contains(Form->BordDisplay->geometry()));
      QCOMPARE(Masses(Form->Bord()), u"0/0"_s);
      QCOMPARE(R->Log(), QString());
      // Cancel still gives a new, empty board.
      Form->StartGameF21->trigger();
      ClickCell(*Form, Grid.height() - 1, Grid.width() - 1);
      QCOMPARE(Form->Bord()->CountMasses()[0], 1);
      Form->Dimensions1Click();
    }
  }

  void explosionsOnAndOff() {
    auto Form = StartLocalGame();
    QVERIFY(Form->Explosions1->isChecked());
    // (0,0) explodes into (0,1), which takes the opponent's two masses and
    // explodes in turn; the score follows every explosion.
    Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
    Put(*Form->Bord(), 0, 1, Opponent, 2);
    QStringList Shown, Expected;
    Form->SetFrameDelay([&](int) {
      Shown << u"%1 %2 %3"_s.arg(Form->BordDisplay->OverlayFrame(0, 0))
                   .arg(Form->BordDisplay->OverlayFrame(0, 1))
                   .arg(Form->Player1->text() + Form->Player2->text());
    });
    ClickCell(*Form, 0, 0);
    for (int Frame = 0; Frame < TMainForm::ExplosionFrames; ++Frame)
      Expected << u"%1 -1 22"_s.arg(Frame);
    for (int Frame = 0; Frame < TMainForm::ExplosionFrames; ++Frame)
      Expected << u"-1 %1 30"_s.arg(Frame);
    QCOMPARE(Shown, Expected);
    QCOMPARE(Sounds, 2);
    QCOMPARE(Form->BordDisplay->OverlayFrame(0, 0), -1);
    QVERIFY(Form->SoundOn());
    // Without the check mark: no frame, no sound; the score still follows.
    Form->Restart1->trigger();
    Form->Explosions1->trigger();
    QVERIFY(!Form->Explosions1->isChecked());
    Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
    Shown.clear();
    ClickCell(*Form, 0, 0);
    QCOMPARE(Shown, QStringList());
    QCOMPARE(Sounds, 2);
    QVERIFY(Screen(*Form).endsWith(u" | 2/1"_s));
    Form->Explosions1Click();
    QVERIFY(Form->Explosions1->isChecked());
  }

  void noSoundDevice() {
    SoundWorks = false;
    auto Form = StartLocalGame();
    Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
    Put(*Form->Bord(), 4, 4, LocalPlayer, 1);
    ClickCell(*Form, 0, 0);
    QCOMPARE(Sounds, 1);
    QVERIFY(!Form->SoundOn());
    QCOMPARE(Frames, TMainForm::ExplosionFrames);
    QCOMPARE(R->Log(), QString());
    // Never tried again; the animation goes on.
    ClickCell(*Form, 4, 4);
    QCOMPARE(Sounds, 1);
    QVERIFY(Frames >= 2 * TMainForm::ExplosionFrames && Frames % TMainForm::ExplosionFrames == 0);
    if (!QMediaDevices::audioOutputs().isEmpty())
      QSKIP("this machine has an audio output");
    QVERIFY(!TResourceSound().Play());
  }

  void exitDuringSearch() {
    auto Form = StartLocalGame();
    TThinkRecorder Think(*Form);
    // Cancel first: the search goes on; then Yes.
    R->Messages.SetHandler([Asked = 0](const QString&, TMsgType, TMsgButtons) mutable {
      return ++Asked > 1 ? TMsgButton::Yes : TMsgButton::Cancel;
    });
    int Exits = 0;
    Think.Hook = [&] {
      if (Exits++ < 2)
        Form->eXit1->trigger();
    };
    ClickCell(*Form, 2, 2);
    QCOMPARE(R->Log(), u"Confirm: Are you sure|Confirm: Are you sure"_s);
    QCOMPARE(R->Messages.Records()[0].Buttons, TMsgButton::Yes | TMsgButton::Cancel);
    QVERIFY(!KeepThinking && Form->Closing() && !Form->isVisible());
    QCOMPARE(CursorOf(*Form), TCursorKind::Arrow);
    // Nothing is placed or recorded once the window is closing.
    QCOMPARE(Masses(Form->Bord()), u"1/0"_s);
    QVERIFY(R->Scores.Entries().empty());
  }

  // The program ends with its last window: closing during the search must
  // not leave the thinking window shown.
  void closingDuringSearchLeavesNoWindow_data() {
    QTest::addColumn<bool>("ByMenu");
    QTest::newRow("Exit") << true;
    QTest::newRow("close box") << false;
  }
  void closingDuringSearchLeavesNoWindow() {
    QFETCH(bool, ByMenu);
    R->Messages.SetHandler([](const QString&, TMsgType, TMsgButtons) { return TMsgButton::Yes; });
    auto Form = StartLocalGame();
    THookedGauges Gauges;
    SetThinkProgress(&Gauges);
    QStringList StillShown;
    Gauges.Hook = [&] {
      if (Form->Closing())
        return;
      QVERIFY(Gauges.isVisible());
      ByMenu ? Form->eXit1->trigger() : void(Form->close());
      for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window->isVisible())
          StillShown << Window->objectName();
    };
    ClickCell(*Form, 2, 2);
    QVERIFY(Form->Closing() && !Gauges.isVisible());
    QCOMPARE(StillShown, QStringList());
    QCOMPARE(Masses(Form->Bord()), u"1/0"_s);
    SetThinkProgress(nullptr);
  }

  // Closing during a cascade ends the animation and asks the computer
  // nothing more; the board still settles.
  void closingDuringCascade() {
    auto Form = StartLocalGame();
    TThinkRecorder Think(*Form);
    Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
    Put(*Form->Bord(), 0, 1, LocalPlayer, 2);
    Form->SetFrameDelay([&](int) {
      if (++Frames == 1)
        Form->close();
    });
    ClickCell(*Form, 0, 0);
    QVERIFY(Form->Closing());
    QCOMPARE(std::pair(Frames, Sounds), std::pair(1, 1));
    QCOMPARE(Form->BordDisplay->OverlayFrame(0, 0), -1);
    QCOMPARE(Think.Seen, QStringList());
    QCOMPARE(Masses(Form->Bord()), u"4/0"_s);
    QCOMPARE(R->Log(), QString());
  }

  // A few moves, then the window as a picture; with FIZZGRID_SCREENSHOT set
  // it is written there (how docs/screenshot.png is made).
  void screenshot() {
    auto Form = StartLocalGame();
    const int Cells[][2] = {{2, 2}, {0, 0}, {0, 0}, {2, 2}, {4, 0}, {2, 2}};
    for (const auto& [Row, Col] : Cells)
      if (Form->Bord()->GetCell(uint8_t(Row), uint8_t(Col))->Owner != Opponent)
        ClickCell(*Form, Row, Col);
    QVERIFY(Form->InformationText().startsWith(u"Moved :"_s));
    // By a tile's corner the picture shows the owner's colour.
    const QImage Grid = Form->BordDisplay->grab().toImage();
    for (uint8_t Row = 0; Row < 5; ++Row)
      for (uint8_t Col = 0; Col < 5; ++Col)
        if (const uint8_t Owner = Form->Bord()->GetCell(Row, Col)->Owner; Owner != NoOwner)
          QCOMPARE(Grid.pixel(Form->BordDisplay->CellRect(Col, Row).topLeft() + QPoint(5, 5)),
                   Owner == LocalPlayer ? qRgb(0, 255, 255) : qRgb(255, 0, 0));
    const QImage Picture = Form->grab().toImage();
    QCOMPARE(Picture.size(), Form->size() * Picture.devicePixelRatio());
    if (const QString Target = qEnvironmentVariable("FIZZGRID_SCREENSHOT"); !Target.isEmpty())
      QVERIFY(Picture.save(Target, "PNG"));
  }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
