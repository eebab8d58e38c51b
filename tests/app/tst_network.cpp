// One real main window against a scripted partner that speaks the game's
// bytes over loopback: the exchange, whole games with cascades in both roles,
// the no-move marker both ways, the next game's exchange, the partner
// leaving, an intruder, bad messages and the chat both ways.

#include "MainFormHarness.h"

#include "Chat.h"
#include "CommandIO.h"
#include "Communication.h"
#include "ErrorReport.h"
#include "Facilities.h"

#include <QAction>
#include <QHostAddress>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

// Move sequences on a 4 x 4 board, both players alternating from the first
// entry, each ending with one side owning every cell (no endless cascade).
// "M" games begin with the program's move, "S" games with the partner's.
// The last word says who is left without a cell and sends the no-move marker.
const char* const MGamePartnerMarks = "12 11 32 21 20 10 12 03 33 03 12 01 30 00 32 10 33 11 30 11 30 01 30";
const char* const MGameProgramMarks = "02 01 00 21 13 32 12 30 12 03 11 03 03 23 00 13 12 13 23 12 11 33 03 00";
const char* const SGameProgramMarks = "02 20 10 30 10 30 21 11 03 22 21 22 10 01 13 32 30 32 31 01 21 22 11";
const char* const SGamePartnerMarks =
    "32 02 12 13 20 02 11 31 23 30 22 31 33 13 11 21 32 02 33 13 11 10 31 10 30 32";

QList<TMove> Moves(const char* Script)
{
    QList<TMove> Result;
    for (const QString& Pair : QString::fromLatin1(Script).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        Result.append(TMove(uint8_t(Pair[0].digitValue()), uint8_t(Pair[1].digitValue())));
    return Result;
}

QByteArray MoveBytes(int Row, int Col)
{
    return QByteArray(1, '\x01') + QByteArray::number(Row) + ';' + QByteArray::number(Col);
}

class TExplosionCounter : public TBordView
{
public:
    void InvalidateCell(uint8_t, uint8_t) override {}
    void Explode(uint8_t, uint8_t) override { ++Count; }
    int Count = 0;
};

// The program on the other computer, played by the test: it answers the
// exchange, plays its side of a scripted move sequence on a board of its
// own (kept in the program's view: owner 0 is the program, 1 the partner)
// and checks every byte the program sends.
class TScriptedPartner : public QObject
{
public:
    enum class TState { Connecting, Exchange, FirstMovePending, Play, Over, Gone };

    TScriptedPartner(bool AMaster, const QString& AName) : Master(AMaster), Name(AName)
    {
        connect(&Poll, &QTimer::timeout, this, [this] { Tick(); });
        Poll.start(5);
        if (Master) {
            GameServer.listen(QHostAddress::LocalHost, 0);
            ChatServer.listen(QHostAddress::LocalHost, 0);
            connect(&GameServer, &QTcpServer::newConnection, this, [this] {
                if (Game)
                    return;
                AttachGame(GameServer.nextPendingConnection());
                State = TState::Exchange;
                Send(QByteArray(1, '\x03') + Name.toLatin1());
            });
            connect(&ChatServer, &QTcpServer::newConnection, this,
                    [this] { AttachChat(ChatServer.nextPendingConnection()); });
        }
    }

    // The partner's side: the master listens and sends the dimensions.
    const bool Master;
    const QString Name;
    uint8_t Rows = 4;
    uint8_t Cols = 4;
    // The move sequences of the coming games, one per game.
    QList<QList<TMove>> Games;
    // The partner leaves instead of starting the next game.
    bool LeaveAfterGame = false;
    // A reply to send instead of the next scripted move (once).
    QByteArray ReplaceNextReply;
    // Leave instead of answering the program's next move.
    bool LeaveOnMove = false;
    // The program is waiting for the partner's first move.
    std::function<bool()> ProgramWaits;

    QTcpServer GameServer;
    QTcpServer ChatServer;
    QTcpSocket* Game = nullptr;
    QTcpSocket* Chat = nullptr;
    QTimer Poll;

    TState State = TState::Connecting;
    QList<QByteArray> Received;
    QList<QByteArray> Sent;
    QByteArray ChatStream;
    QStringList Problems;
    QString ProgramName;
    int GamesStarted = 0;
    int Explosions = 0;
    bool MarkerReceived = false;
    bool MarkerSent = false;
    std::unique_ptr<TBord> Board;

    QList<TMove> Script;
    qsizetype Next = 0;

    TMove NextMove() const { return Next < Script.size() ? Script[Next] : TMove(); }

    void Leave()
    {
        State = TState::Gone;
        if (Game)
            Game->disconnectFromHost();
    }

    // What a master partner does when the program's user is asked about the
    // next game: start it, or leave. The question may come before the
    // program's no-move marker has been read here; the next game then
    // starts once it has.
    void NextGameAsked()
    {
        if (!Master)
            return;
        NextGameWanted = true;
        MaybeNextGame();
    }

    void SendChat(const QByteArray& Text)
    {
        Chat->write(Text);
        Chat->flush();
    }

private:
    TExplosionCounter Counter;
    bool NextGameWanted = false;

    void Problem(const QString& What) { Problems << What; }

    void GameEnded()
    {
        State = TState::Over;
        MaybeNextGame();
    }

    void MaybeNextGame()
    {
        if (!NextGameWanted || State != TState::Over)
            return;
        NextGameWanted = false;
        if (LeaveAfterGame) {
            Leave();
            return;
        }
        State = TState::Exchange;
        Send(QByteArray(1, '\x03') + Name.toLatin1());
    }

    void AttachGame(QTcpSocket* Socket)
    {
        Game = Socket;
        Game->setParent(this);
        connect(Game, &QTcpSocket::readyRead, this, [this] { GameData(Game->readAll()); });
    }

    void AttachChat(QTcpSocket* Socket)
    {
        if (Chat)
            return;
        Chat = Socket;
        Chat->setParent(this);
        connect(Chat, &QTcpSocket::readyRead, this, [this] { ChatStream += Chat->readAll(); });
    }

    void Send(const QByteArray& Bytes)
    {
        Sent << Bytes;
        Game->write(Bytes);
        Game->flush();
    }

    void Tick()
    {
        // The program as master listens once its window has begun to
        // connect; keep trying until it does. Its chat listener opens after
        // the first exchange.
        if (!Master && State == TState::Connecting && ComDataModule && ComDataModule->ServerActive()
            && (!Game || Game->state() == QAbstractSocket::UnconnectedState)) {
            delete Game;
            Game = new QTcpSocket(this);
            connect(Game, &QTcpSocket::connected, this, [this] { State = TState::Exchange; });
            connect(Game, &QTcpSocket::readyRead, this, [this] { GameData(Game->readAll()); });
            Game->connectToHost(QHostAddress::LocalHost, ComDataModule->GamePort());
        }
        if (!Master && GamesStarted > 0 && State != TState::Gone && ComDataModule
            && ComDataModule->ChatServerActive()
            && (!Chat || Chat->state() == QAbstractSocket::UnconnectedState)) {
            delete Chat;
            Chat = new QTcpSocket(this);
            connect(Chat, &QTcpSocket::readyRead, this, [this] { ChatStream += Chat->readAll(); });
            Chat->connectToHost(QHostAddress::LocalHost, ComDataModule->ChatPort());
        }
        // The master's first move waits until the program reads, so it can
        // never arrive in one piece with the dimensions.
        if (State == TState::FirstMovePending && ProgramWaits && ProgramWaits()) {
            State = TState::Play;
            Reply();
        }
    }

    void NewGame(uint8_t R, uint8_t C)
    {
        ++GamesStarted;
        Board = std::make_unique<TBord>(&Counter, R, C);
        Script = Games.isEmpty() ? QList<TMove>() : Games.takeFirst();
        Next = 0;
        MarkerReceived = MarkerSent = false;
        State = Master ? TState::FirstMovePending : TState::Play;
    }

    void GameData(const QByteArray& Chunk)
    {
        // Every message begins with its code byte and carries only printable
        // characters after it, so a chunk holding two messages can be split.
        qsizetype Start = 0;
        for (qsizetype i = 1; i <= Chunk.size(); ++i) {
            if (i == Chunk.size() || (uchar(Chunk[i]) >= 1 && uchar(Chunk[i]) <= 4)) {
                Message(Chunk.mid(Start, i - Start));
                Start = i;
            }
        }
    }

    void Message(const QByteArray& Bytes)
    {
        Received << Bytes;
        const char Code = Bytes.isEmpty() ? 0 : Bytes[0];
        const QByteArray Rest = Bytes.mid(1);
        if (Code == 3) {
            ProgramName = QString::fromLatin1(Rest);
            if (!Master) {
                if (State != TState::Exchange && State != TState::Over)
                    Problem(QStringLiteral("Name out of turn"));
                State = TState::Exchange;
                Send(QByteArray(1, '\x03') + Name.toLatin1());
            } else {
                if (State != TState::Exchange)
                    Problem(QStringLiteral("Name out of turn"));
                Send(QByteArray(1, '\x04') + QByteArray::number(Rows) + ';' + QByteArray::number(Cols));
                NewGame(Rows, Cols);
            }
            return;
        }
        if (Code == 4 && !Master) {
            const QList<QByteArray> Numbers = Rest.split(';');
            if (State != TState::Exchange || Numbers.size() != 2)
                Problem(QStringLiteral("Dimensions out of turn or malformed"));
            else
                NewGame(uint8_t(Numbers[0].toInt()), uint8_t(Numbers[1].toInt()));
            return;
        }
        if (Code != 1 || State != TState::Play) {
            Problem(QStringLiteral("Unexpected message %1").arg(QString::fromLatin1(Bytes.toHex())));
            return;
        }
        const QList<QByteArray> Numbers = Rest.split(';');
        const int Row = Numbers.value(0).toInt();
        const int Col = Numbers.value(1, "-1").toInt();
        if (Row == Board->Rows && Col == 0) {
            if (Board->CanMove(LocalPlayer))
                Problem(QStringLiteral("No-move marker from a program that can move"));
            MarkerReceived = true;
            GameEnded();
            return;
        }
        if (TMove(uint8_t(Row), uint8_t(Col)) != NextMove())
            Problem(QStringLiteral("Program played %1,%2 out of script").arg(Row).arg(Col));
        Board->GetCell(uint8_t(Row), uint8_t(Col))->AddMass(LocalPlayer, true);
        ++Next;
        if (Board->Finished) {
            GameEnded();
            return;
        }
        if (LeaveOnMove) {
            Leave();
            return;
        }
        Reply();
    }

    void Reply()
    {
        Explosions = Counter.Count;
        if (!ReplaceNextReply.isEmpty()) {
            Send(std::exchange(ReplaceNextReply, QByteArray()));
            State = TState::Gone;
            return;
        }
        if (!Board->CanMove(Opponent)) {
            MarkerSent = true;
            Send(MoveBytes(Board->Rows, 0));
            GameEnded();
            return;
        }
        const TMove Move = NextMove();
        TCell* Cell = Board->GetCell(Move.Row, Move.Col);
        if (!Cell || Cell->Owner == LocalPlayer) {
            Problem(QStringLiteral("Script move %1,%2 is not the partner's to play").arg(Move.Row).arg(Move.Col));
            return;
        }
        Send(MoveBytes(Move.Row, Move.Col));
        Cell->AddMass(Opponent, true);
        ++Next;
        Explosions = Counter.Count;
        if (Board->Finished)
            GameEnded();
    }
};

// Where the program's board differs from the partner's, empty when alike.
QString Difference(const TBord* Mine, const TBord* Theirs)
{
    if (!Mine || !Theirs)
        return QStringLiteral("no board");
    if (Mine->Rows != Theirs->Rows || Mine->Cols != Theirs->Cols)
        return QStringLiteral("dimensions differ");
    for (uint8_t Row = 0; Row < Mine->Rows; ++Row)
        for (uint8_t Col = 0; Col < Mine->Cols; ++Col) {
            const TCell* A = Mine->GetCell(Row, Col);
            const TCell* B = Theirs->GetCell(Row, Col);
            if (A->Owner != B->Owner || A->Mass != B->Mass)
                return QStringLiteral("cell %1,%2: %3/%4 against %5/%6")
                    .arg(Row).arg(Col).arg(A->Owner).arg(A->Mass).arg(B->Owner).arg(B->Mass);
        }
    return QString();
}

bool HasText(const TScriptedMessages& Messages, const QString& Text, TMsgType Type)
{
    for (const TMsgRecord& Record : Messages.Records())
        if (Record.Text == Text && Record.Type == Type)
            return true;
    return false;
}

QStringList Errors(const TScriptedMessages& Messages)
{
    QStringList Result;
    for (const TMsgRecord& Record : Messages.Records())
        if (Record.Type == TMsgType::Error)
            Result << Record.Text;
    return Result;
}

} // namespace

class TNetworkTest : public QObject
{
    Q_OBJECT

private:
    // What every game needs: fresh settings and high scores, scripted
    // dialogs and boxes, and the partner's reaction to the play-again
    // question.
    struct TRig
    {
        TFreshState Fresh;
        TScriptedMessages Messages;
        TDialogScript Dialogs;
        std::unique_ptr<TScriptedPartner> Partner;
        std::unique_ptr<TMainForm> Form;
        bool PlayAgain = true;

        TRig(bool PartnerMaster, const QString& PartnerName)
            : Partner(std::make_unique<TScriptedPartner>(PartnerMaster, PartnerName))
        {
            Messages.SetHandler([this](const QString& Text, TMsgType, TMsgButtons Buttons) {
                if (Text == QStringLiteral("Do you want to play again")) {
                    Partner->NextGameAsked();
                    return PlayAgain ? TMsgButton::Yes : TMsgButton::No;
                }
                if (Text == QStringLiteral("Continue waiting"))
                    return TMsgButton::No;
                return (Buttons & TMsgButton::OK) ? TMsgButton::OK : EscapeButton(Buttons);
            });
        }

        // Brings the window up; the program is the master when the partner
        // is the slave.
        void Start(const QString& OwnName, int Rows = 4, int Cols = 4)
        {
            Dialogs.On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(OwnName));
            if (Partner->Master) {
                TMainForm::SetPorts(Partner->GameServer.serverPort(), Partner->ChatServer.serverPort());
                Dialogs.On(QStringLiteral("GameTypeSelection"),
                           TDialogScript::NetworkGame(false, QStringLiteral("127.0.0.1")));
                Partner->Rows = uint8_t(Rows);
                Partner->Cols = uint8_t(Cols);
            } else {
                TMainForm::SetPorts(0, 0);
                Dialogs.On(QStringLiteral("GameTypeSelection"), TDialogScript::NetworkGame(true, QString()));
                Dialogs.On(QStringLiteral("SizeDlg"), TDialogScript::Dimensions(Rows, Cols));
            }
            Form = std::make_unique<TMainForm>();
            Form->SetFrameDelay([](int) {});
            Form->SetExplosionSound(nullptr);
            Form->show();
            TMainForm* F = Form.get();
            Partner->ProgramWaits = [F] {
                return F->InformationText() == QStringLiteral("Waiting for opponent");
            };
        }

        TChatForm* Chat() const { return Form->findChild<TChatForm*>(); }
    };

    // Plays the program's side of the running game: clicks the scripted
    // cells until the script is done (on a slave the next game may have
    // begun by then), comparing both boards after every turn. Returns the
    // number of clicks, -1 when the boards went out of step.
    static int PlayGame(TRig& Rig)
    {
        TScriptedPartner& Partner = *Rig.Partner;
        const int Game = Partner.GamesStarted;
        int Clicks = 0;
        while (Partner.State == TScriptedPartner::TState::Play && Partner.GamesStarted == Game
               && Partner.Next < Partner.Script.size()) {
            const TMove Move = Partner.NextMove();
            if (!Rig.Form->BordDisplay->isEnabled()) {
                qWarning("grid disabled with %d moves to go", int(Partner.Script.size() - Partner.Next));
                return -1;
            }
            ClickCell(*Rig.Form, Move.Row, Move.Col);
            ++Clicks;
            if (Partner.GamesStarted == Game && Partner.State == TScriptedPartner::TState::Play
                && Partner.Next < Partner.Script.size()) {
                const QString Diff = Difference(Rig.Form->Bord(), Partner.Board.get());
                if (!Diff.isEmpty()) {
                    qWarning("%s after %d clicks", qPrintable(Diff), Clicks);
                    return -1;
                }
            }
        }
        return Clicks;
    }

private slots:
    void initTestCase()
    {
        InstallErrorReport(true);
    }

    void cleanupTestCase()
    {
        InstallErrorReport(false);
        TMainForm::SetPorts(DefaultGamePort, DefaultChatPort);
    }

    void programAsMaster()
    {
        TRig Rig(false, QStringLiteral("Bob"));
        TScriptedPartner& Partner = *Rig.Partner;
        Partner.Games = {Moves(MGamePartnerMarks), Moves(MGameProgramMarks), Moves(MGamePartnerMarks)};
        Rig.Start(QStringLiteral("Alice"));
        TMainForm& Form = *Rig.Form;

        // The exchange, byte for byte: master Name, slave Name, Dimensions.
        QCOMPARE(Rig.Dialogs.Shown, QStringList({QStringLiteral("EnterNameDialog"),
                                                 QStringLiteral("GameTypeSelection"), QStringLiteral("SizeDlg")}));
        QTRY_COMPARE(Partner.Received.size(), 2);
        QCOMPARE(Partner.Received[0], QByteArray("\x03" "Alice"));
        QCOMPARE(Partner.Received[1], QByteArray("\x04" "4;4"));
        QCOMPARE(Partner.Sent, QList<QByteArray>({QByteArray("\x03" "Bob")}));
        QCOMPARE(PlayerNames[1], QStringLiteral("Bob"));
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Bob : "));
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(!Form.Dimensions1->isEnabled());
        QVERIFY(Rig.Chat());
        QVERIFY(Rig.Chat()->isVisible());
        QTRY_VERIFY(Partner.Chat && Partner.Chat->state() == QAbstractSocket::ConnectedState);
        QTRY_VERIFY(Form.ComData()->ChatPartner() != nullptr);

        // Somebody else connecting to the game port is sent away at once;
        // the game with the partner goes on.
        QTcpSocket Intruder;
        Intruder.connectToHost(QHostAddress::LocalHost, Form.ComData()->GamePort());
        QTRY_COMPARE(Intruder.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(Form.ComData()->Connected());

        // Game 1: the program takes every cell, the partner sends the
        // no-move marker.
        const int Clicks1 = PlayGame(Rig);
        QVERIFY(Partner.Problems.isEmpty());
        QVERIFY2(Clicks1 > 0, "the program's board went out of step");
        QCOMPARE(Partner.State, TScriptedPartner::TState::Over);
        QVERIFY(Partner.MarkerSent);
        QVERIFY(Partner.Explosions > 5);
        QCOMPARE(Partner.Sent.last(), QByteArray("\x01" "4;0"));
        QVERIFY(HasText(Rig.Messages, QStringLiteral("\nGAME OVER\rAlice wins"), TMsgType::Information));
        QCOMPARE(Rig.Fresh.Record(QStringLiteral("Alice")), std::make_pair(1, 0));
        QCOMPARE(Rig.Fresh.Record(QStringLiteral("Bob")), std::make_pair(0, 1));
        QVERIFY(Form.StartGameF21->isEnabled());
        QVERIFY(!Form.BordDisplay->isEnabled());

        // Chat both ways between games.
        TChatForm* Chat = Rig.Chat();
        Partner.SendChat("hi Alice");
        QTRY_COMPARE(Chat->ReceiveMemo->toPlainText(), QStringLiteral("hi Alice"));
        Partner.SendChat("one\r\n\r\nthree");
        QTRY_COMPARE(Chat->ReceiveMemo->document()->blockCount(), 4);
        QCOMPARE(Chat->ReceiveMemo->toPlainText(), QStringLiteral("hi Alice\none\n\nthree"));
        QTest::keyClicks(Chat->SendMemo, QStringLiteral("hello Bob"));
        QTest::keyClick(Chat->SendMemo, Qt::Key_Return);
        QTRY_COMPARE(Partner.ChatStream, QByteArray("hello Bob"));
        // Enter on the new line sends the last line again; on an empty line
        // after it, nothing.
        QTest::keyClick(Chat->SendMemo, Qt::Key_Return);
        QTest::keyClick(Chat->SendMemo, Qt::Key_Return);
        QTest::keyClicks(Chat->SendMemo, QStringLiteral("x"));
        QTest::keyClick(Chat->SendMemo, Qt::Key_Return);
        QTRY_COMPARE(Partner.ChatStream, QByteArray("hello Bobhello Bobx"));
        // A wrapped line: only its last displayed piece.
        Partner.ChatStream.clear();
        Chat->resize(TChatForm::MinWidth, TChatForm::MinHeight);
        QStringList Words;
        for (int i = 0; i < 25; ++i)
            Words << QStringLiteral("chat%1").arg(i);
        const QString Long = Words.join(QLatin1Char(' '));
        QTest::keyClicks(Chat->SendMemo, Long);
        QTest::keyClick(Chat->SendMemo, Qt::Key_Return);
        QTRY_VERIFY(!Partner.ChatStream.isEmpty());
        QTest::qWait(20);
        QVERIFY(Partner.ChatStream.size() < Long.size());
        QVERIFY(Long.endsWith(QString::fromLatin1(Partner.ChatStream)));
        QVERIFY(Partner.ChatStream.startsWith("chat"));
        // Own text is not echoed.
        QCOMPARE(Chat->ReceiveMemo->document()->blockCount(), 4);

        // Game 2: "Start Game" runs the exchange again; this time the
        // partner takes every cell and the program, unable to move, sends
        // the no-move marker before its game over.
        const qsizetype Before = Partner.Received.size();
        Form.StartGameF21->trigger();
        QTRY_COMPARE(Partner.Received.size(), Before + 2);
        QCOMPARE(Partner.Received[Before], QByteArray("\x03" "Alice"));
        QCOMPARE(Partner.Received[Before + 1], QByteArray("\x04" "4;4"));
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QTRY_COMPARE(Partner.GamesStarted, 2);
        QVERIFY(PlayGame(Rig) > 0);
        QVERIFY(Partner.Problems.isEmpty());
        QTRY_VERIFY(Partner.MarkerReceived);
        QCOMPARE(Partner.Received.last(), QByteArray("\x01" "4;0"));
        QVERIFY(HasText(Rig.Messages, QStringLiteral("\nGAME OVER\rBob wins"), TMsgType::Information));
        QCOMPARE(Rig.Fresh.Record(QStringLiteral("Alice")), std::make_pair(1, 1));
        QCOMPARE(Rig.Fresh.Record(QStringLiteral("Bob")), std::make_pair(1, 1));
        QCOMPARE(Form.InformationText(), QStringLiteral("Fizzgrid"));

        // Game 3: the partner leaves while the program waits for its move.
        Form.StartGameF21->trigger();
        QTRY_COMPARE(Partner.GamesStarted, 3);
        Partner.LeaveOnMove = true;
        const TMove First = Partner.NextMove();
        ClickCell(Form, First.Row, First.Col);
        QTRY_VERIFY(Form.Closing());
        QVERIFY(HasText(Rig.Messages, QStringLiteral("Link has been closed by partner"), TMsgType::Error));
        QTRY_VERIFY(!Form.isVisible());
        QCOMPARE(Errors(Rig.Messages), QStringList({QStringLiteral("Link has been closed by partner")}));
    }

    void programAsSlave()
    {
        TRig Rig(true, QStringLiteral("Max"));
        TScriptedPartner& Partner = *Rig.Partner;
        Partner.Games = {Moves(SGameProgramMarks), Moves(SGamePartnerMarks)};
        Rig.Start(QStringLiteral("Sam"));
        TMainForm& Form = *Rig.Form;

        // The slave answers the master's name and takes its dimensions.
        QCOMPARE(Rig.Dialogs.Shown,
                 QStringList({QStringLiteral("EnterNameDialog"), QStringLiteral("GameTypeSelection")}));
        QCOMPARE(Partner.Sent.size(), 2);
        QCOMPARE(Partner.Sent[0], QByteArray("\x03" "Max"));
        QCOMPARE(Partner.Sent[1], QByteArray("\x04" "4;4"));
        QCOMPARE(Partner.Received, QList<QByteArray>({QByteArray("\x03" "Sam")}));
        QCOMPARE(PlayerNames[1], QStringLiteral("Max"));
        QCOMPARE(int(NumRows), 4);
        QCOMPARE(int(NumCols), 4);
        QVERIFY(Form.Bord());
        QCOMPARE(int(Form.Bord()->Rows), 4);
        QCOMPARE(int(Form.Bord()->Cols), 4);
        QVERIFY(!Form.BordDisplay->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(Rig.Chat());
        QTRY_VERIFY(Partner.Chat != nullptr);

        // The slave's first wait, as the program entry runs it.
        Form.WaitForFirstMove();
        QVERIFY(Partner.Problems.isEmpty());
        QCOMPARE(Form.InformationText(), QStringLiteral("Moved :\r     [1,3]"));
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(Difference(Form.Bord(), Partner.Board.get()).isEmpty());

        // Chat both ways during the game.
        Partner.SendChat("your move, Sam");
        QTRY_COMPARE(Rig.Chat()->ReceiveMemo->toPlainText(), QStringLiteral("your move, Sam"));
        QTest::keyClicks(Rig.Chat()->SendMemo, QStringLiteral("thinking"));
        QTest::keyClick(Rig.Chat()->SendMemo, Qt::Key_Return, Qt::ShiftModifier);
        QTRY_COMPARE(Partner.ChatStream, QByteArray("thinking"));

        // Game 1: the partner takes every cell; the program sends the
        // no-move marker, then its game over, then waits for the next game,
        // which the partner starts at once.
        QVERIFY(PlayGame(Rig) > 0);
        QVERIFY(Partner.Problems.isEmpty());
        QVERIFY(HasText(Rig.Messages, QStringLiteral("\nGAME OVER\rMax wins"), TMsgType::Information));
        QVERIFY(Partner.Received.contains(QByteArray("\x01" "4;0")));
        QCOMPARE(Partner.GamesStarted, 2);
        QCOMPARE(Partner.State, TScriptedPartner::TState::Play);
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(Difference(Form.Bord(), Partner.Board.get()).isEmpty());
        QVERIFY(Partner.Explosions > 0);

        // Game 2: the program takes every cell, the partner sends the
        // no-move marker; then the partner leaves instead of starting again.
        Partner.LeaveAfterGame = true;
        QVERIFY(PlayGame(Rig) > 0);
        QVERIFY(Partner.Problems.isEmpty());
        QVERIFY(Partner.MarkerSent);
        QVERIFY(HasText(Rig.Messages, QStringLiteral("\nGAME OVER\rSam wins"), TMsgType::Information));
        QCOMPARE(Rig.Fresh.Record(QStringLiteral("Sam")), std::make_pair(1, 1));
        QTRY_VERIFY(Form.Closing());
        QVERIFY(HasText(Rig.Messages, QStringLiteral("Link has been closed by partner"), TMsgType::Error));
        QTRY_VERIFY(!Form.isVisible());
        QCOMPARE(Errors(Rig.Messages), QStringList({QStringLiteral("Link has been closed by partner")}));
    }

    void badMessages_data()
    {
        QTest::addColumn<QByteArray>("Reply");
        QTest::newRow("malformed number") << QByteArray("\x01" "x;1");
        QTest::newRow("number out of range") << QByteArray("\x01" "1;300");
        QTest::newRow("no separator") << QByteArray("\x01" "12");
        QTest::newRow("row off the board") << QByteArray("\x01" "7;0");
        QTest::newRow("column off the board") << QByteArray("\x01" "0;4");
        QTest::newRow("wrong kind") << QByteArray("\x03" "Bob");
        QTest::newRow("no command") << QByteArray("\x00" "1;1", 4);
        QTest::newRow("unknown kind") << QByteArray("\x09" "1;1");
    }

    void badMessages()
    {
        QFETCH(QByteArray, Reply);
        TRig Rig(false, QStringLiteral("Bob"));
        TScriptedPartner& Partner = *Rig.Partner;
        Partner.Games = {Moves(MGamePartnerMarks)};
        Rig.Start(QStringLiteral("Alice"));
        TMainForm& Form = *Rig.Form;
        QTRY_COMPARE(Partner.GamesStarted, 1);

        Partner.ReplaceNextReply = Reply;
        ClickCell(Form, 1, 2);
        // The user sees what went wrong; nothing but the own move is on the
        // board, and the window is still there.
        QTRY_COMPARE(Errors(Rig.Messages).size(), 1);
        QVERIFY(!Errors(Rig.Messages).first().isEmpty());
        const std::array<int, 3> Masses = Form.Bord()->CountMasses();
        QCOMPARE(Masses[0], 1);
        QCOMPARE(Masses[1], 0);
        QCOMPARE(Form.Bord()->GetCell(1, 2)->Owner, LocalPlayer);
        QVERIFY(!Form.Closing());
        QVERIFY(Form.isVisible());
        QVERIFY(!Form.BordDisplay->isEnabled());
        QVERIFY(!Form.InformationText().startsWith(QStringLiteral("Moved")));
    }
};

QTEST_MAIN(TNetworkTest)
#include "tst_network.moc"
