// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The high-score file on disk, apart from the window that shows it: the
// record codec, reading a file into entries and writing entries back. Qt
// Core only, so the reader can be tested and fuzzed without widgets.
//
// File: one 32-byte record per entry, no header. Byte 0 the name length
// (0..20), bytes 1..20 the name in Latin-1, 21..23 zero, 24..27 GamesWon and
// 28..31 GamesLost, signed little-endian. Bytes without meaning are ignored
// when read and written as zero.
//
// TScoreTable reads the file once when it is created (Read) and writes it
// once when it is destroyed (Write); the messages for the user come from
// here so that every failure names the file the same way. The file-name
// calls open the file and hand it to the device calls, which do the reading
// and writing; a QBuffer reads and writes a file image in memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

#include <cstdint>
#include <vector>

struct TScoreEntry {
  QString PlayerName;
  std::int32_t GamesWon = 0;
  std::int32_t GamesLost = 0;

  // Won minus lost; wide enough that no stored pair can overflow it.
  std::int64_t Score() const { return std::int64_t(GamesWon) - std::int64_t(GamesLost); }
};

class TScoreFile {
public:
  static constexpr int RecordSize = 32;
  static constexpr int MaxNameLength = 20;

  enum class TStatus {
    Missing,    // no file: an empty table, no message
    Read,       // every byte read as whole records
    Damaged,    // the whole records before a short tail or a read error
    Unreadable, // there but not readable at all: no entries; keep the file
  };

  struct TReadResult {
    std::vector<TScoreEntry> Entries;
    TStatus Status = TStatus::Missing;
    // For the user when Status is Damaged or Unreadable; names the file.
    QString Error;
  };

  // The file image of a table and back. Decode reads every whole record;
  // TailLength (when given) receives the length of a short last record, 0
  // when there is none.
  static QByteArray Encode(const std::vector<TScoreEntry>& Entries);
  static std::vector<TScoreEntry> Decode(QByteArrayView Data, qsizetype* TailLength = nullptr);

  static TReadResult Read(const QString& FileName);
  // Replaces the file only once the new one is complete, so a failure leaves
  // the previous one whole. On failure Error (when given) receives a message
  // that names the file.
  static bool Write(const QString& FileName, const std::vector<TScoreEntry>& Entries,
                    QString* Error = nullptr);

  // The same on a device, opened here when it is not open yet; FileName is
  // what the messages call it. A device that is there but cannot be opened
  // reads as Unreadable, a read error part way as Damaged.
  static TReadResult Read(QIODevice& Device, const QString& FileName);
  static bool Write(QIODevice& Device, const QString& FileName,
                    const std::vector<TScoreEntry>& Entries, QString* Error = nullptr);
};
