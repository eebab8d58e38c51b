// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the committed pictures and sound against the rules of their design,
// so that a wrong picture cannot ship.

#include "Resources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// 0 for black (frame or outline), otherwise the region number counted from
// the outside in, for a pixel of a 29 x 29 cell picture.
int Region(int X, int Y, int Capacity) {
  const int Dx = std::abs(X - 14), Dy = std::abs(Y - 14), L1 = Dx + Dy, LInf = std::max(Dx, Dy);
  if (LInf == 14 || L1 == 13 || (Capacity > 2 && L1 < 13 && LInf == 6) ||
      (Capacity > 3 && LInf < 6 && L1 == 5))
    return 0; // frame, outer diamond, square, inner diamond
  if (L1 > 13)
    return 1;
  if (Capacity == 2 || LInf > 6)
    return 2;
  return Capacity == 3 || L1 > 5 ? 3 : 4;
}

} // namespace

class TPicturesTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void CellPicture_data() {
    QTest::addColumn<int>("Index");
    for (int i = 0; i < 21; ++i)
      QTest::addRow("CELL%d", i + 1) << i;
  }

  void CellPicture() {
    // Local player's pictures by (capacity, masses), the opponent's in the
    // same order, then the three empty ones; filled from the outside in.
    QFETCH(int, Index);
    static const int Capacities[9] = {2, 2, 3, 3, 3, 4, 4, 4, 4},
                     Masses[9] = {1, 2, 1, 2, 3, 1, 2, 3, 4};
    const int Capacity = Index >= 18 ? Index - 16 : Capacities[Index % 9],
              Filled = Index >= 18 ? 0 : Masses[Index % 9];
    const QRgb Owned = Index < 9 ? qRgb(0, 255, 255) : qRgb(255, 0, 0);
    const QImage Picture(CellPictureResource(Index)), Sharp(CellPictureResource(Index) + "@2x");
    QCOMPARE(Picture.size(), QSize(29, 29));
    QCOMPARE(Sharp.size(), QSize(58, 58));
    for (int Y = 0; Y < 29; ++Y)
      for (int X = 0; X < 29; ++X) {
        const int Here = Region(X, Y, Capacity);
        const QRgb Expected = Here == 0       ? qRgb(0, 0, 0)
                              : Here > Filled ? qRgb(192, 192, 192)
                                              : Owned;
        QVERIFY2((Picture.pixel(X, Y) | 0xFF000000u) == Expected,
                 qPrintable(QString("%1,%2").arg(X).arg(Y)));
        // The sharp twin draws the same design: away from outlines each
        // pixel becomes a two by two block of its colour.
        bool Interior = true;
        for (int Ny = std::max(0, Y - 1); Ny <= std::min(28, Y + 1); ++Ny)
          for (int Nx = std::max(0, X - 1); Nx <= std::min(28, X + 1); ++Nx)
            Interior = Interior && Region(Nx, Ny, Capacity) == Here;
        for (int S = 0; S < 4 && (Interior || X % 28 == 0 || Y % 28 == 0); ++S)
          QVERIFY2((Sharp.pixel(2 * X + S % 2, 2 * Y + S / 2) | 0xFF000000u) == Expected,
                   qPrintable(QString("@2x %1,%2").arg(X).arg(Y)));
      }
  }

  void OtherPictures() {
    // Explosion frames on white, whose bottom-left pixel is the transparent colour.
    for (int Frame = 0; Frame < 16; ++Frame)
      for (const int Scale : {1, 2}) {
        const QImage Picture(ExplosionFrameResource(Frame) + (Scale == 2 ? "@2x" : ""));
        QCOMPARE(Picture.size(), QSize(29, 29) * Scale);
        for (const QPoint Corner : {QPoint(0, 0), QPoint(0, 1), QPoint(1, 0), QPoint(1, 1)})
          QCOMPARE(Picture.pixel(Corner * (29 * Scale - 1)) | 0xFF000000u, qRgb(255, 255, 255));
      }
    QCOMPARE(QImage(TrefoilResource()).size(), QSize(65, 57));
    QCOMPARE(QImage(TrefoilResource() + "@2x").size(), QSize(130, 114));
    QCOMPARE(QImage(IconResource()).size(), QSize(128, 128));
    // A screen ratio above 1, fractional too, takes the sharp twin at the logical size.
    QCOMPARE(LoadResourceImage(CellPictureResource(4), 2.0).deviceIndependentSize(),
             QSizeF(29, 29));
    QCOMPARE(LoadResourceImage(ExplosionFrameResource(3), 1.5).size(), QSize(58, 58));
    QCOMPARE(LoadResourceImage(IconResource(), 2.0).size(),
             QSize(128, 128)); // no twin: the plain one
    QVERIFY(LoadResourceImage(":/NOSUCHPICTURE", 2.0).isNull());
  }

  void ExplosionSound() {
    QFile File(ExplosionSoundUrl().toString().mid(3)); // "qrc:/EXPLO"
    QVERIFY(File.open(QIODevice::ReadOnly));
    const QByteArray Wave = File.readAll();
    const auto U16 = [&](int At) { return qFromLittleEndian<quint16>(Wave.constData() + At); };
    const auto U32 = [&](int At) { return qFromLittleEndian<quint32>(Wave.constData() + At); };
    QVERIFY(Wave.size() > 44 && Wave.startsWith("RIFF") && Wave.mid(8, 8) == "WAVEfmt " &&
            Wave.mid(36, 4) == "data");
    // Sizes, PCM, mono, 22 050 Hz, 44 100 bytes a second, 2-byte frames of 16 bits, about 0.9 s.
    QCOMPARE((QList<quint32>{U32(4), U32(16), U16(20), U16(22), U32(24), U32(28), U16(32), U16(34),
                             U32(40)}),
             (QList<quint32>{quint32(Wave.size() - 8), 16, 1, 1, 22050, 44100, 2, 16,
                             quint32(Wave.size() - 44)}));
    QVERIFY(U32(40) / 2.0 / 22050 > 0.85 && U32(40) / 2.0 / 22050 < 0.95);
  }

  void Regeneration() {
    // The committed files are exactly what the generator draws today.
    QTemporaryDir Output;
    QProcess Generator;
    Generator.start(QStringLiteral(FIZZGRID_RESGEN), {Output.path()});
    QVERIFY(Generator.waitForFinished(120000) && Generator.exitStatus() == QProcess::NormalExit &&
            !Generator.exitCode());
    const QDir Generated(Output.path()), Committed(QStringLiteral(FIZZGRID_RESOURCES_DIR));
    QCOMPARE(Generated.entryList(QDir::Files).size(), 2 * 21 + 2 * 16 + 2 + 7 + 1);
    for (const QString& Name : Generated.entryList(QDir::Files)) {
      const QString Hint = Name + " differs: run the regenerate-resources target";
      QFile Fresh(Generated.filePath(Name)), Kept(Committed.filePath(Name));
      QVERIFY2(Fresh.open(QIODevice::ReadOnly) && Kept.open(QIODevice::ReadOnly), qPrintable(Hint));
      // Pixels, not bytes, for pictures: another zlib may compress them differently.
      if (Name.endsWith(".png"))
        QVERIFY2(QImage(Fresh.fileName()).convertToFormat(QImage::Format_ARGB32) ==
                     QImage(Kept.fileName()).convertToFormat(QImage::Format_ARGB32),
                 qPrintable(Hint));
      else
        QVERIFY2(Fresh.readAll() == Kept.readAll(), qPrintable(Hint));
    }
  }
};

QTEST_GUILESS_MAIN(TPicturesTest)
#include "tst_pictures.moc"
