#include "HighScores.h"
#include "MessageDlg.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One 32-byte record built independently of the code under test: length
// byte, name bytes (a longer name runs into the filler), two little-endian counts.
QByteArray Record(const QByteArray& Name, qint32 Won, qint32 Lost, int LengthByte = -1) {
  QByteArray Bytes(32, '\0');
  Bytes[0] = char(LengthByte < 0 ? Name.size() : LengthByte);
  Bytes.replace(1, Name.size(), Name);
  qToLittleEndian(Won, Bytes.data() + 24);
  qToLittleEndian(Lost, Bytes.data() + 28);
  return Bytes;
}

// The rows the window shows, e.g. "You 1/0 1, Computer 0/1 -1".
QString Shown(const TScoreTable& Table) {
  const auto List = [&Table](const char* Name) {
    return Table.findChild<QListWidget*>(QLatin1StringView(Name));
  };
  QStringList Rows;
  for (int Row = 0; Row < List("Name")->count(); ++Row)
    Rows << u"%1 %2/%3 %4"_s.arg(List("Name")->item(Row)->text(), List("Won")->item(Row)->text(),
                                 List("Lost")->item(Row)->text(), List("Score")->item(Row)->text());
  return Rows.join(u", "_s);
}

void WriteFile(const QString& Path, const QByteArray& Data) {
  QFile File(Path);
  QVERIFY(File.open(QIODevice::WriteOnly) && File.write(Data) == Data.size());
}

QByteArray ReadFile(const QString& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestHighScores : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FDir;
  QString FPath = FDir.filePath(u"HighScores.Dat"_s);
  TScriptedMessages FMessages;

  // The one error reported, naming the file.
  void ExpectOneError(const QString& Path) {
    QCOMPARE(FMessages.Count(), 1);
    QCOMPARE(FMessages.Records().front().Type, TMsgType::Error);
    QVERIFY2(FMessages.Texts().front().contains(Path), qPrintable(FMessages.Texts().front()));
    FMessages.Clear();
  }

private Q_SLOTS:
  void init() { QFile::remove(FPath); }
  void cleanup() { QCOMPARE(FMessages.Texts(), QStringList()); }

  void fileFormatByteForByte() {
    const QByteArray Expected = Record("You", 3, 1) + Record("", 0, 0) +
                                Record("Twenty characters!!!", -5, 2147483647) +
                                Record("Zo\xeb ?", 258, 65536);
    QCOMPARE(Expected.mid(3 * 32 + 24, 8), QByteArray("\x02\x01\x00\x00\x00\x00\x01\x00", 8));
    QCOMPARE(TScoreTable::Encode({{u"You"_s, 3, 1},
                                  {u""_s, 0, 0},
                                  {u"Twenty characters!!!"_s, -5, 2147483647},
                                  {u"Zo\u00eb \u03a9"_s, 258, 65536}}),
             Expected);
    // Read and written back without a refresh: in the order read. A length
    // byte above 20 reads as 20, never into the filler.
    WriteFile(FPath, Expected + Record("ABCDEFGHIJKLMNOPQRSTXY", 1, 0, 255));
    TScoreTable(nullptr, FPath);
    QCOMPARE(ReadFile(FPath), Expected + Record("ABCDEFGHIJKLMNOPQRST", 1, 0));
    // Scores beyond 32 bits rank without wrapping; a count at its limit stays there.
    TScoreTable Table(nullptr, FPath);
    Table.UpdateScore(u"Twenty characters!!!"_s, false);
    QCOMPARE(Shown(Table),
             u"You 3/1 2, ABCDEFGHIJKLMNOPQRST 1/0 1,  0/0 0, Zo\u00eb ? 258/65536 -65278, "
             "Twenty characters!!! -5/2147483647 -2147483652"_s);
  }

  void rankingExamples() {
    const QString Long = u"A very long player name indeed"_s;
    {
      TScoreTable Table(nullptr, FPath);
      Table.UpdateScore(u"You"_s, true);
      Table.UpdateScore(u"Computer"_s, false);
      QCOMPARE(Shown(Table), u"You 1/0 1, Computer 0/1 -1"_s);
      // A draw counts as won for both.
      Table.UpdateScore(u"You"_s, true);
      Table.UpdateScore(u"Computer"_s, true);
      // Names are case-distinct; a long one is cut to 20 and found again.
      Table.UpdateScore(u"you"_s, false);
      Table.UpdateScore(Long, false);
      Table.UpdateScore(Long, false);
      QCOMPARE(Shown(Table),
               u"You 2/0 2, Computer 1/1 0, you 0/1 -1, A very long player n 0/2 -2"_s);
    }
    QCOMPARE(ReadFile(FPath), Record("You", 2, 0) + Record("Computer", 1, 1) + Record("you", 0, 1) +
                                  Record(Long.left(20).toLatin1(), 0, 2));

    // Twelve entries: nine shown, all twelve written in ranked order.
    QByteArray Twelve, Ranked;
    for (int Index = 0; Index < 12; ++Index) {
      Twelve += Record("P" + QByteArray::number(Index), Index, 0);
      Ranked.prepend(Record("P" + QByteArray::number(Index), Index, 0));
    }
    WriteFile(FPath, Twelve);
    {
      TScoreTable Table(nullptr, FPath);
      Table.show();
      QCOMPARE(Shown(Table).split(u", "_s).size(), 9);
      QVERIFY(Shown(Table).startsWith(u"P11 11/0 11, P10 10/0 10"_s));
    }
    QCOMPARE(ReadFile(FPath), Ranked);

    // Two entries of one name stay two; results go to the first in table order.
    WriteFile(FPath, Record("Sam", 1, 0) + Record("Sam", 3, 0));
    {
      TScoreTable Table(nullptr, FPath);
      Table.UpdateScore(u"Sam"_s, false);
      Table.UpdateScore(u"Sam"_s, true);
      QCOMPARE(Shown(Table), u"Sam 4/0 4, Sam 1/1 0"_s);
    }
  }

  void deleteAndClear() {
    WriteFile(FPath, Record("A", 5, 0) + Record("B", 4, 0) + Record("C", 3, 0) + Record("D", 2, 0));
    {
      TScoreTable Table(nullptr, FPath);
      Table.show();
      QVERIFY(QTest::qWaitForWindowExposed(&Table));
      auto* Delete = Table.findChild<QPushButton*>(u"Delete"_s);
      Delete->click();
      QCOMPARE(Shown(Table), u"A 5/0 5, B 4/0 4, C 3/0 3, D 2/0 2"_s);
      // A click in any column selects its row in all four; Delete removes that row.
      auto* Won = Table.findChild<QListWidget*>(u"Won"_s);
      QTest::mouseClick(Won->viewport(), Qt::LeftButton, {},
                        Won->visualItemRect(Won->item(2)).center());
      for (const QString& Other : {u"Name"_s, u"Lost"_s, u"Score"_s})
        QCOMPARE(Table.findChild<QListWidget*>(Other)->currentRow(), 2);
      Delete->click();
      QStringList Seen;
      for (TMsgButton Answer : {TMsgButton::No, TMsgButton::Cancel, TMsgButton::Yes}) {
        FMessages.Answer(Answer);
        Table.findChild<QPushButton*>(u"Clear"_s)->click();
        Seen << Shown(Table);
      }
      QCOMPARE(Seen, (QStringList{u"A 5/0 5, B 4/0 4, D 2/0 2"_s, u"A 5/0 5, B 4/0 4, D 2/0 2"_s,
                                  u""_s}));
      QCOMPARE(FMessages.Texts(), QStringList(3, u"Delete all entries"_s));
      QCOMPARE(FMessages.Records().front().Buttons,
               TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel);
      FMessages.Clear();
    }
    QCOMPARE(ReadFile(FPath), QByteArray());
  }

  // A 70-byte file: two entries and an error naming the file; 64 bytes at exit.
  void shortLastRecord() {
    const QByteArray Two = Record("One", 1, 0) + Record("Two", 0, 1);
    WriteFile(FPath, Two + QByteArray(6, '\x07'));
    {
      TScoreTable Table(nullptr, FPath);
      QCOMPARE(int(Table.Entries().size()), 2);
      ExpectOneError(FPath);
    }
    QCOMPARE(ReadFile(FPath), Two);
  }

  void failedSaveKeepsOldFile() {
    const QByteArray Old = Record("Old", 7, 1) + Record("Older", 2, 2);
    WriteFile(FPath, Old);
    auto Table = std::make_unique<TScoreTable>(nullptr, FPath);
    for (int Index = 0; Index < 40; ++Index)
      Table->UpdateScore(u"Player %1"_s.arg(Index), true);
    // Even root cannot write past the file size limit: the write fails half-way, like a full disk.
    rlimit Saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &Saved), 0);
    const rlimit Small{100, Saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &Small), 0);
    Table.reset();
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &Saved), 0);
    ExpectOneError(FPath);
    QCOMPARE(ReadFile(FPath), Old);
    // No temporary file is left behind.
    QCOMPARE(QDir(FDir.path()).entryList(QDir::Files), QStringList{u"HighScores.Dat"_s});
  }

  // A file that is there but cannot be read (here a pipe, which must not hang
  // the start) is reported and not replaced at exit: it may hold every result so far.
  void unreadableFileIsKept() {
    QCOMPARE(::mkfifo(QFile::encodeName(FPath).constData(), 0600), 0);
    {
      TScoreTable Table(nullptr, FPath);
      QVERIFY(Table.Entries().empty());
      ExpectOneError(FPath);
      Table.UpdateScore(u"You"_s, true);
    }
    ExpectOneError(FPath);
    QCOMPARE(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{u"HighScores.Dat"_s});
    QVERIFY(!QFileInfo(FPath).isFile());
  }
};

QTEST_MAIN(TestHighScores)
#include "tst_highscores.moc"
