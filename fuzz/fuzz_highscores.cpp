// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the high-score file: the input is the file's bytes,
// read and written in memory through the same device calls that the file
// name calls use. Every whole 32-byte record must load as one entry (its
// name, never read past the 21-byte name field, won and lost), a short tail
// must be reported, and saving what was read must write back exactly the
// whole records, each unchanged in what it means. Anything else aborts.

#include "FuzzRules.h"
#include "HighScoreFile.h"

#include <QBuffer>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

const QString FilePath = QStringLiteral("HighScores.Dat");

std::int32_t LittleEndian(const uint8_t* Bytes) {
  return std::int32_t(std::uint32_t(Bytes[0]) | std::uint32_t(Bytes[1]) << 8 |
                      std::uint32_t(Bytes[2]) << 16 | std::uint32_t(Bytes[3]) << 24);
}

// Entry against the record it came from, and its encoding against both.
// The comparisons go through Qt and memcmp rather than byte loops here,
// which the coverage instrumentation would make the bulk of each run.
void CheckRecord(const uint8_t* Record, const TScoreEntry& Entry, const char* Encoded) {
  static constexpr char Zeros[TScoreFile::RecordSize] = {};
  const int Length = std::min<int>(Record[0], TScoreFile::MaxNameLength);
  const char* Name = reinterpret_cast<const char*>(Record + 1);
  Require(Entry.PlayerName == QLatin1StringView(Name, Length),
          "name differs from the name field cut at the clamped length byte");
  Require(Entry.GamesWon == LittleEndian(Record + 24), "won differs");
  Require(Entry.GamesLost == LittleEndian(Record + 28), "lost differs");

  Require(uint8_t(Encoded[0]) == Length, "written length byte differs");
  Require(std::memcmp(Encoded + 1, Name, std::size_t(Length)) == 0, "written name byte differs");
  Require(std::memcmp(Encoded + 1 + Length, Zeros, std::size_t(23 - Length)) == 0,
          "byte without meaning not written as zero");
  Require(std::memcmp(Encoded + 24, Record + 24, 8) == 0, "written count differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::size_t Whole = Size / TScoreFile::RecordSize;
  const std::size_t Tail = Size % TScoreFile::RecordSize;

  QBuffer Input;
  Input.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(Data), qsizetype(Size)));
  const TScoreFile::TReadResult Loaded = TScoreFile::Read(Input, FilePath);
  Require(Loaded.Entries.size() == Whole, "not one entry per whole record");
  if (Tail == 0) {
    Require(Loaded.Status == TScoreFile::TStatus::Read, "whole file not read as such");
    Require(Loaded.Error.isEmpty(), "error for a whole file");
  } else {
    Require(Loaded.Status == TScoreFile::TStatus::Damaged, "short tail not reported");
    Require(Loaded.Error.contains(FilePath), "short-tail error does not name the file");
  }

  // The save at exit: exactly the whole records, in the form checked here,
  // which the next start reads like any other input.
  QByteArray Saved("left from an earlier save");
  QBuffer Output(&Saved);
  QString Error;
  Require(TScoreFile::Write(Output, FilePath, Loaded.Entries, &Error), "save failed");
  Require(std::size_t(Saved.size()) == Whole * TScoreFile::RecordSize,
          "save does not hold exactly the whole records");
  for (std::size_t I = 0; I < Whole; ++I)
    CheckRecord(Data + I * TScoreFile::RecordSize, Loaded.Entries[I],
                Saved.constData() + I * TScoreFile::RecordSize);
  return 0;
}
