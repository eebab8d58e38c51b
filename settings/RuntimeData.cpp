// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeData.h"

#include "DataStructures.h"
#include "IniFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <memory>
#include <string_view>

namespace {

// A key of the store, as text that needs no allocation each time it is used.
struct TKey {
  std::u16string_view Text;
  operator QString() const {
    return QString::fromRawData(reinterpret_cast<const QChar*>(Text.data()),
                                qsizetype(Text.size()));
  }
};

constexpr TKey RowsKey{u"Dimensions/Number of Rows"};
constexpr TKey ColsKey{u"Dimensions/Number of Cols"};
constexpr TKey PlayerKey{u"Names/Player 1"};
constexpr TKey ConnectionKey{u"Connection/Connection last game"};
constexpr TKey LCCKey{u"Connection/LCC"};
constexpr TKey RelationKey{u"Connection/Relation Last Game"};
constexpr TKey LCRKey{u"Connection/LCR"};
constexpr TKey AddressKey{u"Connection/TCP/IP"};
constexpr TKey LevelKey{u"Connection/Computer strength"};
constexpr TKey SpeedKey{u"Connection/Animation speed"};
constexpr TKey VaryKey{u"Connection/Vary the computer's play"};

constexpr int DefaultDimension = 5;
constexpr int MinStoredDimension = 4;

std::unique_ptr<QSettings> OpenStore() {
#ifdef Q_OS_WIN
  return std::make_unique<QSettings>(SettingsLocation(), QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(SettingsLocation(), FizzgridIniFormat());
#endif
}

// The store's counterpart of opening the key with "create if missing": the
// folder and an empty file, so a first run leaves the store in place. A
// failure here only shows later, at the save.
void CreateStore() {
#ifndef Q_OS_WIN
  const QFileInfo File(SettingsLocation());
  if (File.exists())
    return;
  QDir().mkpath(File.absolutePath());
  QFile Empty(File.absoluteFilePath());
  if (Empty.open(QIODevice::WriteOnly))
    Empty.close();
#endif
}

using TStore = QSettings::SettingsMap;

// The stored decimal text, or Default when the value is missing or not a
// whole number.
int ReadInteger(const TStore& Store, const QString& Key, int Default) {
  if (!Store.contains(Key))
    return Default;
  bool Ok = false;
  const QString Text = Store.value(Key).toString();
  const int Value = QStringView(Text).trimmed().toInt(&Ok, 10);
  return Ok ? Value : Default;
}

uint8_t ReadRanged(const TStore& Store, const QString& Key, int Low, int High, int Fallback) {
  const int Value = ReadInteger(Store, Key, Fallback);
  return static_cast<uint8_t>(Value < Low || Value > High ? Fallback : Value);
}

// Cut to MaxLength, but never between the two halves of a character outside
// the 16-bit range (the half could not be saved), and without spaces the cut
// leaves at the end (the next load would drop them).
QString ReadString(const TStore& Store, const QString& Key, int MaxLength) {
  QString Value = Store.value(Key, QString()).toString();
  if (Value.size() <= MaxLength)
    return Value;
  Value.truncate(Value[MaxLength - 1].isHighSurrogate() ? MaxLength - 1 : MaxLength);
  return Value.trimmed();
}

} // namespace

QString SettingsLocation() {
#ifdef Q_OS_WIN
  return QStringLiteral("HKEY_CURRENT_USER\\Software\\Fizzgrid");
#else
  const QString Folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return (Folder.isEmpty() ? QDir::currentPath() : Folder) + QStringLiteral("/Fizzgrid.ini");
#endif
}

TSettings SettingsFrom(const QSettings::SettingsMap& Store) {
  TSettings Settings;
  // The board and its grid take at most 8 x 8; the system itself never
  // stores less than 4, so anything outside 4..8 was edited by hand.
  Settings.NumRows = ReadRanged(Store, RowsKey, MinStoredDimension, MaxDimension, DefaultDimension);
  Settings.NumCols = ReadRanged(Store, ColsKey, MinStoredDimension, MaxDimension, DefaultDimension);
  Settings.PlayerNames[0] = ReadString(Store, PlayerKey, MaxNameLength);
  Settings.ConnectionLastGame = ReadRanged(Store, ConnectionKey, 0, 1, 0);
  Settings.LCC = ReadRanged(Store, LCCKey, 0, 1, 0);
  Settings.RelationLastGame = ReadRanged(Store, RelationKey, 0, 2, 0);
  Settings.LCR = ReadRanged(Store, LCRKey, 0, 2, 0);
  Settings.InternetAddress = ReadString(Store, AddressKey, MaxAddressLength);
  // Added later: a store written before has neither, and gets the defaults.
  Settings.ComputerLevel = ReadRanged(Store, LevelKey, 0, 2, 0);
  Settings.AnimationSpeed = ReadRanged(Store, SpeedKey, 0, 2, 0);
  Settings.VaryPlay = ReadRanged(Store, VaryKey, 0, 1, 1) == 1;
  return Settings;
}

QSettings::SettingsMap StoreOf(const TSettings& Settings) {
  TStore Store;
  Store.insert(RowsKey, QString::number(Settings.NumRows));
  Store.insert(ColsKey, QString::number(Settings.NumCols));
  // Stored as the file keeps them, so that what this run reads back is what
  // the next run will read.
  Store.insert(PlayerKey, OneLine(Settings.PlayerNames[0]));
  Store.insert(ConnectionKey, QString::number(Settings.ConnectionLastGame));
  Store.insert(LCCKey, QString::number(Settings.LCC));
  Store.insert(RelationKey, QString::number(Settings.RelationLastGame));
  Store.insert(LCRKey, QString::number(Settings.LCR));
  Store.insert(AddressKey, OneLine(Settings.InternetAddress));
  Store.insert(LevelKey, QString::number(Settings.ComputerLevel));
  Store.insert(SpeedKey, QString::number(Settings.AnimationSpeed));
  Store.insert(VaryKey, QString::number(int(Settings.VaryPlay)));
  return Store;
}

TSettings LoadSettings() {
  CreateStore();
  const auto Store = OpenStore();
  TStore Values;
  for (const QString& Key : Store->allKeys())
    Values.insert(Key, Store->value(Key));
  return SettingsFrom(Values);
}

bool SaveSettings(const TSettings& Settings, QString* ErrorText) {
  CreateStore();
  const auto Store = OpenStore();
  const TStore Values = StoreOf(Settings);
  for (auto It = Values.cbegin(); It != Values.cend(); ++It)
    Store->setValue(It.key(), It.value());
  Store->sync();
  if (Store->status() == QSettings::NoError && Store->isWritable())
    return true;
  if (ErrorText)
    *ErrorText =
        QStringLiteral("The settings could not be saved in \"%1\".").arg(SettingsLocation());
  return false;
}
