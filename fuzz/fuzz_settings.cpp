// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings store: the input is the bytes of
// Fizzgrid.ini. Read as the program reads the file (the INI format's reader,
// then the settings' reader), every field must lie within its range, and
// what the writers make of the settings must read back as the same
// settings. Anything else aborts. It all runs in memory.

#include "FuzzRules.h"
#include "IniFormat.h"
#include "RuntimeData.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TSettings Loaded =
      Read(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
  CheckRanges(Loaded);
  const QByteArray Saved = Written(Loaded);
  const TSettings Reloaded = Read(Saved);
  if (!(Reloaded == Loaded))
    std::fprintf(stderr, "saved as\n%s\n", Saved.constData());
  Require(Reloaded == Loaded, "a save and a load changed a value");
  return 0;
}
