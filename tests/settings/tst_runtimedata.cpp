#include "CommandIO.h"
#include "Communication.h"
#include "RuntimeData.h"
#include "Search.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

void ClearVariables() {
  NumRows = NumCols = 0;
  PlayerNames = {QString(), QString()};
  ConnectionLastGame = LCC = RelationLastGame = LCR = 0;
  InternetAddress.clear();
}

QString FileText() {
  QFile File(SettingsLocation());
  if (!File.open(QIODevice::ReadOnly))
    return QString();
  return QString::fromUtf8(File.readAll());
}

void WriteFile(const QString& Text) {
  QDir().mkpath(QFileInfo(SettingsLocation()).absolutePath());
  QFile File(SettingsLocation());
  QVERIFY(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
  File.write(Text.toUtf8());
}

} // namespace

class TestRuntimeData : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> FConfig;

private slots:
  // Every test gets a configuration folder of its own.
  void init() {
    FConfig = std::make_unique<QTemporaryDir>();
    QVERIFY(FConfig->isValid());
    qputenv("XDG_CONFIG_HOME", FConfig->path().toLocal8Bit());
    ClearVariables();
  }

  void firstRun() {
    QVERIFY(!QFile::exists(SettingsLocation()));
    SearchDepth = 3;
    LoadSettings();
    QCOMPARE(NumRows, 5);
    QCOMPARE(NumCols, 5);
    QCOMPARE(PlayerNames[0], QString());
    QCOMPARE(ConnectionLastGame, 0);
    QCOMPARE(RelationLastGame, 0);
    QCOMPARE(LCC, 0);
    QCOMPARE(LCR, 0);
    QCOMPARE(InternetAddress, QString());
    QCOMPARE(SearchDepth, 1);
    QCOMPARE(SettingsLocation(), FConfig->path() + QStringLiteral("/Fizzgrid.ini"));
    QVERIFY(QFile::exists(SettingsLocation()));
    // Loading creates the store but writes no section into it.
    QCOMPARE(FileText(), QString());

    QString Error;
    QVERIFY(SaveSettings(&Error));
    QVERIFY(Error.isEmpty());
    const QString Text = FileText();
    for (const char* Line : {"[Dimensions]", "Number of Rows=5", "Number of Cols=5", "[Names]", "Player 1=",
                             "[Connection]", "Connection last game=0", "LCC=0", "Relation Last Game=0",
                             "LCR=0", "TCP/IP="})
      QVERIFY2(Text.contains(QLatin1String(Line) + QLatin1Char('\n')), Line);
    QCOMPARE(Text.count(QLatin1Char('=')), 8);
  }

  void storedValues_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("loaded");
    auto Row = [](const char* Section, const char* Name, const QString& Stored, const char* Variable,
                  const QString& Loaded) {
      QTest::addRow("%s=%s", Name, qPrintable(Stored.left(12)))
          << QString(Section) << QString(Name) << Stored << QString(Variable) << Loaded;
    };
    Row("Connection", "Relation Last Game", "7", "RelationLastGame", "0");
    Row("Connection", "Relation Last Game", "2", "RelationLastGame", "2");
    Row("Connection", "Relation Last Game", "-1", "RelationLastGame", "0");
    Row("Connection", "Connection last game", "abc", "ConnectionLastGame", "0");
    Row("Connection", "Connection last game", "1", "ConnectionLastGame", "1");
    Row("Connection", "Connection last game", "2", "ConnectionLastGame", "0");
    Row("Dimensions", "Number of Rows", "6", "NumRows", "6");
    Row("Dimensions", "Number of Rows", "8", "NumRows", "8");
    Row("Dimensions", "Number of Rows", "9", "NumRows", "5");
    Row("Dimensions", "Number of Rows", "3", "NumRows", "5");
    Row("Dimensions", "Number of Rows", "300", "NumRows", "5");
    Row("Dimensions", "Number of Cols", "4", "NumCols", "4");
    Row("Dimensions", "Number of Cols", "", "NumCols", "5");
    Row("Dimensions", "Number of Cols", "0x7", "NumCols", "5");
    Row("Connection", "LCC", "1", "LCC", "1");
    Row("Connection", "LCC", "5", "LCC", "0");
    Row("Connection", "LCR", "2", "LCR", "2");
    Row("Connection", "LCR", "3", "LCR", "0");
    Row("Names", "Player 1", "Ann", "Player 1", "Ann");
    Row("Names", "Player 1", QString(40, u'n'), "Player 1", QString(20, u'n'));
    Row("Connection", "TCP/IP", "fizz.example.org", "TCP/IP", "fizz.example.org");
    Row("Connection", "TCP/IP", "::1", "TCP/IP", "::1");
    Row("Connection", "TCP/IP", QString(100, u'a'), "TCP/IP", QString(60, u'a'));
  }

  void storedValues() {
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(QString, variable);
    QFETCH(QString, loaded);
    WriteFile(QStringLiteral("[%1]\n%2=%3\n").arg(section, name, stored));
    LoadSettings();
    const std::map<QString, std::function<QString()>> Value = {
        {"RelationLastGame", [] { return QString::number(RelationLastGame); }},
        {"ConnectionLastGame", [] { return QString::number(ConnectionLastGame); }},
        {"NumRows", [] { return QString::number(NumRows); }},
        {"NumCols", [] { return QString::number(NumCols); }},
        {"LCC", [] { return QString::number(LCC); }},
        {"LCR", [] { return QString::number(LCR); }},
        {"Player 1", [] { return PlayerNames[0]; }},
        {"TCP/IP", [] { return InternetAddress; }},
    };
    QCOMPARE(Value.at(variable)(), loaded);
  }

  // A file edited by hand: comments, junk, blank lines, CR LF.
  void handEditedFile() {
    WriteFile(QStringLiteral("; Fizzgrid\r\njunk line\r\n=7\r\n[Dimensions]\r\n  Number of Rows = 7 \r\n"
                             "[Connection]\r\nTCP/IP=host=odd\r\n\r\n[Other]\r\nkeep=me\r\n"));
    LoadSettings();
    QCOMPARE(NumRows, 7);
    QCOMPARE(NumCols, 5);
    QCOMPARE(InternetAddress, QStringLiteral("host=odd"));
    QVERIFY(SaveSettings());
    QVERIFY(FileText().contains(QStringLiteral("[Other]\nkeep=me\n")));
  }

  void roundTrip() {
    NumRows = 8;
    NumCols = 4;
    PlayerNames = {QStringLiteral(u"J\u00f6rg; the 2nd"), QStringLiteral("Opponent")};
    ConnectionLastGame = 0;
    LCC = 1;
    RelationLastGame = 1;
    LCR = 2;
    InternetAddress = QStringLiteral("192.168.1.7");
    QVERIFY(SaveSettings());
    const QString Text = FileText();
    QVERIFY(Text.contains(QStringLiteral("TCP/IP=192.168.1.7\n")));
    QVERIFY(Text.contains(QStringLiteral("LCR=2\n")));
    QVERIFY(Text.contains(QStringLiteral("Connection last game=0\n")));
    QVERIFY(!Text.contains(QStringLiteral("Opponent")));
    QVERIFY(!Text.contains(QStringLiteral("%20")));
    ClearVariables();
    LoadSettings();
    QCOMPARE(NumRows, 8);
    QCOMPARE(NumCols, 4);
    QCOMPARE(PlayerNames[0], QStringLiteral(u"J\u00f6rg; the 2nd"));
    QCOMPARE(PlayerNames[1], QString());
    QCOMPARE(ConnectionLastGame, 0);
    QCOMPARE(LCC, 1);
    QCOMPARE(RelationLastGame, 1);
    QCOMPARE(LCR, 2);
    QCOMPARE(InternetAddress, QStringLiteral("192.168.1.7"));
  }

  // A line break in a value would forge a second entry.
  void valuesStayOneLine() {
    LoadSettings();
    PlayerNames[0] = QStringLiteral("Ann\n[Dimensions]\nNumber of Rows=99");
    QVERIFY(SaveSettings());
    ClearVariables();
    LoadSettings();
    QCOMPARE(NumRows, 5);
    QVERIFY(!PlayerNames[0].contains(u'\n'));
  }

  void slaveDimensionsAreSaved() {
    LoadSettings();
    QTcpServer Listener;
    QVERIFY(Listener.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* Partner = nullptr;
    connect(&Listener, &QTcpServer::newConnection, this, [&] {
      Partner = Listener.nextPendingConnection();
      connect(Partner, &QTcpSocket::readyRead, Partner, [Partner] {
        Partner->readAll();
        Partner->write(QByteArray("\x04" "6;7"));
      });
      Partner->write(QByteArray("\x03" "Master"));
    });
    ConnectionLastGame = 1;
    LCC = 1;
    RelationLastGame = 2;
    LCR = 2;
    InternetAddress = QStringLiteral("127.0.0.1");
    PlayerNames[0] = QStringLiteral("Slave");
    {
      TComDataModule Module(nullptr, Listener.serverPort(), 0);
      TCommandIO IO(false, &Module);
      QVERIFY(IO.WaitForConnection(5000));
      IO.ExchangeSettings();
    }
    QCOMPARE(NumRows, 6);
    QCOMPARE(NumCols, 7);
    QVERIFY(SaveSettings());
    QVERIFY(FileText().contains(QStringLiteral("Number of Rows=6\n")));
    QVERIFY(FileText().contains(QStringLiteral("Number of Cols=7\n")));
    QVERIFY(!FileText().contains(QStringLiteral("Master")));
  }

  // A store that cannot be written is reported, not a crash; loading from it
  // gives the defaults.
  void unwritableStore() {
    QFile Blocker(FConfig->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(Blocker.open(QIODevice::WriteOnly));
    Blocker.close();
    qputenv("XDG_CONFIG_HOME", Blocker.fileName().toLocal8Bit());
    LoadSettings();
    QCOMPARE(NumRows, 5);
    NumRows = 7;
    QString Error;
    QVERIFY(!SaveSettings(&Error));
    QCOMPARE(Error, QStringLiteral("The settings could not be saved in \"%1\".").arg(SettingsLocation()));
    QCOMPARE(NumRows, 7);
  }
};

QTEST_GUILESS_MAIN(TestRuntimeData)
#include "tst_runtimedata.moc"
