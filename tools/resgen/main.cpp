// SPDX-License-Identifier: GPL-3.0-or-later
// fizzgrid-resgen: draws the game's pictures and its explosion sound into a
// folder. The output is committed under resources/; the build target
// "regenerate-resources" runs this program into that folder.
//
//   fizzgrid-resgen OUTPUT-FOLDER [--sheet CONTACT-SHEET.png]
//
// The optional contact sheet shows every picture enlarged, for checking by eye
// (the icons at twice their size).

#include "CellPictures.h"
#include "ExplosionFrames.h"
#include "ExplosionSound.h"
#include "ProgramIcon.h"
#include "Trefoil.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <vector>

namespace {

// A fixed resolution keeps the files byte for byte the same on every run.
constexpr int DotsPerMetre = 3780;

bool Save(const QImage& Picture, const QDir& Folder, const QString& Name) {
  QImage Copy = Picture;
  Copy.setDotsPerMeterX(DotsPerMetre);
  Copy.setDotsPerMeterY(DotsPerMetre);
  const QString Path = Folder.filePath(Name);
  if (!Copy.save(Path, "PNG")) {
    std::fprintf(stderr, "fizzgrid-resgen: cannot write %s\n", qPrintable(Path));
    return false;
  }
  return true;
}

bool SaveWave(const QDir& Folder, const QString& Name) {
  const std::vector<std::uint8_t> Bytes = EncodeWave(SynthesizeExplosion(), ExplosionSampleRate);
  const QString Path = Folder.filePath(Name);
  QFile File(Path);
  if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      File.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<qint64>(Bytes.size())) !=
          static_cast<qint64>(Bytes.size()) ||
      !File.flush()) {
    std::fprintf(stderr, "fizzgrid-resgen: cannot write %s\n", qPrintable(Path));
    return false;
  }
  return true;
}

bool SaveContactSheet(const QString& Path) {
  constexpr int Zoom = 4;
  constexpr int Cell = 29 * Zoom + 8;
  QImage Sheet(Cell * 11, Cell * 5 + 2 * IconSizes.back() + 8, QImage::Format_RGB32);
  Sheet.fill(qRgb(212, 208, 200));
  QPainter Painter(&Sheet);
  auto Place = [&](const QImage& Picture, int Column, int Row) {
    Painter.drawImage(QPoint(Column * Cell + 4, Row * Cell + 4),
                      Picture.scaled(Picture.width() * Zoom, Picture.height() * Zoom));
  };
  for (int i = 0; i < CellPictureCount; ++i)
    Place(DrawCellPicture(i, 1), i % 11, i / 11);
  for (int i = 0; i < ExplosionFrameCount; ++i)
    Place(DrawExplosionFrame(i, 1), i % 8, 2 + i / 8);
  for (int i = 0; i < ExplosionFrameCount; i += 3)
    Painter.drawImage(QPoint((i / 3) * 124 + 4, 4 * Cell + 4),
                      DrawExplosionFrame(i, 2).scaled(116, 116));
  Painter.drawImage(QPoint(8 * Cell + 4, 2 * Cell + 4), DrawCellPicture(16, 2).scaled(232, 232));
  Painter.drawImage(QPoint(4, 5 * Cell + 4), DrawTrefoil(2));
  int Left = 150;
  for (const int Size : IconSizes) {
    Painter.drawImage(QPoint(Left, 5 * Cell + 4), DrawIcon(Size).scaled(QSize(Size, Size) * 2));
    Left += 2 * Size + 8;
  }
  Painter.end();
  return Sheet.save(Path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && QString::fromLocal8Bit(argv[2]) == QLatin1String("--sheet"))) {
    std::fprintf(stderr, "usage: fizzgrid-resgen OUTPUT-FOLDER [--sheet CONTACT-SHEET.png]\n");
    return 2;
  }
  const QDir Folder(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(Folder.path())) {
    std::fprintf(stderr, "fizzgrid-resgen: cannot create %s\n", argv[1]);
    return 1;
  }

  bool Ok = true;
  for (int i = 0; i < CellPictureCount; ++i) {
    const QString Name = QStringLiteral("CELL%1").arg(i + 1);
    Ok = Save(DrawCellPicture(i, 1), Folder, Name + QStringLiteral(".png")) && Ok;
    Ok = Save(DrawCellPicture(i, 2), Folder, Name + QStringLiteral("@2x.png")) && Ok;
  }
  for (int i = 0; i < ExplosionFrameCount; ++i) {
    const QString Name = QStringLiteral("EXPLO%1").arg(i);
    Ok = Save(DrawExplosionFrame(i, 1), Folder, Name + QStringLiteral(".png")) && Ok;
    Ok = Save(DrawExplosionFrame(i, 2), Folder, Name + QStringLiteral("@2x.png")) && Ok;
  }
  Ok = Save(DrawTrefoil(1), Folder, QStringLiteral("TREFOIL.png")) && Ok;
  Ok = Save(DrawTrefoil(2), Folder, QStringLiteral("TREFOIL@2x.png")) && Ok;
  for (const int Size : IconSizes)
    Ok = Save(DrawIcon(Size), Folder, QStringLiteral("fizzgrid-%1.png").arg(Size)) && Ok;
  Ok = SaveWave(Folder, QStringLiteral("EXPLO.wav")) && Ok;

  if (argc == 4 && !SaveContactSheet(QString::fromLocal8Bit(argv[3]))) {
    std::fprintf(stderr, "fizzgrid-resgen: cannot write %s\n", argv[3]);
    Ok = false;
  }
  return Ok ? 0 : 1;
}
