// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandIO.h"

#include <QtTest>

namespace {

// Bytes written in hexadecimal, as "01 30 3B 30".
QByteArray Hex(const char* Text) {
  return QByteArray::fromHex(Text);
}

// A message: its kind's code byte and its text.
QByteArray Msg(char Code, const char* Body) {
  return QByteArray(1, Code) + Body;
}

// What a read of Text expecting Expected on a board of 6 x 5 yields: the
// command in words, or the class of the error raised and its message.
QString Received(const QByteArray& Text, TCommandKind Expected) {
  try {
    const TCommand C = CheckedCommand(Text, Expected, 6, 5);
    const bool Numbers = C.Kind == TCommandKind::Move || C.Kind == TCommandKind::Dimensions;
    return QString::fromUtf8(CommandName(C.Kind)) + QLatin1Char(' ') +
           (Numbers ? QStringLiteral("%1;%2").arg(int(C.Row)).arg(int(C.Col)) : C.Name);
  } catch (const ProtocolError& E) {
    return "Protocol: " + QString::fromUtf8(E.what());
  } catch (const ConvertError& E) {
    return "Convert: " + QString::fromUtf8(E.what());
  } catch (const RangeError& E) {
    return "Range: " + QString::fromUtf8(E.what());
  }
}

} // namespace

Q_DECLARE_METATYPE(TCommand)
Q_DECLARE_METATYPE(TCommandKind)

class TestCommandText : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void encode_data() {
    QTest::addColumn<TCommand>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("move 0,0") << TCommand::MakeMove(0, 0) << Hex("01 30 3B 30");
    QTest::newRow("move 3,12") << TCommand::MakeMove(3, 12) << Hex("01 33 3B 31 32");
    QTest::newRow("move 2,4") << TCommand::MakeMove(2, 4) << Hex("01 32 3B 34");
    QTest::newRow("move 255,255") << TCommand::MakeMove(255, 255) << Msg(1, "255;255");
    QTest::newRow("name Ann") << TCommand::MakeName("Ann") << Hex("03 41 6E 6E");
    QTest::newRow("name of 25") << TCommand::MakeName(QString(25, u'x'))
                                << QByteArray("\x03") + QByteArray(20, 'x');
    QTest::newRow("empty name") << TCommand::MakeName(QString()) << Hex("03");
    QTest::newRow("latin-1 name") << TCommand::MakeName(QStringLiteral(u"J\u00f6rg"))
                                  << Hex("03 4A F6 72 67");
    // A NUL would end the name early on the receiving side.
    QTest::newRow("name with NUL")
        << TCommand::MakeName(QString::fromLatin1("A\0B", 3)) << Hex("03 41 3F 42");
    QTest::newRow("name outside latin-1")
        << TCommand::MakeName(QStringLiteral(u"\u4e2d!")) << QByteArray("\x03?!");
    QTest::newRow("dimensions 5x7") << TCommand::MakeDimensions(5, 7) << Hex("04 35 3B 37");
    QTest::newRow("none") << TCommand() << Hex("00");
  }

  // Each example's bytes, and decoding gives the same bytes back.
  void encode() {
    QFETCH(TCommand, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CommandToText(command), bytes);
    QCOMPARE(CommandToText(TextToCommand(bytes)), bytes);
  }

  // Decoding and the checks of a read, on a 6 x 5 board.
  void receive_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TCommandKind>("expected");
    QTest::addColumn<QString>("result");
    const auto Move = TCommandKind::Move, Name = TCommandKind::Name,
               Size = TCommandKind::Dimensions;
    auto Row = [](const char* Tag, const QByteArray& In, TCommandKind Expected,
                  const QString& Result) { QTest::newRow(Tag) << In << Expected << Result; };
    Row("no-move marker", Hex("01 36 3B 30"), Move, "Move 6;0");
    Row("name Ann", Hex("03 41 6E 6E"), Name, "Name Ann");
    Row("empty name", Hex("03"), Name, "Name ");
    Row("name cut at nul",
        QByteArray("\x03"
                   "Ann\0Bob",
                   8),
        Name, "Name Ann");
    Row("dimensions 5x7", Hex("04 35 3B 37"), Size, "Dimensions 5;7");
    Row("dimensions 2x8", Msg(4, "2;8"), Size, "Dimensions 2;8");
    Row("move 256;0", Msg(1, "256;0"), Move, "Range: Received number 256 is out of range 0..255");
    Row("no separator", Msg(1, "12"), Move, "Protocol: Move message without \";\"");
    Row("column 5", Msg(1, "0;5"), Move, "Protocol: Received move 0;5 lies off the board of 6 x 5");
    Row("unknown kind", Hex("09 31 3B 31"), Move, "Protocol: Expected Move but received Unknown");
    Row("dimensions 5x300", Hex("04 35 3B 33 30 30"), Size,
        "Range: Received number 300 is out of range 0..255");
    Row("dimensions 5xx", Msg(4, "5;x"), Size, "Convert: 'x' is not a valid integer value");
    Row("negative", Msg(1, "-1;0"), Move, "Convert: '-1' is not a valid integer value");
    Row("empty number", Msg(1, ";0"), Move, "Convert: '' is not a valid integer value");
    Row("two semicolons", Msg(1, "1;2;3"), Move, "Convert: '2;3' is not a valid integer value");
    Row("huge number", Msg(1, "99999999999999999999;0"), Move,
        "Range: Received number 99999999999999999999 is out of range 0..255");
    Row("empty where move", QByteArray(), Move, "Protocol: Expected Move but received None");
    Row("nul where move", Hex("00 01"), Move, "Protocol: Expected Move but received None");
    Row("name where dimensions", Msg(3, "Ann"), Size,
        "Protocol: Expected Dimensions but received Name");
    Row("decoded before kind check", Msg(4, "5;x"), Move,
        "Convert: 'x' is not a valid integer value");
    Row("row beyond marker", Msg(1, "7;0"), Move,
        "Protocol: Received move 7;0 lies off the board of 6 x 5");
    Row("marker row, column 1", Msg(1, "6;1"), Move,
        "Protocol: Received move 6;1 lies off the board of 6 x 5");
    Row("dimensions 9x5", Msg(4, "9;5"), Size,
        "Protocol: Received dimensions 9 x 5 lie outside 2..8");
    Row("dimensions 5x1", Msg(4, "5;1"), Size,
        "Protocol: Received dimensions 5 x 1 lie outside 2..8");
    Row("255 characters", QByteArray("\x03") + QByteArray(254, 'n'), Name,
        "Name " + QString(20, u'n'));
    Row("256 characters", QByteArray("\x03") + QByteArray(255, 'n'), Name,
        "Protocol: Received message longer than 255 characters");
    Row("long after nul",
        QByteArray("\x03"
                   "A",
                   2) +
            QByteArray(1, '\0') + QByteArray(500, 'n'),
        Name, "Name A");
  }

  void receive() {
    QFETCH(QByteArray, bytes);
    QFETCH(TCommandKind, expected);
    QFETCH(QString, result);
    QCOMPARE(Received(bytes, expected), result);
  }

  // One socket read: cut at its first NUL and at 1023 bytes.
  void receivedChunk() {
    QCOMPARE(ReceivedChunk(QByteArray("\x03"
                                      "Ann\0Bob",
                                      8)),
             Msg(3, "Ann"));
    QCOMPARE(ReceivedChunk(QByteArray(1023, 'a')), QByteArray(1023, 'a'));
    QCOMPARE(ReceivedChunk(QByteArray(5000, 'b')), QByteArray(1023, 'b'));
  }
};

QTEST_GUILESS_MAIN(TestCommandText)
#include "tst_commandtext.moc"
