// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score file, byte for byte and on failing devices, and the table
// that ranks, selects, deletes and saves its entries.

#include "HighScores.h"
#include "MessageDlg.h"
#include "ScriptedMessages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <functional>
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

// The entries as "name won/lost" lines.
QStringList Listed(const std::vector<TScoreEntry>& Entries) {
  QStringList Lines;
  for (const TScoreEntry& Entry : Entries)
    Lines << u"%1 %2/%3"_s.arg(Entry.PlayerName).arg(Entry.GamesWon).arg(Entry.GamesLost);
  return Lines;
}

// A device that gives the first bytes of Data and then fails.
class TFailingDevice : public QIODevice {
public:
  explicit TFailingDevice(QByteArray Data) : FData(std::move(Data)) {}

protected:
  qint64 readData(char* To, qint64 MaxSize) override {
    if (FData.isEmpty()) {
      setErrorString(u"the disk is gone"_s);
      return -1;
    }
    const qint64 Size = std::min<qint64>(MaxSize, FData.size());
    std::copy_n(FData.constData(), Size, To);
    FData.remove(0, Size);
    return Size;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

private:
  QByteArray FData;
};

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

QListWidget* Column(const TScoreTable& Table, const QString& Name) {
  return Table.findChild<QListWidget*>(Name);
}

const QStringList Columns = {u"Name"_s, u"Won"_s, u"Lost"_s, u"Score"_s};

// What the four lists show as selected: "row N" or "none" when they agree,
// each list's selected rows otherwise.
QString Selection(const TScoreTable& Table) {
  QStringList PerList;
  for (const QString& Name : Columns) {
    QStringList Rows;
    for (const QListWidgetItem* Item : Column(Table, Name)->selectedItems())
      Rows << QString::number(Column(Table, Name)->row(Item));
    PerList << (Rows.isEmpty() ? u"-"_s : Rows.join(u'+'));
  }
  if (PerList.count(PerList.front()) == PerList.size())
    return PerList.front() == u"-"_s ? u"none"_s : u"row "_s + PerList.front();
  return u"Name %1, Won %2, Lost %3, Score %4"_s.arg(PerList[0], PerList[1], PerList[2],
                                                     PerList[3]);
}

void ClickRow(const TScoreTable& Table, const QString& ColumnName, int Row,
              Qt::KeyboardModifiers Keys = {}) {
  QListWidget* List = Column(Table, ColumnName);
  QTest::mouseClick(List->viewport(), Qt::LeftButton, Keys,
                    List->visualItemRect(List->item(Row)).center());
}

// Opens the window modally, as the main window does, lets Inspect look at it
// once it is active, and closes it with a click on OK.
void OpenModal(TScoreTable& Table, const std::function<void()>& Inspect) {
  QTimer::singleShot(0, &Table, [&] {
    [&] {
      QVERIFY(QTest::qWaitForWindowActive(&Table));
      Inspect();
    }();
    QTest::mouseClick(Table.findChild<QPushButton*>(u"OKButton"_s), Qt::LeftButton);
    if (Table.isVisible())
      Table.reject();
  });
  Table.exec();
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

  void decode_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("tail");
    QTest::addColumn<QByteArray>("encoded");
    const QByteArray Ann = Record("Ann", 4, -2);
    QTest::newRow("empty") << QByteArray() << QStringList() << 0 << QByteArray();
    // The counts little-endian; a name of 20 fills its field.
    QTest::newRow("counts and 20 characters")
        << Record("You", 258, 65536) + Record("Twenty characters!!!", -5, 2147483647)
        << QStringList{u"You 258/65536"_s, u"Twenty characters!!! -5/2147483647"_s} << 0
        << QByteArray("\x03You", 4) + QByteArray(20, '\0') + QByteArray("\2\1\0\0\0\0\1\0", 8) +
               Record("Twenty characters!!!", -5, 2147483647);
    // Bytes after the name and the filler mean nothing and come back as zero.
    QTest::newRow("junk after the name")
        << Record("Bo" + QByteArray(21, 'z'), 2147483647, -2147483647 - 1, 2)
        << QStringList{u"Bo 2147483647/-2147483648"_s} << 0
        << Record("Bo", 2147483647, -2147483647 - 1);
    // A length byte above 20 reads the 20 name bytes and never the filler.
    QTest::newRow("length 255") << Record("ABCDEFGHIJKLMNOPQRSTxyz", 1, 0, 255)
                                << QStringList{u"ABCDEFGHIJKLMNOPQRST 1/0"_s} << 0
                                << Record("ABCDEFGHIJKLMNOPQRST", 1, 0);
    // Every Latin-1 byte is a character of its own, NUL included.
    QTest::newRow("latin-1 and NUL")
        << Record(QByteArray("\xe9\0\xff", 3), 0, 0) << QStringList{u"\u00e9\0\u00ff 0/0"_s} << 0
        << Record(QByteArray("\xe9\0\xff", 3), 0, 0);
    QTest::newRow("short tail") << Ann + Ann + QByteArray(31, '\x07')
                                << QStringList{u"Ann 4/-2"_s, u"Ann 4/-2"_s} << 31 << Ann + Ann;
    QTest::newRow("tail only") << QByteArray(1, '\x05') << QStringList() << 1 << QByteArray();
  }

  // Whole records become entries, a short tail is counted, and writing the
  // entries back gives every whole record with its meaningless bytes zero.
  void decode() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, entries);
    QFETCH(int, tail);
    QFETCH(QByteArray, encoded);
    qsizetype Tail = -1;
    const std::vector<TScoreEntry> Decoded = TScoreFile::Decode(data, &Tail);
    QCOMPARE(Listed(Decoded), entries);
    QCOMPARE(Tail, qsizetype(tail));
    QCOMPARE(TScoreFile::Encode(Decoded), encoded);
    // A character outside Latin-1 is stored as "?", a longer name cut to 20.
    QCOMPARE(TScoreFile::Encode({{u"Zo\u00eb \u03a9 and a long name"_s, 1, 0}}),
             Record("Zo\xeb ? and a long nam", 1, 0));
  }

  // What Read makes of each kind of file and device, and the message the
  // user gets; a save replaces what was there.
  void readAndWrite() {
    QCOMPARE(TScoreFile::Read(FPath).Status, TScoreFile::TStatus::Missing);
    const QByteArray Ann = Record("Ann", 4, -2);
    WriteFile(FPath, Ann + Ann);
    TScoreFile::TReadResult Result = TScoreFile::Read(FPath);
    QVERIFY(Result.Status == TScoreFile::TStatus::Read && Result.Error.isEmpty());
    QCOMPARE(Listed(Result.Entries), QStringList(2, u"Ann 4/-2"_s));
    WriteFile(FPath, Ann + "123456");
    Result = TScoreFile::Read(FPath);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Damaged);
    QCOMPARE(Listed(Result.Entries), QStringList{u"Ann 4/-2"_s});
    QCOMPARE(Result.Error,
             u"I/O error while reading \"%1\": the last record is short (6 of 32 "
             "bytes); it will be dropped when the high scores are saved"_s.arg(FPath));
    QVERIFY(QFile::remove(FPath) && QDir().mkdir(FPath));
    Result = TScoreFile::Read(FPath);
    QVERIFY(Result.Status == TScoreFile::TStatus::Unreadable && Result.Entries.empty());
    QCOMPARE(Result.Error, u"I/O error: cannot read \"%1\": it is not a file"_s.arg(FPath));
    QVERIFY(QDir().rmdir(FPath));

    TFailingDevice Failing(Ann + Ann.left(10));
    QVERIFY(Failing.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    Result = TScoreFile::Read(Failing, u"disk"_s);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Damaged);
    QCOMPARE(Listed(Result.Entries), QStringList{u"Ann 4/-2"_s});
    QCOMPARE(Result.Error, u"I/O error while reading \"disk\": the disk is gone"_s);
    QBuffer WriteOnly;
    QVERIFY(WriteOnly.open(QIODevice::WriteOnly));
    Result = TScoreFile::Read(WriteOnly, u"image"_s);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Unreadable);
    QVERIFY(Result.Entries.empty() && Result.Error.startsWith(u"I/O error: cannot read"_s));

    QByteArray Saved("an older and longer image than the new one");
    QBuffer Target(&Saved);
    QString Error;
    QVERIFY(TScoreFile::Write(Target, u"image"_s, {{u"Ann"_s, 4, -2}}, &Error));
    QVERIFY(Saved == Ann && Error.isEmpty());
    Target.close();
    QVERIFY(Target.open(QIODevice::ReadOnly));
    QVERIFY(!TScoreFile::Write(Target, u"image"_s, {{u"Ann"_s, 4, -2}}, &Error));
    QVERIFY2(Error.startsWith(u"I/O error: the high scores could not be written to \"image\": "_s),
             qPrintable(Error));
  }

  void rankingExamples() {
    // Read and written back without a refresh: in the order read.
    const QByteArray Four = Record("You", 3, 1) + Record("", 0, 0) +
                            Record("Twenty characters!!!", -5, 2147483647) +
                            Record("Zo\xeb ?", 258, 65536);
    WriteFile(FPath, Four);
    TScoreTable(nullptr, FPath);
    QCOMPARE(ReadFile(FPath), Four);
    // Scores beyond 32 bits rank without wrapping; a count at its limit stays there.
    {
      TScoreTable Table(nullptr, FPath);
      Table.UpdateScore(u"Twenty characters!!!"_s, false);
      QCOMPARE(Shown(Table), u"You 3/1 2,  0/0 0, Zo\u00eb ? 258/65536 -65278, "
                             "Twenty characters!!! -5/2147483647 -2147483652"_s);
    }
    QFile::remove(FPath);
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

  // However the window was opened and whatever has focus, the four columns
  // show one selected row or none, and Delete removes exactly that row.
  void selectionAndDelete() {
    QByteArray Six;
    for (const char Name : QByteArray("ABCDEF"))
      Six += Record(QByteArray(1, Name), 'G' - Name, 0);
    WriteFile(FPath, Six);
    TScoreTable Table(nullptr, FPath);
    auto* Delete = Table.findChild<QPushButton*>(u"Delete"_s);
    QStringList Seen;
    // The selection shown, then the names left after Delete: "row N: B C ...".
    const auto DeleteShown = [&] {
      const QString Before = Selection(Table);
      QTest::mouseClick(Delete, Qt::LeftButton);
      QStringList Names;
      for (int Row = 0; Row < Column(Table, u"Name"_s)->count(); ++Row)
        Names << Column(Table, u"Name"_s)->item(Row)->text();
      Seen << Before + u": "_s + Names.join(u' ');
    };
    for (int Opening = 1; Opening <= 2; ++Opening) {
      OpenModal(Table, [&] {
        DeleteShown();
        // Focus moving through the columns selects nothing.
        QStringList Focused;
        for (int Step = 0; Step < 5; ++Step) {
          QTest::keyClick(Table.focusWidget(), Qt::Key_Tab);
          Focused << Table.focusWidget()->objectName();
        }
        QCOMPARE(Focused.join(u' '), u"OKButton Name Won Lost Score"_s);
        DeleteShown();
        ClickRow(Table, Columns[Opening], Opening);
        Seen << Selection(Table);
        ClickRow(Table, Columns[Opening + 1], 0);
        DeleteShown();
      });
      if (QTest::currentTestFailed())
        return;
    }
    QCOMPARE(Seen, (QStringList{u"none: A B C D E F"_s, u"none: A B C D E F"_s, u"row 1"_s,
                                u"row 0: B C D E F"_s, u"none: B C D E F"_s, u"none: B C D E F"_s,
                                u"row 2"_s, u"row 0: C D E F"_s}));
    // Ctrl+click takes the selection back in all four; the row clicked in Name is then selected.
    OpenModal(Table, [&] {
      ClickRow(Table, u"Score"_s, 3);
      ClickRow(Table, u"Won"_s, 3, Qt::ControlModifier);
      DeleteShown();
      ClickRow(Table, u"Name"_s, 3);
      DeleteShown();
    });
    QCOMPARE(Seen.mid(8), (QStringList{u"none: C D E F"_s, u"row 3: C D E"_s}));
  }

  // Only Yes empties the table, and then the file.
  void clearAsksFirst() {
    WriteFile(FPath, Record("A", 5, 0) + Record("B", 4, 0) + Record("D", 2, 0));
    {
      TScoreTable Table(nullptr, FPath);
      Table.show();
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
