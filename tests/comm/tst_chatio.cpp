#include "ChatIO.h"
#include "CommandIO.h"
#include "Communication.h"
#include "LoopbackPeer.h"
#include "RuntimeData.h"

#include <QtTest>

#include <memory>

namespace {

// A master and a slave data module with the game link standing, as after
// the first exchange; the chat is switched on by the test.
struct TLinkedPair {
  TLinkedPair() {
    ConnectionLastGame = 1;
    InternetAddress = QStringLiteral("127.0.0.1");
    RelationLastGame = 1;
    MasterIO = std::make_unique<TCommandIO>(true, &Master);
  }

  // The master's chat first, so the slave knows its port.
  bool Link() {
    RelationLastGame = 1;
    MasterChat = std::make_unique<TChatIO>([this](const QString& Text) { MasterLines << Text; }, &Master);
    Slave = std::make_unique<TComDataModule>(nullptr, Master.GamePort(), Master.ChatPort());
    RelationLastGame = 2;
    SlaveIO = std::make_unique<TCommandIO>(false, Slave.get());
    SlaveChat = std::make_unique<TChatIO>([this](const QString& Text) { SlaveLines << Text; }, Slave.get());
    return SlaveIO->WaitForConnection(5000) && MasterIO->WaitForConnection(5000);
  }

  TComDataModule Master{nullptr, 0, 0};
  std::unique_ptr<TCommandIO> MasterIO;
  std::unique_ptr<TChatIO> MasterChat;
  std::unique_ptr<TComDataModule> Slave;
  std::unique_ptr<TCommandIO> SlaveIO;
  std::unique_ptr<TChatIO> SlaveChat;
  QStringList MasterLines;
  QStringList SlaveLines;
};

} // namespace

class TestChatIO : public QObject {
  Q_OBJECT

private slots:
  void init() {
    NumRows = 5;
    NumCols = 5;
  }

  void unknownConnection() {
    ConnectionLastGame = 0;
    TComDataModule Module(nullptr, 0, 0);
    QString Message;
    try {
      TChatIO Chat([](const QString&) {}, &Module);
    } catch (const std::runtime_error& E) {
      Message = QString::fromUtf8(E.what());
    }
    QCOMPARE(Message, QStringLiteral("Unknown connection for Chat"));
    QVERIFY(!Module.ChatServerActive());
  }

  void textBothWays() {
    TLinkedPair Pair;
    QVERIFY(Pair.Link());
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);
    Pair.SlaveChat->Send(QStringLiteral("hello"));
    QTRY_COMPARE(Pair.MasterLines, QStringList(QStringLiteral("hello")));
    Pair.MasterChat->Send(QStringLiteral(u"gr\u00fc\u00df dich"));
    QTRY_COMPARE(Pair.SlaveLines, QStringList(QStringLiteral(u"gr\u00fc\u00df dich")));
    // An empty text puts nothing on the wire; the sender's own text is not echoed.
    Pair.SlaveChat->Send(QString());
    Pair.SlaveChat->Send(QStringLiteral("again"));
    QTRY_COMPARE(Pair.MasterLines.size(), 2);
    QCOMPARE(Pair.MasterLines.last(), QStringLiteral("again"));
    QCOMPARE(Pair.SlaveLines.size(), 1);
    // The game goes on beside the chat.
    Pair.MasterIO->SendCommand(TCommand::MakeMove(1, 1));
    QCOMPARE(Pair.SlaveIO->ReadCommand(TCommandKind::Move).Col, 1);
  }

  void chatDropTakesGameLinkDown() {
    TLinkedPair Pair;
    QVERIFY(Pair.Link());
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);
    Pair.SlaveChat.reset();
    QTRY_VERIFY(!Pair.Master.Connected());
    QVERIFY(!Pair.Slave->Connected());
    QString Message;
    try {
      Pair.MasterIO->ReadCommand(TCommandKind::Move);
    } catch (const LinkHasBeenClosed& E) {
      Message = QString::fromUtf8(E.what());
    }
    QCOMPARE(Message, QStringLiteral("Line closed while trying to read"));
    // Text to a link that is down is dropped without a message.
    Pair.MasterChat->Send(QStringLiteral("anyone?"));
  }

  // The master's chat object takes its listener with it, and the slave's
  // link goes down with the chat connection.
  void chatClosedWithItsObject() {
    TLinkedPair Pair;
    QVERIFY(Pair.Link());
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);
    QVERIFY(Pair.Master.ChatServerActive());
    Pair.MasterChat.reset();
    QVERIFY(!Pair.Master.ChatServerActive());
    QVERIFY(Pair.Master.ChatPartner() == nullptr);
    QTRY_VERIFY(!Pair.Slave->Connected());
  }

  // The chat listener's accept leaves the link alone; the slave's chat
  // connection coming up raises it.
  void chatSocketsAndTheLink() {
    ConnectionLastGame = 1;
    RelationLastGame = 1;
    TComDataModule Master(nullptr, 0, 0);
    TChatIO MasterChat([](const QString&) {}, &Master);
    TRawPeer ChatPeer;
    QVERIFY(ChatPeer.ConnectTo(Master.ChatPort()));
    QTRY_VERIFY(Master.ChatPartner() != nullptr);
    QVERIFY(!Master.Connected());

    TRawListener ChatListener;
    RelationLastGame = 2;
    InternetAddress = QStringLiteral("127.0.0.1");
    TComDataModule Slave(nullptr, 0, ChatListener.Port());
    QVERIFY(!Slave.Connected());
    TChatIO SlaveChat([](const QString&) {}, &Slave);
    QTRY_VERIFY(Slave.Connected());
    QVERIFY(!Slave.ClientActive());
  }

  // On the slave, text typed before its chat connection stands is lost,
  // even with the game link up.
  void slaveDropsTextBeforeConnect() {
    TRawListener GameListener;
    TRawListener ChatListener;
    ConnectionLastGame = 1;
    RelationLastGame = 2;
    // A name, so the chat connect waits for its lookup on the event loop.
    InternetAddress = QStringLiteral("localhost");
    TComDataModule Slave(nullptr, GameListener.Port(), ChatListener.Port());
    TCommandIO IO(false, &Slave);
    QVERIFY(IO.WaitForConnection(5000));
    TChatIO Chat([](const QString&) {}, &Slave);
    QVERIFY(Slave.ChatClientSocket()->state() != QAbstractSocket::ConnectedState);
    Chat.Send(QStringLiteral("early"));
    QTRY_COMPARE(ChatListener.Peers.size(), std::size_t(1));
    QTRY_VERIFY(Slave.ChatPartner() != nullptr);
    Chat.Send(QStringLiteral("late"));
    QTRY_COMPARE(ChatListener.Peers[0]->Received, QByteArray("late"));
  }

  // With the game link down, text is dropped although the chat connection
  // stands; once the link is up again it flows.
  void textDroppedWhileLinkDown() {
    TLinkedPair Pair;
    RelationLastGame = 1;
    auto GamePeer = std::make_unique<TRawPeer>();
    QVERIFY(GamePeer->ConnectTo(Pair.Master.GamePort()));
    QVERIFY(Pair.MasterIO->WaitForConnection(5000));
    TChatIO Chat([](const QString&) {}, &Pair.Master);
    TRawPeer ChatPeer;
    QVERIFY(ChatPeer.ConnectTo(Pair.Master.ChatPort()));
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);

    GamePeer->Socket->disconnectFromHost();
    QTRY_VERIFY(!Pair.Master.Connected());
    QVERIFY(Pair.Master.ChatPartner() != nullptr);
    Chat.Send(QStringLiteral("lost"));

    TRawPeer NextGamePeer;
    QVERIFY(NextGamePeer.ConnectTo(Pair.Master.GamePort()));
    QTRY_VERIFY(Pair.Master.Connected());
    Chat.Send(QStringLiteral("now"));
    QTRY_COMPARE(ChatPeer.Received, QByteArray("now"));
  }

  void masterDropsTextBeforeAccept() {
    TLinkedPair Pair;
    RelationLastGame = 1;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Pair.Master.GamePort()));
    QVERIFY(Pair.MasterIO->WaitForConnection(5000));
    TChatIO Chat([](const QString&) {}, &Pair.Master);
    Chat.Send(QStringLiteral("nobody listens"));
    TRawPeer ChatPeer;
    QVERIFY(ChatPeer.ConnectTo(Pair.Master.ChatPort()));
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);
    Chat.Send(QStringLiteral("now"));
    QTRY_COMPARE(ChatPeer.Received, QByteArray("now"));
  }

  void secondChatClientDropped() {
    TLinkedPair Pair;
    QVERIFY(Pair.Link());
    QTRY_VERIFY(Pair.Master.ChatPartner() != nullptr);
    TRawPeer Intruder;
    QSignalSpy Dropped(Intruder.Socket, &QTcpSocket::disconnected);
    QVERIFY(Intruder.ConnectTo(Pair.Master.ChatPort()));
    QVERIFY(Dropped.wait(5000));
    QVERIFY(Pair.Master.Connected());
    Pair.MasterChat->Send(QStringLiteral("still here"));
    QTRY_COMPARE(Pair.SlaveLines, QStringList(QStringLiteral("still here")));
  }

  void failedSwitchOnKeepsTheGame() {
    QTcpServer Holder;
    QVERIFY(Holder.listen(QHostAddress::Any, 0));
    ConnectionLastGame = 1;
    RelationLastGame = 1;
    TComDataModule Module(nullptr, 0, Holder.serverPort());
    TCommandIO IO(true, &Module);
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Module.GamePort()));
    QVERIFY(IO.WaitForConnection(5000));
    TChatIO Chat([](const QString&) {}, &Module);
    QVERIFY(!Module.ChatServerActive());
    QVERIFY(IO.Connected());
    Chat.Send(QStringLiteral("lost"));
    Slave.Send(QByteArray("\x01" "0;1"));
    QCOMPARE(IO.ReadCommand(TCommandKind::Move).Col, 1);
  }

  // Chat text is handed on one read at a time, with no framing.
  void rawChatText() {
    TLinkedPair Pair;
    RelationLastGame = 1;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Pair.Master.GamePort()));
    QVERIFY(Pair.MasterIO->WaitForConnection(5000));
    QStringList Lines;
    TChatIO Chat([&](const QString& Text) { Lines << Text; }, &Pair.Master);
    TRawPeer ChatPeer;
    QVERIFY(ChatPeer.ConnectTo(Pair.Master.ChatPort()));
    ChatPeer.Send(QByteArray("two\r\nlines"));
    QTRY_COMPARE(Lines, QStringList(QStringLiteral("two\r\nlines")));
  }
};

QTEST_GUILESS_MAIN(TestChatIO)
#include "tst_chatio.moc"
