// SPDX-License-Identifier: GPL-3.0-or-later
// One real game window against a scripted peer that speaks the game's bytes
// over loopback, the program as master and as slave: the exchange, whole
// games with cascades, the no-move marker both ways, the next game's
// exchange, the peer leaving, an intruder, bad messages, the chat both ways,
// failed set-up exchanges, closing during a wait and giving up waiting.

#include "ScriptedPeer.h"

#include "Chat.h"
#include "Communication.h"
#include "GameController.h"
#include "Information.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextDocument>
#include <QTimer>

class TNetworkTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase() { InstallErrorReport(true); }
  void cleanupTestCase() { InstallErrorReport(false); }

  void programAsMaster() {
    TNetRig Rig(false, "Bob");
    TPeer& Peer = *Rig.Peer;
    Peer.Games = {Moves(MGamePeerMarks), Moves(MGameProgramMarks), Moves(MGamePeerMarks)};
    TMainForm& Form = Rig.Start(u"Alice"_s);
    // The exchange byte for byte: master Name, slave Name, Dimensions.
    QCOMPARE(Rig.Dialogs.Shown, Words("EnterNameDialog GameTypeSelection SizeDlg"));
    QTRY_COMPARE(Peer.Received, QList<QByteArray>({"\x03"
                                                   "Alice",
                                                   "\x04"
                                                   "4;4"}));
    QCOMPARE(Peer.Sent, QList<QByteArray>({"\x03"
                                           "Bob"}));
    QCOMPARE(Text(Form, "NamePlayer2"), u"Bob : "_s);
    QCOMPARE(Screen(Form), u"grid menu | Fizzgrid @12b | 0/0"_s);
    QVERIFY(ChatWindow() && ChatWindow()->isVisible() && ChatWindow()->parent() == &Form);
    QTRY_VERIFY(Form.Controller().ComData()->ChatPartner() != nullptr);
    // Somebody else on the game port is sent away; the game goes on.
    QTcpSocket Intruder;
    Intruder.connectToHost(QHostAddress::LocalHost, Form.Controller().ComData()->GamePort());
    QTRY_COMPARE(Intruder.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(Form.Controller().ComData()->Connected());

    // Game 1: the program takes every cell, the peer sends the marker.
    QVERIFY(Rig.PlayGame());
    QVERIFY(Peer.MarkerSent && Peer.Explosions > 5);
    QCOMPARE(Peer.Sent.last(), QByteArray("\x01"
                                          "4;0"));
    QVERIFY(Rig.Log().endsWith(
        u"Information: \nGAME OVER\rAlice wins|Confirm: Do you want to play again"_s));
    QCOMPARE(Rig.Record(u"Alice"_s), std::pair(1, 0));
    QCOMPARE(Rig.Record(u"Bob"_s), std::pair(0, 1));
    QCOMPARE(Screen(Form), u"start dimensions menu | Fizzgrid @12b | 0/0"_s);

    // The chat both ways between games; no echo of the own text.
    Peer.SendChat("hi Alice");
    QTRY_COMPARE(ChatWindow()->ReceiveMemo->toPlainText(), u"hi Alice"_s);
    Peer.SendChat("one\r\n\r\nthree");
    QTRY_COMPARE(ChatWindow()->ReceiveMemo->toPlainText(), u"hi Alice\none\n\nthree"_s);
    QTest::keyClicks(ChatWindow()->SendMemo, u"hello Bob"_s);
    QTest::keyClick(ChatWindow()->SendMemo, Qt::Key_Return);
    QTRY_COMPARE(Peer.ChatStream, QByteArray("hello Bob"));
    QCOMPARE(ChatWindow()->ReceiveMemo->toPlainText(), u"hi Alice\none\n\nthree"_s);

    // Game 2 after the exchange again: the peer takes every cell and the
    // program sends the marker before its game over.
    const qsizetype Before = Peer.Received.size();
    Item(Form, "StartGameF21")->trigger();
    QTRY_COMPARE(Peer.Received.mid(Before), QList<QByteArray>({"\x03"
                                                               "Alice",
                                                               "\x04"
                                                               "4;4"}));
    QTRY_COMPARE(Offers(Form), u"grid menu"_s);
    QVERIFY(Rig.PlayGame());
    QTRY_VERIFY(Peer.MarkerReceived);
    QCOMPARE(Peer.Received.last(), QByteArray("\x01"
                                              "4;0"));
    QVERIFY(Rig.Log().contains(u"Information: \nGAME OVER\rBob wins|"_s));
    QCOMPARE(Rig.Record(u"Alice"_s), std::pair(1, 1));
    QCOMPARE(Rig.Record(u"Bob"_s), std::pair(1, 1));
    QCOMPARE(Screen(Form), u"start dimensions menu | Fizzgrid @12b | 0/0"_s);

    // Game 3: the peer leaves while the program waits for its move.
    Item(Form, "StartGameF21")->trigger();
    QTRY_COMPARE(Peer.GamesStarted, 3);
    Peer.LeaveOnMove = true;
    ClickCell(Form, Peer.Script[0].Row, Peer.Script[0].Col);
    QTRY_VERIFY(!Form.isVisible());
    QVERIFY(Closing(Form) && Peer.Problems.isEmpty());
    QVERIFY(Rig.Log().endsWith(u"|Error: Link has been closed by partner"_s));
    QCOMPARE(Rig.Log().count(u"Error: "_s), 1);
  }

  void programAsSlave() {
    TNetRig Rig(true, "Max");
    TPeer& Peer = *Rig.Peer;
    Peer.Games = {Moves(SGameProgramMarks), Moves(SGamePeerMarks)};
    Peer.HoldFirstMove = true;
    TMainForm& Form = Rig.Start(u"Sam"_s);
    // The slave answers the master's name and takes its dimensions.
    QCOMPARE(Rig.Dialogs.Shown, Words("EnterNameDialog GameTypeSelection"));
    QCOMPARE(Peer.Sent, QList<QByteArray>({"\x03"
                                           "Max",
                                           "\x04"
                                           "4;4"}));
    QCOMPARE(Peer.Received, QList<QByteArray>({"\x03"
                                               "Sam"}));
    QCOMPARE(Text(Form, "NamePlayer2"), u"Max : "_s);
    QCOMPARE(std::pair(int(Form.Controller().Settings()->NumRows),
                       int(Form.Controller().Settings()->NumCols)),
             std::pair(4, 4));
    QCOMPARE(BoardDiff(Bord(Form), TBord(nullptr, 4, 4)), QString());
    // The slave waits for the master's first move at once.
    QCOMPARE(Screen(Form), u"menu busy | Waiting for opponent @8 | 0/0"_s);
    QVERIFY(ChatWindow() && ChatWindow()->isVisible());
    QTRY_VERIFY(Peer.Chat);
    Peer.HoldFirstMove = false;
    QTRY_COMPARE(Screen(Form), u"grid menu | Moved :\r     [1,3] @12b | 0/1"_s);
    QCOMPARE(BoardDiff(Bord(Form), *Peer.Board), QString());
    // The chat both ways during the game.
    Peer.SendChat("your move, Sam");
    QTRY_COMPARE(ChatWindow()->ReceiveMemo->toPlainText(), u"your move, Sam"_s);
    QTest::keyClicks(ChatWindow()->SendMemo, u"thinking"_s);
    QTest::keyClick(ChatWindow()->SendMemo, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE(Peer.ChatStream, QByteArray("thinking"));

    // Game 1: the peer takes every cell; the program sends the marker,
    // then its game over, then waits for the next game, which the peer
    // starts at once.
    QVERIFY(Rig.PlayGame());
    QCOMPARE(Rig.Log(), u"Information: \nGAME OVER\rMax wins|Confirm: Do you want to play again"_s);
    QVERIFY(Peer.Received.contains(QByteArray("\x01"
                                              "4;0")));
    QTRY_VERIFY(Peer.GamesStarted == 2 && Peer.Playing && Peer.Explosions > 0);
    QCOMPARE(Offers(Form), u"grid menu"_s);
    QTRY_COMPARE(BoardDiff(Bord(Form), *Peer.Board), QString());

    // Game 2: the program takes every cell, the peer sends the marker,
    // then leaves instead of starting again.
    Peer.LeaveAfterGame = true;
    QVERIFY(Rig.PlayGame());
    QVERIFY(Peer.MarkerSent);
    QTRY_VERIFY(!Form.isVisible());
    QVERIFY(Closing(Form));
    QVERIFY(Rig.Log().endsWith(u"\rSam wins|Confirm: Do you want to play again|"
                               "Error: Link has been closed by partner"_s));
    QCOMPARE(Rig.Record(u"Sam"_s), std::pair(1, 1));
  }

  // A bad reply to the program's first move: the user sees its error,
  // nothing but the own move is on the board, the window stays.
  void badMessages_data() {
    QTest::addColumn<QByteArray>("Reply");
    QTest::addColumn<QString>("Error");
    QTest::newRow("malformed number") << QByteArray("\x01"
                                                    "x;1")
                                      << u"'x' is not a valid integer value"_s;
    QTest::newRow("out of range") << QByteArray("\x01"
                                                "1;300")
                                  << u"Received number 300 is out of range 0..255"_s;
    QTest::newRow("no separator") << QByteArray("\x01"
                                                "12")
                                  << u"Move message without \";\""_s;
    QTest::newRow("row off") << QByteArray("\x01"
                                           "7;0")
                             << u"Received move 7;0 lies off the board of 4 x 4"_s;
    QTest::newRow("column off") << QByteArray("\x01"
                                              "0;4")
                                << u"Received move 0;4 lies off the board of 4 x 4"_s;
    QTest::newRow("wrong kind") << QByteArray("\x03"
                                              "Bob")
                                << u"Expected Move but received Name"_s;
    QTest::newRow("no command") << QByteArray("\x00"
                                              "1;1",
                                              4)
                                << u"Expected Move but received None"_s;
    QTest::newRow("unknown kind") << QByteArray("\x09"
                                                "1;1")
                                  << u"Expected Move but received Unknown"_s;
  }
  void badMessages() {
    QFETCH(QByteArray, Reply);
    QFETCH(QString, Error);
    TNetRig Rig(false);
    Rig.Peer->Games = {Moves(MGamePeerMarks)};
    TMainForm& Form = Rig.Start(u"Alice"_s);
    QTRY_COMPARE(Rig.Peer->GamesStarted, 1);
    Rig.Peer->NextReply = Reply;
    ClickCell(Form, 1, 2);
    QTRY_COMPARE(Rig.Log(), u"Error: "_s + Error);
    QCOMPARE(Masses(Bord(Form)), u"1/0"_s);
    QCOMPARE(Bord(Form)->GetCell(1, 2)->Owner, LocalPlayer);
    QVERIFY(Form.isVisible() && !Closing(Form));
    QCOMPARE(Offers(Form), u"menu"_s);
    QVERIFY(!Form.InformationText().startsWith(u"Moved"_s));
  }

  // The slave's connection fails: nobody listens (No to "Continue
  // waiting") or the master peer fails the set-up exchange. The user is
  // told, the connection dropped, and the game type dialog comes again.
  void slaveConnectionFails_data() {
    QTest::addColumn<bool>("Listen");
    QTest::addColumn<QByteArray>("Greeting");
    QTest::addColumn<QByteArray>("Answer");
    QTest::addColumn<QString>("Log");
    QTest::newRow("nobody listens")
        << false << QByteArray() << QByteArray() << u"Confirm: Continue waiting"_s;
    QTest::newRow("peer leaves") << true << QByteArray() << QByteArray() << u"Error: Link closed"_s;
    QTest::newRow("a move for a name")
        << true
        << QByteArray("\x01"
                      "1;1")
        << QByteArray() << u"Error: Expected Name but received Move"_s;
    QTest::newRow("dimensions off range") << true
                                          << QByteArray("\x03"
                                                        "M")
                                          << QByteArray("\x04"
                                                        "9;9")
                                          << u"Error: Received dimensions 9 x 9 lie outside 2..8"_s;
    QTest::newRow("malformed dimensions") << true
                                          << QByteArray("\x03"
                                                        "M")
                                          << QByteArray("\x04"
                                                        "44")
                                          << u"Error: Dimensions message without \";\""_s;
  }
  void slaveConnectionFails() {
    QFETCH(bool, Listen);
    QFETCH(QByteArray, Greeting);
    QFETCH(QByteArray, Answer);
    QFETCH(QString, Log);
    TNetRig Rig(true);
    std::tie(Rig.Peer->Greeting, Rig.Peer->Answer) = std::pair(Greeting, Answer);
    for (QTcpServer* Server : {&Rig.Peer->GameServer, &Rig.Peer->ChatServer})
      if (!Listen)
        Server->close(); // the ports stay set, now refused
    Rig.Peer->OnTick = [&] {
      if (!Greeting.isEmpty() || !Rig.Peer->Game || !TheMainForm())
        return;
      auto* Box = Part<TInformationDialog>(*TheMainForm(), "InformationDialog");
      if (Box->isVisible() && Box->DialogText->text() == u"Waiting for opponent to connect"_s)
        Rig.Peer->Leave();
    };
    TMainForm& Form = Rig.Start(u"Sam"_s, TDialogScript::LocalGame());
    if (Listen)
      QCOMPARE(Rig.Log(), Log);
    else
      QVERIFY2(Rig.Log().contains(Log),
               qPrintable(Rig.Log())); // and the refused connection's error
    QCOMPARE(Rig.Dialogs.Shown,
             Words("EnterNameDialog GameTypeSelection GameTypeSelection SizeDlg"));
    QVERIFY(!Part<QWidget>(Form, "InformationDialog")->isVisible() && !ChatWindow());
    QVERIFY(dynamic_cast<TComputerOpponent*>(Form.Controller().OtherPlayer()));
    QCOMPARE(Text(Form, "NamePlayer2"), u"Computer : "_s);
    QCOMPARE(QSize(Bord(Form)->Cols, Bord(Form)->Rows), QSize(4, 4));
    QCOMPARE(bool(Rig.Peer->Game), Listen);
    if (Listen)
      QTRY_COMPARE(Rig.Peer->Game->state(), QAbstractSocket::UnconnectedState);
  }

  // The window closed while it waits for the master's first move or reply:
  // the wait ends at once, nothing is reported or placed, no window stays.
  void closingDuringNetworkWait_data() {
    QTest::addColumn<bool>("ByMenu");
    QTest::addColumn<bool>("FirstMove");
    QTest::newRow("Exit, first move") << true << true;
    QTest::newRow("close box, first move") << false << true;
    QTest::newRow("Exit, reply") << true << false;
    QTest::newRow("close box, reply") << false << false;
  }
  void closingDuringNetworkWait() {
    QFETCH(bool, ByMenu);
    QFETCH(bool, FirstMove);
    TNetRig Rig(true);
    Rig.Peer->Games = {FirstMove ? QList<TMove>() : Moves("00 11")}; // then the peer says no more
    bool Armed = FirstMove, Closed = false;
    Rig.Peer->OnTick = [&] {
      if (!Armed || Closed || !TheMainForm() || Offers(*TheMainForm()) != u"menu busy"_s ||
          TheMainForm()->InformationText() != u"Waiting for opponent"_s)
        return;
      Closed = true;
      ByMenu ? Item(*TheMainForm(), "eXit1")->trigger() : void(TheMainForm()->close());
    };
    TMainForm& Form = Rig.Start(u"Sam"_s);
    QVERIFY(ChatWindow());
    if (!FirstMove) {
      QVERIFY(!Closed);
      QTRY_COMPARE(Bord(Form)->GetCell(0, 0)->Owner, Opponent);
      QVERIFY(Settle(Form));
      Armed = true;
      ClickCell(Form, 1, 1);
    }
    QTRY_VERIFY(Closed && Closing(Form));
    QCOMPARE(Rig.Log(), ByMenu ? u"Confirm: Are you sure"_s : QString());
    QCOMPARE(Offers(Form), u"menu"_s);
    QCOMPARE(Masses(Bord(Form)), FirstMove ? u"0/0"_s : u"1/1"_s);
    for (QWidget* Window : QApplication::topLevelWidgets())
      QVERIFY2(!Window->isVisible(), qPrintable(Window->objectName()));
    QVERIFY(Rig.Entries().empty());
  }

  // The partner leaving during this side's turn is told at once, without a
  // click: before any move, and when the turn came back.
  void partnerLeavesDuringOwnTurn_data() {
    QTest::addColumn<int>("Moves");
    QTest::newRow("first move") << 0;
    QTest::newRow("later move") << 2;
  }
  void partnerLeavesDuringOwnTurn() {
    QFETCH(int, Moves);
    TNetRig Rig(false);
    Rig.Peer->Games = {::Moves(MGamePeerMarks)};
    TMainForm& Form = Rig.Start(u"Alice"_s);
    QTRY_COMPARE(Rig.Peer->GamesStarted, 1);
    for (int Move = 0; Move < Moves; ++Move)
      ClickCell(Form, Rig.Peer->Script[Rig.Peer->Next].Row, Rig.Peer->Script[Rig.Peer->Next].Col);
    // Nothing to take back over the network: the partner could not know.
    QCOMPARE(Offers(Form), u"grid menu"_s);
    const QString Before = Masses(Bord(Form));
    QTest::keyClick(&Form, Qt::Key_Z, Qt::ControlModifier);
    Form.Controller().Undo();
    QCOMPARE(Masses(Bord(Form)), Before);
    Rig.Peer->Leave();
    QTRY_COMPARE(Rig.Log(), u"Error: Link has been closed by partner"_s);
    QVERIFY(Closing(Form) && !Form.isVisible());
  }

  // A partner floods the chat, with and without line breaks, while the
  // program waits for its move: the move is still taken and drawn, and the
  // chat memo keeps its bounds. The delay is printed, not judged: a loaded
  // machine must not fail the suite on it.
  void chatFloodWhileWaiting_data() {
    QTest::addColumn<QByteArray>("Line");
    QTest::newRow("unbroken") << QByteArray(64000, 'x');
    QTest::newRow("line breaks") << QByteArray("one line\r\n").repeated(6400);
  }
  void chatFloodWhileWaiting() {
    QFETCH(QByteArray, Line);
    TNetRig Rig(true);
    TPeer& Peer = *Rig.Peer;
    Peer.Games = {::Moves(SGameProgramMarks)};
    Peer.HoldFirstMove = true;
    TMainForm& Form = Rig.Start(u"Sam"_s);
    QTRY_VERIFY(Peer.Chat && ChatWindow());
    QCOMPARE(Form.InformationText(), u"Waiting for opponent"_s);
    for (int Send = 0; Send < 160; ++Send) // 10 MB
      Peer.SendChat(Line);
    QTest::qWait(100);
    QElapsedTimer Taken;
    Taken.start();
    Peer.HoldFirstMove = false;
    QTRY_COMPARE_WITH_TIMEOUT(Bord(Form)->GetCell(0, 2)->Owner, Opponent, 10000);
    qInfo("move drawn %lld ms after it was sent", Taken.elapsed());
    QTRY_COMPARE_WITH_TIMEOUT(Form.InformationText(), u"Moved :\r     [1,3]"_s, 1000);
    // The rest of the flood is read, and the memo stays within its bounds.
    QTRY_VERIFY_WITH_TIMEOUT(Peer.Chat->bytesToWrite() == 0, 60000);
    QTest::qWait(200);
    QVERIFY(ChatWindow()->ReceiveMemo->document()->characterCount() <= 256 * 1024 + 1);
    QVERIFY(ChatWindow()->ReceiveMemo->document()->blockCount() <= 5000);
    QCOMPARE(Rig.Log(), QString());
  }
};

QTEST_MAIN(TNetworkTest)
#include "tst_network.moc"
