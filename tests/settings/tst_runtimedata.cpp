// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFormat.h"
#include "RuntimeData.h"

#include <QtTest>

#include <memory>

namespace {

// The stored fields in one line: rows x cols, 'name', connection, LCC,
// relation, LCR, 'address'.
QString Loaded(const TSettings& S) {
  return QStringLiteral("%1x%2 '%3' %4 %5 %6 %7 '%8'")
      .arg(QString::number(S.NumRows), QString::number(S.NumCols), S.PlayerNames[0],
           QString::number(S.ConnectionLastGame), QString::number(S.LCC),
           QString::number(S.RelationLastGame), QString::number(S.LCR), S.InternetAddress);
}

const QString Defaults = QStringLiteral("5x5 '' 0 0 0 0 ''");

// QSettings keeps a file it has read or written while the file's size and
// time stay the same. A new time makes the next load read the file, as the
// next start of the program does.
void ForgetStore() {
  static int Count = 0;
  QFile File(SettingsLocation());
  QVERIFY(File.open(QIODevice::ReadWrite));
  QVERIFY(File.setFileTime(QDateTime::currentDateTime().addSecs(++Count),
                           QFileDevice::FileModificationTime));
}

QString FileText() {
  QFile File(SettingsLocation());
  return File.open(QIODevice::ReadOnly) ? QString::fromUtf8(File.readAll()) : QString();
}

} // namespace

class TestRuntimeData : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> FConfig;

private Q_SLOTS:
  // Every test gets a configuration folder of its own.
  void init() {
    FConfig = std::make_unique<QTemporaryDir>();
    QVERIFY(FConfig->isValid());
    qputenv("XDG_CONFIG_HOME", FConfig->path().toLocal8Bit());
  }

  // Loading creates an empty store; the first save writes all eleven values.
  void firstRun() {
    const TSettings Settings = LoadSettings();
    QCOMPARE(Loaded(Settings), Defaults);
    QCOMPARE(SettingsLocation(), FConfig->path() + QStringLiteral("/Fizzgrid.ini"));
    QVERIFY(QFile::exists(SettingsLocation()));
    QCOMPARE(FileText(), QString());
    QVERIFY(SaveSettings(Settings));
    const QString Text = FileText();
    for (const char* Line : {"[Dimensions]", "Number of Rows=5", "Number of Cols=5", "[Names]",
                             "Player 1=", "[Connection]", "Connection last game=0", "LCC=0",
                             "Relation Last Game=0", "LCR=0", "TCP/IP=", "Computer strength=0",
                             "Animation speed=0", "Vary the computer's play=1"})
      QVERIFY2(Text.contains(QLatin1String(Line) + QLatin1Char('\n')), Line);
    QCOMPARE(Text.count(QLatin1Char('=')), 11);
  }

  // The computer's strength, the animation speed and the varied play came
  // later: a file of the version before loads as it did, with all three at
  // their defaults, and any out of its range is its default.
  void addedValues() {
    const QString Before =
        QStringLiteral("[Connection]\nConnection last game=1\nLCC=1\nLCR=2\nRelation Last Game=2\n"
                       "TCP/IP=deskpc\n[Dimensions]\nNumber of Cols=7\nNumber of Rows=6\n[Names]\n"
                       "Player 1=Ann\n");
    const std::pair<QString, QString> Cases[] = {
        {QString(), "0 0 1"},
        {"Computer strength=2\nAnimation speed=1\nVary the computer's play=0\n", "2 1 0"},
        {"Computer strength=1\nAnimation speed=2\nVary the computer's play=1\n", "1 2 1"},
        {"Computer strength=3\nAnimation speed=-1\nVary the computer's play=2\n", "0 0 1"},
        {"Computer strength=expert\nAnimation speed=9\nVary the computer's play=no\n", "0 0 1"}};
    for (const auto& [Added, Expected] : Cases) {
      QFile File(SettingsLocation());
      QVERIFY(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
      File.write((Before + (Added.isEmpty() ? QString() : "[Connection]\n" + Added)).toUtf8());
      File.close();
      ForgetStore();
      const TSettings Settings = LoadSettings();
      QCOMPARE(Loaded(Settings), QStringLiteral("6x7 'Ann' 1 1 2 2 'deskpc'"));
      QCOMPARE(QStringLiteral("%1 %2 %3")
                   .arg(Settings.ComputerLevel)
                   .arg(Settings.AnimationSpeed)
                   .arg(int(Settings.VaryPlay)),
               Expected);
    }
  }

  void storedValues_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("relation 7") << "[Connection]\nRelation Last Game=7" << Defaults;
    QTest::newRow("relation 2") << "[Connection]\nRelation Last Game=2"
                                << "5x5 '' 0 0 2 0 ''";
    QTest::newRow("connection abc") << "[Connection]\nConnection last game=abc" << Defaults;
    QTest::newRow("connection 1") << "[Connection]\nConnection last game=1"
                                  << "5x5 '' 1 0 0 0 ''";
    QTest::newRow("connection 2") << "[Connection]\nConnection last game=2" << Defaults;
    QTest::newRow("LCC 5, LCR 2") << "[Connection]\nLCC=5\nLCR=2"
                                  << "5x5 '' 0 0 0 2 ''";
    QTest::newRow("LCC 1, LCR 3") << "[Connection]\nLCC=1\nLCR=3"
                                  << "5x5 '' 0 1 0 0 ''";
    QTest::newRow("rows 6") << "[Dimensions]\nNumber of Rows=6"
                            << "6x5 '' 0 0 0 0 ''";
    QTest::newRow("rows 9, cols 3")
        << "[Dimensions]\nNumber of Rows=9\nNumber of Cols=3" << Defaults;
    QTest::newRow("rows 8, cols 4") << "[Dimensions]\nNumber of Rows=8\nNumber of Cols=4"
                                    << "8x4 '' 0 0 0 0 ''";
    QTest::newRow("cols empty, 0x7")
        << "[Dimensions]\nNumber of Cols=\nNumber of Rows=0x7" << Defaults;
    QTest::newRow("long name") << "[Names]\nPlayer 1=" + QString(40, u'n')
                               << "5x5 '" + QString(20, u'n') + "' 0 0 0 0 ''";
    QTest::newRow("long address") << "[Connection]\nTCP/IP=" + QString(100, u'a')
                                  << "5x5 '' 0 0 0 0 '" + QString(60, u'a') + "'";
    // What a hand edit may leave: comments, junk, CR LF, spaces, a value with "=".
    QTest::newRow("hand-edited")
        << "; Fizzgrid\r\njunk\r\n=7\r\n[Dimensions]\r\n  Number of Rows = 7 \r\n"
           "[Connection]\r\nTCP/IP=host=odd\r\n"
        << "7x5 '' 0 0 0 0 'host=odd'";
    // A lone CR ends a line as LF and CR LF do; a value never holds one.
    QTest::newRow("CR line ends") << "[Connection]\rTCP/IP=host=odd\r=4\rLCC=1\r"
                                  << "5x5 '' 0 1 0 0 'host=odd'";
    // A value cut to its length loses what the cut left at its end: a space,
    // or half of a character outside the 16-bit range.
    QTest::newRow("space at the cut") << "[Names]\nPlayer 1=" + QString(19, u'n') + " tail"
                                      << "5x5 '" + QString(19, u'n') + "' 0 0 0 0 ''";
    QTest::newRow("pair at the cut")
        << "[Connection]\nTCP/IP=" + QString(59, u'a') + QStringLiteral(u"\U0001F600b")
        << "5x5 '' 0 0 0 0 '" + QString(59, u'a') + "'";
    // Spaces around a part of a name do not count, also around a "/" in it.
    QTest::newRow("spaced key") << "Dimensions /Number of Rows=6\n[ Dimensions]\n Number of Cols =7"
                                << "6x7 '' 0 0 0 0 ''";
  }

  // A stored file loads as shown, everything missing or unusable as its
  // default, and a save and a load keep every value.
  void storedValues() {
    QFETCH(QString, file);
    QFETCH(QString, loaded);
    QFile File(SettingsLocation());
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write(file.toUtf8());
    File.close();
    const TSettings Settings = LoadSettings();
    QCOMPARE(Loaded(Settings), loaded);
    // What was loaded is what the next start loads again, also through the
    // reader and writer alone.
    QCOMPARE(SettingsFrom(StoreOf(Settings)), Settings);
    QVERIFY(SaveSettings(Settings));
    // What is saved holds the program's own values and nothing read in error,
    // such as a line that names nothing.
    QSettings::SettingsMap Saved;
    ReadFizzgridIniText(FileText().toUtf8(), Saved);
    QCOMPARE(Saved.keys(), StoreOf(Settings).keys());
    ForgetStore();
    QCOMPARE(Loaded(LoadSettings()), loaded);
  }

  // Every value through a save and a load; the opponent's name is not stored.
  void roundTrip() {
    TSettings Settings;
    Settings.NumRows = 8;
    Settings.NumCols = 4;
    Settings.ConnectionLastGame = 0;
    Settings.LCC = 1;
    Settings.RelationLastGame = 1;
    Settings.LCR = 2;
    Settings.InternetAddress = QStringLiteral("192.168.1.7");
    // A line break in a value would forge a second entry.
    Settings.PlayerNames = {QStringLiteral(u"J\u00f6rg;\n[Dimensions]\nNumber of Rows=99"),
                            QStringLiteral("Opponent")};
    QVERIFY(SaveSettings(Settings));
    QVERIFY(!FileText().contains(QStringLiteral("Opponent")));
    QCOMPARE(Loaded(LoadSettings()),
             QStringLiteral(u"8x4 'J\u00f6rg; [Dimensions] N' 0 1 1 2 '192.168.1.7'"));
  }

  // A store that cannot be written is reported, not a crash; loading from it
  // gives the defaults.
  void unwritableStore() {
    QFile Blocker(FConfig->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(Blocker.open(QIODevice::WriteOnly));
    Blocker.close();
    qputenv("XDG_CONFIG_HOME", Blocker.fileName().toLocal8Bit());
    TSettings Settings = LoadSettings();
    QCOMPARE(Loaded(Settings), Defaults);
    Settings.NumRows = 7;
    QString Error;
    QVERIFY(!SaveSettings(Settings, &Error));
    QCOMPARE(Error,
             QStringLiteral("The settings could not be saved in \"%1\".").arg(SettingsLocation()));
  }
};

QTEST_GUILESS_MAIN(TestRuntimeData)
#include "tst_runtimedata.moc"
