// The game window against the computer: whole games, the read-outs, the
// enabled states, the end conditions and the high scores; the board view,
// the explosion animation and sound, and the window sizing.

#include "MainFormHarness.h"

#include "CommandIO.h"
#include "Facilities.h"
#include "Thinking.h"

#include <QAction>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QAudioDevice>
#include <QMediaDevices>

namespace {

// A local player's cell of the mass given, or an opponent's.
void Put(TBord& Board, int Row, int Col, uint8_t Owner, uint8_t Mass)
{
    TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
    Cell->Owner = Mass ? Owner : NoOwner;
    Cell->Mass = Mass;
}

QString MovedText(const TMove& Move)
{
    return QStringLiteral("Moved :\r     [%1,%2]").arg(Move.Row + 1).arg(Move.Col + 1);
}

// The user's choice in the whole-game test: a cell of its own that explodes,
// else the first empty cell, else the first own one.
TMove PickMove(const TBord& Board)
{
    for (const TMove& Move : Board.GenerateMoves(LocalPlayer)) {
        const TCell* Cell = Board.GetCell(Move.Row, Move.Col);
        if (Cell->Owner == LocalPlayer && Cell->Mass + 1 == Cell->Capacity)
            return Move;
    }
    for (const TMove& Move : Board.GenerateMoves(LocalPlayer)) {
        if (Board.GetCell(Move.Row, Move.Col)->Owner == NoOwner)
            return Move;
    }
    return Board.GenerateMoves(LocalPlayer)[0];
}

bool SameBoard(const TBord& A, const TBord& B)
{
    if (A.Rows != B.Rows || A.Cols != B.Cols)
        return false;
    for (uint8_t Row = 0; Row < A.Rows; ++Row) {
        for (uint8_t Col = 0; Col < A.Cols; ++Col) {
            const TCell* X = A.GetCell(Row, Col);
            const TCell* Y = B.GetCell(Row, Col);
            if (X->Owner != Y->Owner || X->Mass != Y->Mass)
                return false;
        }
    }
    return true;
}

// The real thinking window, running Hook whenever the search lets messages
// through.
class THookedGauges : public TThinkGauges
{
public:
    void ProcessMessages() override
    {
        if (Hook)
            Hook();
        TThinkGauges::ProcessMessages();
    }
    std::function<void()> Hook;
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TFreshState> State;
    std::unique_ptr<TScriptedMessages> Messages;
    std::unique_ptr<TDialogScript> Dialogs;
    TSoundLog Sound;
    int Frames = 0;

    // A game against the computer on a board of Rows x Cols for "Tester",
    // the explosion's wait and sound replaced by recorders.
    std::unique_ptr<TMainForm> StartLocalGame(int Rows, int Cols)
    {
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Tester")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        Dialogs->On(QStringLiteral("SizeDlg"), TDialogScript::Dimensions(Rows, Cols));
        auto Form = std::make_unique<TMainForm>();
        Form->SetFrameDelay([this](int Msecs) {
            QCOMPARE(Msecs, TMainForm::FrameTime);
            ++Frames;
        });
        Form->SetExplosionSound(std::make_unique<TRecordingSound>(Sound));
        Form->show();
        if (!QTest::qWaitForWindowExposed(Form.get()))
            qWarning("window not exposed");
        return Form;
    }

    void CheckLocalTurn(TMainForm& Form)
    {
        QVERIFY(Form.BordDisplay->isEnabled());
        QCOMPARE(CursorOf(Form), TCursorKind::Arrow);
        QVERIFY(Form.Restart1->isVisible());
        QVERIFY(Form.Restart1->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(!Form.Dimensions1->isEnabled());
        QVERIFY(Form.HighScores1->isEnabled());
        QVERIFY(Form.Explosions1->isEnabled());
        QVERIFY(Form.eXit1->isEnabled());
        QVERIFY(Form.HelpAboutItem->isEnabled());
    }

    void CheckScore(TMainForm& Form, int Own, int Theirs)
    {
        QCOMPARE(Form.Player1->text(), QString::number(Own));
        QCOMPARE(Form.Player2->text(), QString::number(Theirs));
    }

    void CheckBetweenGames(TMainForm& Form)
    {
        QVERIFY(!Form.BordDisplay->isEnabled());
        QCOMPARE(CursorOf(Form), TCursorKind::Arrow);
        QVERIFY(Form.StartGameF21->isEnabled());
        QVERIFY(Form.Dimensions1->isEnabled());
        QVERIFY(Form.Restart1->isEnabled());
        QVERIFY(Form.Bord()->Finished);
        QCOMPARE(Form.Bord()->CountMasses()[0] + Form.Bord()->CountMasses()[1], 0);
        CheckScore(Form, 0, 0);
        QCOMPARE(Form.InformationText(), QStringLiteral("Fizzgrid"));
        QVERIFY(Form.InformationLabel->font().bold());
        QCOMPARE(Form.InformationLabel->font().pointSize(), 12);
    }

    static TMsgButton PlayAgain(const QString& Text, TMsgType, TMsgButtons)
    {
        return Text == QStringLiteral("Do you want to play again") ? TMsgButton::Yes : TMsgButton::OK;
    }

private slots:
    void init()
    {
        State = std::make_unique<TFreshState>();
        Messages = std::make_unique<TScriptedMessages>();
        Dialogs = std::make_unique<TDialogScript>();
        Sound = TSoundLog();
        Frames = 0;
    }

    void cleanup()
    {
        Dialogs.reset();
        Messages.reset();
        State.reset();
    }

    void wholeGameAgainstTheComputer_data()
    {
        QTest::addColumn<int>("Rows");
        QTest::addColumn<int>("Cols");
        QTest::newRow("4 x 4") << 4 << 4;
        QTest::newRow("5 x 5") << 5 << 5;
        QTest::newRow("4 x 6") << 4 << 6;
    }

    void wholeGameAgainstTheComputer()
    {
        QFETCH(int, Rows);
        QFETCH(int, Cols);
        Messages->SetHandler(PlayAgain);
        auto Form = StartLocalGame(Rows, Cols);
        TThinkRecorder Thinking(*Form);
        SetThinkProgress(&Thinking);
        CheckLocalTurn(*Form);
        CheckScore(*Form, 0, 0);
        QCOMPARE(Form->InformationText(), QStringLiteral("Fizzgrid"));

        // The same game played silently on a copy predicts every reply.
        std::unique_ptr<TBord> Expected = TBord::CreateCopy(*Form->Bord());
        Expected->View = nullptr;
        int Moves = 0;
        bool Over = false;
        while (!Over) {
            QVERIFY2(++Moves < 300, "the game does not end");
            const TMove Mine = PickMove(*Form->Bord());
            Expected->GetCell(Mine.Row, Mine.Col)->AddMass(LocalPlayer, false);
            const bool ComputerMoves = !Expected->Finished && Expected->CanMove(Opponent);
            TMove Reply;
            if (ComputerMoves) {
                SetThinkProgress(nullptr);
                std::unique_ptr<TBord> Search = TBord::CreateCopy(*Expected);
                Search->View = nullptr;
                Reply = ComputerMove(*Search);
                SetThinkProgress(&Thinking);
                Expected->GetCell(Reply.Row, Reply.Col)->AddMass(Opponent, false);
            }
            const bool Ends = Expected->Finished || !ComputerMoves || !Expected->CanMove(LocalPlayer);
            const std::array<int, 3> Final = Expected->CountMasses();
            const int ShowsBefore = Thinking.Shows;

            ClickCell(*Form, Mine.Row, Mine.Col);

            QCOMPARE(Thinking.Shows, ShowsBefore + (ComputerMoves ? 1 : 0));
            if (ComputerMoves) {
                QCOMPARE(Thinking.Texts.last(), QStringLiteral("Just a second...\rThinking"));
                QVERIFY(Thinking.HourGlass.last());
                QVERIFY(!Thinking.GridEnabled.last());
                QVERIFY(!Thinking.MenusEnabled.last());
            }
            if (!Ends) {
                QCOMPARE(Messages->Count(), 0);
                QVERIFY(SameBoard(*Form->Bord(), *Expected));
                QCOMPARE(Form->InformationText(), MovedText(Reply));
                QCOMPARE(Form->InformationLabel->font().pointSize(), 12);
                QVERIFY(Form->InformationLabel->font().bold());
                CheckScore(*Form, Final[0], Final[1]);
                CheckLocalTurn(*Form);
                continue;
            }
            Over = true;
            const QString Winner = Final[0] > Final[1]   ? QStringLiteral("Tester wins")
                                   : Final[1] > Final[0] ? QStringLiteral("Computer wins")
                                                         : QStringLiteral("We have a draw");
            QCOMPARE(Messages->Texts(),
                     QStringList({QStringLiteral("\nGAME OVER\r") + Winner,
                                  QStringLiteral("Do you want to play again")}));
            QCOMPARE(Messages->Records()[0].Type, TMsgType::Information);
            QCOMPARE(Messages->Records()[1].Type, TMsgType::Confirmation);
            QCOMPARE(Messages->Records()[1].Buttons, TMsgButton::Yes | TMsgButton::No);
            const std::pair<int, int> Tester = State->Record(QStringLiteral("Tester"));
            const std::pair<int, int> Computer = State->Record(QStringLiteral("Computer"));
            if (Final[0] > Final[1]) {
                QCOMPARE(Tester, std::make_pair(1, 0));
                QCOMPARE(Computer, std::make_pair(0, 1));
            } else if (Final[1] > Final[0]) {
                QCOMPARE(Tester, std::make_pair(0, 1));
                QCOMPARE(Computer, std::make_pair(1, 0));
            } else {
                QCOMPARE(Tester, std::make_pair(1, 0));
                QCOMPARE(Computer, std::make_pair(1, 0));
            }
            CheckBetweenGames(*Form);
        }
        QVERIFY(Form->isVisible());
        QCOMPARE(Frames, Sound.Attempts * TMainForm::ExplosionFrames);

        // The next game starts with "Start Game" on the empty board.
        Form->StartGameF21->trigger();
        QVERIFY(!Form->Bord()->Finished);
        CheckLocalTurn(*Form);
        ClickCell(*Form, 0, 0);
        QCOMPARE(Form->Bord()->GetCell(0, 0)->Owner, LocalPlayer);
        QCOMPARE(Form->Bord()->CountMasses()[1], 1);
    }

    void playAgainNoCloses()
    {
        Messages->SetHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
            return Buttons.testFlag(TMsgButton::No) ? TMsgButton::No : TMsgButton::OK;
        });
        auto Form = StartLocalGame(4, 4);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Form->GameOver();
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rTester wins"),
                                                 QStringLiteral("Do you want to play again")}));
        QVERIFY(Form->Closing());
        QVERIFY(!Form->isVisible());
    }

    // Closing the question without pressing a button is no No: the game
    // goes on.
    void playAgainClosedPlaysAgain()
    {
        auto Form = StartLocalGame(4, 4);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Form->GameOver();
        QCOMPARE(Messages->Records().last().Text, QStringLiteral("Do you want to play again"));
        QCOMPARE(Messages->Records().last().Answer, TMsgButton::None);
        QVERIFY(!Form->Closing());
        CheckBetweenGames(*Form);
    }

    void clickOnOpponentCell()
    {
        auto Form = StartLocalGame(5, 5);
        Put(*Form->Bord(), 2, 3, Opponent, 2);
        ClickCell(*Form, 2, 3);
        QCOMPARE(Messages->Texts(),
                 QStringList{QStringLiteral("You cannot click on fields occupied by your opponent")});
        QCOMPARE(Messages->Records()[0].Type, TMsgType::Error);
        QCOMPARE(Messages->Records()[0].Buttons, TMsgButtons(TMsgButton::OK));
        QCOMPARE(Form->Bord()->CountMasses()[0], 0);
        QCOMPARE(Form->Bord()->CountMasses()[1], 2);
        QCOMPARE(Form->InformationText(), QStringLiteral("Fizzgrid"));
        CheckLocalTurn(*Form);

        // The grid's border is no cell: nothing happens.
        QTest::mouseClick(Form->BordDisplay, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        QCOMPARE(Messages->Count(), 1);
        QCOMPARE(Form->Bord()->CountMasses()[0], 0);
        CheckLocalTurn(*Form);
    }

    void computerWithNoMove()
    {
        Messages->SetHandler(PlayAgain);
        auto Form = StartLocalGame(4, 4);
        // Every cell the user's, none about to explode: after one more mass
        // the computer has nowhere to go.
        for (int Row = 0; Row < 4; ++Row) {
            for (int Col = 0; Col < 4; ++Col)
                Put(*Form->Bord(), Row, Col, LocalPlayer, 1);
        }
        TThinkRecorder Thinking(*Form);
        SetThinkProgress(&Thinking);
        ClickCell(*Form, 1, 1);
        QCOMPARE(Thinking.Shows, 0);
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rTester wins"),
                                                 QStringLiteral("Do you want to play again")}));
        QCOMPARE(State->Record(QStringLiteral("Tester")), std::make_pair(1, 0));
        QCOMPARE(State->Record(QStringLiteral("Computer")), std::make_pair(0, 1));
        CheckBetweenGames(*Form);
    }

    void userWithNoMove()
    {
        Messages->SetHandler(PlayAgain);
        auto Form = StartLocalGame(4, 4);
        // Owner and mass per cell; after the user's move at (1,3) the
        // computer's reply at (0,2) takes every cell without leaving one
        // empty, so the user has nowhere to play.
        const int Position[4][4] = {{11, 11, 12, 11}, {12, 11, 3, 1}, {12, 11, 2, 11}, {11, 12, 11, 11}};
        for (int Row = 0; Row < 4; ++Row) {
            for (int Col = 0; Col < 4; ++Col)
                Put(*Form->Bord(), Row, Col, uint8_t(Position[Row][Col] / 10), uint8_t(Position[Row][Col] % 10));
        }
        ClickCell(*Form, 1, 3);
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rComputer wins"),
                                                 QStringLiteral("Do you want to play again")}));
        QCOMPARE(State->Record(QStringLiteral("Computer")), std::make_pair(1, 0));
        QCOMPARE(State->Record(QStringLiteral("Tester")), std::make_pair(0, 1));
        CheckBetweenGames(*Form);
    }

    void draw()
    {
        Messages->SetHandler(PlayAgain);
        auto Form = StartLocalGame(4, 4);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Put(*Form->Bord(), 3, 3, Opponent, 1);
        Form->GameOver();
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rWe have a draw"),
                                                 QStringLiteral("Do you want to play again")}));
        QCOMPARE(State->Record(QStringLiteral("Tester")), std::make_pair(1, 0));
        QCOMPARE(State->Record(QStringLiteral("Computer")), std::make_pair(1, 0));
        CheckBetweenGames(*Form);
    }

    void sameNameRecordsBothResultsOnOneEntry()
    {
        Messages->SetHandler(PlayAgain);
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Computer")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;
        Put(*Form.Bord(), 0, 0, Opponent, 1);
        Form.GameOver();
        QCOMPARE(Messages->Texts()[0], QStringLiteral("\nGAME OVER\rComputer wins"));
        QCOMPARE(State->Record(QStringLiteral("Computer")), std::make_pair(1, 1));
        QCOMPARE(int(State->Scores->Entries().size()), 1);
    }

    void restartMidGame()
    {
        auto Form = StartLocalGame(5, 5);
        ClickCell(*Form, 0, 0);
        QCOMPARE(Form->Bord()->CountMasses()[0], 1);
        QCOMPARE(Form->Bord()->CountMasses()[1], 1);
        Form->Restart1->trigger();
        QCOMPARE(Form->Bord()->CountMasses()[0], 0);
        QCOMPARE(Form->Bord()->CountMasses()[1], 0);
        QVERIFY(!Form->Bord()->Finished);
        CheckScore(*Form, 0, 0);
        QCOMPARE(Form->InformationText(), QStringLiteral("Fizzgrid"));
        QCOMPARE(Form->NamePlayer1->text(), QStringLiteral("Tester : "));
        QCOMPARE(Form->NamePlayer2->text(), QStringLiteral("Computer : "));
        QVERIFY(State->Scores->Entries().empty());
        QCOMPARE(Messages->Count(), 0);
        CheckLocalTurn(*Form);
        // The local player moves next on the empty board.
        ClickCell(*Form, 4, 4);
        QCOMPARE(Form->Bord()->GetCell(4, 4)->Owner, LocalPlayer);
    }

    void dimensionsChangedAndCancelled()
    {
        Messages->SetHandler(PlayAgain);
        auto Form = StartLocalGame(5, 5);
        QCOMPARE(Form->BordDisplay->size(), QSize(164, 164));
        QCOMPARE(Form->ClientHeight(), 164);
        ClickCell(*Form, 0, 0);
        Form->GameOver();
        Messages->Clear();

        Dialogs->On(QStringLiteral("SizeDlg"), TDialogScript::Dimensions(4, 8));
        Form->Dimensions1->trigger();
        QCOMPARE(Dialogs->Shown.last(), QStringLiteral("SizeDlg"));
        QCOMPARE(int(Form->Bord()->Rows), 4);
        QCOMPARE(int(Form->Bord()->Cols), 8);
        QCOMPARE(NumRows, uint8_t(4));
        QCOMPARE(NumCols, uint8_t(8));
        QCOMPARE(Form->BordDisplay->RowCount(), 4);
        QCOMPARE(Form->BordDisplay->ColCount(), 8);
        QCOMPARE(Form->BordDisplay->size(), QSize(260, 132));
        QCOMPARE(Form->ClientWidth(), 260 + Form->Score->width() + 4);
        QCOMPARE(Form->ClientHeight(), 132);
        QCOMPARE(Form->Score->geometry().right() + 1, Form->ClientWidth());
        QCOMPARE(Form->InfoPanel->x(), Form->Score->x());
        QVERIFY(!Form->Bord()->Finished);

        // Cancel keeps the size and still gives a new, empty board.
        Form->StartGameF21->trigger();
        ClickCell(*Form, 3, 7);
        QVERIFY(Form->Bord()->CountMasses()[0] > 0);
        Form->Dimensions1Click();
        QCOMPARE(int(Form->Bord()->Rows), 4);
        QCOMPARE(int(Form->Bord()->Cols), 8);
        QCOMPARE(Form->Bord()->CountMasses()[0] + Form->Bord()->CountMasses()[1], 0);
        QCOMPARE(Messages->Count(), 0);
    }

    void windowSizing_data()
    {
        QTest::addColumn<int>("Rows");
        QTest::addColumn<int>("Cols");
        QTest::addColumn<int>("GridRows");
        QTest::addColumn<int>("GridCols");
        QTest::addColumn<int>("ClientHeight");
        QTest::newRow("4 x 4") << 4 << 4 << 4 << 4 << 132;
        QTest::newRow("8 x 8") << 8 << 8 << 8 << 8 << 260;
        QTest::newRow("2 rows") << 2 << 5 << 2 << 5 << 105;
        QTest::newRow("above 8") << 12 << 9 << 8 << 8 << 260;
    }

    void windowSizing()
    {
        QFETCH(int, Rows);
        QFETCH(int, Cols);
        QFETCH(int, GridRows);
        QFETCH(int, GridCols);
        QFETCH(int, ClientHeight);
        auto Form = StartLocalGame(5, 5);
        NumRows = uint8_t(Rows);
        NumCols = uint8_t(Cols);
        Form->ResizeBoard();
        QCOMPARE(int(Form->Bord()->Rows), GridRows);
        QCOMPARE(int(Form->Bord()->Cols), GridCols);
        QCOMPARE(Form->BordDisplay->RowCount(), GridRows);
        QCOMPARE(Form->BordDisplay->ColCount(), GridCols);
        QCOMPARE(Form->BordDisplay->size(), QSize(GridCols * 32 + 4, GridRows * 32 + 4));
        QCOMPARE(Form->ClientWidth(), GridCols * 32 + 4 + Form->Score->width() + 4);
        QCOMPARE(Form->ClientHeight(), ClientHeight);
        QCOMPARE(Form->BordDisplay->pos(), QPoint(2, 2));
        // The whole grid lies inside the client area.
        QVERIFY(Form->centralWidget()->rect().contains(Form->BordDisplay->geometry()));
        QVERIFY(Form->centralWidget()->rect().contains(Form->Score->geometry()));
        // A click beyond the last cell lands on no cell.
        int Col = 0;
        int Row = 0;
        QVERIFY(!Form->BordDisplay->MouseToCell(QPoint(GridCols * 32 + 3, 10), Col, Row));
        QVERIFY(Form->BordDisplay->MouseToCell(QPoint(GridCols * 32 + 1, GridRows * 32 + 1), Col, Row));
        QCOMPARE(Col, GridCols - 1);
        QCOMPARE(Row, GridRows - 1);
    }

    void explosionsOnAndOff()
    {
        auto Form = StartLocalGame(5, 5);
        QVERIFY(Form->Explosions1->isChecked());
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        QList<int> Shown;
        Form->SetFrameDelay([&](int) { Shown.append(Form->BordDisplay->OverlayFrame(0, 0)); });
        ClickCell(*Form, 0, 0);
        QList<int> Expected;
        for (int Frame = 0; Frame < TMainForm::ExplosionFrames; ++Frame)
            Expected.append(Frame);
        QCOMPARE(Shown, Expected);
        QCOMPARE(Sound.Attempts, 1);
        QCOMPARE(Form->BordDisplay->OverlayFrame(0, 0), -1);
        // The corner's masses went to its two neighbours.
        QCOMPARE(Form->Bord()->GetCell(0, 1)->Owner, LocalPlayer);
        QCOMPARE(Form->Bord()->GetCell(1, 0)->Owner, LocalPlayer);
        QCOMPARE(Form->Bord()->CountMasses()[0], 2);
        QVERIFY(Form->SoundOn());

        // Without the check mark: no frame and no sound, the score still
        // follows the explosion.
        Form->Restart1->trigger();
        Form->Explosions1->trigger();
        QVERIFY(!Form->Explosions1->isChecked());
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Shown.clear();
        Form->SetFrameDelay([&](int) { Shown.append(0); });
        ClickCell(*Form, 0, 0);
        QVERIFY(Shown.isEmpty());
        QCOMPARE(Sound.Attempts, 1);
        QCOMPARE(Form->Bord()->CountMasses()[0], 2);
        CheckScore(*Form, 2, 1);

        Form->Explosions1Click();
        QVERIFY(Form->Explosions1->isChecked());
    }

    void scoreFollowsTheCascade()
    {
        auto Form = StartLocalGame(5, 5);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Put(*Form->Bord(), 0, 1, Opponent, 2);
        QStringList Counts;
        Form->SetFrameDelay([&](int) {
            const QString Now = Form->Player1->text() + QLatin1Char('/') + Form->Player2->text();
            if (Counts.isEmpty() || Counts.last() != Now)
                Counts.append(Now);
        });
        // (0,0) explodes into (0,1), which takes the opponent's two masses
        // and explodes in turn.
        ClickCell(*Form, 0, 0);
        QCOMPARE(Sound.Attempts, 2);
        QCOMPARE(Counts, QStringList({QStringLiteral("2/2"), QStringLiteral("3/0")}));
    }

    void noSoundDevice()
    {
        Sound.Works = false;
        auto Form = StartLocalGame(5, 5);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Put(*Form->Bord(), 4, 4, LocalPlayer, 1);
        ClickCell(*Form, 0, 0);
        QCOMPARE(Sound.Attempts, 1);
        QVERIFY(!Form->SoundOn());
        QCOMPARE(Frames, TMainForm::ExplosionFrames);
        QCOMPARE(Messages->Count(), 0);
        ClickCell(*Form, 4, 4);
        QCOMPARE(Sound.Attempts, 1);
        QVERIFY(Frames >= 2 * TMainForm::ExplosionFrames);
        QCOMPARE(Frames % TMainForm::ExplosionFrames, 0);

        // The real sound cannot start without an audio output.
        if (!QMediaDevices::audioOutputs().isEmpty())
            QSKIP("this machine has an audio output");
        TResourceSound Real;
        QVERIFY(!Real.Play());
    }

    void exitDuringSearch()
    {
        auto Form = StartLocalGame(5, 5);
        TThinkRecorder Thinking(*Form);
        SetThinkProgress(&Thinking);
        int Asked = 0;
        Messages->SetHandler([&](const QString& Text, TMsgType, TMsgButtons) {
            ++Asked;
            // Cancel first: the search goes on.
            return Text == QStringLiteral("Are you sure") && Asked > 1 ? TMsgButton::Yes
                                                                        : TMsgButton::Cancel;
        });
        int ExitsChosen = 0;
        Thinking.Hook = [&] {
            if (ExitsChosen < 2) {
                ++ExitsChosen;
                Form->eXit1->trigger();
            }
        };
        ClickCell(*Form, 2, 2);
        QCOMPARE(ExitsChosen, 2);
        QCOMPARE(Messages->Texts(),
                 QStringList({QStringLiteral("Are you sure"), QStringLiteral("Are you sure")}));
        QCOMPARE(Messages->Records()[0].Buttons, TMsgButton::Yes | TMsgButton::Cancel);
        QVERIFY(!KeepThinking);
        QVERIFY(Form->Closing());
        QVERIFY(!Form->isVisible());
        QCOMPARE(CursorOf(*Form), TCursorKind::Arrow);
        // Nothing is placed or asked once the window is closing.
        QCOMPARE(Form->Bord()->CountMasses()[0], 1);
        QCOMPARE(Form->Bord()->CountMasses()[1], 0);
        QVERIFY(State->Scores->Entries().empty());
    }

    // The program ends when its last window closes: closing the game window
    // while the computer thinks must not leave the thinking window shown.
    void closingDuringSearchLeavesNoWindow_data()
    {
        QTest::addColumn<bool>("ByMenu");
        QTest::newRow("Exit") << true;
        QTest::newRow("close box") << false;
    }

    void closingDuringSearchLeavesNoWindow()
    {
        QFETCH(bool, ByMenu);
        Messages->SetHandler([](const QString&, TMsgType, TMsgButtons) { return TMsgButton::Yes; });
        auto Form = StartLocalGame(5, 5);
        THookedGauges Gauges;
        SetThinkProgress(&Gauges);
        bool Closed = false;
        QStringList StillShown;
        Gauges.Hook = [&] {
            if (Closed)
                return;
            Closed = true;
            QVERIFY(Gauges.isVisible());
            if (ByMenu)
                Form->eXit1->trigger();
            else
                Form->close();
            for (QWidget* Window : QApplication::topLevelWidgets()) {
                if (Window->isVisible())
                    StillShown << Window->objectName();
            }
        };
        ClickCell(*Form, 2, 2);
        QVERIFY(Closed);
        QVERIFY(Form->Closing());
        QCOMPARE(StillShown, QStringList());
        QVERIFY(!Gauges.isVisible());
        QCOMPARE(Form->Bord()->CountMasses()[1], 0);
        SetThinkProgress(nullptr);
    }

    // Closing the window during a cascade ends the animation and asks the
    // computer nothing more; the board still settles.
    void closingDuringCascade()
    {
        auto Form = StartLocalGame(5, 5);
        TThinkRecorder Thinking(*Form);
        SetThinkProgress(&Thinking);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Put(*Form->Bord(), 0, 1, LocalPlayer, 2);
        Form->SetFrameDelay([&](int) {
            if (++Frames == 1)
                Form->close();
        });
        ClickCell(*Form, 0, 0);
        QVERIFY(Form->Closing());
        QCOMPARE(Frames, 1);
        QCOMPARE(Sound.Attempts, 1);
        QCOMPARE(Form->BordDisplay->OverlayFrame(0, 0), -1);
        QCOMPARE(Thinking.Shows, 0);
        QCOMPARE(Form->Bord()->CountMasses()[0], 4);
        QCOMPARE(Form->Bord()->CountMasses()[1], 0);
        QCOMPARE(Messages->Count(), 0);
    }

    // Plays a few moves and renders the window; with FIZZGRID_SCREENSHOT
    // set, the picture is written there (how docs/screenshot.png is made).
    void screenshot()
    {
        const QString Target = qEnvironmentVariable("FIZZGRID_SCREENSHOT");
        auto Form = StartLocalGame(5, 5);
        for (const auto& [Row, Col] : {std::pair(2, 2), std::pair(0, 0), std::pair(0, 0), std::pair(2, 2),
                                      std::pair(4, 0), std::pair(2, 2)}) {
            if (Form->Bord()->GetCell(uint8_t(Row), uint8_t(Col))->Owner == Opponent)
                continue;
            ClickCell(*Form, Row, Col);
        }
        QVERIFY(Form->InformationText().startsWith(QStringLiteral("Moved :")));
        const QImage Picture = Form->grab().toImage();
        QCOMPARE(Picture.size(), Form->size() * Picture.devicePixelRatio());
        if (Target.isEmpty())
            return;
        QVERIFY(Picture.save(Target, "PNG"));
    }

    void cellPainting()
    {
        auto Form = StartLocalGame(5, 5);
        Put(*Form->Bord(), 0, 0, LocalPlayer, 1);
        Put(*Form->Bord(), 1, 1, Opponent, 4);
        Form->InvalidateCell(0, 0);
        Form->InvalidateCell(1, 1);
        const QImage Grid = Form->BordDisplay->grab().toImage();
        const QRect Own = Form->BordDisplay->CellRect(0, 0);
        const QRect Theirs = Form->BordDisplay->CellRect(1, 1);
        const QRect Empty = Form->BordDisplay->CellRect(2, 2);
        // Region 1 near the tile's corner carries the owner's colour; the
        // picture starts one pixel in from the cell's corner.
        const QPoint Corner(1 + 4, 1 + 4);
        const auto Pixel = [&](QPoint Point) { return Grid.pixel(Point) & RGB_MASK; };
        const auto Colour = [&](QPalette::ColorRole Role) {
            return Form->BordDisplay->palette().color(Role).rgb() & RGB_MASK;
        };
        QCOMPARE(Pixel(Own.topLeft() + Corner), qRgb(0, 255, 255) & RGB_MASK);
        QCOMPARE(Pixel(Theirs.topLeft() + Corner), qRgb(255, 0, 0) & RGB_MASK);
        QCOMPARE(Pixel(Theirs.center()), qRgb(255, 0, 0) & RGB_MASK);
        // An empty cell's silver shows the face colour.
        QCOMPARE(Pixel(Empty.topLeft() + Corner), Colour(QPalette::Button));
        // The bevel: light at the top-left, shadow at the bottom-right.
        QCOMPARE(Pixel(Empty.topLeft()), Colour(QPalette::Light));
        QCOMPARE(Pixel(Empty.bottomRight()), Colour(QPalette::Dark));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
