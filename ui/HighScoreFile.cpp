// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighScoreFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>

QByteArray TScoreFile::Encode(const std::vector<TScoreEntry>& Entries) {
  QByteArray Data(qsizetype(Entries.size()) * RecordSize, '\0');
  char* Record = Data.data();
  // Straight into the record, one byte per character, no copy per name;
  // characters outside Latin-1 become '?'.
  QStringEncoder Latin1(QStringConverter::Latin1);
  for (const TScoreEntry& Entry : Entries) {
    const char* NameEnd =
        Latin1.appendToBuffer(Record + 1, QStringView(Entry.PlayerName).left(MaxNameLength));
    Record[0] = char(NameEnd - (Record + 1));
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
  const QFileInfo Info(FileName);
  if (!Info.exists())
    return {};
  if (!Info.isFile()) {
    // A folder, a pipe or a device; opening a pipe would wait forever.
    TReadResult Result;
    Result.Status = TStatus::Unreadable;
    Result.Error =
        QCoreApplication::translate("TScoreFile", "I/O error: cannot read \"%1\": it is not a file")
            .arg(FileName);
    return Result;
  }
  QFile File(FileName);
  return Read(File, FileName);
}

TScoreFile::TReadResult TScoreFile::Read(QIODevice& Device, const QString& FileName) {
  TReadResult Result;
  if ((!Device.isOpen() && !Device.open(QIODevice::ReadOnly)) || !Device.isReadable()) {
    Result.Status = TStatus::Unreadable;
    Result.Error = QCoreApplication::translate("TScoreFile", "I/O error: cannot read \"%1\": %2")
                       .arg(FileName, Device.errorString());
    return Result;
  }
  // readAll() would hide a read error; read() reports one as -1.
  QByteArray Data;
  Data.reserve(qsizetype(Device.bytesAvailable()));
  char Piece[4096];
  qint64 Got = 0;
  while ((Got = Device.read(Piece, sizeof Piece)) > 0)
    Data.append(Piece, qsizetype(Got));
  if (Got < 0) {
    Result.Entries = Decode(Data);
    Result.Status = TStatus::Damaged;
    Result.Error = QCoreApplication::translate("TScoreFile", "I/O error while reading \"%1\": %2")
                       .arg(FileName, Device.errorString());
    return Result;
  }
  qsizetype Tail = 0;
  Result.Entries = Decode(Data, &Tail);
  Result.Status = TStatus::Read;
  if (Tail != 0) {
    Result.Status = TStatus::Damaged;
    Result.Error = QCoreApplication::translate(
                       "TScoreFile",
                       "I/O error while reading \"%1\": the last record is short (%2 of %3 bytes); "
                       "it will be dropped when the high scores are saved")
                       .arg(FileName)
                       .arg(Tail)
                       .arg(RecordSize);
  }
  return Result;
}

namespace {

bool WriteFailed(const QString& FileName, const QString& Reason, QString* Error) {
  if (Error != nullptr)
    *Error = QCoreApplication::translate(
                 "TScoreFile", "I/O error: the high scores could not be written to \"%1\": %2")
                 .arg(FileName, Reason);
  return false;
}

} // namespace

bool TScoreFile::Write(const QString& FileName, const std::vector<TScoreEntry>& Entries,
                       QString* Error) {
  QSaveFile File(FileName);
  // commit() does not notice a failure of the flush it runs itself, so
  // the buffer is flushed and checked here first.
  if (Write(File, FileName, Entries, Error)) {
    if (File.flush() && File.commit())
      return true;
    WriteFailed(FileName, File.errorString(), Error);
  }
  File.cancelWriting();
  return false;
}

bool TScoreFile::Write(QIODevice& Device, const QString& FileName,
                       const std::vector<TScoreEntry>& Entries, QString* Error) {
  const QByteArray Data = Encode(Entries);
  const bool Open = (Device.isOpen() || Device.open(QIODevice::WriteOnly | QIODevice::Truncate)) &&
                    Device.isWritable();
  return (Open && Device.write(Data) == Data.size()) ||
         WriteFailed(FileName, Device.errorString(), Error);
}
