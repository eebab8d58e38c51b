// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program closed while it is busy: during the computer's search,
// during a cascade, and while it waits for the partner's first move or its
// reply. Each time the process ends at once, and the settings and the
// high-score file are written. The program runs in a process of its own
// (this test, started again with --child), answered by the scripted dialogs
// and boxes; this side times it from the close to the end of the process.

#include "Program.h"
#include "ScriptedPeer.h"
#include "ThinkRelay.h"

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

qint64 Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Closes the game window as its close box does, saying when.
void CloseNow() {
  std::printf("closing %lld\n", static_cast<long long>(Now()));
  std::fflush(stdout);
  TheMainForm()->close();
}

// What the scenario does once the first game is on.
void Play(TMainForm& Form, const QString& Scenario) {
  TGameController& Game = Form.Controller();
  if (Scenario == u"search"_s) {
    QObject::connect(&Game.ThinkRelay(), &TThinkRelay::Shown, &Form, CloseNow);
  } else if (Scenario == u"cascade"_s) {
    Put(*Game.Bord(), 2, 2, LocalPlayer, 3);
    Put(*Game.Bord(), 2, 3, LocalPlayer, 3);
    Game.Replay().ShowBoard(*Game.Bord());
    QTimer::singleShot(300, &Form, CloseNow);
  } else {
    QTimer::singleShot(500, &Form, CloseNow);
  }
  // The slave waits for the first move without a click.
  if (Scenario != u"first move"_s)
    QTimer::singleShot(100, &Form, [&Form] {
      Form.findChild<TBordGrid*>(QStringLiteral("BordDisplay"))->OnClick(2, 2);
    });
}

// The program, run to its end with a scenario that closes it while busy.
int RunChild(int argc, char* argv[], const QString& Scenario) {
  TDialogScript Dialogs;
  TScriptedMessages Messages;
  std::unique_ptr<TPeer> Peer;
  Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Leaver"_s));
  // The program learns its ports when it starts, before the partner is
  // made: two that are free now, for both.
  TPorts Ports;
  {
    QTcpServer Game, Chat;
    Game.listen(QHostAddress::LocalHost);
    Chat.listen(QHostAddress::LocalHost);
    Ports = {Game.serverPort(), Chat.serverPort()};
  }
  Dialogs.On(u"GameTypeSelection"_s, [&](QDialog& Dialog) {
    QObject::connect(TheMainForm(), &TMainForm::StartedUp, TheMainForm(),
                     [Scenario] { Play(*TheMainForm(), Scenario); });
    if (Scenario == u"search"_s || Scenario == u"cascade"_s)
      return TDialogScript::LocalGame()(Dialog);
    // The partner: a master that holds its first move back, or a slave that
    // never answers the program's.
    const bool PeerMaster = Scenario == u"first move"_s;
    Peer = std::make_unique<TPeer>(PeerMaster, "Partner", Ports);
    Peer->Games = {QList<TMove>()};
    Peer->HoldFirstMove = true;
    Peer->Mute = true;
    TDialogScript::NetworkGame(!PeerMaster, u"127.0.0.1"_s)(Dialog);
  });
  Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(6, 6));
  return RunFizzgrid(argc, argv, Ports);
}

} // namespace

class TestExit : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void closingWhileBusy_data() {
    QTest::addColumn<QString>("Scenario");
    for (const char* Scenario : {"search", "cascade", "first move", "reply"})
      QTest::newRow(Scenario) << QString::fromLatin1(Scenario);
  }
  void closingWhileBusy() {
    QFETCH(QString, Scenario);
    QTemporaryDir Folder;
    QProcess Program;
    Program.setWorkingDirectory(Folder.path());
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert(u"XDG_CONFIG_HOME"_s, Folder.path());
    Environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // The leak check at the end of a sanitized process is the checker's
    // time, not the program's.
    Environment.insert(u"ASAN_OPTIONS"_s, u"detect_leaks=0"_s);
    Program.setProcessEnvironment(Environment);
    Program.start(QCoreApplication::applicationFilePath(), {u"--child"_s, Scenario});
    QVERIFY(Program.waitForStarted());
    QVERIFY2(Program.waitForFinished(30000), "the program did not end");
    const qint64 Ended = Now();
    const QString Output = QString::fromLocal8Bit(Program.readAllStandardOutput());
    const qsizetype At = Output.indexOf(u"closing "_s);
    QVERIFY2(At >= 0, qPrintable(Output + QString::fromLocal8Bit(Program.readAllStandardError())));
    const qint64 Closing = Output.mid(At + 8).section(u'\n', 0, 0).toLongLong();
    const double Millis = double(Ended - Closing) / 1e6;
    qInfo("%s: the process ended %.1f ms after the close", qPrintable(Scenario), Millis);
    QCOMPARE(Program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(Program.exitCode(), 0);
    QVERIFY(Millis < 200);
    // What is written at exit.
    QFile Settings(Folder.filePath(u"Fizzgrid.ini"_s));
    QVERIFY(Settings.open(QIODevice::ReadOnly));
    const QByteArray Stored = Settings.readAll();
    QVERIFY2(Stored.contains("Player 1=Leaver") && Stored.contains("Number of Rows="),
             Stored.constData());
    QVERIFY(QFile::exists(Folder.filePath(u"HighScores.Dat"_s)));
  }
};

int main(int argc, char* argv[]) {
  if (argc == 3 && QByteArray(argv[1]) == "--child")
    return RunChild(argc - 2, argv, QString::fromLocal8Bit(argv[2]));
  QCoreApplication App(argc, argv);
  TestExit Test;
  return QTest::qExec(&Test, argc, argv);
}

#include "tst_exit.moc"
