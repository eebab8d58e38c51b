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

namespace {

const QString FilePath = QStringLiteral("HighScores.Dat");

std::int32_t LittleEndian(const uint8_t* Bytes) {
  return std::int32_t(std::uint32_t(Bytes[0]) | std::uint32_t(Bytes[1]) << 8 |
                      std::uint32_t(Bytes[2]) << 16 | std::uint32_t(Bytes[3]) << 24);
}

TScoreFile::TReadResult ReadImage(const QByteArray& Image) {
  QBuffer Device;
  Device.setData(Image);
  return TScoreFile::Read(Device, FilePath);
}

// Entry against the record it came from, and its encoding against both.
void CheckRecord(const uint8_t* Record, const TScoreEntry& Entry, const char* Encoded) {
  constexpr int NameField = TScoreFile::MaxNameLength;
  const int Length = std::min<int>(Record[0], NameField);
  Require(Entry.PlayerName.size() == Length, "name length differs from the clamped length byte");
  for (int I = 0; I < Length; ++I)
    Require(Entry.PlayerName[I].unicode() == Record[1 + I], "name character differs");
  Require(Entry.GamesWon == LittleEndian(Record + 24), "won differs");
  Require(Entry.GamesLost == LittleEndian(Record + 28), "lost differs");

  Require(uint8_t(Encoded[0]) == Length, "written length byte differs");
  for (int I = 0; I < Length; ++I)
    Require(uint8_t(Encoded[1 + I]) == Record[1 + I], "written name byte differs");
  for (int I = 1 + Length; I < 24; ++I)
    Require(Encoded[I] == 0, "byte without meaning not written as zero");
  for (int I = 24; I < TScoreFile::RecordSize; ++I)
    Require(uint8_t(Encoded[I]) == Record[I], "written count differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::size_t Whole = Size / TScoreFile::RecordSize;
  const std::size_t Tail = Size % TScoreFile::RecordSize;

  const TScoreFile::TReadResult Loaded =
      ReadImage(QByteArray::fromRawData(reinterpret_cast<const char*>(Data), qsizetype(Size)));
  Require(Loaded.Entries.size() == Whole, "not one entry per whole record");
  if (Tail == 0) {
    Require(Loaded.Status == TScoreFile::TStatus::Read, "whole file not read as such");
    Require(Loaded.Error.isEmpty(), "error for a whole file");
  } else {
    Require(Loaded.Status == TScoreFile::TStatus::Damaged, "short tail not reported");
    Require(Loaded.Error.contains(FilePath), "short-tail error does not name the file");
  }

  const QByteArray Encoded = TScoreFile::Encode(Loaded.Entries);
  Require(std::size_t(Encoded.size()) == Whole * TScoreFile::RecordSize,
          "encoding does not hold exactly the whole records");
  for (std::size_t I = 0; I < Whole; ++I)
    CheckRecord(Data + I * TScoreFile::RecordSize, Loaded.Entries[I],
                Encoded.constData() + I * TScoreFile::RecordSize);

  // The save at exit, and the next start.
  QByteArray Saved("left from an earlier save");
  QBuffer Device(&Saved);
  QString Error;
  Require(TScoreFile::Write(Device, FilePath, Loaded.Entries, &Error), "save failed");
  Require(Saved == Encoded, "saved file differs from the encoding");
  const TScoreFile::TReadResult Again = ReadImage(Saved);
  Require(Again.Status == TScoreFile::TStatus::Read, "saved file does not read whole");
  Require(TScoreFile::Encode(Again.Entries) == Encoded, "saved file reads differently");
  return 0;
}
