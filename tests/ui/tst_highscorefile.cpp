// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighScoreFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A 32-byte record: the length byte, the name field and filler (bytes 1..23,
// zero where NameAndFiller ends), and the two little-endian counts.
QByteArray Record(int LengthByte, const QByteArray& NameAndFiller, qint32 Won, qint32 Lost) {
  QByteArray Bytes = char(LengthByte) + NameAndFiller.leftJustified(23, '\0', true);
  Bytes.resize(32);
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

void WriteFile(const QString& Path, const QByteArray& Data) {
  QFile File(Path);
  QVERIFY(File.open(QIODevice::WriteOnly) && File.write(Data) == Data.size());
}

} // namespace

class TestHighScoreFile : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QString FPath = FDir.filePath(u"HighScores.Dat"_s);

private Q_SLOTS:
  void init() { QFile::remove(FPath); }

  void decode_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("tail");
    QTest::addColumn<QByteArray>("encoded");
    const QByteArray Ann = Record(3, "Ann", 4, -2);
    QTest::newRow("empty") << QByteArray() << QStringList() << 0 << QByteArray();
    QTest::newRow("one whole") << Ann << QStringList{u"Ann 4/-2"_s} << 0 << Ann;
    // Bytes after the name and the filler mean nothing and come back as zero.
    QTest::newRow("junk after the name")
        << Record(2, "Bo" + QByteArray(21, 'z'), 2147483647, -2147483647 - 1)
        << QStringList{u"Bo 2147483647/-2147483648"_s} << 0
        << Record(2, "Bo", 2147483647, -2147483647 - 1);
    // A length byte above 20 reads the 20 name bytes and never the filler.
    QTest::newRow("length 255") << Record(255, "ABCDEFGHIJKLMNOPQRSTxyz", 1, 0)
                                << QStringList{u"ABCDEFGHIJKLMNOPQRST 1/0"_s} << 0
                                << Record(20, "ABCDEFGHIJKLMNOPQRST", 1, 0);
    // Every Latin-1 byte is a character of its own, NUL included.
    QTest::newRow("latin-1 and NUL")
        << Record(3, QByteArray("\xe9\0\xff", 3), 0, 0) << QStringList{u"\u00e9\0\u00ff 0/0"_s} << 0
        << Record(3, QByteArray("\xe9\0\xff", 3), 0, 0);
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
  }

  // What Read makes of each kind of file, and the message the user gets.
  void read() {
    TScoreFile::TReadResult Result = TScoreFile::Read(FPath);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Missing);
    QVERIFY(Result.Entries.empty() && Result.Error.isEmpty());

    const QByteArray Two = Record(1, "A", 1, 0) + Record(1, "B", 0, 1);
    WriteFile(FPath, Two);
    Result = TScoreFile::Read(FPath);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Read);
    QCOMPARE(Listed(Result.Entries), (QStringList{u"A 1/0"_s, u"B 0/1"_s}));
    QVERIFY(Result.Error.isEmpty());

    WriteFile(FPath, Two + "123456");
    Result = TScoreFile::Read(FPath);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Damaged);
    QCOMPARE(Listed(Result.Entries), (QStringList{u"A 1/0"_s, u"B 0/1"_s}));
    QCOMPARE(Result.Error,
             u"I/O error while reading \"%1\": the last record is short (6 of 32 "
             "bytes); it will be dropped when the high scores are saved"_s.arg(FPath));

    QVERIFY(QFile::remove(FPath));
    QVERIFY(QDir().mkdir(FPath));
    Result = TScoreFile::Read(FPath);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Unreadable);
    QVERIFY(Result.Entries.empty());
    QCOMPARE(Result.Error, u"I/O error: cannot read \"%1\": it is not a file"_s.arg(FPath));
    QVERIFY(QDir().rmdir(FPath));
  }

  // The device calls, on an image in memory and on devices that fail.
  void devices() {
    const QByteArray Ann = Record(3, "Ann", 4, -2);
    QBuffer Image;
    Image.setData(Ann + "tail");
    TScoreFile::TReadResult Result = TScoreFile::Read(Image, u"image"_s);
    QCOMPARE(Result.Status, TScoreFile::TStatus::Damaged);
    QCOMPARE(Listed(Result.Entries), QStringList{u"Ann 4/-2"_s});
    QVERIFY2(Result.Error.startsWith(u"I/O error while reading \"image\": the last record"_s),
             qPrintable(Result.Error));

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

    // A save replaces what the image held before.
    QByteArray Saved("an older and longer image than the new one");
    QBuffer Target(&Saved);
    QString Error;
    QVERIFY(TScoreFile::Write(Target, u"image"_s, {{u"Ann"_s, 4, -2}}, &Error));
    QCOMPARE(Saved, Ann);
    QVERIFY(Error.isEmpty());
    Target.close();
    QVERIFY(Target.open(QIODevice::ReadOnly));
    QVERIFY(!TScoreFile::Write(Target, u"image"_s, {{u"Ann"_s, 4, -2}}, &Error));
    QVERIFY2(Error.startsWith(u"I/O error: the high scores could not be written to \"image\": "_s),
             qPrintable(Error));
  }

  // A write that cannot happen says where; one that can replaces the file.
  void write() {
    WriteFile(FPath, "old");
    QString Error;
    QVERIFY(TScoreFile::Write(FPath, {{u"New"_s, 1, 2}}, &Error));
    QVERIFY(Error.isEmpty());
    QFile File(FPath);
    QVERIFY(File.open(QIODevice::ReadOnly));
    QCOMPARE(File.readAll(), Record(3, "New", 1, 2));

    const QString Nowhere = FDir.filePath(u"no folder/HighScores.Dat"_s);
    QVERIFY(!TScoreFile::Write(Nowhere, {}, &Error));
    QVERIFY2(Error.startsWith(
                 u"I/O error: the high scores could not be written to \"%1\": "_s.arg(Nowhere)),
             qPrintable(Error));
  }
};

QTEST_GUILESS_MAIN(TestHighScoreFile)
#include "tst_highscorefile.moc"
