// SPDX-License-Identifier: GPL-3.0-or-later
// The committed pictures and sound: what the generator draws today, in the
// sizes and the format the game loads.

#include "Resources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {} // namespace

class TPicturesTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
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
