#include "RuntimeData.h"
#include "Search.h"

#include <QtTest>

#include <memory>

namespace {

// The stored variables in one line: rows x cols, 'name', connection, LCC,
// relation, LCR, 'address'.
QString Loaded() {
  return QStringLiteral("%1x%2 '%3' %4 %5 %6 %7 '%8'")
      .arg(QString::number(NumRows), QString::number(NumCols), PlayerNames[0],
           QString::number(ConnectionLastGame), QString::number(LCC),
           QString::number(RelationLastGame), QString::number(LCR), InternetAddress);
}

const QString Defaults = QStringLiteral("5x5 '' 0 0 0 0 ''");

void Clear() {
  NumRows = NumCols = ConnectionLastGame = LCC = RelationLastGame = LCR = 0;
  PlayerNames = {QString(), QString()};
  InternetAddress.clear();
}

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
    Clear();
  }

  // Loading creates an empty store; the first save writes all ten values.
  void firstRun() {
    SearchDepth = 3;
    LoadSettings();
    QCOMPARE(Loaded(), Defaults);
    QCOMPARE(SearchDepth, 1);
    QCOMPARE(SettingsLocation(), FConfig->path() + QStringLiteral("/Fizzgrid.ini"));
    QVERIFY(QFile::exists(SettingsLocation()));
    QCOMPARE(FileText(), QString());
    QVERIFY(SaveSettings());
    const QString Text = FileText();
    for (const char* Line :
         {"[Dimensions]", "Number of Rows=5", "Number of Cols=5", "[Names]",
          "Player 1=", "[Connection]", "Connection last game=0", "LCC=0", "Relation Last Game=0",
          "LCR=0", "TCP/IP=", "Computer strength=0", "Animation speed=0"})
      QVERIFY2(Text.contains(QLatin1String(Line) + QLatin1Char('\n')), Line);
    QCOMPARE(Text.count(QLatin1Char('=')), 10);
  }

  // The computer's strength and the animation speed came later: a file of
  // the version before loads as it did, with both at their defaults, and
  // either out of its range is its default.
  void addedValues() {
    const QString Before =
        QStringLiteral("[Connection]\nConnection last game=1\nLCC=1\nLCR=2\nRelation Last Game=2\n"
                       "TCP/IP=deskpc\n[Dimensions]\nNumber of Cols=7\nNumber of Rows=6\n[Names]\n"
                       "Player 1=Ann\n");
    const std::pair<QString, QString> Cases[] = {
        {QString(), "0 0"},
        {"Computer strength=2\nAnimation speed=1\n", "2 1"},
        {"Computer strength=1\nAnimation speed=2\n", "1 2"},
        {"Computer strength=3\nAnimation speed=-1\n", "0 0"},
        {"Computer strength=expert\nAnimation speed=9\n", "0 0"}};
    for (const auto& [Added, Expected] : Cases) {
      QFile File(SettingsLocation());
      QVERIFY(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
      File.write((Before + (Added.isEmpty() ? QString() : "[Connection]\n" + Added)).toUtf8());
      File.close();
      ForgetStore();
      ComputerLevel = AnimationSpeed = 7;
      LoadSettings();
      QCOMPARE(Loaded(), QStringLiteral("6x7 'Ann' 1 1 2 2 'deskpc'"));
      QCOMPARE(QStringLiteral("%1 %2").arg(ComputerLevel).arg(AnimationSpeed), Expected);
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
    LoadSettings();
    QCOMPARE(Loaded(), loaded);
    // What was loaded is what the next start loads again.
    QVERIFY(SaveSettings());
    ForgetStore();
    Clear();
    LoadSettings();
    QCOMPARE(Loaded(), loaded);
  }

  // Every value through a save and a load; the opponent's name is not stored.
  void roundTrip() {
    NumRows = 8;
    NumCols = 4;
    ConnectionLastGame = 0;
    LCC = 1;
    RelationLastGame = 1;
    LCR = 2;
    InternetAddress = QStringLiteral("192.168.1.7");
    // A line break in a value would forge a second entry.
    PlayerNames = {QStringLiteral(u"J\u00f6rg;\n[Dimensions]\nNumber of Rows=99"),
                   QStringLiteral("Opponent")};
    QVERIFY(SaveSettings());
    QVERIFY(!FileText().contains(QStringLiteral("Opponent")));
    Clear();
    LoadSettings();
    QCOMPARE(Loaded(), QStringLiteral(u"8x4 'J\u00f6rg; [Dimensions] N' 0 1 1 2 '192.168.1.7'"));
  }

  // A store that cannot be written is reported, not a crash; loading from it
  // gives the defaults.
  void unwritableStore() {
    QFile Blocker(FConfig->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(Blocker.open(QIODevice::WriteOnly));
    Blocker.close();
    qputenv("XDG_CONFIG_HOME", Blocker.fileName().toLocal8Bit());
    LoadSettings();
    QCOMPARE(Loaded(), Defaults);
    NumRows = 7;
    QString Error;
    QVERIFY(!SaveSettings(&Error));
    QCOMPARE(Error,
             QStringLiteral("The settings could not be saved in \"%1\".").arg(SettingsLocation()));
    QCOMPARE(NumRows, 7);
  }
};

QTEST_GUILESS_MAIN(TestRuntimeData)
#include "tst_runtimedata.moc"
