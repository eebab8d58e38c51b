#include "HighScoreFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

QByteArray TScoreFile::Encode(const std::vector<TScoreEntry>& Entries) {
  QByteArray Data(qsizetype(Entries.size()) * RecordSize, '\0');
  char* Record = Data.data();
  for (const TScoreEntry& Entry : Entries) {
    // Characters outside Latin-1 become '?'.
    const QByteArray Name = Entry.PlayerName.left(MaxNameLength).toLatin1().left(MaxNameLength);
    Record[0] = char(Name.size());
    std::copy(Name.begin(), Name.end(), Record + 1);
    qToLittleEndian<std::int32_t>(Entry.GamesWon, Record + 24);
    qToLittleEndian<std::int32_t>(Entry.GamesLost, Record + 28);
    Record += RecordSize;
  }
  return Data;
}

std::vector<TScoreEntry> TScoreFile::Decode(QByteArrayView Data, qsizetype* TailLength) {
  std::vector<TScoreEntry> Entries;
  const qsizetype Whole = Data.size() / RecordSize;
  Entries.reserve(std::size_t(Whole));
  for (qsizetype Index = 0; Index < Whole; ++Index) {
    const char* Record = Data.data() + Index * RecordSize;
    // No writer stores a length above 20; never read past the name field.
    const int Length = std::min<int>(static_cast<unsigned char>(Record[0]), MaxNameLength);
    TScoreEntry Entry;
    Entry.PlayerName = QString::fromLatin1(Record + 1, Length);
    Entry.GamesWon = qFromLittleEndian<std::int32_t>(Record + 24);
    Entry.GamesLost = qFromLittleEndian<std::int32_t>(Record + 28);
    Entries.push_back(std::move(Entry));
  }
  if (TailLength != nullptr)
    *TailLength = Data.size() % RecordSize;
  return Entries;
}

TScoreFile::TReadResult TScoreFile::Read(const QString& FileName) {
  TReadResult Result;
  const QFileInfo Info(FileName);
  if (!Info.exists())
    return Result;
  if (!Info.isFile()) {
    // A folder, a pipe or a device; opening a pipe would wait forever.
    Result.Status = TStatus::Unreadable;
    Result.Error = QStringLiteral("I/O error: cannot read \"%1\": it is not a file").arg(FileName);
    return Result;
  }
  QFile File(FileName);
  if (!File.open(QIODevice::ReadOnly)) {
    Result.Status = TStatus::Unreadable;
    Result.Error =
        QStringLiteral("I/O error: cannot read \"%1\": %2").arg(FileName, File.errorString());
    return Result;
  }
  const QByteArray Data = File.readAll();
  if (File.error() != QFileDevice::NoError) {
    Result.Entries = Decode(Data);
    Result.Status = TStatus::Damaged;
    Result.Error =
        QStringLiteral("I/O error while reading \"%1\": %2").arg(FileName, File.errorString());
    return Result;
  }
  qsizetype Tail = 0;
  Result.Entries = Decode(Data, &Tail);
  Result.Status = TStatus::Read;
  if (Tail != 0) {
    Result.Status = TStatus::Damaged;
    Result.Error =
        QStringLiteral("I/O error while reading \"%1\": the last record is short (%2 of %3 bytes); "
                       "it will be dropped when the high scores are saved")
            .arg(FileName)
            .arg(Tail)
            .arg(RecordSize);
  }
  return Result;
}

bool TScoreFile::Write(const QString& FileName, const std::vector<TScoreEntry>& Entries,
                       QString* Error) {
  QSaveFile File(FileName);
  const QByteArray Data = Encode(Entries);
  // commit() does not notice a failure of the flush it runs itself, so
  // the buffer is flushed and checked here first.
  const bool Saved = File.open(QIODevice::WriteOnly) && File.write(Data) == Data.size() &&
                     File.flush() && File.commit();
  if (Saved)
    return true;
  const QString Reason = File.errorString();
  File.cancelWriting();
  if (Error != nullptr)
    *Error = QStringLiteral("I/O error: the high scores could not be written to \"%1\": %2")
                 .arg(FileName, Reason);
  return false;
}
