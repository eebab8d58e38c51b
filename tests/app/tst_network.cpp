// One real game window against a scripted peer that speaks the game's bytes
// over loopback, the program as master and as slave: the exchange, whole
// games with cascades, the no-move marker both ways, the next game's
// exchange, the peer leaving, an intruder, bad messages, the chat both ways,
// failed set-up exchanges, closing during a wait and giving up waiting.

#include "MainFormHarness.h"

#include "Chat.h"
#include "Communication.h"
#include "Information.h"

#include <QHostAddress>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Scripted 4 x 4 games, both sides alternating from the first move, each
// ending with one side owning every cell; the other side sends the no-move
// marker. "M" games begin with the program's move, "S" games with the peer's.
const char* const MGamePeerMarks =
    "12 11 32 21 20 10 12 03 33 03 12 01 30 00 32 10 33 11 30 11 30 01 30";
const char* const MGameProgramMarks =
    "02 01 00 21 13 32 12 30 12 03 11 03 03 23 00 13 12 13 23 12 11 33 03 00";
const char* const SGameProgramMarks =
    "02 20 10 30 10 30 21 11 03 22 21 22 10 01 13 32 30 32 31 01 21 22 11";
const char* const SGamePeerMarks =
    "32 02 12 13 20 02 11 31 23 30 22 31 33 13 11 21 32 02 33 13 11 10 31 10 30 32";

QList<TMove> Moves(const char* Script) {
  QList<TMove> Result;
  for (const QString& Pair : QString::fromLatin1(Script).split(u' ', Qt::SkipEmptyParts))
    Result.append(TMove(uint8_t(Pair[0].digitValue()), uint8_t(Pair[1].digitValue())));
  return Result;
}

QByteArray MoveBytes(int Row, int Col) {
  return "\x01" + QByteArray::number(Row) + ';' + QByteArray::number(Col);
}

// The program on the other computer: it answers the exchange and plays its
// side of a scripted game on a board of its own (owner 0 the program, 1 the
// peer), noting every byte it gets that the script does not allow.
class TPeer : public QObject, public TBordView {
public:
  TPeer(bool AMaster, const QByteArray& AName)
      : Master(AMaster), Name(AName), Greeting("\x03" + AName) {
    if (Master &&
        !(GameServer.listen(QHostAddress::LocalHost) && ChatServer.listen(QHostAddress::LocalHost)))
      qFatal("cannot listen on loopback");
    TMainForm::SetPorts(GameServer.serverPort(), ChatServer.serverPort());
    connect(&GameServer, &QTcpServer::newConnection, this, [this] {
      if (Attach(Game, GameServer.nextPendingConnection()))
        Send(Greeting);
    });
    connect(&ChatServer, &QTcpServer::newConnection, this,
            [this] { Attach(Chat, ChatServer.nextPendingConnection()); });
    connect(&Poll, &QTimer::timeout, this, [this] { Tick(); });
    Poll.start(5);
  }
  void InvalidateCell(uint8_t, uint8_t) override {}
  void Explode(uint8_t, uint8_t) override { ++Explosions; }

  const bool Master;
  const QByteArray Name;
  QByteArray Greeting;  // sent by a master peer on connection
  QByteArray Answer;    // when set, the answer to every message instead of the script
  QByteArray NextReply; // sent once instead of the next scripted reply
  QList<QList<TMove>> Games;
  bool LeaveOnMove = false, LeaveAfterGame = false;
  std::function<void()> OnTick;

  QTcpServer GameServer, ChatServer;
  QPointer<QTcpSocket> Game, Chat;
  QTimer Poll;
  QList<QByteArray> Received, Sent;
  QByteArray ChatStream;
  QStringList Problems;
  std::unique_ptr<TBord> Board;
  QList<TMove> Script;
  qsizetype Next = 0;
  int GamesStarted = 0, Explosions = 0;
  bool Playing = false, FirstMovePending = false, MarkerSent = false, MarkerReceived = false,
       NextGameWanted = false;

  void Leave() {
    Playing = false;
    for (QTcpSocket* Socket : {Game.get(), Chat.get()})
      if (Socket)
        Socket->disconnectFromHost();
  }
  // The program asks its user about the next game: a master peer starts it
  // (or leaves) once it has seen this game end too.
  void NextGameAsked() {
    NextGameWanted = Master;
    MaybeNextGame();
  }
  void SendChat(const QByteArray& Text) {
    Chat->write(Text);
    Chat->flush();
  }

private:
  void Send(const QByteArray& Bytes) {
    if (Bytes.isEmpty() || !Game)
      return;
    Sent << Bytes;
    Game->write(Bytes);
    Game->flush();
  }
  bool Attach(QPointer<QTcpSocket>& Slot, QTcpSocket* Socket) {
    if (Slot)
      return false;
    Slot = Socket;
    Socket->setParent(this);
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket, IsGame = &Slot == &Game] {
      const QByteArray Chunk = Socket->readAll();
      if (!IsGame)
        ChatStream += Chunk;
      // A message is its code byte (1 to 4) and printable text.
      for (qsizetype Start = 0, End = 1; IsGame && End <= Chunk.size(); ++End)
        if (End == Chunk.size() || (Chunk[End] >= 1 && Chunk[End] <= 4)) {
          Message(Chunk.mid(Start, End - Start));
          Start = End;
        }
    });
    return true;
  }
  void Connect(QPointer<QTcpSocket>& Slot, quint16 Port) {
    Attach(Slot, new QTcpSocket(this));
    Slot->connectToHost(QHostAddress::LocalHost, Port);
  }
  void Tick() {
    // As slave: connect once the program listens, the chat once its chat
    // listens.
    if (!Master && ComDataModule && !Game && ComDataModule->ServerActive())
      Connect(Game, ComDataModule->GamePort());
    if (!Master && ComDataModule && !Chat && GamesStarted && ComDataModule->ChatServerActive())
      Connect(Chat, ComDataModule->ChatPort());
    // The master's first move waits until the program reads, so it never
    // arrives in one piece with the dimensions.
    if (FirstMovePending && MainForm && MainForm->InformationText() == u"Waiting for opponent"_s) {
      FirstMovePending = false;
      Reply();
    }
    if (OnTick)
      OnTick();
  }
  void Message(const QByteArray& Bytes) {
    Received << Bytes;
    if (!Answer.isEmpty())
      return Send(Answer);
    const QList<QByteArray> Numbers = Bytes.mid(1).split(';');
    if (Bytes[0] == 3 && !Playing)
      return Master ? NewGame(4, 4) : Send("\x03" + Name);
    if (Bytes[0] == 4 && !Master && !Playing && Numbers.size() == 2)
      return NewGame(Numbers[0].toInt(), Numbers[1].toInt());
    if (Bytes[0] != 1 || !Playing || Numbers.size() != 2)
      return Fail(u"unexpected "_s + Bytes.toHex());
    const TMove Move(uint8_t(Numbers[0].toInt()), uint8_t(Numbers[1].toInt()));
    if (Move == TMove(Board->Rows, 0)) {
      if (Board->CanMove(LocalPlayer))
        Problems << u"no-move marker from a program that can move"_s;
      MarkerReceived = true;
      return End();
    }
    if (Next >= Script.size() || Move != Script[Next])
      return Fail(u"program played %1,%2 out of script"_s.arg(Move.Row).arg(Move.Col));
    Board->GetCell(Move.Row, Move.Col)->AddMass(LocalPlayer, true);
    ++Next;
    LeaveOnMove ? Leave() : Reply();
  }
  void NewGame(int Rows, int Cols) {
    ++GamesStarted;
    Board = std::make_unique<TBord>(this, uint8_t(Rows), uint8_t(Cols));
    Script = Games.isEmpty() ? QList<TMove>() : Games.takeFirst();
    Next = 0;
    Playing = true;
    FirstMovePending = Master;
    MarkerSent = MarkerReceived = false;
    if (Master)
      Send("\x04" + QByteArray::number(Rows) + ';' + QByteArray::number(Cols));
  }
  void Reply() {
    if (!NextReply.isEmpty()) {
      Playing = false;
      return Send(std::exchange(NextReply, {}));
    }
    if (!Board->CanMove(Opponent)) {
      MarkerSent = true;
      Send(MoveBytes(Board->Rows, 0));
      return End();
    }
    if (Next >= Script.size())
      return; // the script says no more
    const TMove Move = Script[Next++];
    TCell* Cell = Board->GetCell(Move.Row, Move.Col);
    if (!Cell || Cell->Owner == LocalPlayer)
      return Fail(u"script move %1,%2 is not the peer's"_s.arg(Move.Row).arg(Move.Col));
    Send(MoveBytes(Move.Row, Move.Col));
    Cell->AddMass(Opponent, true);
  }
  void Fail(const QString& Problem) {
    Problems << Problem;
    Leave();
  }
  void End() {
    Playing = false;
    MaybeNextGame();
  }
  void MaybeNextGame() {
    if (!NextGameWanted || Playing)
      return;
    NextGameWanted = false;
    LeaveAfterGame ? Leave() : Send("\x03" + Name);
  }
};

// The usual rig with a peer and the window; the user answers Yes to the next
// game and to "Are you sure", No to "Continue waiting".
struct TNetRig : TAppRig {
  std::unique_ptr<TPeer> Peer;
  std::unique_ptr<TMainForm> Form;

  explicit TNetRig(bool PeerMaster, const QByteArray& PeerName = "Peer")
      : Peer(std::make_unique<TPeer>(PeerMaster, PeerName)) {
    Messages.SetHandler([this](const QString& Text, TMsgType, TMsgButtons Buttons) {
      if (Text == u"Do you want to play again"_s)
        Peer->NextGameAsked();
      return Text == u"Continue waiting"_s ? TMsgButton::No
             : Buttons & TMsgButton::OK    ? TMsgButton::OK
                                           : TMsgButton::Yes;
    });
  }
  TMainForm& Start(const QString& OwnName, TDialogScript::TStep Then = {}) {
    Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(OwnName));
    Dialogs.On(u"GameTypeSelection"_s, TDialogScript::NetworkGame(!Peer->Master, u"127.0.0.1"_s));
    if (Then)
      Dialogs.On(u"GameTypeSelection"_s, Then);
    Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(4, 4));
    Form = std::make_unique<TMainForm>();
    Form->SetFrameDelay([](int) {});
    Form->SetExplosionSound(nullptr);
    Form->show();
    return *Form;
  }
  // Clicks the program's moves of the running game until its script is
  // done, comparing both boards after every turn.
  bool PlayGame() {
    const int Game = Peer->GamesStarted;
    const auto Going = [&] {
      return Peer->Playing && Peer->GamesStarted == Game && Peer->Next < Peer->Script.size();
    };
    while (Going() && Peer->Problems.isEmpty()) {
      if (!Form->BordDisplay->isEnabled())
        Peer->Problems << u"grid disabled"_s;
      ClickCell(*Form, Peer->Script[Peer->Next].Row, Peer->Script[Peer->Next].Col);
      if (const QString Diff = Going() ? BoardDiff(Form->Bord(), *Peer->Board) : QString();
          !Diff.isEmpty())
        Peer->Problems << Diff;
    }
    if (!Peer->Problems.isEmpty())
      qWarning("%s", qPrintable(Peer->Problems.join(u", ")));
    return Peer->Problems.isEmpty();
  }
};

} // namespace

class TNetworkTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase() { InstallErrorReport(true); }
  void cleanupTestCase() {
    InstallErrorReport(false);
    TMainForm::SetPorts(DefaultGamePort, DefaultChatPort);
  }

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
    QCOMPARE(Form.NamePlayer2->text(), u"Bob : "_s);
    QCOMPARE(Screen(Form), u"grid menu | Fizzgrid @12b | 0/0"_s);
    QVERIFY(ChatForm && ChatForm->isVisible() && ChatForm->parent() == &Form);
    QTRY_VERIFY(Form.ComData()->ChatPartner() != nullptr);
    // Somebody else on the game port is sent away; the game goes on.
    QTcpSocket Intruder;
    Intruder.connectToHost(QHostAddress::LocalHost, Form.ComData()->GamePort());
    QTRY_COMPARE(Intruder.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(Form.ComData()->Connected());

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
    QTRY_COMPARE(ChatForm->ReceiveMemo->toPlainText(), u"hi Alice"_s);
    Peer.SendChat("one\r\n\r\nthree");
    QTRY_COMPARE(ChatForm->ReceiveMemo->toPlainText(), u"hi Alice\none\n\nthree"_s);
    QTest::keyClicks(ChatForm->SendMemo, u"hello Bob"_s);
    QTest::keyClick(ChatForm->SendMemo, Qt::Key_Return);
    QTRY_COMPARE(Peer.ChatStream, QByteArray("hello Bob"));
    QCOMPARE(ChatForm->ReceiveMemo->toPlainText(), u"hi Alice\none\n\nthree"_s);

    // Game 2 after the exchange again: the peer takes every cell and the
    // program sends the marker before its game over.
    const qsizetype Before = Peer.Received.size();
    Form.StartGameF21->trigger();
    QTRY_COMPARE(Peer.Received.mid(Before), QList<QByteArray>({"\x03"
                                                               "Alice",
                                                               "\x04"
                                                               "4;4"}));
    QCOMPARE(Offers(Form), u"grid menu"_s);
    QVERIFY(Rig.PlayGame());
    QTRY_VERIFY(Peer.MarkerReceived);
    QCOMPARE(Peer.Received.last(), QByteArray("\x01"
                                              "4;0"));
    QVERIFY(Rig.Log().contains(u"Information: \nGAME OVER\rBob wins|"_s));
    QCOMPARE(Rig.Record(u"Alice"_s), std::pair(1, 1));
    QCOMPARE(Rig.Record(u"Bob"_s), std::pair(1, 1));
    QCOMPARE(Screen(Form), u"start dimensions menu | Fizzgrid @12b | 0/0"_s);

    // Game 3: the peer leaves while the program waits for its move.
    Form.StartGameF21->trigger();
    QTRY_COMPARE(Peer.GamesStarted, 3);
    Peer.LeaveOnMove = true;
    ClickCell(Form, Peer.Script[0].Row, Peer.Script[0].Col);
    QTRY_VERIFY(!Form.isVisible());
    QVERIFY(Form.Closing() && Peer.Problems.isEmpty());
    QVERIFY(Rig.Log().endsWith(u"|Error: Link has been closed by partner"_s));
    QCOMPARE(Rig.Log().count(u"Error: "_s), 1);
  }

  void programAsSlave() {
    TNetRig Rig(true, "Max");
    TPeer& Peer = *Rig.Peer;
    Peer.Games = {Moves(SGameProgramMarks), Moves(SGamePeerMarks)};
    TMainForm& Form = Rig.Start(u"Sam"_s);
    // The slave answers the master's name and takes its dimensions.
    QCOMPARE(Rig.Dialogs.Shown, Words("EnterNameDialog GameTypeSelection"));
    QCOMPARE(Peer.Sent, QList<QByteArray>({"\x03"
                                           "Max",
                                           "\x04"
                                           "4;4"}));
    QCOMPARE(Peer.Received, QList<QByteArray>({"\x03"
                                               "Sam"}));
    QCOMPARE(Form.NamePlayer2->text(), u"Max : "_s);
    QCOMPARE(std::pair(int(NumRows), int(NumCols)), std::pair(4, 4));
    QCOMPARE(BoardDiff(Form.Bord(), TBord(nullptr, 4, 4)), QString());
    QCOMPARE(Screen(Form), u"menu | Fizzgrid @12b | 0/0"_s);
    QVERIFY(ChatForm && ChatForm->isVisible());
    QTRY_VERIFY(Peer.Chat);
    // The slave's first wait, as the program entry runs it.
    Form.WaitForFirstMove();
    QCOMPARE(Screen(Form), u"grid menu | Moved :\r     [1,3] @12b | 0/1"_s);
    QCOMPARE(BoardDiff(Form.Bord(), *Peer.Board), QString());
    // The chat both ways during the game.
    Peer.SendChat("your move, Sam");
    QTRY_COMPARE(ChatForm->ReceiveMemo->toPlainText(), u"your move, Sam"_s);
    QTest::keyClicks(ChatForm->SendMemo, u"thinking"_s);
    QTest::keyClick(ChatForm->SendMemo, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE(Peer.ChatStream, QByteArray("thinking"));

    // Game 1: the peer takes every cell; the program sends the marker,
    // then its game over, then waits for the next game, which the peer
    // starts at once.
    QVERIFY(Rig.PlayGame());
    QCOMPARE(Rig.Log(), u"Information: \nGAME OVER\rMax wins|Confirm: Do you want to play again"_s);
    QVERIFY(Peer.Received.contains(QByteArray("\x01"
                                              "4;0")));
    QVERIFY(Peer.GamesStarted == 2 && Peer.Playing && Peer.Explosions > 0);
    QCOMPARE(Offers(Form), u"grid menu"_s);
    QCOMPARE(BoardDiff(Form.Bord(), *Peer.Board), QString());

    // Game 2: the program takes every cell, the peer sends the marker,
    // then leaves instead of starting again.
    Peer.LeaveAfterGame = true;
    QVERIFY(Rig.PlayGame());
    QVERIFY(Peer.MarkerSent);
    QTRY_VERIFY(!Form.isVisible());
    QVERIFY(Form.Closing());
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
    QCOMPARE(Masses(Form.Bord()), u"1/0"_s);
    QCOMPARE(Form.Bord()->GetCell(1, 2)->Owner, LocalPlayer);
    QVERIFY(Form.isVisible() && !Form.Closing());
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
      if (Greeting.isEmpty() && Rig.Peer->Game && MainForm &&
          MainForm->InformationDialog->isVisible() &&
          MainForm->InformationDialog->DialogText->text() == u"Waiting for opponent to connect"_s)
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
    QVERIFY(!Form.InformationDialog->isVisible() && !ChatForm);
    QVERIFY(Form.CommandIO() && Form.CommandIO()->IsLocal());
    QCOMPARE(Form.NamePlayer2->text(), u"Computer : "_s);
    QCOMPARE(QSize(Form.Bord()->Cols, Form.Bord()->Rows), QSize(4, 4));
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
      if (!Armed || Closed || !MainForm || Offers(*MainForm) != u"menu busy"_s ||
          MainForm->InformationText() != u"Waiting for opponent"_s)
        return;
      Closed = true;
      ByMenu ? MainForm->eXit1->trigger() : void(MainForm->close());
    };
    TMainForm& Form = Rig.Start(u"Sam"_s);
    QVERIFY(ChatForm && ChatForm->isVisible());
    Form.WaitForFirstMove();
    if (!FirstMove) {
      QVERIFY(!Closed);
      QCOMPARE(Form.Bord()->GetCell(0, 0)->Owner, Opponent);
      Armed = true;
      ClickCell(Form, 1, 1);
    }
    QVERIFY(Closed && Form.Closing());
    QCOMPARE(Rig.Log(), ByMenu ? u"Confirm: Are you sure"_s : QString());
    QCOMPARE(Offers(Form), u"menu"_s);
    QCOMPARE(Masses(Form.Bord()), FirstMove ? u"0/0"_s : u"1/1"_s);
    for (QWidget* Window : QApplication::topLevelWidgets())
      QVERIFY2(!Window->isVisible(), qPrintable(Window->objectName()));
    QVERIFY(Rig.Scores.Entries().empty());
  }
};

QTEST_MAIN(TNetworkTest)
#include "tst_network.moc"
