// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings store: the input is the bytes of
// Fizzgrid.ini. Read as the program reads the file (the INI format's reader,
// then the settings' reader), every field must lie within its range, and
// what the writers make of the settings must read back as the same
// settings. Anything else aborts. It all runs in memory.

#include "FuzzRules.h"
#include "IniFormat.h"
#include "RuntimeData.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace {

TSettings Read(const QByteArray& Bytes) {
  QSettings::SettingsMap Store;
  ReadFizzgridIniText(Bytes, Store);
  return SettingsFrom(Store);
}

QByteArray Written(const TSettings& Settings) {
  return FizzgridIniText(StoreOf(Settings));
}

void CheckRanges(const TSettings& S) {
  Require(S.NumRows >= 4 && S.NumRows <= 8, "NumRows outside 4..8");
  Require(S.NumCols >= 4 && S.NumCols <= 8, "NumCols outside 4..8");
  Require(S.ConnectionLastGame <= 1, "ConnectionLastGame outside 0..1");
  Require(S.LCC <= 1, "LCC outside 0..1");
  Require(S.RelationLastGame <= 2, "RelationLastGame outside 0..2");
  Require(S.LCR <= 2, "LCR outside 0..2");
  Require(S.ComputerLevel <= 2, "ComputerLevel outside 0..2");
  Require(S.AnimationSpeed <= 2, "AnimationSpeed outside 0..2");
  Require(S.PlayerNames[0].size() <= MaxNameLength, "name longer than 20");
  Require(S.InternetAddress.size() <= MaxAddressLength, "address longer than 60");
}

// The settings whose save and load were checked last. Most inputs a fuzzer
// makes load as settings met a moment ago (above all the defaults), and the
// writer and the reader are functions of the settings alone: checking the
// same settings again finds nothing new, and would take half of the time.
class TChecked {
public:
  bool Contains(const TSettings& Settings) const {
    return std::find(FRecent.begin(), FRecent.begin() + FCount, Settings) !=
           FRecent.begin() + FCount;
  }
  void Add(const TSettings& Settings) {
    FRecent[FNext] = Settings;
    FNext = (FNext + 1) % FRecent.size();
    FCount = std::min(FCount + 1, FRecent.size());
  }

private:
  std::array<TSettings, 16> FRecent;
  size_t FNext = 0, FCount = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static TChecked Checked;
  const TSettings Loaded =
      Read(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
  CheckRanges(Loaded);
  if (Checked.Contains(Loaded))
    return 0;
  const QByteArray Saved = Written(Loaded);
  const TSettings Reloaded = Read(Saved);
  if (!(Reloaded == Loaded))
    std::fprintf(stderr, "saved as\n%s\n", Saved.constData());
  Require(Reloaded == Loaded, "a save and a load changed a value");
  Checked.Add(Loaded);
  return 0;
}
