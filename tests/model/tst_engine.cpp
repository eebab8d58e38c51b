// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestEngine : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void lines_data() {
    QTest::addColumn<QStringList>("Arguments");
    QTest::addColumn<QString>("Input");
    QTest::addColumn<QStringList>("Expected"); // standard output, standard error, exit code
    const QString Empty5 = "5x5" + QString(" .").repeated(25) + "\n";
    // Corners first, ties to the earliest cell, "none" when every cell is the user's.
    QTest::newRow("move") << QStringList{"move"}
                          << Empty5 + "\n5x5 a1" + QString(" .").repeated(24) +
                                 "\n5x5 a1 . . . a1" + QString(" .").repeated(15) +
                                 " a1 . . . .\n5x5 a1 . . . a1" + QString(" .").repeated(15) +
                                 " a1 . . . a1\n2x3 a1 a1 a1 a1 a1 a1\n2x2 a1 . . .\n"
                          << QStringList{"0 0\n0 4\n4 4\n0 1\nnone\n1 1\n", "", "0"};
    // Empty boards: 4 x 4 searches three levels, 4 x 5 switches to three at its
    // first candidate (19 empty cells), 5 x 5 searches one level.
    QTest::newRow("stats") << QStringList{"move", "--stats"}
                           << "4x4" + QString(" .").repeated(16) + "\n4x5" +
                                  QString(" .").repeated(20) + "\n" + Empty5
                           << QStringList{
                                  "0 0 ; 3200 placements ; T ms\n0 0 ; 6560 placements ; T ms\n"
                                  "0 0 ; 25 placements ; T ms\n",
                                  "", "0"};
    // The level option, in any case: Expert takes the one winning placement
    // (2 2), plays a single legal cell and answers "none" as the default
    // does; a decided game needs few placements.
    const QString Levels = "3x3 a1 a2 a1 a2 a3 a2 . . b1\n2x2 a1 a1 a1 .\n2x3 a1 a1 a1 a1 a1 a1\n";
    QTest::newRow("level expert")
        << QStringList{"move", "--level", "Expert", "--stats"} << Levels
        << QStringList{"2 2 ; 6 placements ; T ms\n1 1 ; 0 placements ; T ms\nnone\n", "", "0"};
    QTest::newRow("bad seed") << QStringList{"move", "--seed", "-3"} << Levels
                              << QStringList{"",
                                             "bad seed \"-3\" (expected a number from 0 to "
                                             "18446744073709551615)\n",
                                             "1"};
    QTest::newRow("bad level") << QStringList{"move", "--stats", "--level", "weak"} << Levels
                               << QStringList{"",
                                              "unknown level \"weak\" (expected standard, "
                                              "strong or expert)\n",
                                              "1"};
    QTest::newRow("place")
        << QStringList{"place"}
        << "3x3 b1 . . . . . . . . ; 1 0 0\n3x4 . a2 . . . b3 . . . . . . ; 0 0 1\n"
           "2x2 a1 a1 a1 a1 ; 0 0 0\n  2x2   .  .  . .  ;  1  1   1 \n"
        << QStringList{"3x3 . b1 . b1 . . . . . ; open\n3x4 a1 a1 a1 . a1 . a1 . . a1 . . ; open\n"
                       "2x2 a2 a1 a1 a1 ; finished\n2x2 . . . b1 ; open\n",
                       "", "0"};
    // Each bad line is reported with its number; the good ones around it are answered.
    QTest::newRow("bad positions")
        << QStringList{"move"}
        << "2x2 a1 . . .\n2x2 . x . .\n3x3 . . .\n9x3 . . .\n2x2 a2 . . .\n2x2 a1 . . .\n"
        << QStringList{
               "1 1\n1 1\n",
               "line 2: unknown cell token \"x\" at (0, 1)\nline 3: expected 9 cells, found 3\n"
               "line 4: board size \"9x3\" outside 2..8\nline 5: mass 2 not below the capacity 2 "
               "at (0, 0)\n",
               "1"};
    QTest::newRow("bad placements")
        << QStringList{"place"}
        << "2x2 . . . . ; 0 2 0\n2x2 b1 . . . ; 0 0 0\n2x2 . . . . ; 0 -1 1\n2x2 . . . . ; 0 0 0\n"
        << QStringList{"2x2 a1 . . . ; open\n",
                       "line 1: cell (2, 0) outside the 2x2 board\nline 2: cell (0, 0) belongs to "
                       "the other player\n"
                       "line 3: expected \"P R C\" after \";\", found \"0 -1 1\"\n",
                       "1"};
    for (const QStringList& Arguments :
         {QStringList{}, {"think"}, {"move", "--fast"}, {"place", "--stats"}, {"move", "--level"}})
      QTest::addRow("usage %s", qPrintable(Arguments.join(' ')))
          << Arguments << "2x2 . . . .\n"
          << QStringList{"", "usage: fizzgrid-engine", "2"};
  }
  void lines() {
    QFETCH(QStringList, Arguments);
    QFETCH(QString, Input);
    QFETCH(QStringList, Expected);
    QProcess Engine;
    Engine.start(QStringLiteral(FIZZGRID_ENGINE_PATH), Arguments);
    QVERIFY(Engine.waitForStarted(30000));
    Engine.write(Input.toLatin1());
    Engine.closeWriteChannel();
    QVERIFY(Engine.waitForFinished(120000) && Engine.exitStatus() == QProcess::NormalExit);
    QStringList Seen = {QString::fromLatin1(Engine.readAllStandardOutput()),
                        QString::fromLatin1(Engine.readAllStandardError()),
                        QString::number(Engine.exitCode())};
    Seen[0].replace(QRegularExpression(R"( \d+\.\d{3} ms$)", QRegularExpression::MultilineOption),
                    " T ms");
    if (Expected[1].startsWith("usage:") && Seen[1].startsWith(Expected[1]))
      Seen[1] = Expected[1];
    QCOMPARE(Seen, Expected);
  }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
