#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct TRun {
  QString Out;
  QString Err;
  int ExitCode = -1;
};

TRun RunEngine(const QStringList& Arguments, const QByteArray& Input) {
  QProcess Engine;
  Engine.start(QStringLiteral(FIZZGRID_ENGINE_PATH), Arguments);
  TRun Result;
  if (!Engine.waitForStarted(30000))
    return Result;
  Engine.write(Input);
  Engine.closeWriteChannel();
  Engine.waitForFinished(120000);
  Result.Out = QString::fromLatin1(Engine.readAllStandardOutput());
  Result.Err = QString::fromLatin1(Engine.readAllStandardError());
  Result.ExitCode = Engine.exitStatus() == QProcess::NormalExit ? Engine.exitCode() : -1;
  return Result;
}

} // namespace

class TestEngine : public QObject {
  Q_OBJECT

private slots:
  void move();
  void stats();
  void place_data();
  void place();
  void malformed_data();
  void malformed();
  void usage_data();
  void usage();
};

void TestEngine::move() {
  const QByteArray Input = "5x5 . . . . . . . . . . . . . . . . . . . . . . . . .\n"
                           "\n"
                           "5x5 a1 . . . . . . . . . . . . . . . . . . . . . . . .\n"
                           "2x3 a1 a1 a1 a1 a1 a1\n"
                           "2x2 a1 . . .\n";
  const TRun Run = RunEngine({"move"}, Input);
  QCOMPARE(Run.Out, QString("0 0\n0 4\nnone\n1 1\n"));
  QCOMPARE(Run.Err, QString());
  QCOMPARE(Run.ExitCode, 0);
}

void TestEngine::stats() {
  const TRun Run = RunEngine({"move", "--stats"}, "4x4 . . . . . . . . . . . . . . . .\n"
                                                  "6x6 . . . . . . . . . . . . . . . . . . "
                                                  ". . . . . . . . . . . . . . . . . .\n");
  QCOMPARE(Run.ExitCode, 0);
  const QStringList Lines = Run.Out.split('\n', Qt::SkipEmptyParts);
  QCOMPARE(Lines.size(), 2);
  const QRegularExpression Format(R"(^(\d) (\d) ; (\d+) placements ; \d+\.\d{3} ms$)");
  const auto First = Format.match(Lines[0]);
  QVERIFY2(First.hasMatch(), qPrintable(Lines[0]));
  QVERIFY(First.captured(3).toInt() > 16); // three levels on 4 x 4
  const auto Second = Format.match(Lines[1]);
  QVERIFY2(Second.hasMatch(), qPrintable(Lines[1]));
  QCOMPARE(Second.captured(1) + " " + Second.captured(2), QString("0 0"));
  QCOMPARE(Second.captured(3).toInt(), 36); // one level, every cell
}

void TestEngine::place_data() {
  QTest::addColumn<QString>("Line");
  QTest::addColumn<QString>("Expected");
  QTest::newRow("first mass") << "3x3 . . . . . . . . . ; 0 1 1" << "3x3 . . . . a1 . . . . ; open";
  QTest::newRow("corner explodes")
      << "3x3 b1 . . . . . . . . ; 1 0 0" << "3x3 . b1 . b1 . . . . . ; open";
  QTest::newRow("conversion") << "3x3 a1 b1 . . . . . . . ; 0 0 0"
                              << "3x3 . a2 . a1 . . . . . ; open";
  QTest::newRow("guard") << "2x2 a1 a1 a1 a1 ; 0 0 0" << "2x2 a2 a1 a1 a1 ; finished";
  QTest::newRow("spaces") << "  2x2   .  .  . .  ;  1  1   1 " << "2x2 . . . b1 ; open";
}

void TestEngine::place() {
  QFETCH(QString, Line);
  QFETCH(QString, Expected);
  const TRun Run = RunEngine({"place"}, Line.toLatin1() + "\n");
  QCOMPARE(Run.Out, Expected + "\n");
  QCOMPARE(Run.Err, QString());
  QCOMPARE(Run.ExitCode, 0);
}

void TestEngine::malformed_data() {
  QTest::addColumn<QString>("Command");
  QTest::addColumn<QString>("Line");
  QTest::addColumn<QString>("Problem");
  QTest::newRow("token") << "move" << "2x2 . x . ." << "unknown cell token \"x\"";
  QTest::newRow("count") << "move" << "3x3 . . ." << "expected 9 cells, found 3";
  QTest::newRow("dimension") << "move" << "9x3 . . ." << "outside 2..8";
  QTest::newRow("small dimension") << "place" << "1x3 . . . ; 0 0 0" << "outside 2..8";
  QTest::newRow("capacity") << "move" << "2x2 a2 . . ." << "not below the capacity";
  QTest::newRow("outside") << "place" << "2x2 . . . . ; 0 2 0" << "cell (2, 0) outside the 2x2 board";
  QTest::newRow("opponent's cell") << "place" << "2x2 b1 . . . ; 0 0 0"
                                   << "cell (0, 0) belongs to the other player";
  QTest::newRow("player") << "place" << "2x2 . . . . ; 2 0 0" << "player 2 is neither 0 nor 1";
  QTest::newRow("no placement") << "place" << "2x2 . . . ." << "expected \"POSITION ; P R C\"";
  QTest::newRow("short placement") << "place" << "2x2 . . . . ; 0 1" << "expected \"P R C\"";
  QTest::newRow("word placement") << "place" << "2x2 . . . . ; 0 one 1" << "expected \"P R C\"";
  QTest::newRow("negative") << "place" << "2x2 . . . . ; 0 -1 1" << "expected \"P R C\"";
}

void TestEngine::malformed() {
  // The bad line sits between two good ones: it is reported with its line
  // number, the others are answered, and the exit code reports the failure.
  QFETCH(QString, Command);
  QFETCH(QString, Line);
  QFETCH(QString, Problem);
  const bool Place = Command == "place";
  const QString Good = Place ? "2x2 . . . . ; 0 0 0" : "2x2 a1 . . .";
  const QString Answer = Place ? "2x2 a1 . . . ; open" : "1 1";
  const TRun Run = RunEngine({Command}, (Good + "\n" + Line + "\n" + Good + "\n").toLatin1());
  QCOMPARE(Run.Out, Answer + "\n" + Answer + "\n");
  QVERIFY2(Run.Err.startsWith("line 2: "), qPrintable(Run.Err));
  QVERIFY2(Run.Err.contains(Problem), qPrintable(Run.Err));
  QCOMPARE(Run.Err.count('\n'), 1);
  QCOMPARE(Run.ExitCode, 1);
}

void TestEngine::usage_data() {
  QTest::addColumn<QStringList>("Arguments");
  QTest::newRow("none") << QStringList();
  QTest::newRow("unknown") << QStringList{"think"};
  QTest::newRow("bad option") << QStringList{"move", "--fast"};
  QTest::newRow("place option") << QStringList{"place", "--stats"};
}

void TestEngine::usage() {
  QFETCH(QStringList, Arguments);
  const TRun Run = RunEngine(Arguments, "2x2 . . . .\n");
  QVERIFY(Run.Err.startsWith("usage: fizzgrid-engine"));
  QCOMPARE(Run.Out, QString());
  QCOMPARE(Run.ExitCode, 2);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
