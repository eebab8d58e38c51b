// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChatIO.h"
#include "CommandIO.h"
#include "DataStructures.h"
#include "ErrorReport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cerrno>
#include <optional>

namespace {

// A message: its kind's code byte and its text.
QByteArray Msg(char Code, const char* Body) {
  return QByteArray(1, Code) + Body;
}

// The message of the E that Action raises, or "<none>".
template <typename E>
QString Raised(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const E& Error) {
    return QString::fromUtf8(Error.what());
  }
  return QStringLiteral("<none>");
}

// Reads one command and waits for it: the command, or its error raised here.
TCommand Read(TCommandIO& IO, TCommandKind Kind) {
  std::optional<TCommandResult> Result;
  IO.ReadCommand(Kind, [&](const TCommandResult& Done) { Result = Done; });
  if (!QTest::qWaitFor([&] { return Result.has_value(); }, 10000))
    throw std::logic_error("no answer");
  return Result->Take();
}

// Runs the exchange and waits for it: what it brought; raises its error.
TExchange Exchange(TCommandIO& IO, const QString& OwnName) {
  std::optional<TExchange> Result;
  IO.ExchangeSettings(OwnName, [&](const TExchange& Done) { Result = Done; });
  if (!QTest::qWaitFor([&] { return Result.has_value(); }, 10000))
    throw std::logic_error("no end of the exchange");
  if (Result->Failure)
    std::rethrow_exception(Result->Failure);
  return *Result;
}

bool LinkUp(const TCommandIO& IO) {
  return QTest::qWaitFor([&] { return IO.Connected(); }, 5000);
}

const QString ReadFailed = QStringLiteral("Line closed while trying to read");
const QString WriteFailed = QStringLiteral("Could not write to socket");
QString SocketError(int Number) {
  return QStringLiteral("Asynchronous socket error %1").arg(Number);
}

// Our master, its listeners on free ports, and a raw slave: a socket that
// knows the wire bytes and nothing more.
struct TMasterPeer {
  bool Link(const QString& Host = QStringLiteral("127.0.0.1")) {
    Peer.connectToHost(Host, Module.GamePort());
    return Peer.waitForConnected(5000) && LinkUp(IO);
  }
  void Send(const QByteArray& Bytes) {
    Peer.write(Bytes);
    Peer.flush();
  }
  TMasterPeer() { IO.SetDimensions(5, 5); }
  TComDataModule Module{nullptr, 0, 0};
  TCommandIO IO{true, QString(), &Module};
  QTcpSocket Peer;
};

} // namespace

class TestTransport : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void twoEndpoints_data() {
    QTest::addColumn<QString>("host");
    QTest::newRow("IPv4 address") << QStringLiteral("127.0.0.1");
    QTest::newRow("name") << QStringLiteral("localhost");
    if (QTcpServer().listen(QHostAddress::LocalHostIPv6, 0))
      QTest::newRow("IPv6 address") << QStringLiteral("::1");
  }

  // Our master and our slave, the slave calling by address or name: the
  // exchange, text both ways on the chat beside the game, a move, until the
  // slave's chat goes and takes the game link with it.
  void twoEndpoints() {
    QFETCH(QString, host);
    QStringList AtMaster, AtSlave;
    TComDataModule Master(nullptr, 0, 0);
    TCommandIO MasterIO(true, QString(), &Master);
    MasterIO.SetDimensions(6, 7);
    TChatIO MasterChat([&](const QString& Text) { AtMaster << Text; },
                       TChatLink{&Master, true, QString()});
    TComDataModule Slave(nullptr, Master.GamePort(), Master.ChatPort());
    TCommandIO SlaveIO(false, host, &Slave);
    auto SlaveChat = std::make_unique<TChatIO>([&](const QString& Text) { AtSlave << Text; },
                                               TChatLink{&Slave, false, host});
    QVERIFY(LinkUp(SlaveIO) && LinkUp(MasterIO));
    std::optional<TExchange> Slaves;
    SlaveIO.ExchangeSettings(QStringLiteral("Bob"), [&](const TExchange& Done) { Slaves = Done; });
    const TExchange Masters = Exchange(MasterIO, QStringLiteral("Ann"));
    QTRY_VERIFY(Slaves.has_value());
    QVERIFY(!Slaves->Failure && Slaves->PartnerName == QStringLiteral("Ann"));
    QVERIFY(Slaves->NumRows == 6 && Slaves->NumCols == 7);
    QVERIFY(Masters.PartnerName == QStringLiteral("Bob") && Masters.NumRows == 6 &&
            Masters.NumCols == 7);
    QTRY_VERIFY(Master.ChatPartner() != nullptr);
    SlaveChat->Send(QStringLiteral("hello"));
    QTRY_COMPARE(AtMaster, QStringList(QStringLiteral("hello")));
    MasterChat.Send(QStringLiteral(u"gr\u00fc\u00df dich"));
    QTRY_COMPARE(AtSlave, QStringList(QStringLiteral(u"gr\u00fc\u00df dich")));
    SlaveIO.SendCommand(TCommand::MakeMove(6, 0));
    QCOMPARE(Read(MasterIO, TCommandKind::Move).Row, 6);

    SlaveChat.reset();
    QTRY_VERIFY(!Master.Connected());
    QVERIFY(!Slave.Connected());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Read(MasterIO, TCommandKind::Move); }), ReadFailed);
  }

  // The partner leaves while a read waits, or right after a message: the
  // read fails as closed (the disconnect is taken before the data), and so
  // does the next write.
  void partnerLeaves() {
    for (const bool WithMessage : {false, true}) {
      TMasterPeer M;
      QVERIFY(M.Link());
      if (WithMessage) {
        M.Send(Msg(1, "1;1"));
        M.Peer.disconnectFromHost();
        QTRY_VERIFY(!M.IO.Connected());
      } else {
        QTimer::singleShot(50, &M.Peer, [&] { M.Peer.disconnectFromHost(); });
      }
      QCOMPARE(Raised<LinkHasBeenClosed>([&] { Read(M.IO, TCommandKind::Move); }), ReadFailed);
      QCOMPARE(Raised<LinkHasBeenClosed>([&] { M.IO.SendCommand(TCommand::MakeMove(0, 0)); }),
               WriteFailed);
    }
  }

  // A second client is dropped at once while the first plays on; of two
  // messages before a read the later one is delivered, up to its NUL.
  void secondClientAndTwoMessages() {
    TMasterPeer M;
    QVERIFY(M.Link());
    QTcpSocket Second;
    Second.connectToHost(QStringLiteral("127.0.0.1"), M.Module.GamePort());
    QVERIFY(Second.waitForConnected(5000));
    QTRY_COMPARE(Second.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(M.IO.Connected());
    M.Send(Msg(1, "1;1"));
    QTRY_VERIFY(M.Module.DataAvailable());
    M.Send(QByteArray("\x03"
                      "Ann\0Bob",
                      8));
    QTRY_COMPARE(M.Module.ReceiveBuffer(), Msg(3, "Ann"));
    QCOMPARE(Read(M.IO, TCommandKind::Name).Name, QStringLiteral("Ann"));
    // Once the partner has left, nobody takes its place: a new connection is
    // closed at once and the link stays down.
    M.Peer.disconnectFromHost();
    QTRY_VERIFY(!M.IO.Connected());
    QTcpSocket Late;
    Late.connectToHost(QStringLiteral("127.0.0.1"), M.Module.GamePort());
    QVERIFY(Late.waitForConnected(5000));
    QTRY_COMPARE(Late.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!M.IO.Connected() && M.Module.ServerActive());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { M.IO.SendCommand(TCommand::MakeMove(0, 0)); }),
             WriteFailed);
  }

  // A flood of chat text is taken in bounded pieces, in order and whole,
  // beside the game connection.
  void chatFloodIsReadInPieces() {
    TMasterPeer M;
    QVERIFY(M.Link());
    QByteArray Received;
    qsizetype Largest = 0;
    TChatIO Chat(
        [&](const QString& Text) {
          Received += Text.toLatin1();
          Largest = std::max(Largest, Text.size());
        },
        TChatLink{&M.Module, true, QString()});
    QTcpSocket Flooder;
    Flooder.connectToHost(QStringLiteral("127.0.0.1"), M.Module.ChatPort());
    QVERIFY(Flooder.waitForConnected(5000));
    QByteArray Flood;
    for (int Piece = 0; Flood.size() < 3'000'000; ++Piece)
      Flood += QByteArray(997, char('a' + Piece % 26));
    Flooder.write(Flood);
    M.Send(Msg(1, "2;3"));
    QTRY_VERIFY(M.Module.DataAvailable());
    QTRY_COMPARE_WITH_TIMEOUT(Received.size(), Flood.size(), 20000);
    QVERIFY(Received == Flood);
    QVERIFY(Largest <= MaxChatRead);
    QCOMPARE(Read(M.IO, TCommandKind::Move).Col, 3);
  }

  void writesAfterError() {
    QStringList Reports;
    const TErrorReport Previous =
        SetErrorReport([&](const QString& Message) { Reports << Message; });
    const auto Restore = qScopeGuard([&] { SetErrorReport(Previous); });
    TMasterPeer M;
    QTcpServer Closed;
    QVERIFY(Closed.listen(QHostAddress::LocalHost, 0));
    const quint16 Refusing = Closed.serverPort();
    Closed.close();
    TComDataModule SlaveModule(nullptr, M.Module.GamePort(), Refusing);
    TCommandIO Slave(false, QStringLiteral("127.0.0.1"), &SlaveModule);
    QVERIFY(LinkUp(Slave) && LinkUp(M.IO));

    // A real error event: the slave's chat connect is refused.
    SlaveModule.OpenChatClient(QStringLiteral("127.0.0.1"));
    QTRY_VERIFY(!SlaveModule.Connected());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Slave.SendCommand(TCommand::MakeMove(0, 0)); }),
             WriteFailed);
    QTRY_COMPARE(Reports, QStringList(SocketError(ECONNREFUSED)));
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Read(Slave, TCommandKind::Move); }), ReadFailed);

    QTRY_VERIFY(!M.IO.Connected());

    // On the master, the accepted partner's socket: an orderly close by the
    // partner is no failure, any other error switches every socket off.
    TMasterPeer Other;
    QVERIFY(Other.Link());
    QTcpSocket* Partner = Other.Module.GamePartner();
    QVERIFY(Partner != nullptr);
    Q_EMIT Partner->errorOccurred(QAbstractSocket::RemoteHostClosedError);
    QVERIFY(Other.IO.Connected() && Other.Module.ServerActive());
    Q_EMIT Partner->errorOccurred(QAbstractSocket::NetworkError);
    QVERIFY(!Other.IO.Connected() && !Other.Module.ServerActive());
    QTRY_COMPARE(Reports, QStringList({SocketError(ECONNREFUSED), SocketError(ENETDOWN)}));
    QTRY_COMPARE(Other.Peer.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Other.IO.SendCommand(TCommand::MakeMove(0, 0)); }),
             WriteFailed);
    // Nothing is left that could bring the link up.
    QVERIFY(!Other.Module.CanConnect());
  }

  // A message too long is refused with its error and nothing is delivered;
  // the link stays and the next good message is read as usual. (The other
  // bad messages are the controller test's.)
  void malformedPeer() {
    TMasterPeer M;
    QVERIFY(M.Link());
    for (const QByteArray& Bytes :
         {Msg(1, "1;") + QByteArray(400, '1'), QByteArray(3000, '\x01')}) {
      M.Send(Bytes);
      QTRY_VERIFY(M.Module.DataAvailable());
      QCOMPARE(Raised<std::runtime_error>([&] { Read(M.IO, TCommandKind::Move); }),
               QStringLiteral("Received message longer than 255 characters"));
    }
    QVERIFY(M.IO.Connected());
    M.Send(Msg(1, "4;4"));
    QCOMPARE(Read(M.IO, TCommandKind::Move).Row, 4);
  }

  // A chat port that cannot be listened on leaves the game running, silently.
  void failedChatSwitchOnKeepsTheGame() {
    QTcpServer Holder;
    QVERIFY(Holder.listen(QHostAddress::Any, 0));
    TComDataModule Module(nullptr, 0, Holder.serverPort());
    TCommandIO IO(true, QString(), &Module);
    IO.SetDimensions(5, 5);
    QTcpSocket Peer;
    Peer.connectToHost(QStringLiteral("127.0.0.1"), Module.GamePort());
    QVERIFY(Peer.waitForConnected(5000) && LinkUp(IO));
    TChatIO Chat([](const QString&) {}, TChatLink{&Module, true, QString()});
    QVERIFY(!Module.ChatServerActive());
    Chat.Send(QStringLiteral("lost"));
    Peer.write(Msg(1, "0;1"));
    QCOMPARE(Read(IO, TCommandKind::Move).Col, 1);
  }
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
