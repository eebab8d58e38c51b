// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program on the other computer, scripted: a TPeer speaks the game's
// bytes over loopback as master or slave, plays its side of scripted games
// on a board of its own, and notes every byte it gets that the script does
// not allow. TNetRig puts one beside a game window.

#include "MainFormHarness.h"

#include "Communication.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

// Scripted 4 x 4 games, both sides alternating from the first move, each
// ending with one side owning every cell; the other side sends the no-move
// marker. "M" games begin with the program's move, "S" games with the peer's.
inline const char* const MGamePeerMarks =
    "12 11 32 21 20 10 12 03 33 03 12 01 30 00 32 10 33 11 30 11 30 01 30";
inline const char* const MGameProgramMarks =
    "02 01 00 21 13 32 12 30 12 03 11 03 03 23 00 13 12 13 23 12 11 33 03 00";
inline const char* const SGameProgramMarks =
    "02 20 10 30 10 30 21 11 03 22 21 22 10 01 13 32 30 32 31 01 21 22 11";
inline const char* const SGamePeerMarks =
    "32 02 12 13 20 02 11 31 23 30 22 31 33 13 11 21 32 02 33 13 11 10 31 10 30 32";

inline QList<TMove> Moves(const char* Script) {
  QList<TMove> Result;
  for (const QString& Pair : QString::fromLatin1(Script).split(u' ', Qt::SkipEmptyParts))
    Result.append(TMove(uint8_t(Pair[0].digitValue()), uint8_t(Pair[1].digitValue())));
  return Result;
}

inline QByteArray MoveBytes(int Row, int Col) {
  return "\x01" + QByteArray::number(Row) + ';' + QByteArray::number(Col);
}

// The program on the other computer: it answers the exchange and plays its
// side of a scripted game on a board of its own (owner 0 the program, 1 the
// peer), noting every byte it gets that the script does not allow.
class TPeer : public QObject, public TBordView {
public:
  // A master listens on Listen (0: free ports).
  TPeer(bool AMaster, const QByteArray& AName, TPorts Listen = {0, 0})
      : Master(AMaster), Name(AName), Greeting("\x03" + AName) {
    if (Master && !(GameServer.listen(QHostAddress::LocalHost, Listen.Game) &&
                    ChatServer.listen(QHostAddress::LocalHost, Listen.Chat)))
      qFatal("cannot listen on loopback");
    Ports = {GameServer.serverPort(), ChatServer.serverPort()};
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
  // The ports the program is to use: this peer's listeners, or free ones.
  TPorts Ports{0, 0};
  const QByteArray Name;
  QByteArray Greeting;  // sent by a master peer on connection
  QByteArray Answer;    // when set, the answer to every message instead of the script
  QByteArray NextReply; // sent once instead of the next scripted reply
  QList<QList<TMove>> Games;
  bool LeaveOnMove = false, LeaveAfterGame = false, HoldFirstMove = false;
  // Takes the program's moves without a word, once the game is on.
  bool Mute = false;
  // The peer's own most recent move.
  std::optional<TMove> LastPlayed;
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
    TComDataModule* Module = TheMainForm() ? TheMainForm()->Controller().ComData() : nullptr;
    if (!Master && Module && !Game && Module->ServerActive())
      Connect(Game, Module->GamePort());
    if (!Master && Module && !Chat && GamesStarted && Module->ChatServerActive())
      Connect(Chat, Module->ChatPort());
    // The master's first move waits until the program reads, so it never
    // arrives in one piece with the dimensions.
    if (FirstMovePending && !HoldFirstMove && TheMainForm() &&
        TheMainForm()->InformationText() == u"Waiting for opponent"_s) {
      FirstMovePending = false;
      Reply();
    }
    if (OnTick)
      OnTick();
  }
  void Message(const QByteArray& Bytes) {
    Received << Bytes;
    if (Mute && Playing)
      return;
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
    LastPlayed = Move;
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
    Form = std::make_unique<TMainForm>(Peer->Ports, ScoreFile());
    Form->Controller().Replay().SetFrameTime(0);
    Form->SetExplosionSound(nullptr);
    if (!StartUp(*Form))
      qWarning("the start-up did not end");
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
      if (!QTest::qWaitFor([&] { return Grid(*Form)->AcceptsMoves() || !Going(); }))
        Peer->Problems << u"grid disabled"_s;
      if (!Going())
        break;
      const TMove Mine = Peer->Script[Peer->Next];
      ClickCell(*Form, Mine.Row, Mine.Col);
      if (const QString Diff = Going() ? BoardDiff(Bord(*Form), *Peer->Board) : QString();
          !Diff.isEmpty())
        Peer->Problems << Diff;
      // Both sides see the same last moves; this side's own is the click.
      if (Going() && (Form->Controller().LastMove(LocalPlayer) != Mine ||
                      Form->Controller().LastMove(Opponent) != Peer->LastPlayed))
        Peer->Problems << u"last moves differ"_s;
    }
    if (!Peer->Problems.isEmpty())
      qWarning("%s", qPrintable(Peer->Problems.join(u", ")));
    return Peer->Problems.isEmpty();
  }
};
