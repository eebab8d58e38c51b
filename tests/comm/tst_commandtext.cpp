#include "CommandIO.h"
#include "RuntimeData.h"

#include <QtTest>

#include <functional>

namespace {

enum class Failure { None, Protocol, Convert, Range };

QByteArray Bytes(std::initializer_list<int> Codes) {
  QByteArray Result;
  for (int Code : Codes)
    Result += char(Code);
  return Result;
}

// Runs Action and reports which of the protocol's errors it raised.
Failure Outcome(const std::function<void()>& Action, QString& Message) {
  try {
    Action();
  } catch (const ProtocolError& E) {
    Message = QString::fromUtf8(E.what());
    return Failure::Protocol;
  } catch (const ConvertError& E) {
    Message = QString::fromUtf8(E.what());
    return Failure::Convert;
  } catch (const RangeError& E) {
    Message = QString::fromUtf8(E.what());
    return Failure::Range;
  }
  return Failure::None;
}

} // namespace

Q_DECLARE_METATYPE(TCommand)
Q_DECLARE_METATYPE(TCommandKind)
Q_DECLARE_METATYPE(Failure)

class TestCommandText : public QObject {
  Q_OBJECT

private slots:
  void init() {
    NumRows = 6;
    NumCols = 5;
  }

  void encode_data() {
    QTest::addColumn<TCommand>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("move 0,0") << TCommand::MakeMove(0, 0) << Bytes({0x01, 0x30, 0x3B, 0x30});
    QTest::newRow("move 3,12") << TCommand::MakeMove(3, 12) << Bytes({0x01, 0x33, 0x3B, 0x31, 0x32});
    QTest::newRow("move 2,4") << TCommand::MakeMove(2, 4) << Bytes({0x01, 0x32, 0x3B, 0x34});
    QTest::newRow("move 255,255") << TCommand::MakeMove(255, 255) << QByteArray("\x01" "255;255");
    QTest::newRow("name Ann") << TCommand::MakeName("Ann") << Bytes({0x03, 0x41, 0x6E, 0x6E});
    QTest::newRow("name of 25") << TCommand::MakeName(QString(25, u'x'))
                                << QByteArray("\x03") + QByteArray(20, 'x');
    QTest::newRow("empty name") << TCommand::MakeName(QString()) << Bytes({0x03});
    QTest::newRow("name with ;") << TCommand::MakeName("a;b") << QByteArray("\x03" "a;b");
    QTest::newRow("latin-1 name") << TCommand::MakeName(QStringLiteral(u"J\u00f6rg")) << Bytes({0x03, 'J', 0xF6, 'r', 'g'});
    QTest::newRow("name outside latin-1") << TCommand::MakeName(QStringLiteral(u"\u4e2d!"))
                                          << QByteArray("\x03?!");
    QTest::newRow("dimensions 5x7") << TCommand::MakeDimensions(5, 7) << Bytes({0x04, 0x35, 0x3B, 0x37});
    TCommand None;
    QTest::newRow("none") << None << Bytes({0x00});
    TCommand Start;
    Start.Kind = TCommandKind::Start;
    Start.Row = 3;
    QTest::newRow("start ignores fields") << Start << Bytes({0x02});
  }

  void encode() {
    QFETCH(TCommand, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CommandToText(command), bytes);
  }

  // Encoding and decoding are inverse for every command the system sends.
  void roundTrip() {
    for (int Row = 0; Row < 256; Row += 17)
      for (int Col = 0; Col < 256; Col += 13) {
        const TCommand Move = TextToCommand(CommandToText(TCommand::MakeMove(uint8_t(Row), uint8_t(Col))));
        QCOMPARE(Move.Kind, TCommandKind::Move);
        QCOMPARE(Move.Row, Row);
        QCOMPARE(Move.Col, Col);
        const TCommand Size = TextToCommand(CommandToText(TCommand::MakeDimensions(uint8_t(Row), uint8_t(Col))));
        QCOMPARE(Size.Kind, TCommandKind::Dimensions);
        QCOMPARE(Size.Rows, Row);
        QCOMPARE(Size.Cols, Col);
      }
    QCOMPARE(TextToCommand(CommandToText(TCommand::MakeName("Bob"))).Name, QString("Bob"));
  }

  void decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("message");
    auto Good = [](const char* Tag, const QByteArray& In, int Kind, int First, int Second, const QString& Name) {
      QTest::newRow(Tag) << In << Kind << First << Second << Name << Failure::None << QString();
    };
    auto Bad = [](const char* Tag, const QByteArray& In, Failure Kind, const QString& Message) {
      QTest::newRow(Tag) << In << 0 << 0 << 0 << QString() << Kind << Message;
    };
    Good("empty", QByteArray(), 0, 0, 0, {});
    Good("nul first", Bytes({0x00, 0x01, 0x32}), 0, 0, 0, {});
    Good("move 2,4", Bytes({0x01, 0x32, 0x3B, 0x34}), 1, 2, 4, {});
    Good("leading zeros", QByteArray("\x01" "002;0004"), 1, 2, 4, {});
    Good("name Ann", Bytes({0x03, 'A', 'n', 'n'}), 3, 0, 0, "Ann");
    Good("long name cut", QByteArray("\x03") + QByteArray(30, 'y'), 3, 0, 0, QString(20, u'y'));
    Good("empty name", Bytes({0x03}), 3, 0, 0, {});
    Good("name cut at nul", QByteArray("\x03" "Ann\0Bob", 8), 3, 0, 0, "Ann");
    Good("start", Bytes({0x02, 'x'}), 2, 0, 0, {});
    Good("unknown kind", Bytes({0x09, '1'}), 9, 0, 0, {});
    Good("dimensions 5x7", Bytes({0x04, 0x35, 0x3B, 0x37}), 4, 5, 7, {});
    Bad("dimensions 5x300", Bytes({0x04, 0x35, 0x3B, 0x33, 0x30, 0x30}), Failure::Range,
        "Received number 300 is out of range 0..255");
    Bad("dimensions 5xx", QByteArray("\x04" "5;x"), Failure::Convert, "'x' is not a valid integer value");
    Bad("negative", QByteArray("\x01" "-1;0"), Failure::Convert, "'-1' is not a valid integer value");
    Bad("space", QByteArray("\x01" " 1;0"), Failure::Convert, "' 1' is not a valid integer value");
    Bad("empty number", QByteArray("\x01" ";0"), Failure::Convert, "'' is not a valid integer value");
    Bad("second empty", QByteArray("\x01" "1;"), Failure::Convert, "'' is not a valid integer value");
    Bad("two semicolons", QByteArray("\x01" "1;2;3"), Failure::Convert, "'2;3' is not a valid integer value");
    Bad("huge number", QByteArray("\x01" "99999999999999999999;0"), Failure::Range,
        "Received number 99999999999999999999 is out of range 0..255");
    Bad("move without ;", QByteArray("\x01" "12"), Failure::Protocol, "Move message without \";\"");
    Bad("bare move", Bytes({0x01}), Failure::Protocol, "Move message without \";\"");
    Bad("dimensions without ;", QByteArray("\x04" "5"), Failure::Protocol,
        "Dimensions message without \";\"");
    Bad("semicolon after nul", QByteArray("\x01" "1\0;2", 5), Failure::Protocol, "Move message without \";\"");
  }

  void decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, name);
    QFETCH(Failure, failure);
    QFETCH(QString, message);
    TCommand Command;
    QString Raised;
    QCOMPARE(Outcome([&] { Command = TextToCommand(bytes); }, Raised), failure);
    QCOMPARE(Raised, message);
    if (failure != Failure::None)
      return;
    QCOMPARE(int(Command.Kind), kind);
    QCOMPARE(int(Command.Row), first);
    QCOMPARE(int(Command.Col), second);
    QCOMPARE(Command.Name, name);
  }

  // The checks of a read, on a 6 x 5 board.
  void checked_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TCommandKind>("expected");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("message");
    auto Row = [](const char* Tag, const QByteArray& In, TCommandKind Expected, Failure F, const QString& M) {
      QTest::newRow(Tag) << In << Expected << F << M;
    };
    Row("move on board", QByteArray("\x01" "5;4"), TCommandKind::Move, Failure::None, {});
    Row("no-move marker", Bytes({0x01, 0x36, 0x3B, 0x30}), TCommandKind::Move, Failure::None, {});
    Row("row beyond marker", QByteArray("\x01" "7;0"), TCommandKind::Move, Failure::Protocol,
        "Received move 7;0 lies off the board of 6 x 5");
    Row("marker row, column 1", QByteArray("\x01" "6;1"), TCommandKind::Move, Failure::Protocol,
        "Received move 6;1 lies off the board of 6 x 5");
    Row("column off", QByteArray("\x01" "0;5"), TCommandKind::Move, Failure::Protocol,
        "Received move 0;5 lies off the board of 6 x 5");
    Row("empty where move", QByteArray(), TCommandKind::Move, Failure::Protocol,
        "Expected Move but received None");
    Row("nul where move", Bytes({0x00, 0x01}), TCommandKind::Move, Failure::Protocol,
        "Expected Move but received None");
    Row("name where dimensions", QByteArray("\x03" "Ann"), TCommandKind::Dimensions, Failure::Protocol,
        "Expected Dimensions but received Name");
    Row("name where move", QByteArray("\x03" "Ann"), TCommandKind::Move, Failure::Protocol,
        "Expected Move but received Name");
    Row("unknown kind", Bytes({0x05, '1', ';', '1'}), TCommandKind::Move, Failure::Protocol,
        "Expected Move but received Unknown");
    Row("kind 255", Bytes({0xFF}), TCommandKind::Name, Failure::Protocol,
        "Expected Name but received Unknown");
    Row("decoded before kind check", QByteArray("\x04" "5;x"), TCommandKind::Move, Failure::Convert,
        "'x' is not a valid integer value");
    Row("dimensions 8x8", QByteArray("\x04" "8;8"), TCommandKind::Dimensions, Failure::None, {});
    Row("dimensions 2x2", QByteArray("\x04" "2;2"), TCommandKind::Dimensions, Failure::None, {});
    Row("dimensions 9x5", QByteArray("\x04" "9;5"), TCommandKind::Dimensions, Failure::Protocol,
        "Received dimensions 9 x 5 lie outside 2..8");
    Row("dimensions 5x1", QByteArray("\x04" "5;1"), TCommandKind::Dimensions, Failure::Protocol,
        "Received dimensions 5 x 1 lie outside 2..8");
    Row("dimensions 0x0", QByteArray("\x04" "0;0"), TCommandKind::Dimensions, Failure::Protocol,
        "Received dimensions 0 x 0 lie outside 2..8");
    Row("255 characters", QByteArray("\x03") + QByteArray(254, 'n'), TCommandKind::Name, Failure::None, {});
    Row("256 characters", QByteArray("\x03") + QByteArray(255, 'n'), TCommandKind::Name, Failure::Protocol,
        "Received message longer than 255 characters");
    Row("long after nul is fine", QByteArray("\x03" "A", 2) + QByteArray(1, '\0') + QByteArray(500, 'n'),
        TCommandKind::Name, Failure::None, {});
  }

  void checked() {
    QFETCH(QByteArray, bytes);
    QFETCH(TCommandKind, expected);
    QFETCH(Failure, failure);
    QFETCH(QString, message);
    TCommand Command;
    QString Raised;
    QCOMPARE(Outcome([&] { Command = CheckedCommand(bytes, expected); }, Raised), failure);
    QCOMPARE(Raised, message);
    if (failure == Failure::None)
      QCOMPARE(Command.Kind, expected);
  }

  void commandNames() {
    QCOMPARE(QString(CommandName(TCommandKind::None)), QString("None"));
    QCOMPARE(QString(CommandName(TCommandKind::Dimensions)), QString("Dimensions"));
    QCOMPARE(QString(CommandName(TCommandKind(5))), QString("Unknown"));
  }

  void receivedChunk_data() {
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("plain") << QByteArray("\x01" "1;2") << QByteArray("\x01" "1;2");
    QTest::newRow("nul in the middle") << QByteArray("\x03" "Ann\0Bob", 8) << QByteArray("\x03" "Ann");
    QTest::newRow("nul first") << QByteArray("\0\x01", 2) << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("1023") << QByteArray(1023, 'a') << QByteArray(1023, 'a');
    QTest::newRow("over 1023 cut") << QByteArray(5000, 'b') << QByteArray(1023, 'b');
  }

  void receivedChunk() {
    QFETCH(QByteArray, chunk);
    QFETCH(QByteArray, kept);
    QCOMPARE(ReceivedChunk(chunk), kept);
  }
};

QTEST_GUILESS_MAIN(TestCommandText)
#include "tst_commandtext.moc"
