// The game window in a game against another computer, over loopback on free
// ports, against a scripted partner that speaks the wire format: the
// exchange, moves both ways, the no-move marker both ways, the next game's
// exchange, an off-board move, and the partner leaving during a wait.

#include "MainFormHarness.h"

#include "Chat.h"
#include "CommandIO.h"
#include "Communication.h"
#include "ErrorReport.h"
#include "Facilities.h"
#include "Information.h"

#include <QAction>
#include <QHostAddress>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray Wire(const TCommand& Command)
{
    return CommandToText(Command);
}

// The other program: either listening (the form is the slave) or connecting
// (the form is the master). Every message it receives is kept; React answers
// it.
class TScriptedPartner : public QObject
{
public:
    TScriptedPartner()
    {
        connect(&GameServer, &QTcpServer::newConnection, this, [this] {
            Adopt(GameServer.nextPendingConnection());
        });
        connect(&ChatServer, &QTcpServer::newConnection, this, [this] {
            Chat = ChatServer.nextPendingConnection();
            if (OnChat)
                OnChat();
        });
    }

    void Listen()
    {
        QVERIFY(GameServer.listen(QHostAddress::LocalHost));
        QVERIFY(ChatServer.listen(QHostAddress::LocalHost));
    }

    void ConnectTo(quint16 Port)
    {
        auto* Socket = new QTcpSocket(this);
        Adopt(Socket);
        Socket->connectToHost(QHostAddress::LocalHost, Port);
    }

    void Send(const TCommand& Command)
    {
        QVERIFY(Game);
        Game->write(Wire(Command));
        Game->flush();
    }

    void Leave()
    {
        if (Game)
            Game->disconnectFromHost();
        if (Chat)
            Chat->disconnectFromHost();
    }

    QList<QByteArray> Received;
    std::function<void(const QByteArray&)> React;
    std::function<void()> OnChat;
    QTcpServer GameServer;
    QTcpServer ChatServer;
    QPointer<QTcpSocket> Game;
    QPointer<QTcpSocket> Chat;

private:
    void Adopt(QTcpSocket* Socket)
    {
        Game = Socket;
        connect(Socket, &QTcpSocket::readyRead, this, [this, Socket] {
            const QByteArray Bytes = Socket->readAll();
            Received.append(Bytes);
            if (React)
                React(Bytes);
        });
    }
};

TMsgButton PlayAgain(const QString& Text, TMsgType, TMsgButtons)
{
    return Text == QStringLiteral("Do you want to play again") ? TMsgButton::Yes : TMsgButton::OK;
}

void Put(TBord& Board, int Row, int Col, uint8_t Owner, uint8_t Mass)
{
    TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
    Cell->Owner = Mass ? Owner : NoOwner;
    Cell->Mass = Mass;
}

} // namespace

class TestMainNet : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TFreshState> State;
    std::unique_ptr<TScriptedMessages> Messages;
    std::unique_ptr<TDialogScript> Dialogs;
    QStringList Errors;
    TErrorReport PreviousReport;

private slots:
    void init()
    {
        State = std::make_unique<TFreshState>();
        Messages = std::make_unique<TScriptedMessages>();
        Dialogs = std::make_unique<TDialogScript>();
        Errors.clear();
        PreviousReport = SetErrorReport([this](const QString& Text) { Errors.append(Text); });
    }

    void cleanup()
    {
        SetErrorReport(PreviousReport);
        TMainForm::SetPorts(DefaultGamePort, DefaultChatPort);
        Dialogs.reset();
        Messages.reset();
        State.reset();
    }

    void asMaster()
    {
        Messages->SetHandler(PlayAgain);
        TScriptedPartner Partner;
        Partner.React = [&](const QByteArray& Bytes) {
            if (Bytes.startsWith(char(TCommandKind::Name)))
                Partner.Send(TCommand::MakeName(QStringLiteral("Peer")));
            else if (Bytes == Wire(TCommand::MakeMove(1, 3)))
                Partner.Send(TCommand::MakeMove(0, 2));
            else if (Bytes == Wire(TCommand::MakeMove(0, 0)))
                Partner.Send(TCommand::MakeMove(9, 9));
        };
        TMainForm::SetPorts(0, 0);
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Boss")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), [&](QDialog& Dialog) {
            TDialogScript::NetworkGame(true, QString())(Dialog);
            // The partner connects once the form listens.
            QTimer::singleShot(0, &Partner, [&] { Partner.ConnectTo(ComDataModule->GamePort()); });
        });
        Dialogs->On(QStringLiteral("SizeDlg"), TDialogScript::Dimensions(4, 4));
        TMainForm Form;
        Form.SetFrameDelay([](int) {});
        Form.SetExplosionSound(nullptr);
        Form.show();

        QCOMPARE(Messages->Count(), 0);
        QTRY_COMPARE(Partner.Received, QList<QByteArray>({Wire(TCommand::MakeName(QStringLiteral("Boss"))),
                                                      Wire(TCommand::MakeDimensions(4, 4))}));
        QCOMPARE(Form.NamePlayer1->text(), QStringLiteral("Boss : "));
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Peer : "));
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(!Form.Dimensions1->isEnabled());
        QVERIFY(!Form.Restart1->isVisible());
        QVERIFY(ChatForm && ChatForm->isVisible() && ChatForm->parent() == &Form);
        QVERIFY(!Form.InformationDialog->isVisible());

        // After the partner's reply every cell is the partner's: this side
        // sends the no-move marker and ends the game.
        const int Position[4][4] = {{11, 11, 12, 11}, {12, 11, 3, 1}, {12, 11, 2, 11}, {11, 12, 11, 11}};
        for (int Row = 0; Row < 4; ++Row) {
            for (int Col = 0; Col < 4; ++Col)
                Put(*Form.Bord(), Row, Col, uint8_t(Position[Row][Col] / 10), uint8_t(Position[Row][Col] % 10));
        }
        Partner.Received.clear();
        ClickCell(Form, 1, 3);
        QTRY_COMPARE(Partner.Received, QList<QByteArray>({Wire(TCommand::MakeMove(1, 3)),
                                                      Wire(TCommand::MakeMove(4, 0))}));
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rPeer wins"),
                                                 QStringLiteral("Do you want to play again")}));
        QCOMPARE(State->Record(QStringLiteral("Peer")), std::make_pair(1, 0));
        QCOMPARE(State->Record(QStringLiteral("Boss")), std::make_pair(0, 1));
        QVERIFY(Form.StartGameF21->isEnabled());
        QVERIFY(Form.Dimensions1->isEnabled());
        QVERIFY(!Form.BordDisplay->isEnabled());

        // The next game starts with the exchange.
        Partner.Received.clear();
        Form.StartGameF21->trigger();
        QTRY_COMPARE(Partner.Received, QList<QByteArray>({Wire(TCommand::MakeName(QStringLiteral("Boss"))),
                                                      Wire(TCommand::MakeDimensions(4, 4))}));
        QVERIFY(Form.BordDisplay->isEnabled());
        QVERIFY(!Form.Bord()->Finished);

        // A move off the board is refused with an error and never placed.
        Messages->Clear();
        ClickCell(Form, 0, 0);
        QTRY_COMPARE(Errors.size(), 1);
        QVERIFY(Errors[0].contains(QStringLiteral("9")));
        QCOMPARE(Form.Bord()->CountMasses()[0], 1);
        QCOMPARE(Form.Bord()->CountMasses()[1], 0);
        QCOMPARE(CursorOf(Form), TCursorKind::Arrow);
        QCOMPARE(Messages->Count(), 0);
        QVERIFY(!Form.Closing());
    }

    void asSlave()
    {
        TScriptedPartner Partner;
        Partner.Listen();
        TMainForm::SetPorts(Partner.GameServer.serverPort(), Partner.ChatServer.serverPort());
        int Games = 0;
        connect(&Partner.GameServer, &QTcpServer::newConnection, &Partner, [&] {
            Partner.Send(TCommand::MakeName(QStringLiteral("Master")));
        });
        Partner.React = [&](const QByteArray& Bytes) {
            if (Bytes.startsWith(char(TCommandKind::Name))) {
                ++Games;
                Partner.Send(TCommand::MakeDimensions(Games == 1 ? 4 : 5, Games == 1 ? 4 : 6));
            } else if (Bytes == Wire(TCommand::MakeMove(3, 3))) {
                Partner.Send(TCommand::MakeMove(4, 0));
            }
        };
        // The first move once the slave has taken the dimensions: it
        // connects the chat only after the exchange.
        Partner.OnChat = [&] { Partner.Send(TCommand::MakeMove(0, 0)); };
        Messages->SetHandler([&](const QString& Text, TMsgType Type, TMsgButtons Buttons) {
            // Answering the question lets the partner start the next game.
            if (Text == QStringLiteral("Do you want to play again"))
                QTimer::singleShot(0, &Partner, [&] { Partner.Send(TCommand::MakeName(QStringLiteral("Master"))); });
            return PlayAgain(Text, Type, Buttons);
        });
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Slave")));
        Dialogs->On(QStringLiteral("GameTypeSelection"),
                    TDialogScript::NetworkGame(false, QStringLiteral("127.0.0.1")));
        TMainForm Form;
        Form.SetFrameDelay([](int) {});
        Form.SetExplosionSound(nullptr);
        Form.show();

        QCOMPARE(Dialogs->Shown, QStringList({QStringLiteral("EnterNameDialog"),
                                              QStringLiteral("GameTypeSelection")}));
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Master : "));
        QCOMPARE(int(Form.Bord()->Rows), 4);
        QCOMPARE(int(Form.Bord()->Cols), 4);
        QVERIFY(!Form.BordDisplay->isEnabled());
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(!Form.Restart1->isVisible());
        QVERIFY(ChatForm);

        // The program entry's first wait: the master's first move.
        Form.WaitForFirstMove();
        QCOMPARE(Form.InformationText(), QStringLiteral("Moved :\r     [1,1]"));
        QCOMPARE(Form.Bord()->GetCell(0, 0)->Owner, Opponent);
        QVERIFY(Form.BordDisplay->isEnabled());
        QCOMPARE(CursorOf(Form), TCursorKind::Arrow);

        // The partner answers with the no-move marker: the game ends here
        // too, and this side waits for the next game; the partner leaves
        // during the wait for that game's first move.
        QTimer Watch;
        connect(&Watch, &QTimer::timeout, &Partner, [&] {
            if (Form.Bord() && Form.Bord()->Rows == 5 &&
                Form.InformationText() == QStringLiteral("Waiting for opponent"))
                Partner.Leave();
        });
        Watch.start(5);
        ClickCell(Form, 3, 3);
        QCOMPARE(Messages->Texts(), QStringList({QStringLiteral("\nGAME OVER\rWe have a draw"),
                                                 QStringLiteral("Do you want to play again"),
                                                 QStringLiteral("Link has been closed by partner")}));
        QCOMPARE(State->Record(QStringLiteral("Slave")), std::make_pair(1, 0));
        QCOMPARE(State->Record(QStringLiteral("Master")), std::make_pair(1, 0));
        QCOMPARE(int(Form.Bord()->Rows), 5);
        QCOMPARE(int(Form.Bord()->Cols), 6);
        QCOMPARE(Games, 2);
        QVERIFY(Form.Closing());
        QVERIFY(!Form.isVisible());
    }

    // The master fails the slave's set-up exchange: it leaves, or answers
    // with something the exchange does not allow. The user is told, the
    // connection is dropped, and the game type dialog comes again.
    void setUpExchangeFails_data()
    {
        QTest::addColumn<QByteArray>("Greeting");
        QTest::addColumn<QByteArray>("Dimensions");
        QTest::addColumn<QString>("Error");
        QTest::newRow("partner leaves") << QByteArray() << QByteArray() << QStringLiteral("Link closed");
        QTest::newRow("a move for a name") << QByteArray("\x01" "1;1") << QByteArray() << QString();
        QTest::newRow("dimensions off range") << Wire(TCommand::MakeName(QStringLiteral("Master")))
                                              << QByteArray("\x04" "9;9") << QString();
        QTest::newRow("malformed dimensions") << Wire(TCommand::MakeName(QStringLiteral("Master")))
                                              << QByteArray("\x04" "44") << QString();
    }

    void setUpExchangeFails()
    {
        QFETCH(QByteArray, Greeting);
        QFETCH(QByteArray, Dimensions);
        QFETCH(QString, Error);
        TScriptedPartner Partner;
        Partner.Listen();
        TMainForm::SetPorts(Partner.GameServer.serverPort(), Partner.ChatServer.serverPort());
        connect(&Partner.GameServer, &QTcpServer::newConnection, &Partner, [&] {
            if (!Greeting.isEmpty()) {
                Partner.Game->write(Greeting);
                Partner.Game->flush();
            }
        });
        Partner.React = [&](const QByteArray&) {
            if (!Dimensions.isEmpty()) {
                Partner.Game->write(Dimensions);
                Partner.Game->flush();
            }
        };
        // Leaves once the slave waits in the exchange.
        QTimer Watch;
        connect(&Watch, &QTimer::timeout, &Partner, [&] {
            if (Greeting.isEmpty() && Partner.Game && MainForm && MainForm->InformationDialog
                && MainForm->InformationDialog->isVisible()
                && MainForm->InformationDialog->DialogText->text() == QStringLiteral("Waiting for opponent to connect"))
                Partner.Leave();
        });
        Watch.start(5);
        Dialogs->On(QStringLiteral("GameTypeSelection"),
                    TDialogScript::NetworkGame(false, QStringLiteral("127.0.0.1")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;

        QCOMPARE(Messages->Count(), 1);
        QCOMPARE(Messages->Records()[0].Type, TMsgType::Error);
        if (Error.isEmpty())
            QVERIFY(!Messages->Texts()[0].isEmpty() && Messages->Texts()[0] != QStringLiteral("Link closed"));
        else
            QCOMPARE(Messages->Texts()[0], Error);
        QCOMPARE(Dialogs->Shown, QStringList({QStringLiteral("EnterNameDialog"), QStringLiteral("GameTypeSelection"),
                                              QStringLiteral("GameTypeSelection"), QStringLiteral("SizeDlg")}));
        QVERIFY(!Form.InformationDialog->isVisible());
        QVERIFY(Form.CommandIO() && Form.CommandIO()->IsLocal());
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Computer : "));
        QCOMPARE(int(Form.Bord()->Rows), 5);
        QCOMPARE(int(Form.Bord()->Cols), 5);
        QVERIFY(!ChatForm);
        // The failed attempt's connection is closed.
        QVERIFY(Partner.Game);
        QTRY_COMPARE(Partner.Game->state(), QAbstractSocket::UnconnectedState);
    }

    // The window closed while it waits for the partner: the wait ends at
    // once, nothing is reported or placed, and no window stays on screen.
    void closingDuringNetworkWait_data()
    {
        QTest::addColumn<bool>("ByMenu");
        QTest::addColumn<bool>("FirstMove");
        QTest::newRow("Exit, first move") << true << true;
        QTest::newRow("close box, first move") << false << true;
        QTest::newRow("Exit, reply") << true << false;
        QTest::newRow("close box, reply") << false << false;
    }

    void closingDuringNetworkWait()
    {
        QFETCH(bool, ByMenu);
        QFETCH(bool, FirstMove);
        TScriptedPartner Partner;
        Partner.Listen();
        TMainForm::SetPorts(Partner.GameServer.serverPort(), Partner.ChatServer.serverPort());
        connect(&Partner.GameServer, &QTcpServer::newConnection, &Partner, [&] {
            Partner.Send(TCommand::MakeName(QStringLiteral("Master")));
        });
        Partner.React = [&](const QByteArray& Bytes) {
            if (Bytes.startsWith(char(TCommandKind::Name)))
                Partner.Send(TCommand::MakeDimensions(4, 4));
        };
        if (!FirstMove)
            Partner.OnChat = [&] { Partner.Send(TCommand::MakeMove(0, 0)); };
        Messages->SetHandler([](const QString& Text, TMsgType, TMsgButtons) {
            return Text == QStringLiteral("Are you sure") ? TMsgButton::Yes : TMsgButton::OK;
        });
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Slave")));
        Dialogs->On(QStringLiteral("GameTypeSelection"),
                    TDialogScript::NetworkGame(false, QStringLiteral("127.0.0.1")));
        TMainForm Form;
        Form.SetFrameDelay([](int) {});
        Form.SetExplosionSound(nullptr);
        Form.show();
        QVERIFY(ChatForm && ChatForm->isVisible());

        bool Closed = false;
        bool Armed = FirstMove;
        QTimer Watch;
        connect(&Watch, &QTimer::timeout, &Partner, [&] {
            if (!Armed || Closed || Form.InformationText() != QStringLiteral("Waiting for opponent")
                || CursorOf(Form) != TCursorKind::HourGlass)
                return;
            Closed = true;
            if (ByMenu)
                Form.eXit1->trigger();
            else
                Form.close();
        });
        Watch.start(5);
        Form.WaitForFirstMove();
        if (!FirstMove) {
            QVERIFY(!Closed);
            QCOMPARE(Form.Bord()->GetCell(0, 0)->Owner, Opponent);
            Armed = true;
            ClickCell(Form, 1, 1);
        }
        QVERIFY(Closed);
        QVERIFY(Form.Closing());
        QCOMPARE(Messages->Texts(), ByMenu ? QStringList{QStringLiteral("Are you sure")} : QStringList());
        QCOMPARE(CursorOf(Form), TCursorKind::Arrow);
        QVERIFY(!Form.BordDisplay->isEnabled());
        QCOMPARE(Form.Bord()->CountMasses()[0], FirstMove ? 0 : 1);
        QCOMPARE(Form.Bord()->CountMasses()[1], FirstMove ? 0 : 1);
        for (QWidget* Window : QApplication::topLevelWidgets())
            QVERIFY2(!Window->isVisible(), qPrintable(Window->objectName()));
        QVERIFY(State->Scores->Entries().empty());
    }

    void slaveGivesUpWaiting()
    {
        // Nobody listens: the wait ends, "No" returns to the game type
        // dialog, and a game against the computer starts normally.
        QTcpServer Probe;
        QVERIFY(Probe.listen(QHostAddress::LocalHost));
        const quint16 Closed = Probe.serverPort();
        Probe.close();
        TMainForm::SetPorts(Closed, Closed);
        Messages->SetHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
            return Buttons.testFlag(TMsgButton::No) ? TMsgButton::No : TMsgButton::OK;
        });
        Dialogs->On(QStringLiteral("GameTypeSelection"),
                    TDialogScript::NetworkGame(false, QStringLiteral("127.0.0.1")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;
        QVERIFY(Messages->Texts().contains(QStringLiteral("Continue waiting")));
        QCOMPARE(Dialogs->Shown.count(QStringLiteral("GameTypeSelection")), 2);
        QVERIFY(Form.CommandIO() && Form.CommandIO()->IsLocal());
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Computer : "));
        QVERIFY(!ChatForm);
    }
};

QTEST_MAIN(TestMainNet)
#include "tst_mainnet.moc"
