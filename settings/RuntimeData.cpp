#include "RuntimeData.h"

#include "IniFormat.h"
#include "Search.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

uint8_t NumRows = 0;
uint8_t NumCols = 0;
std::array<QString, 2> PlayerNames;
uint8_t ConnectionLastGame = 0;
uint8_t LCC = 0;
uint8_t RelationLastGame = 0;
uint8_t LCR = 0;
QString InternetAddress;
uint8_t ComputerLevel = 0;
uint8_t AnimationSpeed = 0;

namespace {

const QString RowsKey = QStringLiteral("Dimensions/Number of Rows");
const QString ColsKey = QStringLiteral("Dimensions/Number of Cols");
const QString PlayerKey = QStringLiteral("Names/Player 1");
const QString ConnectionKey = QStringLiteral("Connection/Connection last game");
const QString LCCKey = QStringLiteral("Connection/LCC");
const QString RelationKey = QStringLiteral("Connection/Relation Last Game");
const QString LCRKey = QStringLiteral("Connection/LCR");
const QString AddressKey = QStringLiteral("Connection/TCP/IP");
const QString LevelKey = QStringLiteral("Connection/Computer strength");
const QString SpeedKey = QStringLiteral("Connection/Animation speed");

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

// The stored decimal text, or Default when the value is missing or not a
// whole number.
int ReadInteger(const QSettings& Store, const QString& Key, int Default) {
  if (!Store.contains(Key))
    return Default;
  bool Ok = false;
  const int Value = Store.value(Key).toString().trimmed().toInt(&Ok, 10);
  return Ok ? Value : Default;
}

uint8_t ReadRanged(const QSettings& Store, const QString& Key, int Low, int High, int Fallback) {
  const int Value = ReadInteger(Store, Key, Fallback);
  return static_cast<uint8_t>(Value < Low || Value > High ? Fallback : Value);
}

// Cut to MaxLength, but never between the two halves of a character outside
// the 16-bit range (the half could not be saved), and without spaces the cut
// leaves at the end (the next load would drop them).
QString ReadString(const QSettings& Store, const QString& Key, int MaxLength) {
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

void LoadSettings() {
  CreateStore();
  const auto Store = OpenStore();
  // The board and its grid take at most 8 x 8; the system itself never
  // stores less than 4, so anything outside 4..8 was edited by hand.
  NumRows = ReadRanged(*Store, RowsKey, MinStoredDimension, MaxDimension, DefaultDimension);
  NumCols = ReadRanged(*Store, ColsKey, MinStoredDimension, MaxDimension, DefaultDimension);
  SearchDepth = 1;
  PlayerNames[0] = ReadString(*Store, PlayerKey, MaxNameLength);
  ConnectionLastGame = ReadRanged(*Store, ConnectionKey, 0, 1, 0);
  LCC = ReadRanged(*Store, LCCKey, 0, 1, 0);
  RelationLastGame = ReadRanged(*Store, RelationKey, 0, 2, 0);
  LCR = ReadRanged(*Store, LCRKey, 0, 2, 0);
  InternetAddress = ReadString(*Store, AddressKey, MaxAddressLength);
  // Added later: a store written before has neither, and gets the defaults.
  ComputerLevel = ReadRanged(*Store, LevelKey, 0, 2, 0);
  AnimationSpeed = ReadRanged(*Store, SpeedKey, 0, 2, 0);
}

bool SaveSettings(QString* ErrorText) {
  CreateStore();
  const auto Store = OpenStore();
  Store->setValue(RowsKey, QString::number(NumRows));
  Store->setValue(ColsKey, QString::number(NumCols));
  // Stored as the file keeps them, so that what this run reads back is what
  // the next run will read.
  Store->setValue(PlayerKey, OneLine(PlayerNames[0]));
  Store->setValue(ConnectionKey, QString::number(ConnectionLastGame));
  Store->setValue(LCCKey, QString::number(LCC));
  Store->setValue(RelationKey, QString::number(RelationLastGame));
  Store->setValue(LCRKey, QString::number(LCR));
  Store->setValue(AddressKey, OneLine(InternetAddress));
  Store->setValue(LevelKey, QString::number(ComputerLevel));
  Store->setValue(SpeedKey, QString::number(AnimationSpeed));
  Store->sync();
  if (Store->status() == QSettings::NoError && Store->isWritable())
    return true;
  if (ErrorText)
    *ErrorText =
        QStringLiteral("The settings could not be saved in \"%1\".").arg(SettingsLocation());
  return false;
}
