#include "CommandIO.h"
#include "Communication.h"
#include "DataStructures.h"
#include "LoopbackPeer.h"
#include "RuntimeData.h"

#include <QtTest>

#include <cerrno>
#include <functional>
#include <memory>

namespace {

// The message of the exception of type E that Action raises, or "<none>";
// another exception fails the test through QtTest's own handler.
template <typename E>
QString Raised(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const E& Error) {
    return QString::fromUtf8(Error.what());
  }
  return QStringLiteral("<none>");
}

const QString ReadFailed = QStringLiteral("Line closed while trying to read");
const QString WriteFailed = QStringLiteral("Could not write to socket");

// A master data module with its game listener on a free port.
struct TMaster {
  TMaster() : Module(nullptr, 0, 0), IO(true, &Module) {}
  TComDataModule Module;
  TCommandIO IO;
};

bool IPv6Available() {
  QTcpServer Probe;
  return Probe.listen(QHostAddress::LocalHostIPv6, 0);
}

// Any board cell is still open to the computer on a fresh board.
class TSilentView : public TBordView {
public:
  void InvalidateCell(uint8_t, uint8_t) override {}
  void Explode(uint8_t, uint8_t) override {}
};

} // namespace

class TestTransport : public QObject {
  Q_OBJECT

private slots:
  void init() {
    ConnectionLastGame = 1;
    RelationLastGame = 1;
    NumRows = 5;
    NumCols = 5;
    PlayerNames = {QString(), QString()};
    InternetAddress = QStringLiteral("127.0.0.1");
  }

  // The master against a foreign slave that knows the wire format only.
  void masterExchange() {
    TMaster Master;
    QVERIFY(Master.Module.ServerActive());
    QVERIFY(!Master.IO.Connected());
    TRawPeer Slave;
    Slave.OnChunk = [&](const QByteArray& Chunk) {
      if (Chunk.startsWith('\x03'))
        Slave.Send(QByteArray("\x03" "Bob"));
    };
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    // Up on the accept, before any byte.
    QVERIFY(!Master.Module.DataAvailable());

    PlayerNames[0] = QStringLiteral("Ann");
    NumRows = 6;
    NumCols = 7;
    Master.IO.ExchangeSettings();
    QCOMPARE(PlayerNames[1], QStringLiteral("Bob"));
    QTRY_COMPARE(Slave.Received, QByteArray("\x03" "Ann" "\x04" "6;7"));

    Slave.Received.clear();
    Master.IO.SendCommand(TCommand::MakeMove(2, 3));
    QTRY_COMPARE(Slave.Received, QByteArray("\x01" "2;3"));
    Slave.Send(QByteArray("\x01" "5;6"));
    const TCommand Move = Master.IO.ReadCommand(TCommandKind::Move);
    QCOMPARE(Move.Row, 5);
    QCOMPARE(Move.Col, 6);
  }

  // The master listens on both families.
  void masterOverIPv6() {
    if (!IPv6Available())
      QSKIP("No IPv6 loopback on this machine");
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort(), QStringLiteral("::1")));
    QVERIFY(Master.IO.WaitForConnection(5000));
    Slave.Send(QByteArray("\x03" "Six"));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Name).Name, QStringLiteral("Six"));
  }

  void slaveExchange_data() {
    QTest::addColumn<QString>("host");
    QTest::newRow("IPv4 address") << QStringLiteral("127.0.0.1");
    QTest::newRow("name") << QStringLiteral("localhost");
    QTest::newRow("IPv6 address") << QStringLiteral("::1");
  }

  // The slave against a foreign master, by name and by address of either family.
  void slaveExchange() {
    QFETCH(QString, host);
    if (host == QStringLiteral("::1") && !IPv6Available())
      QSKIP("No IPv6 loopback on this machine");
    TRawListener MasterPeer;
    MasterPeer.OnAccept = [](TRawPeer& Peer) {
      Peer.OnChunk = [&Peer](const QByteArray& Chunk) {
        if (Chunk.startsWith('\x03'))
          Peer.Send(QByteArray("\x04" "6;7"));
      };
      Peer.Send(QByteArray("\x03" "Ann"));
    };
    RelationLastGame = 2;
    InternetAddress = host;
    TComDataModule Module(nullptr, MasterPeer.Port(), 0);
    TCommandIO IO(false, &Module);
    QVERIFY(IO.WaitForConnection(5000));
    PlayerNames[0] = QStringLiteral("Bob");
    IO.ExchangeSettings();
    QCOMPARE(PlayerNames[1], QStringLiteral("Ann"));
    QCOMPARE(NumRows, 6);
    QCOMPARE(NumCols, 7);
    QCOMPARE(MasterPeer.Peers.size(), std::size_t(1));
    QTRY_COMPARE(MasterPeer.Peers[0]->Received, QByteArray("\x03" "Bob"));
  }

  // Two of our own endpoints, the exchange taken step by step from both sides.
  void twoEndpoints() {
    TMaster Master;
    RelationLastGame = 2;
    TComDataModule SlaveModule(nullptr, Master.Module.GamePort(), 0);
    TCommandIO Slave(false, &SlaveModule);
    QVERIFY(Slave.WaitForConnection(5000));
    QVERIFY(Master.IO.WaitForConnection(5000));

    PlayerNames[0] = QStringLiteral("A name of twenty-five!!");
    Master.IO.SendName();
    Slave.ReceiveName();
    QCOMPARE(PlayerNames[1], QStringLiteral("A name of twenty-fiv"));
    PlayerNames[0] = QString();
    Slave.SendName();
    Master.IO.ReceiveName();
    QCOMPARE(PlayerNames[1], QString());
    Master.IO.SendCommand(TCommand::MakeDimensions(8, 4));
    const TCommand Size = Slave.ReadCommand(TCommandKind::Dimensions);
    QCOMPARE(Size.Rows, 8);
    QCOMPARE(Size.Cols, 4);
    NumRows = 8;
    NumCols = 4;
    for (uint8_t Step = 0; Step < 8; ++Step) {
      Master.IO.SendCommand(TCommand::MakeMove(Step, Step % 4));
      QCOMPARE(Slave.ReadCommand(TCommandKind::Move).Row, Step);
      Slave.SendCommand(TCommand::MakeMove(7 - Step, 3));
      QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Row, 7 - Step);
    }
    // The no-move marker passes the checks.
    Slave.SendCommand(TCommand::MakeMove(8, 0));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Row, 8);
  }

  void localGame() {
    ConnectionLastGame = 0;
    NumRows = 4;
    NumCols = 6;
    PlayerNames[0] = QStringLiteral("Ann");
    TSilentView View;
    TBord Board(&View, NumRows, NumCols);
    TCommandIO IO(false, nullptr);
    QVERIFY(IO.IsLocal());
    QVERIFY(IO.Connected());
    QVERIFY(IO.WaitForConnection(0));
    IO.SetBoard(&Board);
    IO.ExchangeSettings();
    QCOMPARE(PlayerNames[1], QStringLiteral("Computer"));
    QCOMPARE(NumRows, 4);
    QCOMPARE(NumCols, 6);
    IO.SendCommand(TCommand::MakeMove(1, 1));

    const TCommand Move = IO.ReadCommand(TCommandKind::Move);
    QVERIFY(Move.Row < NumRows);
    QVERIFY(Move.Col < NumCols);
    QCOMPARE(IO.ReadCommand(TCommandKind::Name).Name, QStringLiteral("Computer"));
    QCOMPARE(IO.ReadCommand(TCommandKind::Dimensions).Cols, 6);

    // A board full of the user's cells leaves the computer the no-move marker.
    for (uint8_t Row = 0; Row < NumRows; ++Row)
      for (uint8_t Col = 0; Col < NumCols; ++Col) {
        Board.GetCell(Row, Col)->Owner = LocalPlayer;
        Board.GetCell(Row, Col)->Mass = 1;
      }
    const TCommand Marker = IO.ReadCommand(TCommandKind::Move);
    QCOMPARE(Marker.Row, NumRows);
    QCOMPARE(Marker.Col, 0);

    TLocalIO Local;
    QCOMPARE(Raised<ProtocolError>([&] { Local.Read(); }), QStringLiteral("Local IO called Read-routine"));
  }

  void secondClientDropped() {
    TMaster Master;
    TRawPeer First;
    QVERIFY(First.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    TRawPeer Second;
    QSignalSpy Dropped(Second.Socket, &QTcpSocket::disconnected);
    QVERIFY(Second.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Dropped.wait(5000));
    QVERIFY(Master.IO.Connected());
    QVERIFY(First.Standing());

    Master.IO.SendCommand(TCommand::MakeMove(1, 2));
    QTRY_COMPARE(First.Received, QByteArray("\x01" "1;2"));
    First.Send(QByteArray("\x01" "3;4"));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Col, 4);
    QVERIFY(Second.Received.isEmpty());
  }

  void partnerClosesDuringRead() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    QTimer::singleShot(50, Slave.Socket, [&] { Slave.Socket->disconnectFromHost(); });
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.ReadCommand(TCommandKind::Move); }), ReadFailed);
    QVERIFY(!Master.IO.Connected());
    // The listener stays on, but there is no partner left to write to.
    QVERIFY(Master.Module.ServerActive());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.SendCommand(TCommand::MakeMove(0, 0)); }), WriteFailed);
  }

  void messageThenDisconnect() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    Slave.Send(QByteArray("\x01" "1;1"));
    Slave.Socket->disconnectFromHost();
    QTRY_VERIFY(!Master.IO.Connected());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.ReadCommand(TCommandKind::Move); }), ReadFailed);
  }

  void laterMessageWins() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    Slave.Send(QByteArray("\x01" "1;1"));
    QTRY_VERIFY(Master.Module.DataAvailable());
    Slave.Send(QByteArray("\x01" "2;2"));
    QTRY_COMPARE(Master.Module.ReceiveBuffer(), QByteArray("\x01" "2;2"));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Row, 2);
    QVERIFY(!Master.Module.DataAvailable());
    QCOMPARE(Master.Module.ReadBuffer(), QByteArray("\x01" "2;2"));
  }

  void nulInTheMiddle() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    Slave.Send(QByteArray("\x03" "Ann\0Bob", 8));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Name).Name, QStringLiteral("Ann"));
  }

  void writesAfterError() {
    TReportRecorder Reports;
    TMaster Master;
    QTcpServer Closed;
    QVERIFY(Closed.listen(QHostAddress::LocalHost, 0));
    const quint16 Refusing = Closed.serverPort();
    Closed.close();
    RelationLastGame = 2;
    TComDataModule SlaveModule(nullptr, Master.Module.GamePort(), Refusing);
    TCommandIO Slave(false, &SlaveModule);
    QVERIFY(Slave.WaitForConnection(5000));
    QVERIFY(Master.IO.WaitForConnection(5000));

    // A real error event: the slave's chat connect is refused.
    SlaveModule.OpenChatClient(QStringLiteral("127.0.0.1"));
    QTRY_VERIFY(!SlaveModule.Connected());
    QVERIFY(!SlaveModule.ClientActive());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Slave.SendCommand(TCommand::MakeMove(0, 0)); }), WriteFailed);
    QTRY_COMPARE(Reports.Messages, QStringList(QStringLiteral("Asynchronous socket error %1").arg(ECONNREFUSED)));
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Slave.ReadCommand(TCommandKind::Move); }), ReadFailed);

    // The master loses its partner with the slave's sockets; an error there
    // switches its listener off as well.
    QTRY_VERIFY(!Master.IO.Connected());
    Master.Module.ClientError(ECONNRESET);
    QVERIFY(!Master.Module.ServerActive());
    QTRY_COMPARE(Reports.Messages.size(), 2);
    QCOMPARE(Reports.Messages.last(), QStringLiteral("Asynchronous socket error %1").arg(ECONNRESET));
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.SendCommand(TCommand::MakeMove(0, 0)); }), WriteFailed);
    QVERIFY(!Master.IO.WaitForConnection(60000));
  }

  void malformedPeer_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown kind") << QByteArray("\x07" "1;1") << QStringLiteral("Expected Move but received Unknown");
    QTest::newRow("no semicolon") << QByteArray("\x01" "11") << QStringLiteral("Move message without \";\"");
    QTest::newRow("oversized") << QByteArray("\x01" "1;") + QByteArray(400, '1')
                               << QStringLiteral("Received message longer than 255 characters");
    QTest::newRow("over the chunk size") << QByteArray(3000, '\x01')
                                         << QStringLiteral("Received message longer than 255 characters");
    QTest::newRow("off the board") << QByteArray("\x01" "2;5") << QStringLiteral("Received move 2;5 lies off the board of 5 x 5");
    QTest::newRow("beyond the marker") << QByteArray("\x01" "5;3") << QStringLiteral("Received move 5;3 lies off the board of 5 x 5");
    QTest::newRow("not a number") << QByteArray("\x01" "a;1") << QStringLiteral("'a' is not a valid integer value");
    QTest::newRow("out of range") << QByteArray("\x01" "1;256") << QStringLiteral("Received number 256 is out of range 0..255");
    QTest::newRow("wrong kind") << QByteArray("\x04" "5;5") << QStringLiteral("Expected Move but received Dimensions");
  }

  // Each malformed message gets its clear error; the link stays up and the
  // next good message is read as usual.
  void malformedPeer() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    Slave.Send(bytes);
    QTRY_VERIFY(Master.Module.DataAvailable());
    QString Text;
    try {
      Master.IO.ReadCommand(TCommandKind::Move);
      Text = QStringLiteral("<delivered>");
    } catch (const std::runtime_error& E) {
      Text = QString::fromUtf8(E.what());
    }
    QCOMPARE(Text, message);
    QVERIFY(Master.IO.Connected());
    Slave.Send(QByteArray("\x01" "4;4"));
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Row, 4);
  }

  void malformedDimensionsNeverReachSettings() {
    TRawListener MasterPeer;
    MasterPeer.OnAccept = [](TRawPeer& Peer) {
      Peer.OnChunk = [&Peer](const QByteArray&) { Peer.Send(QByteArray("\x04" "9;9")); };
      Peer.Send(QByteArray("\x03" "Ann"));
    };
    RelationLastGame = 2;
    TComDataModule Module(nullptr, MasterPeer.Port(), 0);
    TCommandIO IO(false, &Module);
    QVERIFY(IO.WaitForConnection(5000));
    QCOMPARE(Raised<ProtocolError>([&] { IO.ExchangeSettings(); }),
             QStringLiteral("Received dimensions 9 x 9 lie outside 2..8"));
    QCOMPARE(NumRows, 5);
    QCOMPARE(NumCols, 5);
  }

  void listenerPortTaken() {
    QTcpServer Holder;
    QVERIFY(Holder.listen(QHostAddress::Any, 0));
    TComDataModule Module(nullptr, Holder.serverPort(), 0);
    TCommandIO IO(true, &Module);
    QVERIFY(!Module.ServerActive());
    QVERIFY(!IO.Connected());
    // Nothing can bring the link up, so the wait ends at once.
    QVERIFY(!IO.WaitForConnection(60000));
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { IO.SendCommand(TCommand::MakeMove(0, 0)); }), WriteFailed);
  }

  void connectRefused() {
    TReportRecorder Reports;
    QTcpServer Closed;
    QVERIFY(Closed.listen(QHostAddress::LocalHost, 0));
    const quint16 Port = Closed.serverPort();
    Closed.close();
    RelationLastGame = 2;
    TComDataModule Module(nullptr, Port, 0);
    TCommandIO IO(false, &Module);
    QVERIFY(!IO.WaitForConnection(60000));
    QTRY_COMPARE(Reports.Messages, QStringList(QStringLiteral("Asynchronous socket error %1").arg(ECONNREFUSED)));
  }

  void waitForLinkDeadline() {
    TMaster Master;
    QVERIFY(!Master.IO.WaitForConnection(30));
    QVERIFY(Master.Module.ServerActive());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.SendCommand(TCommand::MakeMove(0, 0)); }), WriteFailed);
  }

  void abortedRead() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    QTimer::singleShot(20, &Master.Module, &TComDataModule::AbortWaits);
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.ReadCommand(TCommandKind::Move); }),
             QStringLiteral("The program is closing"));
    QVERIFY(Master.Module.Closing());
  }

  void readNotReentered() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    QString Inner;
    QTimer::singleShot(10, &Master.Module, [&] {
      Inner = Raised<std::runtime_error>([&] { Master.Module.GetBuffer(); });
      Slave.Send(QByteArray("\x01" "0;0"));
    });
    QCOMPARE(Master.IO.ReadCommand(TCommandKind::Move).Row, 0);
    QCOMPARE(Inner, QStringLiteral("A read of the opponent's message is already waiting"));
  }

  void moduleGoesFirst() {
    auto Module = std::make_unique<TComDataModule>(nullptr, 0, 0);
    TCommandIO IO(true, Module.get());
    QVERIFY(ComDataModule == Module.get());
    Module.reset();
    QVERIFY(ComDataModule == nullptr);
    QVERIFY(!IO.Connected());
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { IO.ReadCommand(TCommandKind::Move); }), ReadFailed);
  }

  // Last: QCoreApplication::exit() ends every running event loop.
  void exitDuringRead() {
    TMaster Master;
    TRawPeer Slave;
    QVERIFY(Slave.ConnectTo(Master.Module.GamePort()));
    QVERIFY(Master.IO.WaitForConnection(5000));
    QTimer::singleShot(20, qApp, [] { QCoreApplication::exit(0); });
    QCOMPARE(Raised<LinkHasBeenClosed>([&] { Master.IO.ReadCommand(TCommandKind::Move); }),
             QStringLiteral("The program is closing"));
  }
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
