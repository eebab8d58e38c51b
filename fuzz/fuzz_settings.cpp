// libFuzzer target for the settings store: the input is the bytes of
// Fizzgrid.ini. Loading must give every variable a value within its range
// (or its default), and a save followed by a load must give the same values
// again. Anything else aborts.

#include "FuzzFiles.h"
#include "RuntimeData.h"
#include "Search.h"

#include <QDateTime>
#include <QFile>

#include <cstdint>
#include <cstdio>

namespace {

QString FilePath;

struct TStored {
  uint8_t Rows, Cols, Connection, Lcc, Relation, Lcr;
  QString Name, Address;

  static TStored Now() {
    return {NumRows,          NumCols, ConnectionLastGame, LCC,
            RelationLastGame, LCR,     PlayerNames[0],     InternetAddress};
  }
  bool operator==(const TStored&) const = default;

  QByteArray Text() const {
    return QStringLiteral("%1x%2 '%3' %4 %5 %6 %7 '%8'")
        .arg(QString::number(Rows), QString::number(Cols), Name, QString::number(Connection),
             QString::number(Lcc), QString::number(Relation), QString::number(Lcr), Address)
        .toUtf8()
        .toPercentEncoding(" '");
  }
};

// Values no load may leave behind, so that each one must be set.
void Scramble() {
  NumRows = NumCols = ConnectionLastGame = LCC = RelationLastGame = LCR = SearchDepth = 99;
  PlayerNames[0] = InternetAddress = QStringLiteral("not loaded");
}

void CheckRanges() {
  Require(NumRows >= 4 && NumRows <= 8, "NumRows outside 4..8");
  Require(NumCols >= 4 && NumCols <= 8, "NumCols outside 4..8");
  Require(ConnectionLastGame <= 1, "ConnectionLastGame outside 0..1");
  Require(LCC <= 1, "LCC outside 0..1");
  Require(RelationLastGame <= 2, "RelationLastGame outside 0..2");
  Require(LCR <= 2, "LCR outside 0..2");
  Require(PlayerNames[0].size() <= MaxNameLength, "name longer than 20");
  Require(InternetAddress.size() <= MaxAddressLength, "address longer than 60");
  Require(SearchDepth == 1, "SearchDepth not reset");
}

// QSettings keeps a file it has read or written while the file's size and
// time stay the same. A new time makes the next load read the file, as the
// next start of the program does, also for two inputs of one size written
// within the clock's resolution.
void ForgetStore(QFile& File) {
  static qint64 Stamp = 0;
  const QDateTime Time = QDateTime::fromSecsSinceEpoch(1000000000).addMSecs(++Stamp);
  Require(File.setFileTime(Time, QFileDevice::FileModificationTime), "time stamp not set");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(PrivateFolder()));
  FilePath = SettingsLocation();
  Require(FilePath == PrivateFolder() + QStringLiteral("/Fizzgrid.ini"), "store not in the folder");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  QFile File(FilePath);
  WriteInput(File, Data, Size);
  ForgetStore(File);
  File.close();

  Scramble();
  LoadSettings();
  CheckRanges();
  const TStored Loaded = TStored::Now();

  Require(SaveSettings(), "save failed");
  Require(File.open(QIODevice::ReadWrite), "saved file cannot be opened");
  ForgetStore(File);
  File.close();
  Scramble();
  LoadSettings();
  const TStored Reloaded = TStored::Now();
  if (!(Reloaded == Loaded))
    std::fprintf(stderr, "loaded   %s\nreloaded %s\n", Loaded.Text().constData(),
                 Reloaded.Text().constData());
  Require(Reloaded == Loaded, "a save and a load changed a value");
  return 0;
}
